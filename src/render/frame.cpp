// Game frame composition: the room background, its polygons, the sprites
// cut and drawn in slot order, the light, then the caption, the panel and
// the overlays. Everything after the lighting keeps its full colours.
#include "render/frame.h"

#include <allegro.h>
#include <cstdint>
#include <cstdio>

#include "physics/physics.h"
#include "physics/player.h"
#include "render/lighting.h"
#include "runtime/room_setup.h"
#include "runtime/sprite_images.h"
#include "runtime/sprites.h"
#include "shell/resources.h"
#include "shell/text.h"
#include "world/messages.h"
#include "world/rooms.h"
#include "world/world_objects.h"

float reveal_scale = REVEAL_END_SCALE;

static constexpr int CAPTION_PLAQUE_LEFT = 13; // plaque starts this far left of the text's end
static constexpr int CAPTION_RIGHT = 5;        // the text ends this far from the right edge
static constexpr int CAPTION_PLAQUE_Y = 1;
static constexpr int CAPTION_TEXT_Y = 6;
static constexpr int SLOT_NUMBER_X = 13;
static constexpr int SLOT_NUMBER_Y = 192;
static constexpr int ITEM_CENTRE_X = 35;
static constexpr int ITEM_BASE_Y = 230; // the item's bottom row is one above
static constexpr int STATUS_RIGHT_X = 90;
static constexpr int STATUS_Y = 226;
static constexpr int EXAMINE_X = 142;
static constexpr int EXAMINE_BASE_Y = 254;
static constexpr int REVEAL_SOURCE_W = 160;
static constexpr int REVEAL_SOURCE_H = 120;
static constexpr int VIEW_CENTRE_X = 160;
static constexpr int VIEW_CENTRE_Y = 120;
static constexpr int NUMBER_TEXT_SIZE = 16; // room for any int

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
    image_extent ve = sprite_image_extent(i), ce = sprite_image_extent(j);
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
            draw_masked(backbuffer, s.image, s.screen_x, s.screen_y, sprite_image_extent(i));
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
        blit(room_background, backbuffer, 0, 0, view_origin_x - BACKGROUND_ORIGIN_X,
             view_origin_y - BACKGROUND_ORIGIN_Y, ROOM_BACKGROUND_W, ROOM_BACKGROUND_H);
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
    int left = view_origin_x - BACKGROUND_ORIGIN_X, top = view_origin_y - BACKGROUND_ORIGIN_Y;
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

// Numbers are formatted on the stack and written with textout, since the
// library's printf-style text calls allocate their buffer on every call.
static const char *number_text(char (&text)[NUMBER_TEXT_SIZE], int n)
{
    snprintf(text, sizeof text, "%i", n);
    return text;
}

void draw_caption(void)
{
    if (current_room < 0 || current_room >= ROOM_COUNT) {
        return;
    }
    int description = rooms[current_room].description;
    const char *text = description >= 0 ? get_message(description) : nullptr;
    if (text == nullptr) {
        return;
    }
    int w = text_length(font, text);
    BITMAP *plaque = datafile_bitmap(general_datafile, GENERAL_CAPTION_PLAQUE);
    if (plaque != nullptr) {
        draw_masked_sprite(backbuffer, plaque, VIEW_W - w - CAPTION_PLAQUE_LEFT, CAPTION_PLAQUE_Y);
    }
    textout_ex(backbuffer, font, text, VIEW_W - w - CAPTION_RIGHT, CAPTION_TEXT_Y, makecol(0, 0, 0),
               text_bg);
}

void draw_panel(void)
{
    int black = makecol(0, 0, 0);
    BITMAP *panel = datafile_bitmap(general_datafile, GENERAL_PANEL);
    if (panel != nullptr) {
        draw_masked_sprite(backbuffer, panel, 0, PANEL_Y);
    }
    char text[NUMBER_TEXT_SIZE];
    textout_ex(backbuffer, font, number_text(text, selected_slot + 1), SLOT_NUMBER_X, SLOT_NUMBER_Y,
               black, text_bg);
    if (inventory[selected_slot] != EMPTY_SLOT && item_picture != nullptr) {
        draw_masked_sprite(backbuffer, item_picture, ITEM_CENTRE_X - item_picture->w / 2,
                           ITEM_BASE_Y - item_picture->h);
    }
    if (notice_timer > 0) {
        notice_timer--;
        textout_right_ex(backbuffer, font, notice_text, STATUS_RIGHT_X, STATUS_Y, black, text_bg);
    } else {
        textout_right_ex(backbuffer, font, number_text(text, static_cast<int>(energy)),
                         STATUS_RIGHT_X, STATUS_Y, black, text_bg);
    }
}

void draw_examine_picture(void)
{
    if (examined_object == NO_EXAMINED_OBJECT || examine_picture == nullptr) {
        return;
    }
    if (examine_slide < EXAMINE_SLIDE_END) {
        examine_slide += EXAMINE_SLIDE_STEP;
    }
    draw_masked_sprite(backbuffer, examine_picture, EXAMINE_X, EXAMINE_BASE_Y - examine_slide);
}

void draw_reveal(void)
{
    if (reveal_scale >= REVEAL_END_SCALE) {
        return;
    }
    reveal_scale *= REVEAL_GROWTH;
    float w = static_cast<float>(static_cast<int>(reveal_scale));
    float h = static_cast<float>(static_cast<int>(reveal_scale) * 0.75);
    int left = static_cast<int>(VIEW_CENTRE_X - w / 2),
        top = static_cast<int>(VIEW_CENTRE_Y - h / 2);
    BITMAP *mask = datafile_bitmap(custom_datafile, REVEAL_MASK_IMAGE);
    if (mask != nullptr && mask->w >= REVEAL_SOURCE_W && mask->h >= REVEAL_SOURCE_H) {
        masked_stretch_blit(mask, backbuffer, 0, 0, REVEAL_SOURCE_W, REVEAL_SOURCE_H, left, top,
                            static_cast<int>(w), static_cast<int>(h));
    }
    rectfill(backbuffer, 0, 0, left, VIEW_H, 0);
    rectfill(backbuffer, static_cast<int>(w / 2 + VIEW_CENTRE_X), 0, VIEW_W, VIEW_H, 0);
    rectfill(backbuffer, 0, 0, VIEW_W, top, 0);
    rectfill(backbuffer, 0, static_cast<int>(h / 2 + VIEW_CENTRE_Y - 1), VIEW_W, VIEW_H, 0);
}

void compose_game_frame(void)
{
    clear_around_room_background();
    draw_room_background();
    draw_room_polygons();
    draw_sprites();
    apply_lighting();
    draw_caption();
    draw_panel();
    draw_examine_picture();
    draw_reveal();
}
