// The application icons: Ondel as the game draws him, standing and facing
// the viewer, on a dark round plate with a gold rim. Each size is drawn for
// itself: the plate at four times the size and averaged down for smooth
// edges, Ondel at whole-number scales so his pixels stay sharp.
#include <algorithm>
#include <string>

#include "art.h"
#include "picture_tool.h"

#include <loadpng.h>
#include "physics/player.h"
#include "world/object_defs.h"

static const int ICON_SIZES[] = {32, 64, 128, 256};
constexpr int PLATE_OVERSAMPLE = 4;
constexpr int PLATE_MARGIN_PERCENT = 3;
constexpr int RIM_PERCENT = 5;
constexpr int PLATE_RGB[3] = {34, 36, 52};
constexpr int RIM_RGB[3] = {214, 170, 60};
constexpr int FIGURE_PERCENT = 80; // of the icon's height, at most

// The opaque part of an image.
static void opaque_bounds(BITMAP *image, int &x0, int &y0, int &x1, int &y1)
{
    const int mask = bitmap_mask_color(image);
    x0 = image->w, y0 = image->h, x1 = -1, y1 = -1;
    for (int y = 0; y < image->h; y++) {
        for (int x = 0; x < image->w; x++) {
            if (getpixel(image, x, y) != mask) {
                x0 = std::min(x0, x), y0 = std::min(y0, y), x1 = std::max(x1, x),
                y1 = std::max(y1, y);
            }
        }
    }
}

static BITMAP *draw_plate(int size)
{
    const int big = size * PLATE_OVERSAMPLE;
    BITMAP *plate = create_bitmap_ex(32, big, big);
    clear_to_color(plate, bitmap_mask_color(plate));
    const int centre = big / 2, outer = big / 2 - big * PLATE_MARGIN_PERCENT / 100;
    circlefill(plate, centre, centre, outer, makecol32(RIM_RGB[0], RIM_RGB[1], RIM_RGB[2]));
    circlefill(plate, centre, centre, outer - big * RIM_PERCENT / 100,
               makecol32(PLATE_RGB[0], PLATE_RGB[1], PLATE_RGB[2]));
    BITMAP *smooth = reduce_picture(plate, size, size);
    destroy_bitmap(plate);
    return smooth;
}

// Ondel's opaque pixels over the plate, scaled up by a whole number where
// he fits, averaged down where he does not; centred.
static void draw_figure(BITMAP *icon, BITMAP *figure)
{
    int x0, y0, x1, y1;
    opaque_bounds(figure, x0, y0, x1, y1);
    const int w = x1 - x0 + 1, h = y1 - y0 + 1, room = icon->h * FIGURE_PERCENT / 100;
    BITMAP *cut = create_bitmap_ex(32, w, h);
    blit(figure, cut, x0, y0, 0, 0, w, h);
    const int scale = room / h;
    const int out_w = scale > 0 ? w * scale : w * room / h, out_h = scale > 0 ? h * scale : room;
    BITMAP *scaled = create_bitmap_ex(32, out_w, out_h);
    if (scale > 0) {
        stretch_blit(cut, scaled, 0, 0, w, h, 0, 0, out_w, out_h);
    } else {
        destroy_bitmap(scaled);
        scaled = reduce_picture(cut, out_w, out_h);
    }
    const int mask = bitmap_mask_color(scaled), left = (icon->w - out_w) / 2,
              top = (icon->h - out_h) / 2;
    for (int y = 0; y < out_h; y++) {
        for (int x = 0; x < out_w; x++) {
            int c = getpixel(scaled, x, y);
            int a = scale > 0 ? (c == mask ? 0 : 255) : geta32(c);
            int under = getpixel(icon, left + x, top + y);
            auto mix = [a](int over, int back) {
                return (over * a + back * (255 - a) + 127) / 255;
            };
            putpixel(icon, left + x, top + y,
                     makeacol32(mix(getr32(c), getr32(under)), mix(getg32(c), getg32(under)),
                                mix(getb32(c), getb32(under)), std::max(a, geta32(under))));
        }
    }
    destroy_bitmap(cut);
    destroy_bitmap(scaled);
}

int write_icons(const std::vector<datafile_entry> &game_entries, const std::string &dir)
{
    const int image = object_defs[DEF_PLAYER].frames[PLAYER_FRAME_STANDING];
    BITMAP *figure = game_entries[static_cast<size_t>(image)].image;
    int ok = 1;
    for (int size : ICON_SIZES) {
        BITMAP *icon = draw_plate(size);
        draw_figure(icon, figure);
        // The fourth byte is alpha here: loadpng writes 32-bit pictures as RGBA.
        ok &= save_png((dir + "/quillmere-" + std::to_string(size) + ".png").c_str(), icon,
                       nullptr) == 0;
        destroy_bitmap(icon);
    }
    return ok;
}
