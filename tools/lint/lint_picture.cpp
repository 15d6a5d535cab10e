// The world linter's checks of a room's picture: what room setup paints
// must fit the background where the view shows it, and the walkable floor
// must show above the panel.
#include <algorithm>
#include <cctype>
#include <cstdint>
#include <map>
#include <queue>

#include "game/game_loop.h"
#include "lint_checks.h"
#include "lint_model.h"
#include "physics/script_ids.h"
#include "render/frame.h"
#include "runtime/room_setup.h"
#include "shell/startup.h"
#include "world/messages.h"
#include "world/object_defs.h"
#include "world/rooms.h"
#include "world/world_objects.h"

// The rectangle of room_background that init_room and baking paint.
struct picture_bounds {
    int left = ROOM_BACKGROUND_W, top = ROOM_BACKGROUND_H, right = 0, bottom = 0;
};

// The rectangle of an image's painted (not mask) pixels, found once per image.
static picture_bounds painted_part(int image)
{
    static std::map<int, picture_bounds> known;
    auto found = known.find(image);
    if (found != known.end()) {
        return found->second;
    }
    picture_bounds p;
    BITMAP *bitmap = datafile_bitmap(custom_datafile, image);
    for (int y = 0; bitmap != nullptr && y < bitmap->h; y++) {
        for (int x = 0; x < bitmap->w; x++) {
            int c = getpixel(bitmap, x, y);
            if (getr32(c) != 255 || getg32(c) != 0 || getb32(c) != 255) {
                p.left = std::min(p.left, x);
                p.top = std::min(p.top, y);
                p.right = std::max(p.right, x + 1);
                p.bottom = std::max(p.bottom, y + 1);
            }
        }
    }
    known[image] = p;
    return p;
}

static void cover(picture_bounds &b, int image, int x, int y)
{
    picture_bounds p = painted_part(image);
    if (p.right <= p.left) {
        return;
    }
    b.left = std::min(b.left, x + p.left);
    b.top = std::min(b.top, y + p.top);
    b.right = std::max(b.right, x + p.right);
    b.bottom = std::max(b.bottom, y + p.bottom);
}

static picture_bounds room_picture_bounds(int room)
{
    const room_record &r = rooms[room];
    picture_bounds b;
    for (int cx = 0; cx < r.size_x && cx < ROOM_CELLS; cx++) {
        for (int cy = 0; cy < r.size_y && cy < ROOM_CELLS; cy++) {
            if (r.floor_tile[cx][cy] == TILE_SOLID) {
                continue;
            }
            int sx = CELL_SCREEN_X - CELL_STEP_X * cx + CELL_STEP_X * cy;
            int sy = CELL_SCREEN_Y - CELL_STEP_Y * cx - CELL_STEP_Y * cy - r.floor_height[cx][cy];
            for (int level = 0; level < ROOM_LEVELS; level++) {
                int fy = sy + FACE_DY + FACE_LEVEL_HEIGHT * level;
                if (r.wall_left[cx][cy][level] >= 0) {
                    cover(b, LEFT_FACE_IMAGE_BASE + r.wall_left[cx][cy][level], sx + LEFT_FACE_DX,
                          fy);
                }
                if (r.wall_right[cx][cy][level] >= 0) {
                    cover(b, RIGHT_FACE_IMAGE_BASE + r.wall_right[cx][cy][level],
                          sx + RIGHT_FACE_DX, fy);
                }
            }
            if (r.floor_tile[cx][cy] >= 0) {
                cover(b, FLOOR_TILE_IMAGE_BASE + r.floor_tile[cx][cy], sx, sy + TILE_DY);
            }
        }
    }
    return b;
}

static void cover_baked_objects(int room, picture_bounds &b)
{
    for (int w = 1; w < WORLD_OBJECT_COUNT; w++) {
        const world_object &o = world_objects[w];
        if (o.used == WOBJ_FREE || o.room != room || !o.room_part || o.obj_def < 0 ||
            o.obj_def >= OBJECT_DEF_COUNT) {
            continue;
        }
        const object_def &d = object_defs[o.obj_def];
        int frame = o.frame < OBJECT_MAX_FRAMES ? o.frame : 0;
        int image = d.initial_facing * d.frames_per_facing + d.frames[frame];
        int x = static_cast<int>(o.x), y = static_cast<int>(o.y), z = static_cast<int>(o.z);
        cover(b, image, BACKGROUND_ORIGIN_X - 2 * x + 2 * y - d.draw_offset_x,
              BACKGROUND_ORIGIN_Y - x - y - z - d.draw_offset_y);
    }
}

