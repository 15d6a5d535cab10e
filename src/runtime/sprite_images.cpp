// Projection and sprite images. Sprites are never sorted: every sprite's
// image loses the pixels that nearer sprites cover, so plain slot order
// draws a correct picture; the cut and the screen boxes live here because
// room setup bakes with them too.
#include "runtime/sprite_images.h"

#include <cstdint>

#include "runtime/sprites.h"
#include "shell/resources.h"
#include "world/object_defs.h"
#include "world/rooms.h"

int view_origin_x = 0;
int view_origin_y = 0;

// Where a sprite's image can hold anything but the skipped pixel: columns
// left..right-1 of rows top..bottom-1. Measured when the image is refreshed
// from its frame (the rows are still in cache from the copy, and the scan
// from each end stops at the first drawn pixel); cutting only ever adds
// skipped pixels, so it stays true until the next refresh. Pixels outside
// it are skipped by drawing and turned into themselves by cutting, so
// leaving them out changes nothing. Whoever replaces a sprite's image
// otherwise forgets it.
static image_extent sprite_extent[SPRITE_COUNT];

static image_extent measure_extent(const BITMAP *b)
{
    image_extent e{b, b->w, b->h, 0, 0};
    if (bitmap_color_depth(const_cast<BITMAP *>(b)) != COLOUR_DEPTH) {
        return whole_image(b);
    }
    for (int y = 0; y < b->h; y++) {
        const uint32_t *row = reinterpret_cast<const uint32_t *>(b->line[y]);
        int first = 0, last = b->w;
        while (first < b->w && row[first] == MASK_COLOUR) {
            first++;
        }
        if (first == b->w) {
            continue;
        }
        while (row[last - 1] == MASK_COLOUR) {
            last--;
        }
        e.left = first < e.left ? first : e.left;
        e.right = last > e.right ? last : e.right;
        e.top = y < e.top ? y : e.top;
        e.bottom = y + 1;
    }
    if (e.bottom == 0) {
        e.left = e.top = e.right = 0;
    }
    return e;
}

void forget_sprite_extent(int slot)
{
    if (slot >= 0 && slot < SPRITE_COUNT) {
        sprite_extent[slot].image = nullptr;
    }
}

image_extent sprite_image_extent(int slot)
{
    const sprite_record &s = sprite_table[slot];
    return sprite_extent[slot].image == s.image ? sprite_extent[slot] : whole_image(s.image);
}

int view_coordinate(int64_t v)
{
    return static_cast<int>(v < -VIEW_COORDINATE_LIMIT  ? -VIEW_COORDINATE_LIMIT
                            : v > VIEW_COORDINATE_LIMIT ? VIEW_COORDINATE_LIMIT
                                                        : v);
}

int sprite_screen_x(float x, float y, int draw_offset_x)
{
    return view_coordinate(int64_t{view_origin_x} - 2 * int64_t{static_cast<int>(x)} +
                           2 * int64_t{static_cast<int>(y)} - draw_offset_x);
}

int sprite_screen_y(float x, float y, float z, int draw_offset_y)
{
    float base =
        static_cast<float>(int64_t{view_origin_y} - static_cast<int>(x) - static_cast<int>(y));
    float v = base - z - static_cast<float>(draw_offset_y);
    const float limit = static_cast<float>(VIEW_COORDINATE_LIMIT);
    return static_cast<int>(v < -limit ? -limit : v > limit ? limit : v);
}

void place_sprite_on_view(int slot)
{
    sprite_record &s = sprite_table[slot];
    s.screen_x = sprite_screen_x(s.x, s.y, s.draw_offset_x);
    s.screen_y = sprite_screen_y(s.x, s.y, s.z, s.draw_offset_y);
    s.cell_x = static_cast<int>((s.x + 1) / CELL_SIZE);
    s.cell_y = static_cast<int>((s.y + 1) / CELL_SIZE);
}

int sprite_image_index(int slot)
{
    const sprite_record &s = sprite_table[slot];
    if (s.obj_def < 0 || s.obj_def >= OBJECT_DEF_COUNT) {
        return -1;
    }
    const object_def &d = object_defs[s.obj_def];
    // A frame number from the world file beyond the frame table shows the
    // base frame rather than reading past it.
    int frame = s.anim_frame >= 0 && s.anim_frame < OBJECT_MAX_FRAMES ? s.anim_frame : 0;
    return s.facing * d.frames_per_facing + d.frames[frame];
}

void refresh_sprite_image(int slot)
{
    sprite_record &s = sprite_table[slot];
    if (s.image == nullptr) {
        return;
    }
    BITMAP *frame = datafile_bitmap(custom_datafile, sprite_image_index(slot));
    if (frame == nullptr) {
        clear_to_color(s.image, static_cast<int>(MASK_COLOUR));
        forget_sprite_extent(slot);
        return;
    }
    blit(frame, s.image, 0, 0, 0, 0, s.image_w, s.image_h);
    sprite_extent[slot] = measure_extent(s.image);
}

// A select rather than a branch, so the loop vectorises.
void cut_shape_rows(BITMAP *victim, BITMAP *cutter, int dx, int dy, int k0, int r0, int k1, int r1)
{
    for (int r = r0; r < r1; r++) {
        const uint32_t *__restrict from = reinterpret_cast<const uint32_t *>(cutter->line[r]);
        uint32_t *__restrict to = reinterpret_cast<uint32_t *>(victim->line[r + dy]) + dx;
        for (int k = k0; k < k1; k++) {
            uint32_t cut = (to[k] & FOURTH_BYTE) | MASK_COLOUR;
            to[k] = (from[k] & RGB_BITS) != MASK_COLOUR ? cut : to[k];
        }
    }
}

void cut_out_shape(BITMAP *victim, BITMAP *cutter, int dx, int dy, int w, int h)
{
    if (victim == nullptr || cutter == nullptr) {
        return;
    }
    // Only the rows and columns that land inside both images.
    int k0 = dx < 0 ? -dx : 0, r0 = dy < 0 ? -dy : 0;
    int k1 = w < cutter->w ? w : cutter->w, r1 = h < cutter->h ? h : cutter->h;
    if (k1 > victim->w - dx) {
        k1 = victim->w - dx;
    }
    if (r1 > victim->h - dy) {
        r1 = victim->h - dy;
    }
    cut_shape_rows(victim, cutter, dx, dy, k0, r0, k1, r1);
}
