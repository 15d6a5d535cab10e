// The tick harness: hand-made rooms and the game's own tick, fed from the
// recorder one word at a time so the keyboard is never read.
#include "tick_harness.h"

#include <cstring>

#include "game/game_loop.h"
#include "physics/physics.h"
#include "physics/player.h"
#include "runtime/room_setup.h"
#include "runtime/sprites.h"
#include "shell/actions.h"
#include "shell/resources.h"
#include "world/object_defs.h"
#include "world/recorder.h"
#include "world/world_objects.h"

static constexpr int HARNESS_ORIGIN_X = 160;
static constexpr int HARNESS_ORIGIN_Y = 180;

void harness_begin(void)
{
    start_headless_allegro();
    load_object_defs();
    clear_rooms();
    memset(world_objects, 0, sizeof world_objects);
    reset_sprites();
    reset_player_state();
    if (room_background == nullptr) {
        room_background = create_bitmap(ROOM_BACKGROUND_W, ROOM_BACKGROUND_H);
    }
    action_latch = 0;
    recording_on = 0;
    playback_on = 0;
    input_from_latch_only = 1;
}

void harness_end(void)
{
    end_game();
    reset_sprites();
    if (room_background != nullptr) {
        destroy_bitmap(room_background);
        room_background = nullptr;
    }
    playback_on = 0;
    input_from_latch_only = 0;
}

room_record &make_flat_room(int room, int cells_x, int cells_y, int floor_height)
{
    room_record &r = rooms[room];
    memset(&r, 0, sizeof r);
    r.origin_x = HARNESS_ORIGIN_X;
    r.origin_y = HARNESS_ORIGIN_Y;
    r.size_x = static_cast<uint8_t>(cells_x);
    r.size_y = static_cast<uint8_t>(cells_y);
    r.ceiling = HARNESS_CEILING;
    memset(r.floor_height, floor_height, sizeof r.floor_height);
    memset(r.floor_tile, TILE_NONE, sizeof r.floor_tile);
    memset(r.wall_left, FACE_NONE, sizeof r.wall_left);
    memset(r.wall_right, FACE_NONE, sizeof r.wall_right);
    r.limit[SIDE_HIGH_X] = static_cast<uint8_t>(CELL_SIZE * cells_x - 1);
    r.limit[SIDE_HIGH_Y] = static_cast<uint8_t>(CELL_SIZE * cells_y - 1);
    r.description = NO_DESCRIPTION;
    return r;
}

void set_floor(int room, int cx, int cy, int height)
{
    rooms[room].floor_height[cx][cy] = static_cast<uint8_t>(height);
}

int place_object(int wobj, int room, int def, int x, int y, int z)
{
    create_world_object(wobj, room, def, x, y, z);
    return wobj;
}

void start_in_room(int room, int x, int y, int z)
{
    start_game(room, x, y, z);
    run_tick(0);
}

void run_tick(uint32_t actions)
{
    play_recorded_word(actions);
    game_tick();
}

void run_ticks(uint32_t actions, int count)
{
    for (int i = 0; i < count; i++) {
        run_tick(actions);
    }
}

int slot_of(int wobj)
{
    return find_world_object_sprite(wobj);
}

int sx(int slot)
{
    return static_cast<int>(sprite_table[slot].x);
}

int sy(int slot)
{
    return static_cast<int>(sprite_table[slot].y);
}

int sz(int slot)
{
    return static_cast<int>(sprite_table[slot].z);
}
