// The linter's room model and its reachability search.
//
// Reaching is an approximation of the physics, chosen to err towards
// "reachable" so that a finding is a real fault, never a rule the search
// does not know. The player walks one unit a step, climbs anything up to 6
// units above its feet, falls straight down, and jumps 15 units up and 15
// forward (a jumping player stands on nothing, so it climbs nothing on the
// way; it is stopped by what it hits and falls after). Objects that can be
// moved are steps where they lie, and a walk blocked only by them counts as
// pushing them aside. Creatures are ignored: they move and give way. What
// the event script removes counts as gone, and where it sends the player
// counts as an entrance. Carrying things to build a stair is not modelled:
// quest objects must be reachable without it.
#include "lint_model.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstdint>
#include <set>
#include <tuple>

#include "game/game_loop.h"
#include "physics/player.h"
#include "physics/triggers.h"
#include "runtime/room_setup.h"
#include "world/object_defs.h"
#include "world/rooms.h"
#include "world/world_objects.h"

constexpr int MAX_RISE = 6;    // the greatest step a character climbs
constexpr int REACH_AHEAD = 2; // picking up looks one and two units ahead
constexpr int NO_SUPPORT = INT_MIN;

static const int step_x[SIDE_COUNT] = {0, 1, 0, -1};
static const int step_y[SIDE_COUNT] = {-1, 0, 1, 0};

static const object_def &player_def(void)
{
    return object_defs[DEF_PLAYER];
}

// A position truncated as the game does, held to a range no room reaches
// so that a wild position in the content cannot overflow.
static int whole_units(float v)
{
    constexpr float FAR_AWAY = 1.0e6f;
    return static_cast<int>(std::clamp(v, -FAR_AWAY, FAR_AWAY));
}

std::vector<lint_box> room_boxes(int room)
{
    std::vector<lint_box> boxes;
    const room_record &r = rooms[room];
    for (int cx = 0; cx < r.size_x && cx < ROOM_CELLS; cx++) {
        for (int cy = 0; cy < r.size_y && cy < ROOM_CELLS; cy++) {
            int h =
                r.floor_tile[cx][cy] == TILE_SOLID ? SOLID_COLUMN_HEIGHT : r.floor_height[cx][cy];
            boxes.push_back({CELL_SIZE * cx, CELL_SIZE * cy, 0, CELL_SIZE, CELL_SIZE, h, BOX_COLUMN,
                             NOT_AN_OBJECT, cx, cy});
        }
    }
    boxes.push_back({0, 0, r.ceiling, CELL_SIZE * r.size_x, CELL_SIZE * r.size_y, CEILING_THICKNESS,
                     BOX_CEILING, NOT_AN_OBJECT, 0, 0});
    for (int w = 1; w < WORLD_OBJECT_COUNT; w++) {
        const world_object &o = world_objects[w];
        if (o.used == WOBJ_FREE || o.room != room || o.obj_def < 0 ||
            o.obj_def >= OBJECT_DEF_COUNT) {
            continue;
        }
        const object_def &d = object_defs[o.obj_def];
        int kind = d.fixed ? BOX_FIXED : d.behaviour != BEHAVIOUR_NONE ? BOX_CREATURE : BOX_MOVABLE;
        boxes.push_back({whole_units(o.x), whole_units(o.y), whole_units(o.z), d.size_x, d.size_y,
                         d.size_z, kind, w, 0, 0});
    }
    return boxes;
}

int boxes_meet(const lint_box &a, const lint_box &b)
{
    return a.x < b.x + b.size_x && b.x < a.x + a.size_x && a.y < b.y + b.size_y &&
           b.y < a.y + a.size_y && a.z < b.z + b.size_z && b.z < a.z + a.size_z;
}

lint_box player_box(const player_spot &at)
{
    const object_def &p = player_def();
    return {at.x, at.y, at.z, p.size_x, p.size_y, p.size_z, BOX_MOVABLE, PLAYER_WORLD_OBJECT, 0, 0};
}

