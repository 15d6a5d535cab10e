// Drawing the room and its sprites on the back buffer. Sprites are never
// sorted: every sprite's image loses the pixels that nearer sprites cover,
// so plain slot order draws a correct picture.
#include "render/view.h"

#include <cstdint>

#include "runtime/room_setup.h"
#include "runtime/sprite_images.h"
#include "runtime/sprites.h"
#include "shell/resources.h"
#include "world/rooms.h"
#include "world/world_objects.h"

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
// Measured at refresh; cutting leaves it true, so it is read once a frame.
static image_extent drawn_extent[SPRITE_COUNT];

static void list_drawn_slots(void)
{
    drawn_count = 0;
    for (int i = 0; i < SPRITE_COUNT; i++) {
        if (drawn_per_frame(i)) {
            drawn_slots[drawn_count++] = i;
            is_cutter[i] = shown_object(i)->transparent == 0;
            drawn_extent[i] = sprite_image_extent(i);
        }
    }
}

// cut_out_shape of victim i by cutter j, looking only at the cutter's
// extent and, within it, the victim's.
static void cut_by(int i, int j)
{
    const sprite_record &v = sprite_table[i], &c = sprite_table[j];
    int dx = c.screen_x - v.screen_x, dy = c.screen_y - v.screen_y;
    const image_extent &ve = drawn_extent[i], &ce = drawn_extent[j];
    int k0 = ce.left > ve.left - dx ? ce.left : ve.left - dx;
    int k1 = ce.right < ve.right - dx ? ce.right : ve.right - dx;
    int r0 = ce.top > ve.top - dy ? ce.top : ve.top - dy;
    int r1 = ce.bottom < ve.bottom - dy ? ce.bottom : ve.bottom - dy;
    k1 = k1 < c.image_w ? k1 : c.image_w;
    r1 = r1 < c.image_h ? r1 : c.image_h;
    if (k0 < k1 && r0 < r1) {
        cut_shape_rows(v.image, c.image, dx, dy, k0, r0, k1, r1);
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
    if (!is_memory_bitmap(to) || bitmap_color_depth(to) != COLOUR_DEPTH ||
        bitmap_color_depth(image) != COLOUR_DEPTH) {
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
            row[k] = from[k] == MASK_COLOUR ? row[k] : from[k];
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
            draw_masked(backbuffer, s.image, s.screen_x, s.screen_y, drawn_extent[i]);
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
