// One physics tick over a full table (a 12 x 12 room's 145 floor columns
// and ceiling, the player and 14 objects and creatures), measured beside a
// bare all-pairs box-overlap scan of the same 160 slots.
#include <benchmark/benchmark.h>

#include <allegro.h>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "game/game_loop.h"
#include "physics/physics.h"
#include "physics/player.h"
#include "runtime/room_setup.h"
#include "runtime/sprites.h"
#include "world/object_defs.h"
#include "world/rooms.h"
#include "world/world_objects.h"

namespace
{

constexpr int BUSY_ROOM = 30;
constexpr int CELLS = 12;
constexpr int FLOOR = 3;
constexpr int DEF_MONK = 60;
constexpr int DEF_BOX = 191;
constexpr int DEF_FIRE = 146;
constexpr int PACE_TICKS = 20; // creatures turn round this often

void make_busy_room(void)
{
    static int started = 0;
    if (!started) {
        install_allegro(SYSTEM_NONE, &errno, atexit);
        set_color_depth(32);
        started = 1;
    }
    load_object_defs();
    clear_rooms();
    memset(world_objects, 0, sizeof world_objects);
    reset_sprites();
    room_record &r = rooms[BUSY_ROOM];
    memset(&r, 0, sizeof r);
    r.size_x = r.size_y = CELLS;
    r.ceiling = 120;
    memset(r.floor_height, FLOOR, sizeof r.floor_height);
    memset(r.floor_tile, TILE_NONE, sizeof r.floor_tile);
    memset(r.wall_left, FACE_NONE, sizeof r.wall_left);
    memset(r.wall_right, FACE_NONE, sizeof r.wall_right);
    r.limit[SIDE_HIGH_X] = r.limit[SIDE_HIGH_Y] = CELL_SIZE * CELLS - 1;
    // Stacks of boxes, monks walking beside them, and fires: 14 objects
    // filling slots 146..159.
    int wobj = 1;
    for (int i = 0; i < 4; i++) {
        create_world_object(wobj++, BUSY_ROOM, DEF_BOX, 20 + 30 * i, 40, FLOOR);
        create_world_object(wobj++, BUSY_ROOM, DEF_BOX, 20 + 30 * i, 40, FLOOR + 5);
    }
    for (int i = 0; i < 4; i++) {
        create_world_object(wobj++, BUSY_ROOM, DEF_MONK, 20 + 30 * i, 80, FLOOR);
    }
    for (int i = 0; i < 2; i++) {
        create_world_object(wobj++, BUSY_ROOM, DEF_FIRE, 30 + 60 * i, 120, FLOOR);
    }
    start_game(BUSY_ROOM, 90, 100, FLOOR);
}

// The monks pace to and fro, so pushes, contacts and steps keep happening.
void ask_creatures_to_move(long tick)
{
    float way = (tick / PACE_TICKS) % 2 == 0 ? 1.0f : -1.0f;
    for (int slot = 0; slot < SPRITE_COUNT; slot++) {
        sprite_record &s = sprite_table[slot];
        if (s.active && s.obj_def == DEF_MONK) {
            s.vx = way;
        }
    }
}

void physics_tick(benchmark::State &state)
{
    make_busy_room();
    int active = 0;
    for (const sprite_record &s : sprite_table) {
        active += s.active;
    }
    long tick = 0;
    for (auto _ : state) {
        ask_creatures_to_move(tick++);
        move_sprites();
    }
    state.counters["active_slots"] = active;
    end_game();
}
BENCHMARK(physics_tick);

void all_pairs_overlap(benchmark::State &state)
{
    make_busy_room();
    for (auto _ : state) {
        int hits = 0;
        for (int a = 0; a < SPRITE_COUNT; a++) {
            for (int b = 0; b < SPRITE_COUNT; b++) {
                hits += a != b && sprites_overlap(a, b);
            }
        }
        benchmark::DoNotOptimize(hits);
    }
    end_game();
}
BENCHMARK(all_pairs_overlap);

} // namespace

BENCHMARK_MAIN();
