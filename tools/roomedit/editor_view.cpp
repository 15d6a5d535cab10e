// The editor's view of a room: the game's drawing of it, enlarged, with the
// selection, boxes, overlaps and polygons marked over it.
#include "editor_view.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

#include "edit_ops.h"
#include "render/frame.h"
#include "render/lighting.h"
#include "room_checks.h"
#include "world_compile.h"
#include "runtime/room_setup.h"
#include "runtime/sprites.h"
#include "shell/resources.h"
#include "world/object_defs.h"
#include "world/rooms.h"
#include "world/world_objects.h"

constexpr int HANDLE = 2; // half-size of a polygon point's mark

int draw_room_view(const world_image &world, int room)
{
    clear_to_color(backbuffer, 0);
    // Room setup reports a full sprite table and waits for a key; a room
    // that does not fit is shown as a finding instead.
    if (!room_is_defined(world, room) || !room_fits(world, room)) {
        return 0;
    }
    build_room(room);
    sprite_table[PLAYER_SLOT].active = 0;
    reveal_scale = REVEAL_END_SCALE;
    lighting_enabled = 1;
    draw_room_background();
    draw_room_polygons();
    draw_sprites();
    apply_lighting();
    draw_caption();
    return 1;
}

struct view_point {
    float x, y;
};

static view_point project(const world_image &world, int room, float x, float y, float z)
{
    const room_record &rec = world.rooms[static_cast<size_t>(room)];
    return {rec.origin_x - 2 * x + 2 * y, rec.origin_y - x - y - z};
}

static void line_on(BITMAP *target, int left, int top, view_point a, view_point b, int colour)
{
    line(target, left + static_cast<int>(a.x * VIEW_ZOOM), top + static_cast<int>(a.y * VIEW_ZOOM),
         left + static_cast<int>(b.x * VIEW_ZOOM), top + static_cast<int>(b.y * VIEW_ZOOM), colour);
}

// The twelve edges of a world box.
static void draw_box(BITMAP *target, int left, int top, const world_image &world, int room,
                     const float low[3], const float size[3], int colour)
{
    view_point corner[8];
    for (int i = 0; i < 8; i++) {
        corner[i] = project(world, room, low[0] + (i & 1 ? size[0] : 0),
                            low[1] + (i & 2 ? size[1] : 0), low[2] + (i & 4 ? size[2] : 0));
    }
    for (int i = 0; i < 8; i++) {
        for (int bit = 1; bit < 8; bit <<= 1) {
            if (!(i & bit)) {
                line_on(target, left, top, corner[i], corner[i | bit], colour);
            }
        }
    }
}

static void draw_object_box(BITMAP *target, int left, int top, const world_image &world, int room,
                            int id, int colour)
{
    const world_object &w = world.objects[static_cast<size_t>(id)];
    const object_def &d = object_defs[std::clamp(w.obj_def, 0, OBJECT_DEF_COUNT - 1)];
    const float low[3] = {w.x, w.y, w.z};
    const float size[3] = {static_cast<float>(d.size_x), static_cast<float>(d.size_y),
                           static_cast<float>(d.size_z)};
    draw_box(target, left, top, world, room, low, size, colour);
}

static void draw_selected_object(BITMAP *target, int left, int top, const world_image &world,
                                 int room, int id)
{
    const int red = makecol(255, 0, 0);
    std::vector<int> others;
    const int clash = object_clashes(world, id, &others);
    for (int other : others) {
        draw_object_box(target, left, top, world, room, other, red);
    }
    if (clash & CLASH_LIMIT) {
        const room_record &rec = world.rooms[static_cast<size_t>(room)];
        const float low[3] = {static_cast<float>(rec.limit[SIDE_LOW_X]),
                              static_cast<float>(rec.limit[SIDE_LOW_Y]),
                              world.objects[static_cast<size_t>(id)].z};
        const float size[3] = {static_cast<float>(rec.limit[SIDE_HIGH_X] + 1) - low[0],
                               static_cast<float>(rec.limit[SIDE_HIGH_Y] + 1) - low[1], 0};
        draw_box(target, left, top, world, room, low, size, red);
    }
    draw_object_box(target, left, top, world, room, id, clash ? red : makecol(255, 255, 0));
}

