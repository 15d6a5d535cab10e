// The headless game and PNG writing the picture tools share.
#include "picture_tool.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <loadpng.h>
#include <unistd.h>

#include "file_replace.h"
#include "game/main_flow.h"
#include "shell/resources.h"
#include "shell/startup.h"
#include "shell/text.h"

int start_headless_game(const char *tool, const char *game_dir)
{
    if (chdir(game_dir) != 0) {
        fprintf(stderr, "%s: no game folder at %s\n", tool, game_dir);
        return 0;
    }
    if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0) {
        fprintf(stderr, "%s: cannot start the graphics library\n", tool);
        return 0;
    }
    set_color_depth(COLOUR_DEPTH);
    if (load_game_datafiles() != STARTUP_OK) {
        fprintf(stderr, "%s: %s holds no usable qm.dat and data1/game.dat\n", tool, game_dir);
        return 0;
    }
    backbuffer = make_bitmap(VIEW_W, VIEW_H);
    create_view_buffers();
    load_world(WORLD_FROM_DATA_FOLDER);
    text_mode_transparent();
    return 1;
}

int save_picture_png(const char *tool, BITMAP *picture, const std::string &path)
{
    BITMAP *rgb = create_bitmap_ex(24, picture->w, picture->h);
    blit(picture, rgb, 0, 0, 0, 0, picture->w, picture->h);
    int saved = commit_temporary(path, save_png(temporary_beside(path).c_str(), rgb, nullptr) == 0);
    destroy_bitmap(rgb);
    if (!saved) {
        fprintf(stderr, "%s: cannot write %s\n", tool, path.c_str());
    }
    return saved;
}
