// A window-free game for the tests: rooms and objects made by hand, one
// action word per tick carried by the recorder, ticks run in the game
// loop's own order, and the world read back from the tables.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>

#include "test_support.h"
#include "world/rooms.h"

constexpr int HARNESS_ROOM = 20;
constexpr int HARNESS_NEXT_ROOM = 21;
constexpr int HARNESS_FLOOR = 3; // floor height of a flat room
constexpr int HARNESS_CEILING = 120;
constexpr int HARNESS_ART_IMAGES = 600;

// Clean tables: catalogue loaded, rooms cleared, no world objects, no
// sprites, player state at its start values, a fresh background.
void harness_begin(void);
// Frees what the game and harness_begin made.
void harness_end(void);

// A room of cells_x by cells_y cells, every floor at floor_height, no
// images, walls or exits, its limits covering the whole floor.
room_record &make_flat_room(int room, int cells_x, int cells_y, int floor_height);
// Raises (or lowers) one cell's floor column.
void set_floor(int room, int cx, int cy, int height);

// A world object of definition def lying in room; returns wobj.
int place_object(int wobj, int room, int def, int x, int y, int z);

// Starts a game in room with the player at (x, y, z), facing 0, then runs
// one tick without actions so every sprite has found what it stands on.
void start_in_room(int room, int x, int y, int z);

// One game tick with the action word fed through the recorder.
void run_tick(uint32_t actions);
void run_ticks(uint32_t actions, int count);

// The slot that shows world object wobj, or -1.
int slot_of(int wobj);
// World position of a slot, truncated, for compact expectations.
int sx(int slot);
int sy(int slot);
int sz(int slot);

// Every test of the physics and player rules starts from a clean harness
// with a game datafile of 8 x 8 images.
struct tick_world : ::testing::Test {
    fake_datafile art{HARNESS_ART_IMAGES};
    void SetUp() override
    {
        harness_begin();
    }
    void TearDown() override
    {
        harness_end();
    }
};
