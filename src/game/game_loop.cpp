// The game loop: set-up, then passes of pending ticks and one drawn frame.
#include "game/game_loop.h"

#include <allegro.h>

#include "physics/creatures.h"
#include "physics/physics.h"
#include "physics/player.h"
#include "physics/triggers.h"
#include "render/frame.h"
#include "runtime/room_setup.h"
#include "runtime/sprites.h"
#include "shell/actions.h"
#include "shell/startup.h"
#include "shell/timing.h"
#include "world/object_defs.h"
#include "world/recorder.h"
#include "world/world_objects.h"

static constexpr int END_FADE_SPEED = 3;

void start_game(int room, int x, int y, int z)
{
    reset_player_state();
    energy = START_ENERGY;
    reveal_scale = REVEAL_START_SCALE;
    examine_picture = create_bitmap(EXAMINE_PICTURE_W, EXAMINE_PICTURE_H);
    build_room(room);
    create_world_object(PLAYER_WORLD_OBJECT, current_room, DEF_PLAYER, x, y, z);
    init_sprite(PLAYER_SLOT, DEF_PLAYER, x, y, z);
    sprite_record &player = sprite_table[PLAYER_SLOT];
    player.facing = 0;
    player.obj_def = DEF_PLAYER;
    player.world_object = PLAYER_WORLD_OBJECT;
    item_picture = create_bitmap(1, 1);
}

void bring_up_world(void)
{
    build_trigger_table();
    reset_sprites();
    rearm_triggers();
}

void end_game(void)
{
    if (examine_picture != nullptr) {
        destroy_bitmap(examine_picture);
        examine_picture = nullptr;
    }
    if (item_picture != nullptr) {
        destroy_bitmap(item_picture);
        item_picture = nullptr;
    }
}

int game_tick(void)
{
    action_latch = 0;
    int playing = playback_on;
    record_or_play_tick();
    fire_triggers(0, 0, EVENT_COUNTER);
    // Playback ignores the keyboard, except that Escape still ends the game.
    int quit = check_action(ACTION_QUIT) || (playing && key[KEY_ESC]);
    player_actions();
    update_creatures();
    int z_before = static_cast<int>(sprite_table[PLAYER_SLOT].z);
    move_sprites();
    jump_step(z_before);
    return quit;
}

int run_game(int room, int x, int y, int z)
{
    start_game(room, x, y, z);
    int quit_requested = 0, game_started = 0;
    while (!quit_requested && energy > 0.0f) {
        while (tick_counter.load() != 0) {
            if (game_tick()) {
                quit_requested = 1;
            }
            game_started = 1;
            tick_counter.fetch_sub(1);
        }
        // Closing the window ends the game like Escape (and so the program).
        if (close_requested) {
            quit_requested = 1;
        }
        if (game_started && !quit_requested) {
            compose_game_frame();
            present_frame();
        }
    }
    destroy_bitmap(examine_picture);
    examine_picture = nullptr;
    fade_out(END_FADE_SPEED);
    destroy_bitmap(item_picture);
    item_picture = nullptr;
    return 1;
}
