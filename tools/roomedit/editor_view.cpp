// The editor's view of a room: the game's drawing of it, enlarged, with the
// selection, boxes, overlaps and polygons marked over it.
#include "editor_view.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <vector>
#include <unistd.h>

#include "edit_ops.h"
#include "render/frame.h"
#include "render/lighting.h"
#include "render/view.h"
#include "room_checks.h"
#include "world_compile.h"
#include "runtime/room_setup.h"
#include "runtime/sprites.h"
#include "shell/startup.h"
#include "world/object_defs.h"
#include "world/rooms.h"
#include "world/world_objects.h"

constexpr int MASK_COLOUR = 0xFF00FF; // red 255, green 0, blue 255 in any order
constexpr int HANDLE = 2;             // half-size of a polygon point's mark

static std::vector<int> pick_map;
static void fill_pick_map(const room_record &rec);

int draw_room_view(const world_image &world, int room)
{
    clear_to_color(backbuffer, 0);
    pick_map.assign(static_cast<size_t>(VIEW_W * VIEW_H), 0);
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
    fill_pick_map(world.rooms[static_cast<size_t>(room)]);
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

// A room's origin may be any int, so a point of its view may lie far
// outside the editor's: it is held near the view like the game's.
static int on_editor(int offset, float v)
{
    return offset + view_coordinate(static_cast<int64_t>(static_cast<double>(v) * VIEW_ZOOM));
}

static void line_on(BITMAP *target, int left, int top, view_point a, view_point b, int colour)
{
    line(target, on_editor(left, a.x), on_editor(top, a.y), on_editor(left, b.x),
         on_editor(top, b.y), colour);
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

static void draw_marks_inside(BITMAP *target, int left, int top, const world_image &world, int room,
                              const view_marks &marks);

void draw_view_marks(BITMAP *target, int left, int top, const world_image &world, int room,
                     const view_marks &marks)
{
    if (!room_is_defined(world, room)) {
        return;
    }
    // Marks of things partly out of sight stop at the view's edge.
    set_clip_rect(target, left, top, left + VIEW_W * VIEW_ZOOM - 1, top + VIEW_H * VIEW_ZOOM - 1);
    draw_marks_inside(target, left, top, world, room, marks);
    set_clip_rect(target, 0, 0, target->w - 1, target->h - 1);
}

static void draw_marks_inside(BITMAP *target, int left, int top, const world_image &world, int room,
                              const view_marks &marks)
{
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
    const double d = static_cast<double>(int64_t{vx} - rec.origin_x) / 2; // y - x
    const double s = static_cast<double>(int64_t{rec.origin_y} - vy - z); // x + y
    *x = view_coordinate(static_cast<int64_t>(std::floor((s - d) / 2)));
    *y = view_coordinate(static_cast<int64_t>(std::floor((s + d) / 2)));
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

// One code per view pixel: 0 nothing, then objects, floors and face levels
// in their own ranges, so a click reads back what the eye sees there.
constexpr int PICK_OBJECT_BASE = 1;
constexpr int PICK_FLOOR_BASE = PICK_OBJECT_BASE + WORLD_OBJECT_COUNT;
constexpr int PICK_FACE_BASE = PICK_FLOOR_BASE + ROOM_CELLS * ROOM_CELLS;
constexpr int FACE_SIDES = 2;

static int is_drawn(BITMAP *image, int px, int py)
{
    return (getpixel(image, px, py) & 0xFFFFFF) != MASK_COLOUR;
}

static void pick_image(BITMAP *image, int left, int top, int code)
{
    if (image == nullptr) {
        return;
    }
    for (int py = std::max(0, -top); py < image->h && top + py < VIEW_H; py++) {
        for (int px = std::max(0, -left); px < image->w && left + px < VIEW_W; px++) {
            if (is_drawn(image, px, py)) {
                pick_map[static_cast<size_t>((top + py) * VIEW_W + left + px)] = code;
            }
        }
    }
}

// The cells painted as room setup paints them, back cells first.
static void pick_cells(const room_record &rec)
{
    const int dx = view_origin_x - BACKGROUND_ORIGIN_X, dy = view_origin_y - BACKGROUND_ORIGIN_Y;
    for (int cx = rec.size_x - 1; cx >= 0; cx--) {
        for (int cy = rec.size_y - 1; cy >= 0; cy--) {
            if (rec.floor_tile[cx][cy] == TILE_SOLID) {
                continue;
            }
            const int sx = CELL_SCREEN_X - CELL_STEP_X * cx + CELL_STEP_X * cy + dx;
            const int sy =
                CELL_SCREEN_Y - CELL_STEP_Y * cx - CELL_STEP_Y * cy - rec.floor_height[cx][cy] + dy;
            const int cell = cx * ROOM_CELLS + cy;
            for (int level = 0; level < ROOM_LEVELS; level++) {
                const int y = sy + FACE_DY + FACE_LEVEL_HEIGHT * level;
                const int face = (cell * FACE_SIDES) * ROOM_LEVELS + level;
                if (rec.wall_left[cx][cy][level] >= 0) {
                    pick_image(datafile_bitmap(custom_datafile,
                                               LEFT_FACE_IMAGE_BASE + rec.wall_left[cx][cy][level]),
                               sx + LEFT_FACE_DX, y, PICK_FACE_BASE + face);
                }
                if (rec.wall_right[cx][cy][level] >= 0) {
                    pick_image(datafile_bitmap(custom_datafile, RIGHT_FACE_IMAGE_BASE +
                                                                    rec.wall_right[cx][cy][level]),
                               sx + RIGHT_FACE_DX, y, PICK_FACE_BASE + face + ROOM_LEVELS);
                }
            }
            if (rec.floor_tile[cx][cy] >= 0) {
                pick_image(datafile_bitmap(custom_datafile,
                                           FLOOR_TILE_IMAGE_BASE + rec.floor_tile[cx][cy]),
                           sx, sy + TILE_DY, PICK_FLOOR_BASE + cell);
            }
        }
    }
}

// After the frame is drawn: the cells, then the objects baked into the
// background, then the drawn sprites, whose images are cut so that each
// keeps only the pixels no nearer one covers.
static void fill_pick_map(const room_record &rec)
{
    pick_cells(rec);
    for (int baked = 1; baked >= 0; baked--) {
        for (int slot = 1; slot < SPRITE_COUNT; slot++) {
            const sprite_record &s = sprite_table[slot];
            if (!s.active || s.is_room_part || s.world_object < FIRST_OBJECT_ID ||
                (world_objects[s.world_object].room_part != 0) != (baked == 1) ||
                (!baked && !world_objects[s.world_object].visible)) {
                continue;
            }
            pick_image(s.image, s.screen_x, s.screen_y, PICK_OBJECT_BASE + s.world_object);
        }
    }
}

view_pick pick_at(int vx, int vy)
{
    view_pick pick;
    if (vx < 0 || vy < 0 || vx >= VIEW_W || vy >= VIEW_H) {
        return pick;
    }
    const int code = pick_map[static_cast<size_t>(vy * VIEW_W + vx)];
    if (code >= PICK_FACE_BASE) {
        const int face = code - PICK_FACE_BASE;
        pick.kind = PICK_FACE;
        pick.level = face % ROOM_LEVELS;
        pick.side = (face / ROOM_LEVELS) % FACE_SIDES ? CELL_RIGHT : CELL_LEFT;
        pick.cell_x = face / ROOM_LEVELS / FACE_SIDES / ROOM_CELLS;
        pick.cell_y = face / ROOM_LEVELS / FACE_SIDES % ROOM_CELLS;
    } else if (code >= PICK_FLOOR_BASE) {
        pick.kind = PICK_FLOOR;
        pick.cell_x = (code - PICK_FLOOR_BASE) / ROOM_CELLS;
        pick.cell_y = (code - PICK_FLOOR_BASE) % ROOM_CELLS;
    } else if (code >= PICK_OBJECT_BASE) {
        pick.kind = PICK_OBJECT;
        pick.object = code - PICK_OBJECT_BASE;
    }
    return pick;
}

// What hangs on a wall: torches, plaques, shields, crosses, door frame
// tops and every window; doors stand on the floor against the wall.
static const int HANGING_DEFS[] = {42, 69, DEF_TORCH, DEF_TORCH_2, 77, 89, 91, 104, 162};
static const int WALL_DOOR_DEFS[] = {29, 36, 168};

static int listed(const int *begin, const int *end, int def)
{
    return std::find(begin, end, def) != end;
}

int goes_on_walls(int def)
{
    if (def < 0 || def >= OBJECT_DEF_COUNT) {
        return 0;
    }
    return object_defs[def].category == CATEGORY_WINDOW ||
           listed(std::begin(HANGING_DEFS), std::end(HANGING_DEFS), def) ||
           listed(std::begin(WALL_DOOR_DEFS), std::end(WALL_DOOR_DEFS), def);
}

// Against the face: a left face is the plane y = 15 cy seen from smaller y,
// a right face the plane x = 15 cx seen from smaller x.
static void hang_on_face(const room_record &rec, const object_def &d, int vx, int vy,
                         const view_pick &pick, int *x, int *y, int *z)
{
    const float ox = static_cast<float>(rec.origin_x), oy = static_cast<float>(rec.origin_y);
    float px, py;
    if (pick.side == CELL_LEFT) {
        py = static_cast<float>(pick.cell_y * CELL_SIZE);
        px = (ox + 2 * py - static_cast<float>(vx)) / 2;
        *x = static_cast<int>(std::floor(px)) - d.size_x / 2;
        *y = static_cast<int>(py) - d.size_y;
    } else {
        px = static_cast<float>(pick.cell_x * CELL_SIZE);
        py = (static_cast<float>(vx) - ox + 2 * px) / 2;
        *x = static_cast<int>(px) - d.size_x;
        *y = static_cast<int>(std::floor(py)) - d.size_y / 2;
    }
    *z = std::max(0, static_cast<int>(oy - px - py - static_cast<float>(vy)) - d.size_z / 2);
}

int placement_at(const world_image &world, int room, int def, int vx, int vy, const view_pick &pick,
                 int *x, int *y, int *z)
{
    if (!room_is_defined(world, room) || def < 0 || def >= OBJECT_DEF_COUNT ||
        pick.kind == PICK_NONE) {
        return 0;
    }
    const room_record &rec = world.rooms[static_cast<size_t>(room)];
    const object_def &d = object_defs[def];
    if (pick.kind == PICK_FACE) {
        if (!goes_on_walls(def)) {
            return 0;
        }
        hang_on_face(rec, d, vx, vy, pick, x, y, z);
        if (listed(std::begin(WALL_DOOR_DEFS), std::end(WALL_DOOR_DEFS), def)) {
            *z = support_height(world, room, def, static_cast<float>(*x), static_cast<float>(*y));
        }
    } else {
        int top =
            rec.floor_height[pick.cell_x < 0 ? 0 : pick.cell_x][pick.cell_y < 0 ? 0 : pick.cell_y];
        if (pick.kind == PICK_OBJECT) {
            const world_object &o = world.objects[static_cast<size_t>(pick.object)];
            top = static_cast<int>(o.z) +
                  object_defs[std::clamp(o.obj_def, 0, OBJECT_DEF_COUNT - 1)].size_z;
        }
        view_to_floor(world, room, vx, vy, top, x, y);
        *x = std::max(0, *x - d.size_x / 2);
        *y = std::max(0, *y - d.size_y / 2);
        *z = support_height(world, room, def, static_cast<float>(*x), static_cast<float>(*y));
    }
    *x = std::max(0, *x);
    *y = std::max(0, *y);
    return 1;
}
