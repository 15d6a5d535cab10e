// Trying a room: the editor's world handed to the game's tables, brought up
// as the game brings up its own, and played with the game's loop.
#include "editor_try.h"

#include <allegro.h>

#include "edit_ops.h"
#include "game/game_loop.h"
#include "shell/timing.h"
#include "world/object_defs.h"

void try_start_spot(const world_image &world, int room, int cx, int cy, int *x, int *y, int *z)
{
    const room_record &rec = world.rooms[static_cast<size_t>(room)];
    if (cx < 0 || cy < 0) {
        cx = rec.size_x / 2;
        cy = rec.size_y / 2;
    }
    const int size = object_defs[DEF_PLAYER].size_x;
    *x = cx * CELL_SIZE + (CELL_SIZE - size) / 2;
    *y = cy * CELL_SIZE + (CELL_SIZE - size) / 2;
    *z = support_height(world, room, DEF_PLAYER, static_cast<float>(*x), static_cast<float>(*y));
}

int try_room(const world_image &world, int room, int x, int y, int z)
{
    if (!room_is_defined(world, room)) {
        return 0;
    }
    hand_world_to_game(world);
    bring_up_world();
    show_mouse(nullptr);
    clear_to_color(screen, 0);
    forget_presented_view(); // the editor drew over the last try's picture
    clear_keybuf();
    tick_counter.store(0);
    run_game(room, x, y, z);
    // Escape ends the try; it must not reach the editor as well.
    while (key[KEY_ESC]) {
        rest(1);
    }
    clear_keybuf();
    hand_world_to_game(world);
    return 1;
}
