// The player's rules in whole ticks: walking and the lunge, the jump, slot
// selection, eating, examining, dropping, picking up, doors, room changes
// and the box probe.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "physics/physics.h"
#include "physics/player.h"
#include "runtime/room_setup.h"
#include "runtime/sprites.h"
#include "shell/actions.h"
#include "shell/error_report.h"
#include "tick_harness.h"
#include "shell/resources.h"
#include "world/messages.h"
#include "world/object_defs.h"
#include "world/world_objects.h"

namespace
{

constexpr int PLAYER_SIZE = 3;

// Puts world object wobj of definition def into inventory slot.
void carry(int slot, int wobj, int def)
{
    place_object(wobj, ROOM_CARRIED, def, 0, 0, 0);
    inventory[slot] = wobj;
}

void face(int facing)
{
    sprite_table[PLAYER_SLOT].facing = facing;
}

// A plain 8 x 8 room with floors at HARNESS_FLOOR and the player standing
// at (x, y).
void flat_start(int x, int y)
{
    make_flat_room(HARNESS_ROOM, 8, 8, HARNESS_FLOOR);
    start_in_room(HARNESS_ROOM, x, y, HARNESS_FLOOR);
}

using Walking = tick_world;
using Jumping = tick_world;
using Items = tick_world;
using Dropping = tick_world;
using PickingUp = tick_world;
using Examining = tick_world;
using Doors = tick_world;
using RoomChange = tick_world;

TEST_F(Walking, OneAxisPerTickInTheFirstHeldDirection)
{
    struct walk_case {
        uint32_t keys;
        int facing, dx, dy;
    };
    const walk_case cases[] = {
        {ACTION_LEFT, SIDE_HIGH_X, 1, 0},
        {ACTION_RIGHT, SIDE_LOW_X, -1, 0},
        {ACTION_UP, SIDE_HIGH_Y, 0, 1},
        {ACTION_DOWN, SIDE_LOW_Y, 0, -1},
        {ACTION_LEFT | ACTION_UP, SIDE_HIGH_X, 1, 0},
        {ACTION_UP | ACTION_DOWN, SIDE_HIGH_Y, 0, 1},
    };
    flat_start(50, 50);
    for (const walk_case &c : cases) {
        int x = sx(PLAYER_SLOT), y = sy(PLAYER_SLOT);
        run_tick(c.keys);
        EXPECT_EQ(sprite_table[PLAYER_SLOT].facing, c.facing) << c.keys;
        EXPECT_EQ(sx(PLAYER_SLOT) - x, c.dx) << c.keys;
        EXPECT_EQ(sy(PLAYER_SLOT) - y, c.dy) << c.keys;
    }
}

TEST_F(Walking, TheWalkCycleStepsEveryThirdTickAndStandingShowsFrameOne)
{
    flat_start(20, 50);
    EXPECT_EQ(sprite_table[PLAYER_SLOT].anim_frame, 1);
    const int frames[] = {1, 1, 2, 2, 2, 3, 3, 3, 0, 0, 0, 1, 1, 1, 2};
    for (int expected : frames) {
        run_tick(ACTION_LEFT);
        EXPECT_EQ(sprite_table[PLAYER_SLOT].anim_frame, expected);
    }
    run_tick(0);
    EXPECT_EQ(sprite_table[PLAYER_SLOT].anim_frame, 1);
    EXPECT_EQ(sprite_table[PLAYER_SLOT].anim_tick, 0);
}

TEST_F(Walking, TheLungeMovesFourUnitsThenHolds)
{
    flat_start(20, 50);
    face(SIDE_HIGH_X);
    const int xs[] = {21, 22, 23, 24, 24, 24, 24, 24, 24, 24};
    const int frames[] = {6, 6, 6, 6, 5, 5, 5, 5, 1, 1};
    for (int t = 0; t < 10; t++) {
        run_tick(ACTION_LUNGE);
        EXPECT_EQ(sx(PLAYER_SLOT), xs[t]) << "tick " << t;
        EXPECT_EQ(sprite_table[PLAYER_SLOT].anim_frame, frames[t]) << "tick " << t;
    }
    EXPECT_EQ(lunge_counter, 9);
    run_tick(ACTION_LUNGE | ACTION_UP); // a direction turns the lunge into a walk
    EXPECT_EQ(lunge_counter, 0);
    EXPECT_EQ(sy(PLAYER_SLOT), 51);
}

TEST_F(Jumping, AFreeJumpRisesFifteenAndMovesFifteenThenFalls)
{
    flat_start(20, 50);
    face(SIDE_HIGH_X);
    run_tick(ACTION_JUMP);
    EXPECT_EQ(jump_counter, JUMP_TICKS - 1);
    run_ticks(ACTION_UP, JUMP_TICKS); // no steering while in the air
    EXPECT_EQ(sz(PLAYER_SLOT), HARNESS_FLOOR + 15);
    EXPECT_EQ(sx(PLAYER_SLOT), 35);
    EXPECT_EQ(sy(PLAYER_SLOT), 50);
    EXPECT_EQ(jump_counter, 0);
    EXPECT_EQ(sprite_table[PLAYER_SLOT].standing_on, STANDING_ON_NOTHING);
    run_tick(0);
    EXPECT_EQ(sz(PLAYER_SLOT), HARNESS_FLOOR + 13);
    EXPECT_EQ(sx(PLAYER_SLOT), 35);
    run_ticks(0, 8);
    EXPECT_EQ(sz(PLAYER_SLOT), HARNESS_FLOOR);
    run_tick(ACTION_UP);
    EXPECT_EQ(sy(PLAYER_SLOT), 51);
}

// Five units of room above the player's head: it rises five times, the
// sixth rise is undone, the jump ends there and the player falls.
TEST_F(Jumping, ALowCeilingEndsTheRiseAtTheFirstBlockedTick)
{
    room_record &r = make_flat_room(HARNESS_ROOM, 8, 8, HARNESS_FLOOR);
    r.ceiling = HARNESS_FLOOR + 28 + 5;
    start_in_room(HARNESS_ROOM, 20, 50, HARNESS_FLOOR);
    face(SIDE_HIGH_X);
    run_tick(ACTION_JUMP);
    for (int rise = 1; rise <= 5; rise++) {
        run_tick(0);
        EXPECT_EQ(sz(PLAYER_SLOT), HARNESS_FLOOR + rise);
        EXPECT_GT(jump_counter, 0);
    }
    run_tick(0);
    EXPECT_EQ(sz(PLAYER_SLOT), HARNESS_FLOOR + 5);
    EXPECT_EQ(head_bumped, 1);
    EXPECT_EQ(jump_counter, 0);
    int x = sx(PLAYER_SLOT);
    run_tick(0);
    EXPECT_EQ(sz(PLAYER_SLOT), HARNESS_FLOOR + 3);
    EXPECT_EQ(sx(PLAYER_SLOT), x);
}

TEST_F(Items, SlotKeysSelectTheLastHeldAndMakeThePicture)
{
    flat_start(50, 50);
    carry(3, 7, DEF_BOOK);
    world_objects[7].frame = 2;
    int image = object_defs[DEF_BOOK].frames[0] + 2;
    art.set_size(image, 13, 11);
    examined_object = 7;
    run_tick(ACTION_SLOT_2 | ACTION_SLOT_4);
    EXPECT_EQ(selected_slot, 3);
    EXPECT_EQ(examined_object, NO_EXAMINED_OBJECT);
    ASSERT_NE(item_picture, nullptr);
    EXPECT_EQ(item_picture->w, 13);
    EXPECT_EQ(item_picture->h, 11);
    run_tick(ACTION_SLOT_1);
    EXPECT_EQ(selected_slot, 0);
    ASSERT_NE(item_picture, nullptr); // an empty slot still has a (blank) picture
    int reports = reported_error_count;
    select_slot(INVENTORY_SLOTS);
    select_slot(-1);
    EXPECT_EQ(reported_error_count, reports + 2);
    EXPECT_EQ(selected_slot, 0);
}

TEST_F(Items, FoodIsEatenUpToNinetyNineAndOtherItemsStay)
{
    flat_start(50, 50);
    carry(0, 5, DEF_LOAF_OF_BREAD);
    carry(1, 6, DEF_JUG_OF_WATER);
    carry(2, 8, DEF_BOOK);
    energy = 95.0f;
    run_tick(ACTION_USE);
    EXPECT_EQ(energy, ENERGY_MAX);
    EXPECT_EQ(world_objects[5].used, WOBJ_FREE);
    EXPECT_EQ(inventory[0], EMPTY_SLOT);
    energy = 70.0f;
    run_tick(ACTION_USE | ACTION_SLOT_2);
    EXPECT_EQ(energy, 80.0f);
    EXPECT_EQ(inventory[1], EMPTY_SLOT);
    run_tick(ACTION_USE | ACTION_SLOT_3);
    run_tick(ACTION_USE);
    EXPECT_EQ(energy, 80.0f);
    EXPECT_EQ(inventory[2], 8);
    EXPECT_EQ(world_objects[8].used, WOBJ_IN_USE);
}

// Player at (30, 30), a 7 x 5 book dropped to each side.
TEST_F(Dropping, TheItemLiesAgainstThePlayersBoxOnItsFacingSide)
{
    struct drop_case {
        int facing, x, y;
    };
    const drop_case cases[] = {
        {SIDE_LOW_Y, 28, 25}, {SIDE_HIGH_X, 33, 29}, {SIDE_HIGH_Y, 28, 33}, {SIDE_LOW_X, 23, 29}};
    flat_start(30, 30);
    for (const drop_case &c : cases) {
        int wobj = 10 + c.facing;
        carry(0, wobj, DEF_BOOK);
        face(c.facing);
        ASSERT_EQ(drop_item(0), 1) << "facing " << c.facing;
        int slot = slot_of(wobj);
        ASSERT_GE(slot, 0);
        EXPECT_EQ(sx(slot), c.x) << "facing " << c.facing;
        EXPECT_EQ(sy(slot), c.y) << "facing " << c.facing;
        EXPECT_EQ(sz(slot), HARNESS_FLOOR + 10);
        EXPECT_EQ(world_objects[wobj].room, HARNESS_ROOM);
        EXPECT_EQ(inventory[0], EMPTY_SLOT);
        sprite_table[slot].active = 0; // out of the way of the next one
    }
}

TEST_F(Dropping, OnePerPressAndTheItemFallsFromAboveTheFeet)
{
    flat_start(30, 30);
    carry(0, 5, DEF_BOOK);
    carry(1, 6, DEF_BOOK);
    run_tick(ACTION_DROP);
    int first = slot_of(5);
    ASSERT_GE(first, 0);
    EXPECT_EQ(sz(first), HARNESS_FLOOR + 8); // dropped at +10, fallen 2 in the same tick
    run_tick(ACTION_DROP | ACTION_SLOT_2);
    EXPECT_EQ(inventory[1], 6); // still held down: no second drop
    EXPECT_EQ(sz(first), HARNESS_FLOOR + 6);
    run_tick(0);
    run_tick(ACTION_DROP);
    EXPECT_EQ(inventory[1], EMPTY_SLOT);
    run_ticks(0, 6);
    EXPECT_EQ(sz(first), HARNESS_FLOOR);
    EXPECT_EQ(sz(slot_of(6)), HARNESS_FLOOR + 4); // lying on the first book
}

TEST_F(Dropping, ARefusedDropChangesNothing)
{
    object_defs[DEF_BOOK].size_x = 20;
    flat_start(30, 50);
    carry(0, 5, DEF_BOOK);
    face(SIDE_LOW_X);
    ASSERT_EQ(drop_item(0), 1);
    EXPECT_EQ(sx(slot_of(5)), 10);

    sprite_table[PLAYER_SLOT].x = 15;
    carry(0, 6, DEF_BOOK);
    world_objects[6].x = 1.5f;
    int free_slot = get_sprite_id();
    notice_timer = 0;
    EXPECT_EQ(drop_item(0), 0);
    EXPECT_STREQ(notice_text, "Blocked!");
    EXPECT_EQ(notice_timer, NOTICE_FRAMES);
    EXPECT_EQ(inventory[0], 6);
    EXPECT_EQ(world_objects[6].room, ROOM_CARRIED);
    EXPECT_EQ(world_objects[6].x, 1.5f);
    EXPECT_EQ(slot_of(6), -1);
    EXPECT_EQ(get_sprite_id(), free_slot);

    // Something already in the way refuses it as well.
    sprite_table[PLAYER_SLOT].x = 50;
    place_object(7, HARNESS_ROOM, DEF_BOX, 40, 50, HARNESS_FLOOR + 10);
    build_room(HARNESS_ROOM);
    EXPECT_EQ(drop_item(0), 0);
    EXPECT_EQ(inventory[0], 6);
}

// Two boxes stacked one unit beyond the player's reach of 1 + 1.
TEST_F(PickingUp, OncePerPressIntoAnEmptySlotOnly)
{
    flat_start(30, 30);
    face(SIDE_HIGH_X);
    place_object(5, HARNESS_ROOM, DEF_BOX, 34, 29, HARNESS_FLOOR);
    place_object(6, HARNESS_ROOM, DEF_BOX, 34, 29, HARNESS_FLOOR + 5);
    build_room(HARNESS_ROOM);
    run_tick(0);
    run_ticks(ACTION_PICK_UP, 4);
    EXPECT_EQ(inventory[0], 5);
    EXPECT_EQ(world_objects[5].room, ROOM_CARRIED);
    EXPECT_EQ(slot_of(5), -1);
    EXPECT_EQ(sprite_table[PLAYER_SLOT].anim_frame, 4);
    EXPECT_EQ(inventory[1], EMPTY_SLOT);
    run_tick(0);
    EXPECT_EQ(sprite_table[PLAYER_SLOT].anim_frame, 1);
    run_tick(ACTION_PICK_UP); // the selected slot is full
    EXPECT_EQ(sprite_table[PLAYER_SLOT].anim_frame, 1);
    EXPECT_GE(slot_of(6), 0);
    run_tick(ACTION_PICK_UP | ACTION_SLOT_2); // still the same press
    EXPECT_GE(slot_of(6), 0);
    run_tick(0);
    run_tick(ACTION_PICK_UP);
    EXPECT_EQ(inventory[1], 6);
    EXPECT_EQ(slot_of(6), -1);
}

TEST_F(PickingUp, FixedThingsAreFoundButNotTakenAndRoomPartsAreNotFound)
{
    make_flat_room(HARNESS_ROOM, 8, 8, HARNESS_FLOOR);
    set_floor(HARNESS_ROOM, 3, 2, 60); // a wall two units beyond the player
    place_object(5, HARNESS_ROOM, DEF_FIRE, 30, 40, HARNESS_FLOOR);
    start_in_room(HARNESS_ROOM, 43, 31, HARNESS_FLOOR);
    face(SIDE_HIGH_X);
    EXPECT_EQ(find_sprite_ahead(PLAYER_SLOT, 1), -1);
    sprite_table[PLAYER_SLOT].x = 30;
    sprite_table[PLAYER_SLOT].y = 36;
    face(SIDE_HIGH_Y);
    EXPECT_EQ(find_sprite_ahead(PLAYER_SLOT, 1), slot_of(5));
    EXPECT_EQ(sx(PLAYER_SLOT), 30); // probing leaves the player where it was
    run_tick(ACTION_PICK_UP);
    EXPECT_EQ(inventory[0], EMPTY_SLOT);
    EXPECT_GE(slot_of(5), 0);
    EXPECT_EQ(find_sprite_ahead(SPRITE_COUNT, 1), -1);
}

// A general datafile whose examine panel is plain white.
struct white_panel : fake_datafile {
    white_panel() : fake_datafile(GENERAL_EXAMINE_PANEL + 1, &general_datafile)
    {
        set_size(GENERAL_EXAMINE_PANEL, EXAMINE_PICTURE_W, EXAMINE_PICTURE_H,
                 makecol(255, 255, 255));
    }
};

// Text pixels (colour 0) of the examine picture in rows top..bottom - 1,
// from column x0 rightwards.
int ink(int top, int bottom, int x0 = 0)
{
    int n = 0;
    for (int y = top; y < bottom; y++) {
        for (int x = x0; x < EXAMINE_PICTURE_W; x++) {
            n += getpixel(examine_picture, x, y) == 0;
        }
    }
    return n;
}

int ink_in_line(int line)
{
    const int top = 13 + line * (text_height(font) + 2);
    return ink(top, top + text_height(font));
}

int ink_right_of(int x0)
{
    return ink(0, EXAMINE_PICTURE_H, x0);
}

TEST_F(Examining, TheKeyOpensAndClosesThePanelForTheSelectedItem)
{
    white_panel general;
    flat_start(50, 50);
    run_tick(ACTION_EXAMINE); // empty hands: nothing
    EXPECT_EQ(examined_object, NO_EXAMINED_OBJECT);
    carry(0, 5, DEF_BOOK);
    examine_slide = 40;
    run_tick(ACTION_EXAMINE);
    EXPECT_EQ(examined_object, 5);
    EXPECT_EQ(examine_slide, 0);
    // "It's a book, there is nothing unusual about it." wraps before "there".
    EXPECT_GT(ink_in_line(0), 0);
    EXPECT_GT(ink_in_line(1), 0);
    EXPECT_EQ(ink_right_of(147), 0);
    EXPECT_EQ(getpixel(examine_picture, 0, 0), makecol(255, 255, 255));
    run_tick(ACTION_EXAMINE);
    EXPECT_EQ(examined_object, NO_EXAMINED_OBJECT);
    run_tick(ACTION_EXAMINE);
    run_tick(ACTION_UP); // walking closes it
    EXPECT_EQ(examined_object, NO_EXAMINED_OBJECT);
}

TEST_F(Examining, MessagesBreakAtCarriageReturnsAndOverlongWordsAreCut)
{
    white_panel general;
    scratch_dir dir;
    std::string file = std::string("a\r\nb") + '\0' + std::string(100, 'x') + '\0';
    write_file("messages.dat", file);
    load_messages_file("messages.dat");
    flat_start(50, 50);
    carry(0, 5, DEF_BOOK);
    world_objects[5].examine_text = 0;
    examined_object = 5;
    build_examine_picture();
    EXPECT_GT(ink_in_line(0), 0);
    EXPECT_GT(ink_in_line(1), 0);
    EXPECT_EQ(ink_in_line(2), 0);
    EXPECT_EQ(ink_right_of(14 + 8), 0); // "b" starts the second line at the left edge
    // 100 characters without a space: pieces of 39, 39 and 22, each too wide
    // for what is left of its line, so each starts a line of its own.
    world_objects[5].examine_text = 1;
    build_examine_picture();
    EXPECT_EQ(ink_in_line(0), 0);
    EXPECT_GT(ink_in_line(1), 0);
    EXPECT_GT(ink_in_line(2), 0);
    EXPECT_GT(ink_in_line(3), 0);
    EXPECT_EQ(ink_in_line(4), 0);
    world_objects[5].examine_text = 99; // no such message: the plain sentence
    build_examine_picture();
    EXPECT_GT(ink_in_line(1), 0);
    free_messages();
}

// World object 5, of definition def at (x, y) on the floor of the harness
// room, is a door to (to_x, to_y) in the next room.
void door_to_next_room(int def, int x, int y, int to_x, int to_y)
{
    make_flat_room(HARNESS_ROOM, 8, 8, HARNESS_FLOOR);
    make_flat_room(HARNESS_NEXT_ROOM, 4, 4, HARNESS_FLOOR);
    place_object(5, HARNESS_ROOM, def, x, y, HARNESS_FLOOR);
    world_object &w = world_objects[5];
    w.door = 1;
    w.door_room = HARNESS_NEXT_ROOM;
    w.door_x = to_x;
    w.door_y = to_y;
    w.door_z = HARNESS_FLOOR;
}

TEST_F(Doors, ALockedDoorSaysSoOncePerApproachAndItsKeyOpensIt)
{
    door_to_next_room(DEF_HIDDEN_DOOR, 30, 20, 10, 12);
    world_objects[5].door_key = 9;
    start_in_room(HARNESS_ROOM, 31, 21, HARNESS_FLOOR);
    run_tick(ACTION_DOWN);
    EXPECT_STREQ(notice_text, "Locked!");
    EXPECT_EQ(sy(PLAYER_SLOT), 21);
    notice_timer = 0;
    run_ticks(ACTION_DOWN, 3);
    run_ticks(ACTION_DOWN | ACTION_USE, 2);
    EXPECT_EQ(notice_timer, 0);
    run_tick(0);
    run_tick(ACTION_DOWN);
    EXPECT_EQ(notice_timer, NOTICE_FRAMES);
    EXPECT_EQ(current_room, HARNESS_ROOM);

    carry(1, 9, DEF_BOOK);
    run_tick(ACTION_DOWN | ACTION_SLOT_2);
    EXPECT_EQ(current_room, HARNESS_NEXT_ROOM);
    EXPECT_EQ(sx(PLAYER_SLOT), 10);
    EXPECT_EQ(sy(PLAYER_SLOT), 12);
    EXPECT_EQ(sz(PLAYER_SLOT), HARNESS_FLOOR);
}

TEST_F(Doors, StandingOnAnOpenDoorTakesThePlayerThrough)
{
    door_to_next_room(DEF_BOX, 30, 30, 20, 20);
    start_in_room(HARNESS_ROOM, 31, 31, HARNESS_FLOOR + 5);
    run_tick(0);
    EXPECT_EQ(current_room, HARNESS_NEXT_ROOM);
    EXPECT_EQ(sx(PLAYER_SLOT), 20);
}

// The player pushes a box one unit, then tries to enter a room whose
// entry is taken: the old room is rebuilt with the box where it was pushed.
TEST_F(RoomChange, ARefusedChangeLeavesTheOldRoomAsItWas)
{
    make_flat_room(HARNESS_ROOM, 8, 8, HARNESS_FLOOR);
    make_flat_room(HARNESS_NEXT_ROOM, 4, 4, HARNESS_FLOOR);
    place_object(5, HARNESS_ROOM, DEF_BOX, 23, 20, HARNESS_FLOOR);
    place_object(6, HARNESS_NEXT_ROOM, DEF_BOX, 10, 10, HARNESS_FLOOR);
    start_in_room(HARNESS_ROOM, 20, 21, HARNESS_FLOOR);
    run_tick(ACTION_LEFT);
    int box = slot_of(5);
    ASSERT_EQ(sx(box), 24);
    jump_counter = 3;
    EXPECT_EQ(go_to_room(HARNESS_NEXT_ROOM, 11, 11, HARNESS_FLOOR), 0);
    EXPECT_STREQ(notice_text, "Blocked!");
    EXPECT_EQ(current_room, HARNESS_ROOM);
    EXPECT_EQ(jump_counter, 3);
    EXPECT_EQ(sx(PLAYER_SLOT), 20);
    EXPECT_EQ(sy(PLAYER_SLOT), 21);
    EXPECT_EQ(slot_of(5), box);
    EXPECT_EQ(sx(box), 24);
    EXPECT_EQ(slot_of(6), -1);
    EXPECT_EQ(world_objects[6].room, HARNESS_NEXT_ROOM);
    EXPECT_EQ(world_objects[6].x, 10.0f);

    EXPECT_EQ(go_to_room(HARNESS_NEXT_ROOM, 30, 30, HARNESS_FLOOR), 1);
    EXPECT_EQ(jump_counter, 0);
    EXPECT_EQ(world_objects[5].x, 24.0f);
    EXPECT_EQ(world_objects[5].room, HARNESS_ROOM);
    EXPECT_GE(slot_of(6), 0);

    int reports = reported_error_count;
    EXPECT_EQ(go_to_room(ROOM_COUNT, 1, 1, 1), 0);
    EXPECT_EQ(reported_error_count, reports + 1);
    EXPECT_EQ(current_room, HARNESS_NEXT_ROOM);
    EXPECT_EQ(sx(PLAYER_SLOT), 30);
}

TEST_F(RoomChange, AnExitIntoATakenPlaceClampsThePlayer)
{
    room_record &here = make_flat_room(HARNESS_ROOM, 4, 4, HARNESS_FLOOR);
    here.adjacent[SIDE_LOW_X] = HARNESS_NEXT_ROOM;
    make_flat_room(HARNESS_NEXT_ROOM, 3, 3, HARNESS_FLOOR);
    place_object(6, HARNESS_NEXT_ROOM, DEF_BOX, 40, 19, HARNESS_FLOOR);
    start_in_room(HARNESS_ROOM, 0, 20, HARNESS_FLOOR);
    run_tick(ACTION_RIGHT);
    EXPECT_EQ(current_room, HARNESS_ROOM);
    EXPECT_EQ(sx(PLAYER_SLOT), 0);
    EXPECT_STREQ(notice_text, "Blocked!");
}

TEST_F(RoomChange, TheProbeHasNoAllowanceAndLeavesTheSpriteInPlace)
{
    flat_start(50, 50);
    int high_x = rooms[HARNESS_ROOM].limit[SIDE_HIGH_X];
    sprite_table[PLAYER_SLOT].x = static_cast<float>(high_x - PLAYER_SIZE);
    EXPECT_EQ(probe_blocked(PLAYER_SLOT, 0, 0, 0), 0);
    EXPECT_EQ(probe_blocked(PLAYER_SLOT, 1, 0, 0), 1);
    EXPECT_EQ(probe_blocked(PLAYER_SLOT, 0, 0, -1), 1); // into the floor
    EXPECT_EQ(sx(PLAYER_SLOT), high_x - PLAYER_SIZE);
    EXPECT_EQ(sz(PLAYER_SLOT), HARNESS_FLOOR);
    EXPECT_EQ(probe_blocked(-1, 0, 0, 0), 1);
}

} // namespace
