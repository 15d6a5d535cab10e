// Sprite physics in whole ticks: support and stacking, falling, contact
// damage, stepping up, pushing, carrying, room limits and exits, the rise
// of a jump into something above, and the animation step.
#include <gtest/gtest.h>

#include "physics/physics.h"
#include "physics/player.h"
#include "runtime/room_setup.h"
#include "runtime/sprite_images.h"
#include "runtime/sprites.h"
#include "shell/actions.h"
#include "tick_harness.h"
#include "world/object_defs.h"
#include "world/world_objects.h"

namespace
{

constexpr float ENERGY_EPSILON = 0.001f;

// Monks that walk only when a test asks them to: the creature behaviours
// would otherwise choose their own moves every tick.
void hold_monks_still(void)
{
    object_defs[DEF_CHASING_MONK].behaviour = BEHAVIOUR_NONE;
}

using Support = tick_world;
using Falling = tick_world;
using Climbing = tick_world;
using Pushing = tick_world;
using RoomLimits = tick_world;
using Rising = tick_world;
using Animation = tick_world;
using Helpers = tick_world;

TEST_F(Support, StackedBoxesRestWithoutCollidingAndNameWhatIsBelow)
{
    make_flat_room(HARNESS_ROOM, 4, 4, HARNESS_FLOOR);
    place_object(1, HARNESS_ROOM, DEF_BOX, 30, 30, HARNESS_FLOOR);
    place_object(2, HARNESS_ROOM, DEF_BOX, 30, 30, HARNESS_FLOOR + 5);
    place_object(3, HARNESS_ROOM, DEF_BOX, 35, 30, HARNESS_FLOOR); // side by side with 1
    start_in_room(HARNESS_ROOM, 10, 10, HARNESS_FLOOR);
    int lower = slot_of(1), upper = slot_of(2), beside = slot_of(3);
    run_ticks(0, 5);
    EXPECT_EQ(sz(upper), HARNESS_FLOOR + 5);
    EXPECT_EQ(sprite_table[upper].standing_on, lower);
    EXPECT_EQ(sprites_overlap(lower, upper), 0);
    EXPECT_EQ(sprites_overlap(upper, lower), 0);
    EXPECT_EQ(sprites_overlap(lower, beside), 0); // touching faces share no volume
    EXPECT_TRUE(sprite_table[lower].is_room_part == 0);
    EXPECT_EQ(sprite_table[sprite_table[lower].standing_on].is_room_part, 1);
    EXPECT_EQ(sprite_table[PLAYER_SLOT].standing_on >= FIRST_ROOM_PART_SLOT, true);
    // One unit lower and they share volume, whichever way round it is asked.
    sprite_table[upper].z -= 1;
    EXPECT_EQ(sprites_overlap(lower, upper), 1);
    EXPECT_EQ(sprites_overlap(upper, lower), 1);
}

// The player straddles two 3-unit-high things: the fire (harmful) and a
// crown (harmless). The higher slot is named as support; only the lower
// one is touched, twice a tick, so only a fire in the lower slot hurts.
TEST_F(Support, HigherSlotWinsSupportAndOnlyTheLowerIsTouched)
{
    struct order_case {
        int first_def, second_def;
        float loss_per_tick;
    };
    const order_case cases[] = {{DEF_FIRE, DEF_CROWN, 0.4f}, {DEF_CROWN, DEF_FIRE, 0.0f}};
    for (const order_case &c : cases) {
        harness_end();
        harness_begin();
        make_flat_room(HARNESS_ROOM, 4, 4, HARNESS_FLOOR);
        place_object(1, HARNESS_ROOM, c.first_def, 20, 20, HARNESS_FLOOR);
        place_object(2, HARNESS_ROOM, c.second_def, 23, 20, HARNESS_FLOOR);
        start_in_room(HARNESS_ROOM, 21, 20, HARNESS_FLOOR + 3);
        float before = energy;
        run_ticks(0, 10);
        EXPECT_EQ(sprite_table[PLAYER_SLOT].standing_on, slot_of(2));
        EXPECT_EQ(sz(PLAYER_SLOT), HARNESS_FLOOR + 3);
        EXPECT_NEAR(before - energy, 10 * c.loss_per_tick, ENERGY_EPSILON);
    }
}

TEST_F(Falling, TwoUnitsPerTickUntilLandingAndNeverBelowTheFloorPlane)
{
    make_flat_room(HARNESS_ROOM, 2, 2, HARNESS_FLOOR);
    place_object(1, HARNESS_ROOM, DEF_BOX, 10, 10, 20);
    place_object(2, HARNESS_ROOM, DEF_BOX, 40, 40, 5); // beyond the floor columns
    start_in_room(HARNESS_ROOM, 20, 20, HARNESS_FLOOR);
    int box = slot_of(1), stray = slot_of(2);
    EXPECT_EQ(sz(box), 18);
    EXPECT_EQ(sprite_table[box].standing_on, STANDING_ON_NOTHING);
    run_tick(0);
    EXPECT_EQ(sz(box), 16);
    run_ticks(0, 10);
    EXPECT_EQ(sz(box), HARNESS_FLOOR);
    EXPECT_GE(sprite_table[box].standing_on, FIRST_ROOM_PART_SLOT);
    EXPECT_EQ(sz(stray), 0);
    EXPECT_EQ(sprite_table[stray].standing_on, STANDING_ON_NOTHING);
}

TEST_F(Falling, ThePlayerCannotSteerWhileFalling)
{
    make_flat_room(HARNESS_ROOM, 4, 4, HARNESS_FLOOR);
    start_in_room(HARNESS_ROOM, 20, 20, 40);
    EXPECT_EQ(player_falling, 1);
    sprite_table[PLAYER_SLOT].vx = 1;
    move_sprites();
    EXPECT_EQ(sx(PLAYER_SLOT), 20);
    EXPECT_EQ(sprite_table[PLAYER_SLOT].vx, 1.0f); // the request is left for later
    EXPECT_EQ(sz(PLAYER_SLOT), 36);
    sprite_table[PLAYER_SLOT].vx = 0;
    run_ticks(0, 20);
    EXPECT_EQ(player_falling, 0);
    EXPECT_EQ(sz(PLAYER_SLOT), HARNESS_FLOOR);
}

// The player walks along +x from cell (1, 1) into cell (2, 1) whose floor
// is rise units higher.
TEST_F(Climbing, CharactersStepUpSixUnitsButNotSeven)
{
    for (int rise : {6, 7}) {
        harness_end();
        harness_begin();
        make_flat_room(HARNESS_ROOM, 4, 4, HARNESS_FLOOR);
        set_floor(HARNESS_ROOM, 2, 1, HARNESS_FLOOR + rise);
        start_in_room(HARNESS_ROOM, 27, 20, HARNESS_FLOOR);
        run_tick(ACTION_LEFT);
        if (rise <= MAX_STEP_UP) {
            EXPECT_EQ(sx(PLAYER_SLOT), 28);
            EXPECT_EQ(sz(PLAYER_SLOT), HARNESS_FLOOR + rise);
        } else {
            EXPECT_EQ(sx(PLAYER_SLOT), 27);
            EXPECT_EQ(sz(PLAYER_SLOT), HARNESS_FLOOR);
        }
    }
}

// Both rise one unit in this tick with nothing under them and walk into a
// step 3 units above their feet: the monk climbs it, the player does not.
TEST_F(Climbing, OnlyThePlayerNeedsGroundToStepUp)
{
    make_flat_room(HARNESS_ROOM, 4, 4, HARNESS_FLOOR);
    set_floor(HARNESS_ROOM, 2, 1, 8);
    set_floor(HARNESS_ROOM, 2, 2, 8);
    place_object(1, HARNESS_ROOM, DEF_CHASING_MONK, 26, 35, 4);
    start_in_room(HARNESS_ROOM, 27, 20, 4);
    int monk = slot_of(1);
    for (int slot : {PLAYER_SLOT, monk}) {
        sprite_record &s = sprite_table[slot];
        s.x = static_cast<float>(30 - s.size_x);
        s.z = 4;
        s.vz = 1;
        s.vx = 1;
        s.standing_on = STANDING_ON_NOTHING;
    }
    move_sprites();
    EXPECT_EQ(sx(PLAYER_SLOT), 27);
    EXPECT_EQ(sz(PLAYER_SLOT), 5);
    EXPECT_EQ(sx(monk), 27);
    EXPECT_EQ(sz(monk), 8);
}

TEST_F(Climbing, LooseObjectsNeverClimbAndTheirPusherStops)
{
    make_flat_room(HARNESS_ROOM, 4, 4, HARNESS_FLOOR);
    set_floor(HARNESS_ROOM, 2, 1, HARNESS_FLOOR + 1);
    place_object(1, HARNESS_ROOM, DEF_BOX, 23, 20, HARNESS_FLOOR);
    start_in_room(HARNESS_ROOM, 20, 21, HARNESS_FLOOR);
    sprite_table[PLAYER_SLOT].facing = SIDE_HIGH_X;
    int box = slot_of(1);
    run_ticks(ACTION_LEFT, 30);
    EXPECT_EQ(sx(box), 25); // its far edge against the step
    EXPECT_EQ(sz(box), HARNESS_FLOOR);
    EXPECT_EQ(sx(PLAYER_SLOT), 22);
    EXPECT_EQ(sz(PLAYER_SLOT), HARNESS_FLOOR);
}

TEST_F(Pushing, PlayerAndBoxAdvanceOneUnitEveryTwoTicks)
{
    make_flat_room(HARNESS_ROOM, 4, 4, HARNESS_FLOOR);
    place_object(1, HARNESS_ROOM, DEF_BOX, 23, 20, HARNESS_FLOOR);
    start_in_room(HARNESS_ROOM, 20, 21, HARNESS_FLOOR);
    int box = slot_of(1);
    const int box_x[] = {24, 24, 25, 25, 26, 26};
    const int player_x[] = {20, 21, 21, 22, 22, 23};
    for (int t = 0; t < 6; t++) {
        run_tick(ACTION_LEFT);
        EXPECT_EQ(sx(box), box_x[t]) << "tick " << t;
        EXPECT_EQ(sx(PLAYER_SLOT), player_x[t]) << "tick " << t;
    }
}

// A monk pushing a box: with the box later in slot order it moves in the
// tick it is pushed, with the box earlier it moves one tick later.
TEST_F(Pushing, TheCadenceHoldsInBothSlotOrders)
{
    struct order_case {
        int box_wobj, monk_wobj;
        int box_x[6], monk_x[6];
    };
    const order_case cases[] = {
        {2, 1, {24, 24, 25, 25, 26, 26}, {19, 20, 20, 21, 21, 22}},
        {1, 2, {23, 24, 24, 25, 25, 26}, {19, 20, 20, 21, 21, 22}},
    };
    for (const order_case &c : cases) {
        harness_end();
        harness_begin();
        hold_monks_still();
        make_flat_room(HARNESS_ROOM, 4, 4, HARNESS_FLOOR);
        place_object(c.box_wobj, HARNESS_ROOM, DEF_BOX, 23, 20, HARNESS_FLOOR);
        place_object(c.monk_wobj, HARNESS_ROOM, DEF_CHASING_MONK, 19, 21, HARNESS_FLOOR);
        start_in_room(HARNESS_ROOM, 5, 5, HARNESS_FLOOR);
        int box = slot_of(c.box_wobj), monk = slot_of(c.monk_wobj);
        for (int t = 0; t < 6; t++) {
            sprite_table[monk].vx = 1;
            run_tick(0);
            EXPECT_EQ(sx(box), c.box_x[t]) << "box wobj " << c.box_wobj << " tick " << t;
            EXPECT_EQ(sx(monk), c.monk_x[t]) << "box wobj " << c.box_wobj << " tick " << t;
        }
    }
}

TEST_F(Pushing, CreaturesOfWeightOneGiveWayAndHurtOnContact)
{
    make_flat_room(HARNESS_ROOM, 4, 4, HARNESS_FLOOR);
    place_object(1, HARNESS_ROOM, DEF_CHASING_MONK, 23, 20, HARNESS_FLOOR);
    hold_monks_still();
    start_in_room(HARNESS_ROOM, 20, 21, HARNESS_FLOOR);
    object_defs[DEF_CHASING_MONK].behaviour = BEHAVIOUR_CHASE; // a creature again, for the push
    int monk = slot_of(1);
    // The physics alone, so the monk chooses no move of its own.
    sprite_table[PLAYER_SLOT].vx = 1;
    sprite_table[monk].vz = -1; // a pushed creature loses its vertical speed
    move_sprites();
    EXPECT_EQ(sprite_table[monk].vz, 0.0f);
    EXPECT_EQ(sx(monk), 24);
    EXPECT_EQ(sx(PLAYER_SLOT), 20);
    EXPECT_NEAR(energy, START_ENERGY - 0.5f, ENERGY_EPSILON);
}

TEST_F(Pushing, WhatStandsOnAMovingSpriteTravelsWithIt)
{
    make_flat_room(HARNESS_ROOM, 4, 4, HARNESS_FLOOR);
    place_object(1, HARNESS_ROOM, DEF_BOX, 30, 30, HARNESS_FLOOR);
    place_object(2, HARNESS_ROOM, DEF_BOX, 30, 30, HARNESS_FLOOR + 5);
    start_in_room(HARNESS_ROOM, 27, 31, HARNESS_FLOOR);
    int lower = slot_of(1), upper = slot_of(2);
    run_tick(ACTION_LEFT);
    EXPECT_EQ(sx(lower), 31);
    EXPECT_EQ(sx(upper), 31);
    EXPECT_EQ(sz(upper), HARNESS_FLOOR + 5);
}

// Both walk out across the low x limit: through an exit the player enters
// the next room (the monk clamped before it was left); without one the
// player is clamped too.
TEST_F(RoomLimits, ThePlayerLeavesThroughAnExitAndAMonkIsClamped)
{
    for (int exit : {1, 0}) {
        harness_end();
        harness_begin();
        hold_monks_still();
        room_record &here = make_flat_room(HARNESS_ROOM, 4, 4, HARNESS_FLOOR);
        here.adjacent[SIDE_LOW_X] = exit ? HARNESS_NEXT_ROOM : 0;
        make_flat_room(HARNESS_NEXT_ROOM, 3, 3, HARNESS_FLOOR);
        place_object(1, HARNESS_ROOM, DEF_CHASING_MONK, 0, 40, HARNESS_FLOOR);
        start_in_room(HARNESS_ROOM, 0, 20, HARNESS_FLOOR);
        sprite_table[slot_of(1)].vx = -1;
        run_tick(ACTION_RIGHT); // facing 3, towards smaller x
        EXPECT_EQ(current_room, exit ? HARNESS_NEXT_ROOM : HARNESS_ROOM);
        const int high_x = rooms[HARNESS_NEXT_ROOM].limit[SIDE_HIGH_X];
        EXPECT_EQ(sx(PLAYER_SLOT), exit ? high_x - 1 - 3 : 0);
        EXPECT_EQ(sy(PLAYER_SLOT), 20);
        EXPECT_EQ(world_objects[1].room, HARNESS_ROOM);
        EXPECT_EQ(exit ? world_objects[1].x : sx(slot_of(1)), 0.0f);
    }
}

// The far edge may pass the high limit by up to one unit; past that the
// sprite is put back to end exactly at the limit.
TEST_F(RoomLimits, TheHighLimitAllowsOneUnit)
{
    hold_monks_still();
    make_flat_room(HARNESS_ROOM, 4, 4, HARNESS_FLOOR);
    int high_x = rooms[HARNESS_ROOM].limit[SIDE_HIGH_X];
    place_object(1, HARNESS_ROOM, DEF_CHASING_MONK, 20, 40, HARNESS_FLOOR);
    start_in_room(HARNESS_ROOM, 10, 10, HARNESS_FLOOR);
    sprite_record &monk = sprite_table[slot_of(1)];
    monk.x = high_x - monk.size_x - 0.5f;
    monk.vx = 1;
    run_tick(0);
    EXPECT_EQ(monk.x + monk.size_x, high_x + 0.5f);
    monk.vx = 1;
    run_tick(0);
    EXPECT_EQ(monk.x + monk.size_x, static_cast<float>(high_x));
}

// A box lying on the player's head: the rise is undone, the box is handed
// it instead, and the jump ends with a bumped head.
TEST_F(Rising, ARiseIntoALooseSpriteLiftsItAndEndsTheJump)
{
    make_flat_room(HARNESS_ROOM, 4, 4, HARNESS_FLOOR);
    place_object(1, HARNESS_ROOM, DEF_BOX, 20, 20, HARNESS_FLOOR + 28);
    start_in_room(HARNESS_ROOM, 20, 20, HARNESS_FLOOR);
    int box = slot_of(1);
    EXPECT_EQ(sprite_table[box].standing_on, PLAYER_SLOT);
    run_tick(ACTION_JUMP);
    EXPECT_EQ(jump_counter, JUMP_TICKS - 1);
    run_tick(0);
    EXPECT_EQ(sz(PLAYER_SLOT), HARNESS_FLOOR);
    EXPECT_EQ(sz(box), HARNESS_FLOOR + 29);
    EXPECT_EQ(head_bumped, 1);
    EXPECT_EQ(jump_counter, 0);
}

TEST_F(Animation, LoopingFramesStepAfterTheDelayAndCharactersInTheAirHold)
{
    make_flat_room(HARNESS_ROOM, 4, 4, HARNESS_FLOOR);
    place_object(1, HARNESS_ROOM, DEF_FIRE, 20, 20, HARNESS_FLOOR);
    place_object(2, HARNESS_ROOM, DEF_ATTACKING_TROLL, 40, 40, 60);
    start_in_room(HARNESS_ROOM, 5, 5, HARNESS_FLOOR);
    int fire = slot_of(1), troll = slot_of(2);
    const object_def &d = object_defs[DEF_FIRE];
    ASSERT_GE(d.anim_frames, 2);
    int period = d.anim_delay + 1;
    for (int ticks = 2; ticks <= 2 * period * d.anim_frames; ticks++) {
        run_tick(0);
        EXPECT_EQ(sprite_table[fire].anim_frame, (ticks / period) % d.anim_frames);
        if (sprite_table[troll].standing_on == STANDING_ON_NOTHING) {
            EXPECT_EQ(sprite_table[troll].anim_frame, 0);
        }
    }
    EXPECT_EQ(sz(troll), HARNESS_FLOOR);
    EXPECT_NE(sprite_table[troll].anim_frame + sprite_table[troll].anim_tick, 0);
    // The bookkeeping keeps the view position in step with the world one.
    EXPECT_EQ(sprite_table[troll].screen_y,
              sprite_screen_y(sprite_table[troll].x, sprite_table[troll].y, sprite_table[troll].z,
                              sprite_table[troll].draw_offset_y));
    EXPECT_EQ(sprite_table[troll].cell_x, 41 / 15);
}

TEST_F(Helpers, RandomNumbersKeepTheirContractAndBadSlotsOverlapNothing)
{
    EXPECT_EQ(random_int(0), 0);
    EXPECT_EQ(random_int(-5), 0);
    EXPECT_EQ(random_int(1), 0);
    EXPECT_EQ(random_range(4, 4), 4);
    EXPECT_EQ(random_range(9, 2), 9);
    int seen_low = 0, seen_high = 0;
    for (int i = 0; i < 2000; i++) {
        int r = random_range(3, 6);
        ASSERT_GE(r, 3);
        ASSERT_LE(r, 6);
        seen_low |= r == 3;
        seen_high |= r == 6;
    }
    EXPECT_TRUE(seen_low && seen_high);
    EXPECT_EQ(sprites_overlap(-1, 0), 0);
    EXPECT_EQ(sprites_overlap(0, SPRITE_COUNT), 0);
}

} // namespace