// A room's boxes with, for every whole-unit player position inside the
// limits, the boxes whose footprint meets the player's there.
struct room_model {
    std::vector<lint_box> boxes;
    int x0, y0, width, height; // player positions x0.., y0..
    int top;                   // every spot's height is below this
    std::vector<int> near_start, near_items;
};

// Objects the event script takes away (the barrier the charm dissolves):
// the search counts them gone, since the script can clear the way.
static int script_removes(int object)
{
    for (const trigger_record &t : triggers) {
        for (const trigger_action &a : t.actions) {
            if (t.active && a.active && (a.type == DO_REMOVE || a.type == DO_REPLACE) &&
                a.object == object) {
                return 1;
            }
        }
    }
    return 0;
}

static void build_model(int room, room_model &m)
{
    const room_record &r = rooms[room];
    const object_def &p = player_def();
    m.boxes = room_boxes(room);
    m.x0 = r.limit[SIDE_LOW_X];
    m.y0 = r.limit[SIDE_LOW_Y];
    m.width = std::max(0, r.limit[SIDE_HIGH_X] + 2 - p.size_x - m.x0);
    m.height = std::max(0, r.limit[SIDE_HIGH_Y] + 2 - p.size_y - m.y0);
    std::vector<std::vector<int>> near(static_cast<size_t>(m.width * m.height));
    for (size_t b = 0; b < m.boxes.size(); b++) {
        const lint_box &box = m.boxes[b];
        if (box.kind == BOX_CREATURE ||
            (box.object != NOT_AN_OBJECT && script_removes(box.object))) {
            continue;
        }
        for (int x = std::max(m.x0, box.x - p.size_x + 1);
             x < std::min(m.x0 + m.width, box.x + box.size_x); x++) {
            for (int y = std::max(m.y0, box.y - p.size_y + 1);
                 y < std::min(m.y0 + m.height, box.y + box.size_y); y++) {
                near[static_cast<size_t>((y - m.y0) * m.width + x - m.x0)].push_back(
                    static_cast<int>(b));
            }
        }
    }
    // A standing spot lies on some box's top and under the ceiling.
    m.top = 1;
    for (const lint_box &box : m.boxes) {
        m.top = std::max(m.top, box.z + box.size_z + 1);
    }
    m.top = std::min(m.top, r.ceiling + CEILING_THICKNESS + 1);
    m.near_start.assign(1, 0);
    m.near_items.clear();
    for (const std::vector<int> &list : near) {
        m.near_items.insert(m.near_items.end(), list.begin(), list.end());
        m.near_start.push_back(static_cast<int>(m.near_items.size()));
    }
}

static int inside(const room_model &m, int x, int y)
{
    return x >= m.x0 && y >= m.y0 && x < m.x0 + m.width && y < m.y0 + m.height;
}

// What the player's box at (x, y, z) runs into.
struct contact {
    int any;         // something is in the way
    int fixed_any;   // something that will not be pushed
    int movable_any; // something that will
    int top;         // the highest top of what is in the way
    int support;     // the highest top at or below z, NO_SUPPORT when none
};

static contact touch(const room_model &m, int x, int y, int z)
{
    contact c{0, 0, 0, NO_SUPPORT, NO_SUPPORT};
    const int cell = (y - m.y0) * m.width + x - m.x0;
    const int height = player_def().size_z;
    for (int i = m.near_start[static_cast<size_t>(cell)];
         i < m.near_start[static_cast<size_t>(cell) + 1]; i++) {
        const lint_box &b = m.boxes[static_cast<size_t>(m.near_items[static_cast<size_t>(i)])];
        int top = b.z + b.size_z;
        if (b.z < z + height && z < top) {
            c.any = 1;
            c.fixed_any |= b.kind != BOX_MOVABLE;
            c.movable_any |= b.kind == BOX_MOVABLE;
            c.top = std::max(c.top, top);
        } else if (top <= z && b.kind != BOX_CEILING) {
            c.support = std::max(c.support, top); // nobody gets onto the ceiling
        }
    }
    return c;
}

