// Room setup: the background is painted back cells first so nearer faces
// and tiles cover farther ones; room parts fill slots from 1; object sprites
// follow in world object order; room-part objects are baked into the
// background once, cut by the visible baked objects in front of them.
#include "runtime/room_setup.h"

#include "runtime/sprite_images.h"
#include "runtime/sprites.h"
#include "shell/error_report.h"
#include "shell/resources.h"
#include "world/rooms.h"
#include "world/world_objects.h"

int current_room = 0;

static constexpr int CLEARED_TOP_H = 200;

// Map records are trusted for everything but the grid size: a size beyond
// the 12 x 12 grids is taken as 12 so no cell outside them is read.
static int grid_cells(int size)
{
    return size > ROOM_CELLS ? ROOM_CELLS : size;
}

static void draw_background_image(int index, int x, int y)
{
    BITMAP *image = datafile_bitmap(custom_datafile, index);
    if (image != nullptr && room_background != nullptr) {
        draw_sprite(room_background, image, x, y);
    }
}

// Paints one cell's side faces and floor; returns its column height.
static int paint_cell(const room_record &r, int cx, int cy)
{
    if (r.floor_tile[cx][cy] == TILE_SOLID) {
        return SOLID_COLUMN_HEIGHT;
    }
    int h = r.floor_height[cx][cy];
    int sx = CELL_SCREEN_X - CELL_STEP_X * cx + CELL_STEP_X * cy;
    int sy = CELL_SCREEN_Y - CELL_STEP_Y * cx - CELL_STEP_Y * cy - h;
    for (int level = 0; level < ROOM_LEVELS; level++) {
        int y = sy + FACE_DY + FACE_LEVEL_HEIGHT * level;
        if (r.wall_left[cx][cy][level] >= 0) {
            draw_background_image(LEFT_FACE_IMAGE_BASE + r.wall_left[cx][cy][level],
                                  sx + LEFT_FACE_DX, y);
        }
        if (r.wall_right[cx][cy][level] >= 0) {
            draw_background_image(RIGHT_FACE_IMAGE_BASE + r.wall_right[cx][cy][level],
                                  sx + RIGHT_FACE_DX, y);
        }
    }
    if (r.floor_tile[cx][cy] >= 0) {
        draw_background_image(FLOOR_TILE_IMAGE_BASE + r.floor_tile[cx][cy], sx, sy + TILE_DY);
    }
    return h;
}

int init_room(int room)
{
    if (room < 0 || room >= ROOM_COUNT) {
        report_error("init_room : invalid room id");
        return -1;
    }
    const room_record &r = rooms[room];
    current_room = room;
    view_origin_x = r.origin_x;
    view_origin_y = r.origin_y;
    for (int slot = FIRST_FREE_SLOT; slot < SPRITE_COUNT; slot++) {
        sprite_table[slot].active = 0;
    }
    if (room_background != nullptr) {
        clear_to_color(room_background, 0);
        rectfill(room_background, 0, 0, ROOM_BACKGROUND_W, CLEARED_TOP_H, 0);
    }
    int next = FIRST_ROOM_PART_SLOT;
    int size_x = grid_cells(r.size_x), size_y = grid_cells(r.size_y);
    for (int cx = size_x - 1; cx >= 0; cx--) {
        for (int cy = size_y - 1; cy >= 0; cy--) {
            int h = paint_cell(r, cx, cy);
            init_room_sprite(next, CELL_SIZE * cx, CELL_SIZE * cy, 0, CELL_SIZE, CELL_SIZE, h);
            next++;
        }
    }
    init_room_sprite(next, 0, 0, r.ceiling, CELL_SIZE * size_x, CELL_SIZE * size_y,
                     CEILING_THICKNESS);
    return next + 1;
}

static void place_objects(int room, int first)
{
    int slot = first;
    for (int w = 1; w < WORLD_OBJECT_COUNT; w++) {
        if (world_objects[w].used == WOBJ_FREE || world_objects[w].room != room) {
            continue;
        }
        init_sprite(slot, w);
        if (!sprite_table[slot].active || sprite_table[slot].world_object != w) {
            continue; // refused (a bad definition in the file): already reported
        }
        refresh_sprite_image(slot);
        place_sprite_on_view(slot);
        slot++;
        if (slot == SPRITE_COUNT) {
            report_error("setup_room_object - not enough sprites");
            return;
        }
    }
}

static int is_baked(int slot)
{
    const world_object *w = sprite_world_object(slot);
    return w != nullptr && w->room_part;
}

// Cuts the visible baked objects in front of slot a out of its image, then
// paints it into the background.
static void bake(int a)
{
    sprite_record &s = sprite_table[a];
    for (int b = 0; b < SPRITE_COUNT; b++) {
        if (b == a || !is_baked(b) || !sprite_world_object(b)->visible) {
            continue;
        }
        if (screen_boxes_overlap(a, b) && front_sprite(a, b) == b &&
            sprite_world_object(b)->transparent == 0) {
            const sprite_record &c = sprite_table[b];
            cut_out_shape(s.image, c.image, c.screen_x - s.screen_x, c.screen_y - s.screen_y,
                          c.image_w, c.image_h);
        }
    }
    if (room_background != nullptr && s.image != nullptr) {
        int x = static_cast<int>(BACKGROUND_ORIGIN_X - 2.0f * s.x + 2.0f * s.y - s.draw_offset_x);
        int y = static_cast<int>(BACKGROUND_ORIGIN_Y - s.x - s.y - s.z - s.draw_offset_y);
        draw_sprite(room_background, s.image, x, y);
    }
}

void setup_room_objects(int room, int first)
{
    if (first < 0 || first >= SPRITE_COUNT) {
        report_error("setp_room_objects : invalid sprite id");
        return;
    }
    if (room < 0 || room >= ROOM_COUNT) {
        report_error("setp_room_objects : invalid room id");
        return;
    }
    place_objects(room, first);
    for (int a = FIRST_ROOM_PART_SLOT; a < SPRITE_COUNT; a++) {
        if (is_baked(a)) {
            bake(a);
        }
    }
}

void build_room(int room)
{
    int first = init_room(room);
    if (first >= 0) { // an invalid room has been reported once already
        setup_room_objects(current_room, first);
    }
}
