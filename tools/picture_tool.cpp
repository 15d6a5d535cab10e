// The headless game and PNG writing the picture tools share.
#include "picture_tool.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdint>
#include <cstdlib>
#include <vector>
#include <loadpng.h>
#include <unistd.h>

#include "file_replace.h"
#include "render/text.h"
#include "shell/startup.h"

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
    load_world();
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

// Source pixel i spans [i * out, (i + 1) * out) and target pixel j spans
// [j * in, (j + 1) * in) in units of 1 / (in * out): the overlaps are whole.
static void spans(int in, int out, int j, int &first, int &last)
{
    first = j * in / out;
    last = ((j + 1) * in - 1) / out;
}

static int64_t overlap(int i, int j, int in, int out)
{
    int64_t a = std::max<int64_t>(int64_t{i} * out, int64_t{j} * in);
    int64_t b = std::min<int64_t>(int64_t{i + 1} * out, int64_t{j + 1} * in);
    return b > a ? b - a : 0;
}

BITMAP *reduce_picture(BITMAP *picture, int w, int h)
{
    BITMAP *out = create_bitmap_ex(32, w, h);
    const int mask = bitmap_mask_color(picture);
    for (int y = 0; y < h; y++) {
        int y_first, y_last;
        spans(picture->h, h, y, y_first, y_last);
        for (int x = 0; x < w; x++) {
            int x_first, x_last;
            spans(picture->w, w, x, x_first, x_last);
            int64_t sum[3] = {0, 0, 0}, covered = 0, area = 0;
            for (int sy = y_first; sy <= y_last; sy++) {
                int64_t wy = overlap(sy, y, picture->h, h);
                for (int sx = x_first; sx <= x_last; sx++) {
                    int64_t weight = wy * overlap(sx, x, picture->w, w);
                    int c = getpixel(picture, sx, sy);
                    area += weight;
                    if (c != mask) {
                        sum[0] += getr32(c) * weight, sum[1] += getg32(c) * weight;
                        sum[2] += getb32(c) * weight, covered += weight;
                    }
                }
            }
            int alpha = static_cast<int>((covered * 255 + area / 2) / area);
            int64_t n = covered > 0 ? covered : 1;
            putpixel(out, x, y,
                     makeacol32(static_cast<int>((sum[0] + n / 2) / n),
                                static_cast<int>((sum[1] + n / 2) / n),
                                static_cast<int>((sum[2] + n / 2) / n), alpha));
        }
    }
    return out;
}