// The spot one walking step towards side leads to, or 0 when it is barred.
static int walk(const room_model &m, player_spot &at, int side)
{
    int x = at.x + step_x[side], y = at.y + step_y[side];
    if (!inside(m, x, y)) {
        return 0;
    }
    contact c = touch(m, x, y, at.z);
    if (!c.any || !c.fixed_any) {
        // Free, or only movable things in the way (pushed aside): fall.
        if (c.support == NO_SUPPORT) {
            return 0;
        }
        at = {x, y, c.support};
        return 1;
    }
    if (c.top - at.z > MAX_RISE || touch(m, x, y, c.top).any) {
        return 0;
    }
    at = {x, y, c.top};
    return 1;
}

// Where a jump towards side from a standing spot comes down, or 0. A
// jumping player stands on nothing, so it climbs nothing on the way: what
// it runs into stops it across, what it bumps its head on ends the rise.
static int jump(const room_model &m, player_spot &at, int side)
{
    int x = at.x, y = at.y, z = at.z, bumped = 0;
    for (int t = 1; t <= JUMP_TICKS && !bumped; t++) {
        bumped = touch(m, x, y, z + 1).any;
        z += bumped ? 0 : 1;
        int nx = x + step_x[side], ny = y + step_y[side];
        if (inside(m, nx, ny) && !touch(m, nx, ny, z).any) {
            x = nx, y = ny;
        }
    }
    contact c = touch(m, x, y, z);
    if (c.any || c.support == NO_SUPPORT || (x == at.x && y == at.y)) {
        return 0;
    }
    at = {x, y, c.support};
    return 1;
}

std::vector<player_spot> reachable_spots(int room, const std::vector<player_spot> &entrances)
{
    room_model m;
    build_model(room, m);
    std::vector<player_spot> found;
    std::vector<uint8_t> seen(static_cast<size_t>(m.width * m.height * m.top), 0);
    auto visit = [&](const player_spot &s) {
        if (!inside(m, s.x, s.y) || s.z < 0 || s.z >= m.top) {
            return;
        }
        size_t k = static_cast<size_t>((s.z * m.height + s.y - m.y0) * m.width + s.x - m.x0);
        if (!seen[k]) {
            seen[k] = 1;
            found.push_back(s);
        }
    };
    for (const player_spot &e : entrances) {
        if (!inside(m, e.x, e.y)) {
            continue;
        }
        contact c = touch(m, e.x, e.y, e.z);
        if (!c.any && c.support != NO_SUPPORT) {
            visit({e.x, e.y, c.support});
        }
    }
    for (size_t i = 0; i < found.size(); i++) {
        for (int side = 0; side < SIDE_COUNT; side++) {
            player_spot s = found[i];
            if (walk(m, s, side)) {
                visit(s);
            }
            s = found[i];
            if (jump(m, s, side)) {
                visit(s);
            }
        }
    }
    return found;
}

int spots_touch(const std::vector<player_spot> &spots, const lint_box &target)
{
    for (const player_spot &s : spots) {
        for (int side = 0; side < SIDE_COUNT; side++) {
            for (int d = 1; d <= REACH_AHEAD; d++) {
                player_spot ahead{s.x + d * step_x[side], s.y + d * step_y[side], s.z};
                if (boxes_meet(player_box(ahead), target)) {
                    return 1;
                }
            }
        }
    }
    return 0;
}

// The player position at the edge of side, v units along it.
static void edge_position(const room_model &m, int side, int v, int &x, int &y)
{
    x = side == SIDE_LOW_X ? m.x0 : side == SIDE_HIGH_X ? m.x0 + m.width - 1 : m.x0 + v;
    y = side == SIDE_LOW_Y ? m.y0 : side == SIDE_HIGH_Y ? m.y0 + m.height - 1 : m.y0 + v;
}

