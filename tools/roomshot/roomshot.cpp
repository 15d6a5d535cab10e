// Room picture tool: renders one room of a game folder to a PNG with the
// game's own code, without a window.
//   roomshot GAME_DIR ROOM OUT.png [--player X,Y,Z] [--lit] [--bare] [--ticks N]
// --player puts Ondel at the position (else the room is shown empty),
// --lit applies the room's lighting, --bare leaves out caption and panel,
// --ticks runs that many game ticks first with no key held (creatures walk,
// things fall and animate), so the picture shows the room in play;
// --script "up*10 jump*1 none*20" plays action words first, each for that
// many ticks (up down left right jump lunge take drop use look slot1..slot5
// none), and the picture shows the room the player ends in.
#include <allegro.h>
#include <cerrno>
#include <filesystem>
#include <string>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <loadpng.h>

#include "file_replace.h"
#include <unistd.h>

#include "game/game_loop.h"
#include "physics/player.h"
#include "render/frame.h"
#include "render/lighting.h"
#include "render/text.h"
#include "render/view.h"
#include "runtime/room_setup.h"
#include "runtime/sprites.h"
#include "shell/actions.h"
#include "world/recorder.h"
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
    int ticks = 0;
    const char *script = nullptr;
};

// Names of the action words a script may use.
struct script_word {
    const char *name;
    int action;
};
static const script_word script_words[] = {
    {"up", ACTION_UP},        {"down", ACTION_DOWN},
    {"left", ACTION_LEFT},    {"right", ACTION_RIGHT},
    {"jump", ACTION_JUMP},    {"lunge", ACTION_LUNGE},
    {"take", ACTION_PICK_UP}, {"drop", ACTION_DROP},
    {"use", ACTION_USE},      {"look", ACTION_EXAMINE},
    {"slot1", ACTION_SLOT_1}, {"slot2", ACTION_SLOT_2},
    {"slot3", ACTION_SLOT_3}, {"slot4", ACTION_SLOT_4},
    {"slot5", ACTION_SLOT_5}, {"none", 0},
};

// Plays a script of "word*ticks" tokens; returns 0 on a word it does not know.
static int play_script(const char *script)
{
    char word[32];
    int ticks, used;
    while (sscanf(script, " %31[a-z0-9]*%d%n", word, &ticks, &used) == 2) {
        script += used;
        const script_word *found = nullptr;
        for (const script_word &w : script_words) {
            if (strcmp(w.name, word) == 0) {
                found = &w;
            }
        }
        if (found == nullptr) {
            fprintf(stderr, "roomshot: unknown script word %s\n", word);
            return 0;
        }
        for (int t = 0; t < ticks; t++) {
            play_recorded_word(static_cast<uint32_t>(found->action));
            game_tick();
        }
    }
    return 1;
}

static int usage(void)
{
    fprintf(
        stderr,
        "usage: roomshot GAME_DIR ROOM OUT.png [--player X,Y,Z] [--lit] [--bare] [--ticks N]\n");
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
        } else if (strcmp(argv[i], "--ticks") == 0 && i + 1 < argc) {
            o.ticks = atoi(argv[++i]);
        } else if (strcmp(argv[i], "--script") == 0 && i + 1 < argc) {
            o.script = argv[++i];
        } else {
            return 0;
        }
    }
    return 1;
}

static int draw_room_picture(const roomshot_options &o)
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
    // Played ticks take no keys: only the action word, which stays empty.
    input_from_latch_only = 1;
    for (int t = 0; t < o.ticks; t++) {
        game_tick();
    }
    if (o.script != nullptr && !play_script(o.script)) {
        return 0;
    }
    reveal_scale = REVEAL_END_SCALE;
    if (o.bare) {
        clear_to_color(backbuffer, 0);
        draw_room_background();
        draw_room_polygons();
        draw_sprites();
        apply_lighting();
    } else {
        // An open examine picture slides up over several frames: let it rest.
        while (examined_object != NO_EXAMINED_OBJECT && examine_slide < EXAMINE_SLIDE_END) {
            compose_game_frame();
        }
        compose_game_frame();
    }
    return 1;
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
    if (!draw_room_picture(o)) {
        return 2;
    }
    // A 32-bit bitmap would be written with its unused fourth byte as alpha
    // (fully transparent); the picture goes out as plain 24-bit colour.
    BITMAP *picture = create_bitmap_ex(24, VIEW_W, VIEW_H);
    blit(backbuffer, picture, 0, 0, 0, 0, VIEW_W, VIEW_H);
    int failed = !commit_temporary(
        o.out_path, save_png(temporary_beside(o.out_path).c_str(), picture, nullptr) == 0);
    destroy_bitmap(picture);
    if (failed) {
        fprintf(stderr, "roomshot: cannot write %s\n", o.out_path.c_str());
        return 1;
    }
    end_game();
    return 0;
}
END_OF_MAIN()
