// Room picture tool: renders one room of a game folder to a PNG with the
// game's own code, without a window.
//   roomshot GAME_DIR ROOM OUT.png [--player X,Y,Z] [--lit] [--bare]
// --player puts Ondel at the position (else the room is shown empty),
// --lit applies the room's lighting, --bare leaves out caption and panel.
#include <allegro.h>
#include <cerrno>
#include <filesystem>
#include <string>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <loadpng.h>
#include <unistd.h>

#include "game/game_loop.h"
#include "physics/player.h"
#include "render/frame.h"
#include "render/lighting.h"
#include "render/text.h"
#include "render/view.h"
#include "runtime/room_setup.h"
#include "runtime/sprites.h"
#include "shell/startup.h"
#include "world/rooms.h"

struct roomshot_options {
    const char *game_dir = nullptr;
    int room = -1;
    std::string out_path;
    int with_player = 0;
    int px = 0, py = 0, pz = 0;
    int lit = 0;
    int bare = 0;
};

static int usage(void)
{
    fprintf(stderr, "usage: roomshot GAME_DIR ROOM OUT.png [--player X,Y,Z] [--lit] [--bare]\n");
    return 2;
}

static int parse(int argc, char **argv, roomshot_options &o)
{
    if (argc < 4) {
        return 0;
    }
    o.game_dir = argv[1];
    char *end;
    long room = strtol(argv[2], &end, 10);
    if (*end != '\0' || room < 0 || room >= ROOM_COUNT) {
        fprintf(stderr, "roomshot: room must be 0..%d\n", ROOM_COUNT - 1);
        return 0;
    }
    o.room = static_cast<int>(room);
    // The picture is written after changing into the game folder.
    o.out_path = argv[3][0] == '/' ? std::string(argv[3])
                                   : std::filesystem::current_path().string() + "/" + argv[3];
    for (int i = 4; i < argc; i++) {
        if (strcmp(argv[i], "--player") == 0 && i + 1 < argc) {
            if (sscanf(argv[++i], "%d,%d,%d", &o.px, &o.py, &o.pz) != 3) {
                return 0;
            }
            o.with_player = 1;
        } else if (strcmp(argv[i], "--lit") == 0) {
            o.lit = 1;
        } else if (strcmp(argv[i], "--bare") == 0) {
            o.bare = 1;
        } else {
            return 0;
        }
    }
    return 1;
}

static void draw_room_picture(const roomshot_options &o)
{
    lighting_enabled = o.lit;
    start_game(o.room, o.px, o.py, o.pz);
    sprite_table[PLAYER_SLOT].active = o.with_player;
    sprite_table[PLAYER_SLOT].anim_frame = PLAYER_FRAME_STANDING;
    for (int i = 0; i < SPRITE_COUNT; i++) {
        if (sprite_table[i].active && !sprite_table[i].is_room_part) {
            place_sprite_on_view(i);
            refresh_sprite_image(i);
        }
    }
    reveal_scale = REVEAL_END_SCALE;
    if (o.bare) {
        clear_to_color(backbuffer, 0);
        draw_room_background();
        draw_room_polygons();
        draw_sprites();
        apply_lighting();
    } else {
        compose_game_frame();
    }
}

int main(int argc, char **argv)
{
    roomshot_options o;
    if (!parse(argc, argv, o)) {
        return usage();
    }
    if (chdir(o.game_dir) != 0) {
        fprintf(stderr, "roomshot: no game folder at %s\n", o.game_dir);
        return 1;
    }
    if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0) {
        fprintf(stderr, "roomshot: cannot start the graphics library\n");
        return 1;
    }
    set_color_depth(COLOUR_DEPTH);
    if (load_game_datafiles() != STARTUP_OK) {
        fprintf(stderr, "roomshot: %s holds no usable qm.dat and data1/game.dat\n", o.game_dir);
        return 1;
    }
    backbuffer = make_bitmap(VIEW_W, VIEW_H);
    create_view_buffers();
    load_world();
    text_mode_transparent();
    draw_room_picture(o);
    // A 32-bit bitmap would be written with its unused fourth byte as alpha
    // (fully transparent); the picture goes out as plain 24-bit colour.
    BITMAP *picture = create_bitmap_ex(24, VIEW_W, VIEW_H);
    blit(backbuffer, picture, 0, 0, 0, 0, VIEW_W, VIEW_H);
    int failed = save_png(o.out_path.c_str(), picture, nullptr) != 0;
    destroy_bitmap(picture);
    if (failed) {
        fprintf(stderr, "roomshot: cannot write %s\n", o.out_path.c_str());
        return 1;
    }
    end_game();
    return 0;
}
END_OF_MAIN()