std::vector<player_spot> edge_spots(int room, int side)
{
    room_model m;
    build_model(room, m);
    std::vector<player_spot> spots;
    int count = side == SIDE_LOW_Y || side == SIDE_HIGH_Y ? m.width : m.height;
    for (int v = 0; v < count; v++) {
        int x, y;
        edge_position(m, side, v, x, y);
        // Every top under the footprint where the player's box is clear.
        const int cell = (y - m.y0) * m.width + x - m.x0;
        std::vector<int> tops;
        for (int i = m.near_start[static_cast<size_t>(cell)];
             i < m.near_start[static_cast<size_t>(cell) + 1]; i++) {
            const lint_box &b = m.boxes[static_cast<size_t>(m.near_items[static_cast<size_t>(i)])];
            tops.push_back(b.z + b.size_z);
        }
        std::sort(tops.begin(), tops.end());
        tops.erase(std::unique(tops.begin(), tops.end()), tops.end());
        for (int z : tops) {
            contact c = touch(m, x, y, z);
            if (!c.any && c.support == z) {
                spots.push_back({x, y, z});
            }
        }
    }
    return spots;
}

std::vector<player_spot> reachable_edge_spots(int room, int side,
                                              const std::vector<player_spot> &reachable)
{
    const object_def &p = player_def();
    const room_record &r = rooms[room];
    std::vector<player_spot> spots;
    for (const player_spot &s : reachable) {
        int on_edge = side == SIDE_LOW_X    ? s.x == r.limit[SIDE_LOW_X]
                      : side == SIDE_HIGH_X ? s.x == r.limit[SIDE_HIGH_X] + 1 - p.size_x
                      : side == SIDE_LOW_Y  ? s.y == r.limit[SIDE_LOW_Y]
                                            : s.y == r.limit[SIDE_HIGH_Y] + 1 - p.size_y;
        if (on_edge) {
            spots.push_back(s);
        }
    }
    std::sort(spots.begin(), spots.end(), [](const player_spot &a, const player_spot &b) {
        return a.x != b.x ? a.x < b.x : a.y != b.y ? a.y < b.y : a.z < b.z;
    });
    return spots;
}

player_spot arrival_spot(int room, int side, const player_spot &from)
{
    const room_record &next = rooms[rooms[room].adjacent[side]];
    const object_def &p = player_def();
    player_spot to = from;
    switch (side) {
    case SIDE_LOW_X:
        to.x = next.limit[SIDE_HIGH_X] - 1 - p.size_x;
        break;
    case SIDE_HIGH_X:
        to.x = next.limit[SIDE_LOW_X] + 1;
        break;
    case SIDE_LOW_Y:
        to.y = next.limit[SIDE_HIGH_Y] - 1 - p.size_y;
        break;
    default:
        to.y = next.limit[SIDE_LOW_Y] + 1;
        break;
    }
    return to;
}

// Where the event script's room changes put the player in room.
static std::vector<player_spot> script_arrivals(int room)
{
    std::vector<player_spot> arrivals;
    for (const trigger_record &t : triggers) {
        for (const trigger_action &a : t.actions) {
            if (t.active && a.active && a.type == DO_GO_TO_ROOM && a.room == room) {
                arrivals.push_back({a.x, a.y, a.z});
            }
        }
    }
    return arrivals;
}

std::vector<player_spot> room_entrances(int room)
{
    std::vector<player_spot> entrances;
    if (room == START_ROOM) {
        entrances.push_back({START_X, START_Y, START_Z});
    }
    for (int w = 1; w < WORLD_OBJECT_COUNT; w++) {
        const world_object &o = world_objects[w];
        if (o.used != WOBJ_FREE && o.door && o.door_room == room) {
            entrances.push_back({o.door_x, o.door_y, o.door_z});
        }
    }
    for (const player_spot &s : script_arrivals(room)) {
        entrances.push_back(s);
    }
    for (int from = 1; from < ROOM_COUNT; from++) {
        if (!room_in_use(from)) {
            continue;
        }
        for (int side = 0; side < SIDE_COUNT; side++) {
            if (rooms[from].adjacent[side] != room) {
                continue;
            }
            for (const player_spot &s : edge_spots(from, side)) {
                entrances.push_back(arrival_spot(from, side, s));
            }
        }
    }
    return entrances;
}