static void draw_polygon_marks(BITMAP *target, int left, int top, const world_image &world,
                               int room, int selected)
{
    for (int p = 0; p < POLYGON_COUNT; p++) {
        const polygon_record &poly = world.polygons[static_cast<size_t>(p)];
        if (poly.room != room) {
            continue;
        }
        const int colour = p == selected ? makecol(255, 255, 0) : makecol(0, 255, 255);
        const int count = std::clamp(static_cast<int>(poly.point_count), 0, POLYGON_MAX_POINTS);
        for (int i = 0; i < count; i++) {
            const view_point a = {static_cast<float>(poly.points[i * 2]),
                                  static_cast<float>(poly.points[i * 2 + 1])};
            const int j = (i + 1) % count;
            const view_point b = {static_cast<float>(poly.points[j * 2]),
                                  static_cast<float>(poly.points[j * 2 + 1])};
            line_on(target, left, top, a, b, colour);
            const int hx = left + static_cast<int>(a.x) * VIEW_ZOOM;
            const int hy = top + static_cast<int>(a.y) * VIEW_ZOOM;
            rect(target, hx - HANDLE, hy - HANDLE, hx + HANDLE, hy + HANDLE, colour);
        }
    }
}

void draw_view_marks(BITMAP *target, int left, int top, const world_image &world, int room,
                     const view_marks &marks)
{
    if (!room_is_defined(world, room)) {
        return;
    }
    const room_record &rec = world.rooms[static_cast<size_t>(room)];
    if (marks.cell_x >= 0 && marks.cell_x < rec.size_x && marks.cell_y >= 0 &&
        marks.cell_y < rec.size_y) {
        const float low[3] = {static_cast<float>(marks.cell_x * CELL_SIZE),
                              static_cast<float>(marks.cell_y * CELL_SIZE),
                              static_cast<float>(rec.floor_height[marks.cell_x][marks.cell_y])};
        const float size[3] = {CELL_SIZE, CELL_SIZE, 0};
        draw_box(target, left, top, world, room, low, size, makecol(255, 255, 0));
    }
    if (marks.object >= FIRST_OBJECT_ID && marks.object < WORLD_OBJECT_COUNT &&
        world.objects[static_cast<size_t>(marks.object)].used != WOBJ_FREE) {
        draw_selected_object(target, left, top, world, room, marks.object);
    }
    if (marks.show_polygons) {
        draw_polygon_marks(target, left, top, world, room, marks.polygon);
    }
}

void view_to_floor(const world_image &world, int room, int vx, int vy, int z, int *x, int *y)
{
    const room_record &rec = world.rooms[static_cast<size_t>(room)];
    const float d = (vx - rec.origin_x) / 2.0f;                // y - x
    const float s = static_cast<float>(rec.origin_y - vy - z); // x + y
    *x = static_cast<int>(std::floor((s - d) / 2));
    *y = static_cast<int>(std::floor((s + d) / 2));
}

int cell_at(const world_image &world, int room, int vx, int vy, int *cx, int *cy)
{
    if (!room_is_defined(world, room)) {
        return 0;
    }
    const room_record &rec = world.rooms[static_cast<size_t>(room)];
    int best = -1;
    for (int x = 0; x < rec.size_x; x++) {
        for (int y = 0; y < rec.size_y; y++) {
            int wx, wy;
            view_to_floor(world, room, vx, vy, rec.floor_height[x][y], &wx, &wy);
            // The nearest cell whose top face holds the point is the one seen.
            if (wx >= 0 && wy >= 0 && wx / CELL_SIZE == x && wy / CELL_SIZE == y &&
                (best < 0 || x + y < best)) {
                best = x + y;
                *cx = x;
                *cy = y;
            }
        }
    }
    return best >= 0;
}

static int opaque_at(const sprite_record &s, int vx, int vy)
{
    const int px = vx - s.screen_x, py = vy - s.screen_y;
    if (s.image == nullptr || px < 0 || py < 0 || px >= s.image_w || py >= s.image_h) {
        return 0;
    }
    const int c = getpixel(s.image, px, py);
    return (static_cast<uint32_t>(c) & RGB_BITS) != MASK_COLOUR;
}

int object_at(int vx, int vy)
{
    // After cutting, a sprite keeps only the pixels no nearer one covers;
    // objects baked into the background lie behind every drawn one.
    int baked = -1;
    for (int slot = 1; slot < SPRITE_COUNT; slot++) {
        const sprite_record &s = sprite_table[slot];
        if (!s.active || s.is_room_part || s.world_object < FIRST_OBJECT_ID ||
            !opaque_at(s, vx, vy)) {
            continue;
        }
        if (!world_objects[s.world_object].room_part) {
            return s.world_object;
        }
        baked = s.world_object;
    }
    return baked;
}
