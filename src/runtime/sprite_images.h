// Sprite images on the view: the projection from world units to view
// pixels, each sprite's own image refreshed from its frame with the part of
// it worth looking at, the screen boxes, which of two sprites is nearer and
// the cut of a nearer silhouette out of a farther image.
#pragma once

#include <allegro.h>
#include <cstdint>

#include "runtime/sprites.h"

// View position of world point (0, 0, 0) in the current room.
extern int view_origin_x;
extern int view_origin_y;

// Places on the view are worked out in 64 bits, since a room's origin may
// be any int, and then held within this distance of the view: far past any
// picture, yet small enough that adding an image's size never overflows.
constexpr int VIEW_COORDINATE_LIMIT = 1 << 24;
int view_coordinate(int64_t v);

// Screen corner of a sprite's image from its position (x and y truncated
// before scaling, z subtracted as a float).
int sprite_screen_x(float x, float y, int draw_offset_x);
int sprite_screen_y(float x, float y, float z, int draw_offset_y);
// Recomputes screen_x, screen_y, cell_x and cell_y of a sprite.
void place_sprite_on_view(int slot);

// Copies the sprite's current frame from the game datafile into its image.
void refresh_sprite_image(int slot);
// Forgets what is known of where a sprite's image is empty: call it when a
// sprite's image is replaced or freed other than by refresh_sprite_image.
void forget_sprite_extent(int slot);
// The datafile image index a sprite shows now.
int sprite_image_index(int slot);

// Where an image can hold anything but the skipped pixel: columns
// left..right-1 of rows top..bottom-1.
struct image_extent {
    const BITMAP *image; // the image this was measured for; null: unknown
    int left, top, right, bottom;
};
// The whole of an image.
inline image_extent whole_image(const BITMAP *b)
{
    return image_extent{b, 0, 0, b->w, b->h};
}

// The part of a sprite's image worth looking at: what the last refresh
// measured, or the whole image when that no longer holds.
image_extent sprite_image_extent(int slot);

// The screen boxes and the depth test run for every pair of drawn sprites in
// every frame, so they are defined here for the drawing to inline.
inline int rects_overlap(int x1, int y1, int w1, int h1, int x2, int y2, int w2, int h2)
{
    return x1 + w1 > x2 && x1 < x2 + w2 && y1 + h1 > y2 && y1 < y2 + h2;
}

inline int screen_boxes_overlap(int a, int b)
{
    const sprite_record &p = sprite_table[a], &q = sprite_table[b];
    return rects_overlap(p.screen_x, p.screen_y, p.image_w, p.image_h, q.screen_x, q.screen_y,
                         q.image_w, q.image_h);
}

// The slot (a or b) nearer the viewer: b unless it lies wholly beyond a's
// last unit along x or y, or wholly under a.
inline int front_sprite(int a, int b)
{
    const sprite_record &p = sprite_table[a], &q = sprite_table[b];
    int ex = static_cast<int>(p.x + static_cast<float>(p.size_x) - 1.0f);
    int ey = static_cast<int>(p.y + static_cast<float>(p.size_y) - 1.0f);
    int ez = static_cast<int>(p.z);
    if (static_cast<float>(ex) >= q.x && static_cast<float>(ey) >= q.y &&
        static_cast<float>(q.size_z) + q.z > static_cast<float>(ez)) {
        return b;
    }
    return a;
}

// Turns the victim's pixels under the cutter's opaque pixels into the mask
// colour (the fourth byte kept).
void cut_out_shape(BITMAP *victim, BITMAP *cutter, int dx, int dy, int w, int h);
// The same cut over cutter columns k0..k1-1 of rows r0..r1-1, which the
// caller has already clipped to both images.
void cut_shape_rows(BITMAP *victim, BITMAP *cutter, int dx, int dy, int k0, int r0, int k1, int r1);
