// Projection, sprite images and the cut-then-draw occlusion. Sprites are
// never sorted: every sprite's image loses the pixels that nearer sprites
// cover, so plain slot order draws a correct picture.
#include "render/view.h"

#include <cstdint>

#include "runtime/room_setup.h"
#include "runtime/sprites.h"
#include "shell/startup.h"
#include "world/object_defs.h"
#include "world/rooms.h"
#include "world/world_objects.h"

// The mask colour in a 32-bit pixel: red and blue 255, green 0, in either
// channel order; the fourth byte is not part of the colour.
static constexpr uint32_t MASK_RGB = 0x00FF00FFu;
static constexpr uint32_t RGB_BITS = 0x00FFFFFFu;
static constexpr uint32_t FOURTH_BYTE = 0xFF000000u;
// The exact pixel draw_sprite leaves out: the mask colour, fourth byte 0.
static constexpr uint32_t SKIPPED_PIXEL = 0x00FF00FFu;
static constexpr int DRAW_DEPTH = 32;

// Where a sprite's image can hold anything but the skipped pixel: columns
// left..right-1 of rows top..bottom-1. Measured when the image is refreshed
// from its frame (the rows are still in cache from the copy, and the scan
// from each end stops at the first drawn pixel); cutting only ever adds
// skipped pixels, so it stays true until the next refresh. Pixels outside
// it are skipped by drawing and turned into themselves by cutting, so
// leaving them out changes nothing. Whoever replaces a sprite's image
// otherwise forgets it.
struct image_extent {
    const BITMAP *image; // the image this was measured for; null: unknown
    int left, top, right, bottom;
};
static image_extent sprite_extent[SPRITE_COUNT];

static image_extent whole_image(const BITMAP *b)
{
    return image_extent{b, 0, 0, b->w, b->h};
}

