// The event triggers: matching, firing once, failing actions that leave a
// trigger armed, and each action's effect on sprites and world objects.
#include <gtest/gtest.h>

#include "physics/player.h"
#include "physics/script_ids.h"
#include "physics/triggers.h"
#include "runtime/room_setup.h"
#include "runtime/sprites.h"
#include "tick_harness.h"
#include "world/world_objects.h"

namespace
{

constexpr int DEF_LOOSE = 50; // a barrel: any loose object will do

struct Triggers : tick_world {
    void SetUp() override
    {
        tick_world::SetUp();
        build_trigger_table();
        make_flat_room(HARNESS_ROOM, 6, 6, HARNESS_FLOOR);
    }
    void TearDown() override
    {
        build_trigger_table();
        tick_world::TearDown();
    }
    // The four offerings and their markers in the room, the altar among them.
    void offerings_room(void)
    {
        place_object(SCRIPT_ALTAR, HARNESS_ROOM, DEF_LOOSE, 40, 40, HARNESS_FLOOR);
        const int offerings[] = {SCRIPT_OFFERING_1, SCRIPT_OFFERING_2, SCRIPT_OFFERING_3,
                                 SCRIPT_OFFERING_4};
        const int markers[] = {SCRIPT_MARKER_1, SCRIPT_MARKER_2, SCRIPT_MARKER_3, SCRIPT_MARKER_4};
        for (int i = 0; i < 4; i++) {
            place_object(offerings[i], HARNESS_ROOM, DEF_LOOSE, 5 + 15 * i, 70, HARNESS_FLOOR);
            place_object(markers[i], HARNESS_ROOM, DEF_LOOSE, 5 + 15 * i, 5, HARNESS_FLOOR);
        }
        place_object(SCRIPT_REWARD, HARNESS_ROOM, DEF_LOOSE, 0, 0, 0);
        world_objects[SCRIPT_REWARD].used = WOBJ_OUT_OF_PLAY;
        world_objects[SCRIPT_REWARD].room = ROOM_CARRIED;
        start_in_room(HARNESS_ROOM, 80, 20, HARNESS_FLOOR);
    }
};

TEST_F(Triggers, ClearedRecordsMatchNothing)
{
    for (int i = 8; i < TRIGGER_COUNT; i++) {
        EXPECT_EQ(triggers[i].active, 0);
        EXPECT_EQ(triggers[i].event, EVENT_NONE);
        EXPECT_EQ(triggers[i].actions[0].type, DO_NOTHING);
    }
    EXPECT_EQ(triggers[0].subject, SCRIPT_OFFERING_1);
    EXPECT_EQ(triggers[0].other, SCRIPT_ALTAR);
    EXPECT_EQ(triggers[4].event, EVENT_COUNTER);
}

TEST_F(Triggers, ATouchFiresOnceInEitherOrder)
{
    offerings_room();
    fire_triggers(SCRIPT_ALTAR, SCRIPT_OFFERING_1, EVENT_TOUCH); // wrong order: no match
    EXPECT_EQ(trigger_counters[0], 0);
    fire_triggers(SCRIPT_OFFERING_1, SCRIPT_ALTAR, EVENT_TOUCH);
    EXPECT_EQ(trigger_counters[0], 1);
    EXPECT_EQ(world_objects[SCRIPT_MARKER_1].frame, 4);
    EXPECT_EQ(sprite_table[slot_of(SCRIPT_MARKER_1)].anim_frame, 4);
    EXPECT_EQ(world_objects[SCRIPT_OFFERING_1].used, WOBJ_FREE);
    EXPECT_EQ(slot_of(SCRIPT_OFFERING_1), -1);
    EXPECT_EQ(triggers[0].fired, 1);
    fire_triggers(SCRIPT_OFFERING_1, SCRIPT_ALTAR, EVENT_TOUCH);
    EXPECT_EQ(trigger_counters[0], 1);
}

TEST_F(Triggers, FourthOfferingPlacesTheRewardOnTheNextTickOnce)
{
    offerings_room();
    fire_triggers(SCRIPT_OFFERING_1, SCRIPT_ALTAR, EVENT_TOUCH);
    fire_triggers(SCRIPT_OFFERING_2, SCRIPT_ALTAR, EVENT_TOUCH);
    fire_triggers(SCRIPT_OFFERING_3, SCRIPT_ALTAR, EVENT_TOUCH);
    EXPECT_EQ(slot_of(SCRIPT_REWARD), -1);
    fire_triggers(SCRIPT_OFFERING_4, SCRIPT_ALTAR, EVENT_TOUCH);
    EXPECT_EQ(trigger_counters[0], 4);
    EXPECT_EQ(slot_of(SCRIPT_REWARD), -1); // counters are looked at as a tick starts
    run_tick(0);
    int reward = slot_of(SCRIPT_REWARD);
    ASSERT_GE(reward, 0);
    EXPECT_EQ(triggers[4].fired, 1);
    EXPECT_EQ(world_objects[SCRIPT_MARKER_4].frame, 7);
    run_ticks(0, 3);
    int count = 0;
    for (const sprite_record &s : sprite_table) {
        count += s.active && s.world_object == SCRIPT_REWARD;
    }
    EXPECT_EQ(count, 1);
}

TEST_F(Triggers, UseTriggerNeverFiresAndRecordsOneRequest)
{
    fire_triggers(SCRIPT_USABLE, -1, EVENT_USE);
    fire_triggers(SCRIPT_USABLE, -1, EVENT_USE);
    EXPECT_EQ(triggers[7].fired, 0);
    EXPECT_EQ(pending_show.pending, 1);
    EXPECT_EQ(pending_show.x, 220);
    EXPECT_EQ(pending_show.y, 15);
    EXPECT_EQ(pending_show.value, 200);
    // Drops and pick-ups match nothing in the castle's table.
    int before = trigger_counters[0];
    for (int w : {SCRIPT_OFFERING_1, SCRIPT_USABLE, SCRIPT_CHARM}) {
        fire_triggers(w, -1, EVENT_DROP);
        fire_triggers(w, -1, EVENT_PICK_UP);
    }
    EXPECT_EQ(trigger_counters[0], before);
}

TEST_F(Triggers, PlacingAShownObjectMovesIt)
{
    place_object(30, HARNESS_ROOM, DEF_LOOSE, 10, 10, HARNESS_FLOOR);
    start_in_room(HARNESS_ROOM, 80, 80, HARNESS_FLOOR);
    int before = slot_of(30);
    clear_trigger(9);
    triggers[9].active = 1;
    triggers[9].event = EVENT_USE;
    triggers[9].actions[0] = {1, DO_PLACE, 30, 50, 60, 20, HARNESS_ROOM, -1, -1, -1};
    fire_triggers(7, -1, EVENT_USE);
    int after = slot_of(30);
    ASSERT_GE(after, 0);
    EXPECT_FALSE(sprite_table[before].active && before != after);
    EXPECT_EQ(sx(after), 50);
    EXPECT_EQ(sy(after), 60);
    EXPECT_EQ(sz(after), 20);
    EXPECT_EQ(world_objects[30].x, 10.0f); // brought up to date when the player leaves
}

TEST_F(Triggers, MovingAnObjectElsewhereChangesItsStoredPosition)
{
    place_object(31, HARNESS_NEXT_ROOM, DEF_LOOSE, 10, 10, 3);
    start_in_room(HARNESS_ROOM, 40, 40, HARNESS_FLOOR);
    clear_trigger(9);
    triggers[9].active = 1;
    triggers[9].event = EVENT_USE;
    triggers[9].actions[0] = {1, DO_MOVE, 31, 5, -2, 1, -1, -1, -1, -1};
    fire_triggers(1, -1, EVENT_USE);
    EXPECT_EQ(world_objects[31].x, 15.0f);
    EXPECT_EQ(world_objects[31].y, 8.0f);
    EXPECT_EQ(world_objects[31].z, 4.0f);
}

TEST_F(Triggers, AFailingActionLeavesTheTriggerArmedAndItRunsAgainFromTheStart)
{
    start_in_room(HARNESS_ROOM, 40, 40, HARNESS_FLOOR);
    place_object(32, HARNESS_ROOM, DEF_LOOSE, 10, 10, HARNESS_FLOOR);
    clear_trigger(9);
    triggers[9].active = 1;
    triggers[9].event = EVENT_USE;
    triggers[9].actions[0] = {1, DO_COUNT, -1, 0, 0, 0, -1, -1, 3, -1};
    triggers[9].actions[1] = {1, DO_PLACE, 32, 20, 20, HARNESS_FLOOR, HARNESS_ROOM, -1, -1, -1};
    // Fill every free slot so the placing finds none.
    for (int s = FIRST_FREE_SLOT; s < SPRITE_COUNT; s++) {
        sprite_table[s].active = 1;
    }
    fire_triggers(1, -1, EVENT_USE);
    fire_triggers(1, -1, EVENT_USE);
    EXPECT_EQ(triggers[9].fired, 0);
    EXPECT_EQ(trigger_counters[3], 2); // the first action ran both times
    sprite_table[SPRITE_COUNT - 1].active = 0;
    fire_triggers(1, -1, EVENT_USE);
    EXPECT_EQ(triggers[9].fired, 1);
    EXPECT_EQ(trigger_counters[3], 3);
}

TEST_F(Triggers, CharmTurnsTheStoneAndTheResultDissolvesTheBarrier)
{
    place_object(SCRIPT_CHARM, HARNESS_ROOM, DEF_LOOSE, 10, 10, HARNESS_FLOOR);
    place_object(SCRIPT_CHARMED_THING, HARNESS_ROOM, DEF_LOOSE, 30, 30, HARNESS_FLOOR);
    place_object(SCRIPT_BARRIER, HARNESS_ROOM, DEF_LOOSE, 60, 60, HARNESS_FLOOR);
    place_object(SCRIPT_CHARM_RESULT, HARNESS_ROOM, DEF_LOOSE, 0, 0, 0);
    world_objects[SCRIPT_CHARM_RESULT].used = WOBJ_OUT_OF_PLAY;
    world_objects[SCRIPT_CHARM_RESULT].room = ROOM_CARRIED;
    inventory[2] = SCRIPT_BARRIER; // a carried copy of the id is emptied too
    start_in_room(HARNESS_ROOM, 80, 10, HARNESS_FLOOR);
    fire_triggers(SCRIPT_CHARM, SCRIPT_CHARMED_THING, EVENT_TOUCH);
    int result = slot_of(SCRIPT_CHARM_RESULT);
    ASSERT_GE(result, 0);
    EXPECT_EQ(sx(result), 30);
    EXPECT_EQ(sy(result), 30);
    EXPECT_EQ(world_objects[SCRIPT_CHARMED_THING].used, WOBJ_FREE);
    fire_triggers(SCRIPT_CHARM_RESULT, SCRIPT_BARRIER, EVENT_TOUCH);
    EXPECT_EQ(slot_of(SCRIPT_BARRIER), -1);
    EXPECT_EQ(slot_of(SCRIPT_CHARM_RESULT), -1);
    EXPECT_EQ(inventory[2], EMPTY_SLOT);
}

TEST_F(Triggers, RoomConditionIsTheCurrentRoom)
{
    start_in_room(HARNESS_ROOM, 40, 40, HARNESS_FLOOR);
    clear_trigger(9);
    triggers[9].active = 1;
    triggers[9].event = EVENT_USE;
    triggers[9].room = HARNESS_NEXT_ROOM;
    triggers[9].actions[0] = {1, DO_COUNT, -1, 0, 0, 0, -1, -1, 5, -1};
    fire_triggers(1, -1, EVENT_USE);
    EXPECT_EQ(trigger_counters[5], 0);
    triggers[9].room = HARNESS_ROOM;
    fire_triggers(1, -1, EVENT_USE);
    EXPECT_EQ(trigger_counters[5], 1);
}

} // namespace
