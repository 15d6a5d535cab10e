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

int sprite_screen_x(float x, float y, int draw_offset_x)
{
    return view_origin_x - 2 * static_cast<int>(x) + 2 * static_cast<int>(y) - draw_offset_x;
}

int sprite_screen_y(float x, float y, float z, int draw_offset_y)
{
    float base = static_cast<float>(view_origin_y - static_cast<int>(x) - static_cast<int>(y));
    return static_cast<int>(base - z - static_cast<float>(draw_offset_y));
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
        return;
    }
    blit(frame, s.image, 0, 0, 0, 0, s.image_w, s.image_h);
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
    for (int r = r0; r < r1; r++) {
        const uint32_t *from = reinterpret_cast<const uint32_t *>(cutter->line[r]);
        uint32_t *to = reinterpret_cast<uint32_t *>(victim->line[r + dy]) + dx;
        for (int k = k0; k < k1; k++) {
            if ((from[k] & RGB_BITS) != MASK_RGB) {
                to[k] = (to[k] & FOURTH_BYTE) | MASK_RGB;
            }
        }
    }
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

static void cut_pass(void)
{
    for (int i = 0; i < SPRITE_COUNT; i++) {
        if (!drawn_per_frame(i)) {
            continue;
        }
        sprite_record &v = sprite_table[i];
        for (int j = 0; j < SPRITE_COUNT; j++) {
            if (j == i || !drawn_per_frame(j) || shown_object(j)->transparent != 0) {
                continue;
            }
            if (screen_boxes_overlap(i, j) && front_sprite(i, j) == j) {
                const sprite_record &c = sprite_table[j];
                cut_out_shape(v.image, c.image, c.screen_x - v.screen_x, c.screen_y - v.screen_y,
                              c.image_w, c.image_h);
            }
        }
    }
}

void draw_sprites(void)
{
    cut_pass();
    for (int i = 0; i < SPRITE_COUNT; i++) {
        if (drawn_per_frame(i) && shown_object(i)->transparent == 0) {
            const sprite_record &s = sprite_table[i];
            draw_sprite(backbuffer, s.image, s.screen_x, s.screen_y);
        }
    }
    for (int i = 0; i < SPRITE_COUNT; i++) {
        if (drawn_per_frame(i) && shown_object(i)->transparent != 0) {
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