// Adds arrivals to a room's entrances; returns 1 when one was new.
static int add_entrances(castle_reach &reach,
                         std::vector<std::set<std::tuple<int, int, int>>> &known, int room,
                         const std::vector<player_spot> &arrivals)
{
    int added = 0;
    for (const player_spot &a : arrivals) {
        if (known[static_cast<size_t>(room)].insert({a.x, a.y, a.z}).second) {
            reach.entrances[static_cast<size_t>(room)].push_back(a);
            added = 1;
        }
    }
    return added;
}

// The rooms a room's reachable spots lead to, with where they arrive.
static std::vector<std::pair<int, std::vector<player_spot>>>
ways_out(int room, const std::vector<player_spot> &spots)
{
    std::vector<std::pair<int, std::vector<player_spot>>> ways;
    for (int side = 0; side < SIDE_COUNT; side++) {
        int next = rooms[room].adjacent[side];
        if (!room_in_use(next)) {
            continue;
        }
        std::vector<player_spot> arrivals;
        for (const player_spot &s : reachable_edge_spots(room, side, spots)) {
            arrivals.push_back(arrival_spot(room, side, s));
        }
        ways.push_back({next, arrivals});
    }
    for (const lint_box &b : room_boxes(room)) {
        const world_object &o = world_objects[b.object < 0 ? 0 : b.object];
        if (b.object != NOT_AN_OBJECT && o.door && room_in_use(o.door_room) &&
            spots_touch(spots, b)) {
            ways.push_back({o.door_room, {{o.door_x, o.door_y, o.door_z}}});
        }
    }
    return ways;
}

castle_reach explore_castle(void)
{
    castle_reach reach;
    reach.entrances.assign(ROOM_COUNT, {});
    std::vector<std::set<std::tuple<int, int, int>>> known(ROOM_COUNT);
    std::vector<int> waiting(ROOM_COUNT, 0), queue;
    auto enter = [&](int room, const std::vector<player_spot> &arrivals) {
        if (add_entrances(reach, known, room, arrivals) && !waiting[static_cast<size_t>(room)]) {
            waiting[static_cast<size_t>(room)] = 1;
            queue.push_back(room);
        }
    };
    if (room_in_use(START_ROOM)) {
        enter(START_ROOM, {{START_X, START_Y, START_Z}});
    }
    while (!queue.empty()) {
        int room = queue.back();
        queue.pop_back();
        waiting[static_cast<size_t>(room)] = 0;
        std::vector<player_spot> spots =
            reachable_spots(room, reach.entrances[static_cast<size_t>(room)]);
        for (const auto &[next, arrivals] : ways_out(room, spots)) {
            enter(next, arrivals);
        }
        for (int to = 0; to < ROOM_COUNT && !spots.empty(); to++) {
            if (room_in_use(to)) {
                enter(to, script_arrivals(to));
            }
        }
    }
    return reach;
}

std::vector<player_spot> entrances_of(const castle_reach &reach, int room)
{
    const std::vector<player_spot> &found = reach.entrances[static_cast<size_t>(room)];
    return found.empty() ? room_entrances(room) : found;
}

int settle_spot(int room, player_spot &at)
{
    room_model m;
    build_model(room, m);
    if (!inside(m, at.x, at.y)) {
        return 0;
    }
    contact c = touch(m, at.x, at.y, at.z);
    if (c.any || c.support == NO_SUPPORT) {
        return 0;
    }
    at.z = c.support;
    return 1;
}

int clear_walk(int room, const player_spot &from, int side, int steps)
{
    room_model m;
    build_model(room, m);
    player_spot at = from;
    for (int i = 0; i < steps; i++) {
        int x = at.x + step_x[side], y = at.y + step_y[side];
        if (!inside(m, x, y)) {
            return 0;
        }
        // Anything that moves in the way would be pushed: not a clear way.
        contact c = touch(m, x, y, at.z);
        int z = c.any ? c.top : c.support;
        if (c.movable_any || z == NO_SUPPORT || std::abs(z - at.z) > MAX_RISE ||
            (c.any && touch(m, x, y, z).any)) {
            return 0;
        }
        at = {x, y, z};
    }
    return 1;
}
