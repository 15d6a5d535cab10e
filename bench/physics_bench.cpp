// One physics tick over a full table (a 12 x 12 room's 145 floor columns
// and ceiling, the player and 14 objects and creatures), timed beside its
// floor in the same run: an all-pairs box test of the same table written for
// the vectoriser, which main first checks finds the same overlapping pairs
// as sprites_overlap.
#include "bench_support.h"

#include <allegro.h>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "game/game_loop.h"
#include "physics/physics.h"
#include "physics/player.h"
#include "runtime/room_setup.h"
#include "runtime/sprites.h"
#include "shell/resources.h"
#include "world/object_defs.h"
#include "world/rooms.h"
#include "world/world_objects.h"

namespace
{

constexpr int BUSY_ROOM = 30;
constexpr int CELLS = 12;
constexpr int FLOOR = 3;
constexpr int PACE_TICKS = 20; // creatures turn round this often

void make_busy_room(void)
{
    static int started = 0;
    if (!started) {
        install_allegro(SYSTEM_NONE, &errno, atexit);
        set_color_depth(COLOUR_DEPTH);
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
        create_world_object(wobj++, BUSY_ROOM, DEF_CHASING_MONK, 20 + 30 * i, 80, FLOOR);
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
        if (s.active && s.obj_def == DEF_CHASING_MONK) {
            s.vx = way;
        }
    }
}

long tick = 0;

void one_tick(void)
{
    ask_creatures_to_move(tick++);
    move_sprites();
}

// The boxes gathered from the table in columns of floats (whole units are
// exact in them), then every ordered pair of active slots tested without
// branches, so the vectoriser takes four b at a time: floor rectangles and
// either end of one height span inside the other, as sprites_overlap
// decides.
float box_x0[SPRITE_COUNT], box_y0[SPRITE_COUNT], box_x1[SPRITE_COUNT], box_y1[SPRITE_COUNT];
float span_lo[SPRITE_COUNT], span_hi[SPRITE_COUNT], base[SPRITE_COUNT], top[SPRITE_COUNT];
int in_play[SPRITE_COUNT];
int floor_pairs;

void all_pairs_boxes(void)
{
    for (int i = 0; i < SPRITE_COUNT; i++) {
        const sprite_record &s = sprite_table[i];
        int x = static_cast<int>(s.x), y = static_cast<int>(s.y);
        box_x0[i] = static_cast<float>(x), box_y0[i] = static_cast<float>(y);
        box_x1[i] = static_cast<float>(x + s.size_x), box_y1[i] = static_cast<float>(y + s.size_y);
        span_lo[i] = static_cast<float>(static_cast<int>(s.z));
        span_hi[i] = static_cast<float>(static_cast<int>(s.z + s.size_z - 1));
        base[i] = s.z, top[i] = s.z + s.size_z;
        in_play[i] = s.active ? -1 : 0;
    }
    int hits = 0;
    for (int a = 0; a < SPRITE_COUNT; a++) {
        const float ax0 = box_x0[a], ax1 = box_x1[a], ay0 = box_y0[a], ay1 = box_y1[a];
        const float lo = span_lo[a], hi = span_hi[a], ab = base[a], at = top[a];
        int count = 0;
        for (int b = 0; b < SPRITE_COUNT; b++) {
            int flat =
                (ax1 > box_x0[b]) & (ax0 < box_x1[b]) & (ay1 > box_y0[b]) & (ay0 < box_y1[b]);
            int a_in_b = ((lo >= base[b]) & (top[b] > lo)) | ((hi >= base[b]) & (top[b] > hi));
            int b_in_a =
                ((span_lo[b] >= ab) & (at > span_lo[b])) | ((span_hi[b] >= ab) & (at > span_hi[b]));
            count += flat & (a_in_b | b_in_a) & in_play[b] & (b != a);
        }
        hits += count & in_play[a];
    }
    floor_pairs = hits;
}

int rule_pairs(void)
{
    int hits = 0;
    for (int a = 0; a < SPRITE_COUNT; a++) {
        for (int b = 0; b < SPRITE_COUNT; b++) {
            hits +=
                a != b && sprite_table[a].active && sprite_table[b].active && sprites_overlap(a, b);
        }
    }
    return hits;
}

void check_floors(void)
{
    make_busy_room();
    // After each tick, and with every other slot sunk or pushed into its
    // neighbours, so that there are overlaps to find.
    const float nudges[][2] = {{0, 0}, {0, -1.5f}, {3.5f, 0}, {-7, 4}};
    int most = 0;
    for (int t = 0; t < 3 * PACE_TICKS; t++) {
        one_tick();
        for (const auto &nudge : nudges) {
            for (int i = 0; i < SPRITE_COUNT; i += 2) {
                sprite_table[i].x += nudge[0], sprite_table[i].z += nudge[1];
            }
            all_pairs_boxes();
            if (floor_pairs != rule_pairs()) {
                expect_same(false, "all-pairs box test");
            }
            most = std::max(most, floor_pairs);
            for (int i = 0; i < SPRITE_COUNT; i += 2) {
                sprite_table[i].x -= nudge[0], sprite_table[i].z -= nudge[1];
            }
        }
    }
    fprintf(stderr, "most overlapping ordered pairs: %d\n", most);
    expect_same(true, "all-pairs box test");
    end_game();
}

void physics_tick(benchmark::State &state)
{
    make_busy_room();
    int active = 0;
    for (const sprite_record &s : sprite_table) {
        active += s.active;
    }
    for (auto _ : state) {
        one_tick();
    }
    state.counters["active_slots"] = active;
    report_against_floor(state, one_tick, all_pairs_boxes);
    end_game();
}
BENCHMARK(physics_tick)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    return run_benchmarks(argc, argv, check_floors);
}
