// Room picture tool: renders one room of a game folder to a PNG with the
// game's own code, without a window.
//   roomshot GAME_DIR ROOM OUT.png [--player X,Y,Z] [--lit] [--bare] [--ticks N]
// --player puts Ondel at the position (else the room is shown empty),
// --lit applies the room's lighting, --bare leaves out caption and panel,
// --ticks runs that many game ticks first with no key held (creatures walk,
// things fall and animate), so the picture shows the room in play;
// --script "up*10 up+jump*1 none*20 @84" plays an action script first (word*ticks
// tokens, words joined by '+' held together, @room and @room x,y,z checks,
// # comments), prints the room, position, energy and inventory it ends
// with, and the picture shows the room the player ends in. --script-file
// plays a script file; several scripts play in the order given, in one game
// (the walkthrough: --script-file content/walkthrough/1-grounds.txt ...).
// A script without --player starts at the game's start spot, 66,74,3.
#include <allegro.h>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <loadpng.h>
#include <unistd.h>

#include "picture_tool.h"
#include "game/action_script.h"
#include "game/game_loop.h"
#include "physics/player.h"
#include "platform/data_file.h"
#include "render/frame.h"
#include "render/lighting.h"
#include "render/text.h"
#include "render/view.h"
#include "runtime/room_setup.h"
#include "runtime/sprites.h"
#include "shell/actions.h"
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
    // Scripts played in order, each with the name its messages use.
    std::vector<std::string> script_names;
    std::vector<std::string> scripts;
};

// What playing a script came to.
constexpr int SCRIPT_PLAYED = 0;
constexpr int SCRIPT_UNREADABLE = 1;
constexpr int SCRIPT_CHECK_FAILED = 3; // also the exit code: the picture is still written
constexpr long SCRIPT_FILE_MAX_BYTES = 1024L * 1024; // an action script is a page of text

// Plays the action scripts in order. Afterwards one line on stdout says
// where the player ended up.
static int play_scripts(const roomshot_options &o)
{
    script_run run;
    begin_script_run(run);
    int result = SCRIPT_PLAYED;
    for (size_t i = 0; i < o.scripts.size() && result == SCRIPT_PLAYED; i++) {
        std::vector<script_step> steps;
        std::string error;
        if (!parse_action_script(o.scripts[i], o.script_names[i], steps, error)) {
            fprintf(stderr, "roomshot: %s\n", error.c_str());
            return SCRIPT_UNREADABLE;
        }
        if (!play_action_script(steps, o.script_names[i], run)) {
            fprintf(stderr, "roomshot: %s\n", run.failure.c_str());
            result = SCRIPT_CHECK_FAILED;
        }
    }
    printf("%s\n", describe_player().c_str());
    return result;
}

static int read_script_file(const char *path, roomshot_options &o)
{
    const char *problem = data_file_problem(path, SCRIPT_FILE_MAX_BYTES);
    std::ifstream in(path);
    if (problem != nullptr || !in) {
        fprintf(stderr, "roomshot: cannot read %s: %s\n", path,
                problem != nullptr ? problem : strerror(errno));
        return 0;
    }
    std::stringstream text;
    text << in.rdbuf();
    o.script_names.push_back(path);
    o.scripts.push_back(text.str());
    return 1;
}

static int usage(void)
{
    fprintf(stderr,
            "usage: roomshot GAME_DIR ROOM OUT.png [--player X,Y,Z] [--lit] [--bare] [--ticks N]\n"
            "       [--script \"up*10 up+jump*1 @84 66,74,3\"] [--script-file PATH]...\n");
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
    std::error_code failure;
    o.out_path = argv[3][0] == '/'
                     ? std::string(argv[3])
                     : std::filesystem::current_path(failure).string() + "/" + argv[3];
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
            o.script_names.push_back("script");
            o.scripts.push_back(argv[++i]);
        } else if (strcmp(argv[i], "--script-file") == 0 && i + 1 < argc) {
            if (!read_script_file(argv[++i], o)) {
                return 0;
            }
        } else {
            return 0;
        }
    }
    return 1;
}

// Returns SCRIPT_PLAYED, or how the script went wrong.
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
    int script = o.scripts.empty() ? SCRIPT_PLAYED : play_scripts(o);
    if (script == SCRIPT_UNREADABLE) {
        return script;
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
    return script;
}

int main(int argc, char **argv)
{
    roomshot_options o;
    if (!parse(argc, argv, o)) {
        return usage();
    }
    // A script needs someone to play it: without --player, the game's start.
    if (!o.scripts.empty() && !o.with_player) {
        o.with_player = 1;
        o.px = START_X, o.py = START_Y, o.pz = START_Z;
    }
    if (!start_headless_game("roomshot", o.game_dir)) {
        return 1;
    }
    int script = draw_room_picture(o);
    if (script == SCRIPT_UNREADABLE) {
        return 2;
    }
    if (!save_picture_png("roomshot", backbuffer, o.out_path)) {
        return 1;
    }
    end_game();
    return script == SCRIPT_CHECK_FAILED ? SCRIPT_CHECK_FAILED : 0;
}
END_OF_MAIN()