static image_extent measure_extent(const BITMAP *b)
{
    image_extent e{b, b->w, b->h, 0, 0};
    if (bitmap_color_depth(const_cast<BITMAP *>(b)) != DRAW_DEPTH) {
        return whole_image(b);
    }
    for (int y = 0; y < b->h; y++) {
        const uint32_t *row = reinterpret_cast<const uint32_t *>(b->line[y]);
        int first = 0, last = b->w;
        while (first < b->w && row[first] == SKIPPED_PIXEL) {
            first++;
        }
        if (first == b->w) {
            continue;
        }
        while (row[last - 1] == SKIPPED_PIXEL) {
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

// The part of a sprite's image worth looking at.
static image_extent extent_of(int slot)
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
        clear_to_color(s.image, makecol(255, 0, 255));
        forget_sprite_extent(slot);
        return;
    }
    blit(frame, s.image, 0, 0, 0, 0, s.image_w, s.image_h);
    sprite_extent[slot] = measure_extent(s.image);
}

int rects_overlap(int x1, int y1, int w1, int h1, int x2, int y2, int w2, int h2)
{
    return x1 + w1 > x2 && x1 < x2 + w2 && y1 + h1 > y2 && y1 < y2 + h2;
}

int screen_boxes_overlap(int a, int b)
{
    const sprite_record &p = sprite_table[a], &q = sprite_table[b];
    return rects_overlap(p.screen_x, p.screen_y, p.image_w, p.image_h, q.screen_x, q.screen_y,
                         q.image_w, q.image_h);
}

int front_sprite(int a, int b)
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

// The cut over cutter columns k0..k1-1 of rows r0..r1-1, already inside
// both images. A select rather than a branch, so the loop vectorises.
static void cut_rows(BITMAP *victim, BITMAP *cutter, int dx, int dy, int k0, int r0, int k1, int r1)
{
    for (int r = r0; r < r1; r++) {
        const uint32_t *__restrict from = reinterpret_cast<const uint32_t *>(cutter->line[r]);
        uint32_t *__restrict to = reinterpret_cast<uint32_t *>(victim->line[r + dy]) + dx;
        for (int k = k0; k < k1; k++) {
            uint32_t cut = (to[k] & FOURTH_BYTE) | MASK_RGB;
            to[k] = (from[k] & RGB_BITS) != MASK_RGB ? cut : to[k];
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
    cut_rows(victim, cutter, dx, dy, k0, r0, k1, r1);
}

// The world object of a sprite that has a picture to draw, or null.
static const world_object *shown_object(int slot)
{
    return sprite_table[slot].image != nullptr ? sprite_world_object(slot) : nullptr;
}

// Drawn per frame: visible and not baked into the background.
static int drawn_per_frame(int slot)
{
    const world_object *w = shown_object(slot);
    return w != nullptr && w->visible && !w->room_part;
}

// This frame's drawn slots in slot order, and which of them cut others.
static int drawn_slots[SPRITE_COUNT];
static int drawn_count;
static uint8_t is_cutter[SPRITE_COUNT];

static void list_drawn_slots(void)
{
    drawn_count = 0;
    for (int i = 0; i < SPRITE_COUNT; i++) {
        if (drawn_per_frame(i)) {
            drawn_slots[drawn_count++] = i;
            is_cutter[i] = shown_object(i)->transparent == 0;
        }
    }
}

// cut_out_shape of victim i by cutter j, looking only at the cutter's
// extent and, within it, the victim's.
static void cut_by(int i, int j)
{
    const sprite_record &v = sprite_table[i], &c = sprite_table[j];
    int dx = c.screen_x - v.screen_x, dy = c.screen_y - v.screen_y;
    image_extent ve = extent_of(i), ce = extent_of(j);
    int k0 = ce.left > ve.left - dx ? ce.left : ve.left - dx;
    int k1 = ce.right < ve.right - dx ? ce.right : ve.right - dx;
    int r0 = ce.top > ve.top - dy ? ce.top : ve.top - dy;
    int r1 = ce.bottom < ve.bottom - dy ? ce.bottom : ve.bottom - dy;
    k1 = k1 < c.image_w ? k1 : c.image_w;
    r1 = r1 < c.image_h ? r1 : c.image_h;
    if (k0 < k1 && r0 < r1) {
        cut_rows(v.image, c.image, dx, dy, k0, r0, k1, r1);
    }
}

static void cut_pass(void)
{
    for (int n = 0; n < drawn_count; n++) {
        int i = drawn_slots[n];
        for (int m = 0; m < drawn_count; m++) {
            int j = drawn_slots[m];
            if (j != i && is_cutter[j] && screen_boxes_overlap(i, j) && front_sprite(i, j) == j) {
                cut_by(i, j);
            }
        }
    }
}

// draw_sprite of a 32-bit image onto a 32-bit memory bitmap, as masked row
// copies over the given extent of the image inside the clip rectangle; the
// compiler turns the select into 16-byte compares and blends. Anything else
// goes to the library.
static void draw_masked(BITMAP *to, BITMAP *image, int x, int y, image_extent e)
{
    if (!is_memory_bitmap(to) || bitmap_color_depth(to) != DRAW_DEPTH ||
        bitmap_color_depth(image) != DRAW_DEPTH) {
        draw_sprite(to, image, x, y);
        return;
    }
    int k0 = e.left > to->cl - x ? e.left : to->cl - x;
    int k1 = e.right < to->cr - x ? e.right : to->cr - x;
    int r0 = e.top > to->ct - y ? e.top : to->ct - y;
    int r1 = e.bottom < to->cb - y ? e.bottom : to->cb - y;
    for (int r = r0; r < r1; r++) {
        const uint32_t *__restrict from = reinterpret_cast<const uint32_t *>(image->line[r]);
        uint32_t *__restrict row = reinterpret_cast<uint32_t *>(to->line[r + y]) + x;
        for (int k = k0; k < k1; k++) {
            row[k] = from[k] == SKIPPED_PIXEL ? row[k] : from[k];
        }
    }
}

void draw_masked_sprite(BITMAP *to, BITMAP *image, int x, int y)
{
    if (to != nullptr && image != nullptr) {
        draw_masked(to, image, x, y, whole_image(image));
    }
}

void draw_sprites(void)
{
    list_drawn_slots();
    cut_pass();
    for (int n = 0; n < drawn_count; n++) {
        int i = drawn_slots[n];
        if (is_cutter[i]) {
            const sprite_record &s = sprite_table[i];
            draw_masked(backbuffer, s.image, s.screen_x, s.screen_y, extent_of(i));
        }
    }
    for (int n = 0; n < drawn_count; n++) {
        int i = drawn_slots[n];
        if (!is_cutter[i]) {
            const sprite_record &s = sprite_table[i];
            set_trans_blender(255, 255, 255, shown_object(i)->transparent);
            draw_trans_sprite(backbuffer, s.image, s.screen_x, s.screen_y);
        }
    }
}

void draw_room_background(void)
{
    if (room_background != nullptr) {
        blit(room_background, backbuffer, 0, 0,
             view_coordinate(int64_t{view_origin_x} - BACKGROUND_ORIGIN_X),
             view_coordinate(int64_t{view_origin_y} - BACKGROUND_ORIGIN_Y), ROOM_BACKGROUND_W,
             ROOM_BACKGROUND_H);
    }
}

// Black over columns x0..x1-1 of rows y0..y1-1 (rectfill would swap
// reversed corners and fill a band for an empty one).
static void clear_band(int x0, int y0, int x1, int y1)
{
    if (x1 > x0 && y1 > y0) {
        rectfill(backbuffer, x0, y0, x1 - 1, y1 - 1, 0);
    }
}

void clear_around_room_background(void)
{
    if (room_background == nullptr) {
        clear_to_color(backbuffer, 0);
        return;
    }
    // The rectangle the background's blit covers, clipped to the view; the
    // four bands around it are what the clear leaves showing.
    int left = view_coordinate(int64_t{view_origin_x} - BACKGROUND_ORIGIN_X);
    int top = view_coordinate(int64_t{view_origin_y} - BACKGROUND_ORIGIN_Y);
    int right = left + ROOM_BACKGROUND_W, bottom = top + ROOM_BACKGROUND_H;
    left = left < 0 ? 0 : left > VIEW_W ? VIEW_W : left;
    right = right < left ? left : right > VIEW_W ? VIEW_W : right;
    top = top < 0 ? 0 : top > VIEW_H ? VIEW_H : top;
    bottom = bottom < top ? top : bottom > VIEW_H ? VIEW_H : bottom;
    clear_band(0, 0, VIEW_W, top);
    clear_band(0, bottom, VIEW_W, VIEW_H);
    clear_band(0, top, left, bottom);
    clear_band(right, top, VIEW_W, bottom);
}

void draw_room_polygons(void)
{
    for (const polygon_record &p : polygons) {
        if (p.room != current_room || p.point_count <= 0) {
            continue;
        }
        int count = p.point_count > POLYGON_MAX_POINTS ? POLYGON_MAX_POINTS : p.point_count;
        polygon(backbuffer, count, p.points, 0);
    }
}
