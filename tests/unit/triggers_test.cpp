// The event triggers: matching, firing once, failing actions that leave a
// trigger armed, and actions' effects on sprites and world objects. (The
// castle's own puzzles are played through by the walkthrough.)
#include <gtest/gtest.h>

#include "physics/player.h"
#include "physics/script_ids.h"
#include "physics/triggers.h"
#include "runtime/room_setup.h"
#include "runtime/sprites.h"
#include "tick_harness.h"
#include "world/object_defs.h"
#include "world/world_objects.h"

namespace
{

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
    // A spare record, armed on use, for the actions a test puts in it.
    void use_trigger(void)
    {
        clear_trigger(9);
        triggers[9].active = 1;
        triggers[9].event = EVENT_USE;
    }
};

TEST_F(Triggers, ATouchFiresOnceInEitherOrder)
{
    place_object(SCRIPT_ALTAR, HARNESS_ROOM, DEF_BARREL, 40, 40, HARNESS_FLOOR);
    place_object(SCRIPT_OFFERING_1, HARNESS_ROOM, DEF_BARREL, 5, 70, HARNESS_FLOOR);
    place_object(SCRIPT_MARKER_1, HARNESS_ROOM, DEF_BARREL, 5, 5, HARNESS_FLOOR);
    start_in_room(HARNESS_ROOM, 80, 20, HARNESS_FLOOR);
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
    place_object(30, HARNESS_ROOM, DEF_BARREL, 10, 10, HARNESS_FLOOR);
    start_in_room(HARNESS_ROOM, 80, 80, HARNESS_FLOOR);
    int before = slot_of(30);
    use_trigger();
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
    place_object(31, HARNESS_NEXT_ROOM, DEF_BARREL, 10, 10, 3);
    start_in_room(HARNESS_ROOM, 40, 40, HARNESS_FLOOR);
    use_trigger();
    triggers[9].actions[0] = {1, DO_MOVE, 31, 5, -2, 1, -1, -1, -1, -1};
    fire_triggers(1, -1, EVENT_USE);
    EXPECT_EQ(world_objects[31].x, 15.0f);
    EXPECT_EQ(world_objects[31].y, 8.0f);
    EXPECT_EQ(world_objects[31].z, 4.0f);
}

TEST_F(Triggers, AFailingActionLeavesTheTriggerArmedAndItRunsAgainFromTheStart)
{
    start_in_room(HARNESS_ROOM, 40, 40, HARNESS_FLOOR);
    place_object(32, HARNESS_ROOM, DEF_BARREL, 10, 10, HARNESS_FLOOR);
    use_trigger();
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

TEST_F(Triggers, RoomConditionIsTheCurrentRoom)
{
    start_in_room(HARNESS_ROOM, 40, 40, HARNESS_FLOOR);
    use_trigger();
    triggers[9].room = HARNESS_NEXT_ROOM;
    triggers[9].actions[0] = {1, DO_COUNT, -1, 0, 0, 0, -1, -1, 5, -1};
    fire_triggers(1, -1, EVENT_USE);
    EXPECT_EQ(trigger_counters[5], 0);
    triggers[9].room = HARNESS_ROOM;
    fire_triggers(1, -1, EVENT_USE);
    EXPECT_EQ(trigger_counters[5], 1);
}

} // namespace
