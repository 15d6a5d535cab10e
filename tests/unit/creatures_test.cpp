// Creature behaviours through the tick harness: watching, patrolling and
// turning, chasing and holding course, the patrol's alarm distance.
#include <gtest/gtest.h>

#include "physics/creatures.h"
#include "runtime/sprites.h"
#include "tick_harness.h"
#include "world/object_defs.h"
#include "world/rooms.h"

namespace
{

struct Creatures : tick_world {
    void SetUp() override
    {
        tick_world::SetUp();
        make_flat_room(HARNESS_ROOM, 10, 10, HARNESS_FLOOR);
    }
};

TEST_F(Creatures, DirectionTiesGoAlongY)
{
    place_object(5, HARNESS_ROOM, DEF_GUARD_MONK, 50, 50, HARNESS_FLOOR);
    start_in_room(HARNESS_ROOM, 60, 60, HARNESS_FLOOR);
    int monk = slot_of(5);
    EXPECT_EQ(direction_to_player(monk), SIDE_HIGH_Y);
    sprite_table[PLAYER_SLOT].x = 61;
    EXPECT_EQ(direction_to_player(monk), SIDE_HIGH_X);
    sprite_table[PLAYER_SLOT].x = sprite_table[monk].x;
    sprite_table[PLAYER_SLOT].y = sprite_table[monk].y;
    EXPECT_EQ(direction_to_player(monk), SIDE_LOW_Y);
}

TEST_F(Creatures, GuardTurnsToFaceThePlayerAndNeverMoves)
{
    place_object(5, HARNESS_ROOM, DEF_GUARD_MONK, 50, 50, HARNESS_FLOOR);
    start_in_room(HARNESS_ROOM, 20, 52, HARNESS_FLOOR);
    int monk = slot_of(5);
    run_tick(0);
    EXPECT_EQ(sprite_table[monk].facing, SIDE_LOW_X);
    EXPECT_EQ(sx(monk), 50);
    EXPECT_EQ(sy(monk), 50);
}

TEST_F(Creatures, PatrolTurnsAtABlockAndMovesTheTickAfter)
{
    place_object(6, HARNESS_ROOM, DEF_PATROL_X_TROLL, 20, 100, HARNESS_FLOOR);
    place_object(7, HARNESS_ROOM, DEF_BARREL, 30, 100, HARNESS_FLOOR);
    start_in_room(HARNESS_ROOM, 140, 10, HARNESS_FLOOR);
    int troll = slot_of(6);
    EXPECT_EQ(sprite_table[troll].facing, SIDE_HIGH_X); // initial facing 1
    int x = sx(troll);
    while (sx(troll) + sprite_table[troll].size_x < 30 && x < 40) {
        run_tick(0);
        x++;
    }
    int before = sx(troll);
    run_tick(0); // blocked ahead: only the turn
    EXPECT_EQ(sprite_table[troll].facing, SIDE_LOW_X);
    EXPECT_EQ(sx(troll), before);
    run_tick(0);
    EXPECT_EQ(sx(troll), before - 1);
}

TEST_F(Creatures, PatrolsFacingTheOtherAxisGoTowardsTheLowSide)
{
    place_object(6, HARNESS_ROOM, DEF_PATROL_Y_TROLL, 100, 60, HARNESS_FLOOR);
    place_object(7, HARNESS_ROOM, DEF_PATROL_X_TROLL, 60, 100, HARNESS_FLOOR);
    start_in_room(HARNESS_ROOM, 10, 140, HARNESS_FLOOR);
    int along_y = slot_of(6), along_x = slot_of(7);
    sprite_table[along_y].facing = SIDE_HIGH_X;
    sprite_table[along_x].facing = SIDE_HIGH_Y;
    int y = sy(along_y), x = sx(along_x);
    run_tick(0);
    EXPECT_EQ(sy(along_y), y - 1);
    EXPECT_EQ(sx(along_y), 100);
    EXPECT_EQ(sx(along_x), x - 1);
    EXPECT_EQ(sy(along_x), 100);
    // A request already on the other axis is kept.
    sprite_table[along_x].vy = 1;
    sprite_table[along_y].vx = -1;
    update_creatures();
    EXPECT_EQ(sprite_table[along_x].vy, 1.0f);
    EXPECT_EQ(sprite_table[along_y].vx, -1.0f);
}

TEST_F(Creatures, PatrollerNearThePlayerBecomesAnAttacker)
{
    struct {
        int dx, dy;
        int attacks;
    } cases[] = {{19, 0, 1}, {20, 0, 0}, {14, 14, 0}, {13, 13, 1}};
    for (const auto &c : cases) {
        harness_end(); // each case starts from a clean harness
        harness_begin();
        make_flat_room(HARNESS_ROOM, 10, 10, HARNESS_FLOOR);
        place_object(6, HARNESS_ROOM, DEF_PATROL_Y_TROLL, 60 + c.dx, 60 + c.dy, HARNESS_FLOOR);
        start_in_room(HARNESS_ROOM, 60, 60, HARNESS_FLOOR);
        int troll = slot_of(6);
        // Stand still for the check: a troll facing y patrols only along y.
        sprite_table[troll].facing = SIDE_LOW_Y;
        sprite_table[troll].y = static_cast<float>(60 + c.dy + 1);
        update_creatures();
        int expect = c.attacks ? DEF_ATTACKING_TROLL : DEF_PATROL_Y_TROLL;
        EXPECT_EQ(sprite_table[troll].obj_def, expect) << c.dx << "," << c.dy;
    }
    EXPECT_EQ(rounded_distance(14, 14), 20);
    EXPECT_EQ(rounded_distance(19, 0), 19);
    EXPECT_EQ(rounded_distance(3, 4), 5);
}

TEST_F(Creatures, ChaserHoldsItsCourseSixMoreTicks)
{
    place_object(8, HARNESS_ROOM, DEF_CHASING_MONK, 100, 60, HARNESS_FLOOR);
    start_in_room(HARNESS_ROOM, 60, 61, HARNESS_FLOOR);
    int monk = slot_of(8);
    sprite_table[monk].turn_timer = 0;
    update_creatures();
    EXPECT_EQ(sprite_table[monk].vx, -1.0f);
    EXPECT_EQ(sprite_table[monk].facing, SIDE_LOW_X);
    // The player passes behind it: it keeps going the same way for 6 ticks.
    sprite_table[PLAYER_SLOT].x = 140;
    for (int t = 0; t < CHASE_REPEAT_TICKS; t++) {
        sprite_table[monk].vx = sprite_table[monk].vy = 0;
        update_creatures();
        EXPECT_EQ(sprite_table[monk].vx, -1.0f) << "tick " << t;
    }
    sprite_table[monk].vx = 0;
    update_creatures();
    EXPECT_EQ(sprite_table[monk].vx, 1.0f);
}

TEST_F(Creatures, CreaturesInTheAirDoNothing)
{
    place_object(8, HARNESS_ROOM, DEF_CHASING_MONK, 100, 60, HARNESS_FLOOR);
    start_in_room(HARNESS_ROOM, 60, 60, HARNESS_FLOOR);
    int monk = slot_of(8);
    sprite_table[monk].standing_on = STANDING_ON_NOTHING;
    sprite_table[monk].turn_timer = 0;
    sprite_table[monk].facing = SIDE_HIGH_Y;
    update_creatures();
    EXPECT_EQ(sprite_table[monk].vx, 0.0f);
    EXPECT_EQ(sprite_table[monk].facing, SIDE_HIGH_Y);
    sprite_table[monk].standing_on = STANDING_ON_UNTESTED; // freshly placed ones act
    update_creatures();
    EXPECT_EQ(sprite_table[monk].vx, -1.0f);
}

} // namespace
