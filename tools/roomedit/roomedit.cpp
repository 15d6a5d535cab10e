// The room editor: builds and changes the castle's rooms by eye, saves the
// world files and their text, and plays a room at once.
//   roomedit [GAME_DIR] [--content DIR] [--room N] [--help] [--layout]
// Without GAME_DIR it runs in its own folder (the game folder) on the
// content folder of the source tree; with GAME_DIR it edits that folder's
// world files and keeps their text in GAME_DIR/world, unless --content names
// the text to edit.
#include <allegro.h>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <unistd.h>

#include "editor_files.h"
#include "editor_gui.h"
#include "game/game_loop.h"
#include "game/main_flow.h"
#include "shell/config.h"
#include "shell/resources.h"
#include "shell/startup.h"
#include "shell/text.h"
#include "world/rooms.h"

static const char WINDOW_TITLE[] = "Quillmere room editor";

struct editor_options {
    std::string game_dir;
    editor_paths paths;
    int room = START_ROOM;
    int help = 0;
    int layout = 0;
};

static const char USAGE[] = "usage: roomedit [GAME_DIR] [--content DIR] [--room N]\n";

static void print_help(void)
{
    printf("%s", USAGE);
    printf("Builds and changes the castle's rooms by eye, saves their text and the\n"
           "world files, and plays a room at once.\n"
           "  GAME_DIR        the game folder whose world files are edited (default:\n"
           "                  the editor's own folder, with the source tree's content)\n"
           "  --content DIR   the room texts to edit (default: GAME_DIR/world)\n"
           "  --room N        the room shown first (default %i)\n"
           "  --layout        print every widget's mode, label and centre, and exit\n"
           "  --help          this text\n",
           START_ROOM);
    print_editor_help(stdout);
}

static int parse_options(int argc, char **argv, editor_options &o)
{
    namespace fs = std::filesystem;
    std::error_code failure;
    o.game_dir = fs::absolute(argv[0], failure).parent_path().string();
    std::string content;
    int game_given = 0;
    for (int i = 1; i < argc; i++) {
        if (strcmp(argv[i], "--content") == 0 && i + 1 < argc) {
            content = fs::absolute(argv[++i], failure).string();
        } else if (strcmp(argv[i], "--help") == 0) {
            o.help = 1;
        } else if (strcmp(argv[i], "--layout") == 0) {
            o.layout = 1;
        } else if (strcmp(argv[i], "--room") == 0 && i + 1 < argc) {
            o.room = atoi(argv[++i]);
        } else if (argv[i][0] != '-' && !game_given) {
            o.game_dir = fs::absolute(argv[i], failure).string();
            game_given = 1;
        } else {
            return 0;
        }
    }
    if (o.room < 0 || o.room >= ROOM_COUNT) {
        return 0;
    }
    o.paths.data_dir = o.game_dir + "/" + data_folder;
    o.paths.from_content = !content.empty() || !game_given;
    o.paths.content_dir = !content.empty() ? content
                          : game_given     ? o.game_dir + "/world"
                                           : std::string(QM_CONTENT_WORLD);
    return 1;
}

// The game's own start-up, then a window large enough for the editor.
static int open_editor_window(void)
{
    const int code = init_game();
    if (code != STARTUP_OK) {
        fprintf(stderr, "roomedit: the game folder does not start: %s\n", startup_reason(code));
        return 0;
    }
    if (set_gfx_mode(GFX_AUTODETECT_WINDOWED, EDITOR_W, EDITOR_H, 0, 0) != 0) {
        fprintf(stderr, "roomedit: cannot open a %i x %i window\n", EDITOR_W, EDITOR_H);
        return 0;
    }
    centre_window();
    remove_keyboard();
    install_keyboard();
    setlocale(LC_NUMERIC, "C");
    set_window_title(WINDOW_TITLE);
    zoom = 2; // a try shows the game at the editor view's size
    return 1;
}

int main(int argc, char **argv)
{
    editor_options o;
    if (!parse_options(argc, argv, o)) {
        fprintf(stderr, "%s", USAGE);
        return 2;
    }
    if (o.help || o.layout) {
        o.help ? print_help() : print_editor_layout(stdout);
        return 0;
    }
    if (chdir(o.game_dir.c_str()) != 0) {
        fprintf(stderr, "roomedit: no game folder at %s\n", o.game_dir.c_str());
        return 1;
    }
    recover_editor_files(o.paths);
    world_image world;
    std::vector<std::string> errors;
    if (!load_editor_world(o.paths, world, errors)) {
        for (const std::string &error : errors) {
            fprintf(stderr, "roomedit: %s\n", error.c_str());
        }
        return 1;
    }
    if (!open_editor_window()) {
        shutdown_game();
        return 1;
    }
    create_view_buffers();
    load_world();
    text_mode_transparent();
    run_editor(o.paths, world, o.room);
    destroy_view_buffers();
    shutdown_game();
    return 0;
}
END_OF_MAIN()