// The room's floor level: the height most of its open cells inside the
// limits share (walls and daises stand on it).
static int floor_level(const room_record &r)
{
    std::map<int, int> count;
    for (int cx = r.limit[SIDE_LOW_X] / CELL_SIZE;
         cx <= r.limit[SIDE_HIGH_X] / CELL_SIZE && cx < std::min<int>(r.size_x, ROOM_CELLS); cx++) {
        for (int cy = r.limit[SIDE_LOW_Y] / CELL_SIZE;
             cy <= r.limit[SIDE_HIGH_Y] / CELL_SIZE && cy < std::min<int>(r.size_y, ROOM_CELLS);
             cy++) {
            if (r.floor_tile[cx][cy] != TILE_SOLID) {
                count[r.floor_height[cx][cy]]++;
            }
        }
    }
    auto most = std::max_element(count.begin(), count.end(),
                                 [](const auto &a, const auto &b) { return a.second < b.second; });
    return most == count.end() ? 0 : most->first;
}

// What room setup paints must fit the background wherever the view shows it.
static void check_fit(int room, std::vector<lint_finding> &findings)
{
    const room_record &r = rooms[room];
    picture_bounds b = room_picture_bounds(room);
    cover_baked_objects(room, b);
    // What falls outside the background is lost; it matters where the view
    // above the panel would show it.
    // An origin may be any int: where the view lies is worked out in 64 bits.
    const int64_t view_left = BACKGROUND_ORIGIN_X - int64_t{r.origin_x};
    const int64_t view_top = BACKGROUND_ORIGIN_Y - int64_t{r.origin_y};
    const picture_bounds lost[] = {
        {b.left, b.top, 0, b.bottom},
        {ROOM_BACKGROUND_W, b.top, b.right, b.bottom},
        {b.left, b.top, b.right, 0},
        {b.left, ROOM_BACKGROUND_H, b.right, b.bottom},
    };
    // What to do about each of those four strips.
    const std::string hide_under_panel =
        std::to_string(BACKGROUND_ORIGIN_Y + PANEL_Y - ROOM_BACKGROUND_H);
    const std::string advice[] = {
        "make the room shorter along x",
        "make the room shorter along y",
        "lower its tallest walls",
        "set origin_y to " + hide_under_panel +
            " or more (the panel then covers the cut) or "
            "end the nearest cells' side faces higher",
    };
    for (size_t i = 0; i < std::size(lost); i++) {
        const picture_bounds &l = lost[i];
        if (std::max<int64_t>(l.left, view_left) < std::min<int64_t>(l.right, view_left + VIEW_W) &&
            std::max<int64_t>(l.top, view_top) < std::min<int64_t>(l.bottom, view_top + PANEL_Y)) {
            add_lint_finding(findings, LINT_ROOM_TOO_BIG, room, NO_LINT_OBJECT,
                             "its picture spans " + std::to_string(b.left) + ".." +
                                 std::to_string(b.right) + " x " + std::to_string(b.top) + ".." +
                                 std::to_string(b.bottom) + ", past the " +
                                 std::to_string(ROOM_BACKGROUND_W) + " x " +
                                 std::to_string(ROOM_BACKGROUND_H) +
                                 " background, and the view shows the cut: " + advice[i]);
        }
    }
}

// The corners of the walkable floor must show on the view above the panel.
static void check_floor_shows(int room, std::vector<lint_finding> &findings)
{
    const room_record &r = rooms[room];
    const int level = floor_level(r);
    const int xs[] = {r.limit[SIDE_LOW_X], r.limit[SIDE_HIGH_X] + 1};
    const int ys[] = {r.limit[SIDE_LOW_Y], r.limit[SIDE_HIGH_Y] + 1};
    for (int x : xs) {
        for (int y : ys) {
            const int64_t vx = int64_t{r.origin_x} - 2 * x + 2 * y;
            const int64_t vy = int64_t{r.origin_y} - x - y - level;
            if (vx < 0 || vx >= VIEW_W || vy < 0 || vy >= PANEL_Y) {
                add_lint_finding(findings, LINT_FLOOR_HIDDEN, room, NO_LINT_OBJECT,
                                 "the floor corner at " + std::to_string(x) + "," +
                                     std::to_string(y) + " shows at view " + std::to_string(vx) +
                                     "," + std::to_string(vy) + ", outside rows 0.." +
                                     std::to_string(PANEL_Y - 1) + " and columns 0.." +
                                     std::to_string(VIEW_W - 1));
            }
        }
    }
}

void check_picture(int room, std::vector<lint_finding> &findings)
{
    check_fit(room, findings);
    check_floor_shows(room, findings);
}
