// The world linter's checks of where the player arrives and walks:
// creatures that start well clear of every arrival and can be seen, food
// near every creature, doors with room before them, hatches away from
// arrivals, wall fittings above the player's head or inside the wall.
//
// Distances are measured on the floor plane between the middles of the
// player's box at an arrival and of the other box, so that a large hatch
// and a small one are judged alike.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "lint_checks.h"
#include "lint_light.h"
#include "lint_model.h"
#include "physics/player.h"
#include "runtime/room_setup.h"
#include "runtime/sprites.h"
#include "shell/startup.h"
#include "world/object_defs.h"
#include "world/rooms.h"
#include "world/world_objects.h"

constexpr int CREATURE_CLEARANCE = 3 * CELL_SIZE;
constexpr int GUARD_CLEARANCE = 2 * CELL_SIZE; // a creature that never moves
constexpr int HATCH_CLEARANCE = 2 * CELL_SIZE;
constexpr int MOST_CLIMB = 6;             // a hatch no taller than a step is walked onto
constexpr int DOOR_FRONT = CELL_SIZE;     // the clear way before a door
constexpr double NO_ARRIVAL_NEAR = 1.0e9; // farther than any room reaches

static const int food_defs[] = {DEF_JUG_OF_WATER, DEF_LOAF_OF_BREAD, DEF_PIECE_OF_CHICKEN};

static const object_def &player_def(void)
{
    return object_defs[DEF_PLAYER];
}

static double distance_to(const player_spot &a, double x, double y, int size_x, int size_y)
{
    double dx = a.x + player_def().size_x / 2.0 - (x + size_x / 2.0);
    double dy = a.y + player_def().size_y / 2.0 - (y + size_y / 2.0);
    return std::sqrt(dx * dx + dy * dy);
}

static int is_creature(const lint_box &b)
{
    return b.kind == BOX_CREATURE ||
           (b.object != NOT_AN_OBJECT &&
            object_defs[world_objects[b.object].obj_def].behaviour != BEHAVIOUR_NONE);
}

static int patrol_axis_x(int object)
{
    return object_defs[world_objects[object].obj_def].behaviour == BEHAVIOUR_PATROL_X;
}

static int patrols(int object)
{
    int b = object_defs[world_objects[object].obj_def].behaviour;
    return b == BEHAVIOUR_PATROL_X || b == BEHAVIOUR_PATROL_Y;
}

// How far from its start a patroller walks each way before anything stops
// it (the probe stops it at every box and at the limits).
static void patrol_reach(int room, const std::vector<lint_box> &boxes, const lint_box &c, int &back,
                         int &ahead)
{
    const room_record &r = rooms[room];
    const int along_x = patrol_axis_x(c.object);
    auto free_at = [&](int d) {
        lint_box moved = c;
        (along_x ? moved.x : moved.y) += d;
        if (moved.x < r.limit[SIDE_LOW_X] || moved.y < r.limit[SIDE_LOW_Y] ||
            moved.x + moved.size_x > r.limit[SIDE_HIGH_X] + 1 ||
            moved.y + moved.size_y > r.limit[SIDE_HIGH_Y] + 1) {
            return 0;
        }
        for (const lint_box &b : boxes) {
            if (b.object != c.object && boxes_meet(moved, b)) {
                return 0;
            }
        }
        return 1;
    };
    const int most = CELL_SIZE * ROOM_CELLS;
    for (back = 0; back < most && free_at(-(back + 1)); back++) {
    }
    for (ahead = 0; ahead < most && free_at(ahead + 1); ahead++) {
    }
}

creature_clearance nearest_arrival(int room, const lint_box &c)
{
    std::vector<player_spot> arrivals = room_entrances(room);
    std::vector<lint_box> boxes = room_boxes(room);
    creature_clearance found{c.object, NO_ARRIVAL_NEAR, NO_ARRIVAL_NEAR, {}};
    int back = 0, ahead = 0;
    if (patrols(c.object)) {
        patrol_reach(room, boxes, c, back, ahead);
    }
    const int along_x = patrol_axis_x(c.object);
    for (const player_spot &a : arrivals) {
        double start = distance_to(a, c.x, c.y, c.size_x, c.size_y);
        if (start < found.start) {
            found.start = start;
            found.at = a;
        }
        for (int d = -back; d <= ahead; d++) {
            found.walked =
                std::min(found.walked, distance_to(a, c.x + (along_x ? d : 0),
                                                   c.y + (along_x ? 0 : d), c.size_x, c.size_y));
        }
    }
    found.walked = std::min(found.walked, found.start);
    return found;
}

static std::string units(double d)
{
    char text[32];
    snprintf(text, sizeof text, "%.0f", std::floor(d));
    return text;
}

int creature_luminance(int room, int object)
{
    if (custom_datafile == nullptr || backbuffer == nullptr || light_map == nullptr ||
        room_sprite_count(room) > MOST_ROOM_SPRITES) {
        return LEAST_PLAYER_LUMINANCE; // nothing to draw with: left out
    }
    build_room(room);
    sprite_table[PLAYER_SLOT].active = 0;
    int slot = find_world_object_sprite(object);
    return slot < 0 ? -1 : sprite_luminance(slot);
}

static void check_creature_light(int room, int object, std::vector<lint_finding> &findings)
{
    int luminance = creature_luminance(room, object);
    if (luminance < LEAST_PLAYER_LUMINANCE) {
        add_lint_finding(findings, LINT_CREATURE_UNSEEN, room, object,
                         luminance < 0
                             ? std::string("where it starts it is mostly hidden")
                             : "where it starts its mean luminance is " +
                                   std::to_string(luminance) + ", at least " +
                                   std::to_string(LEAST_PLAYER_LUMINANCE) + " needed to see it");
    }
}

void check_creatures(int room, std::vector<lint_finding> &findings)
{
    for (const lint_box &c : room_boxes(room)) {
        if (c.object == NOT_AN_OBJECT || !is_creature(c)) {
            continue;
        }
        const int clearance = object_defs[world_objects[c.object].obj_def].fixed
                                  ? GUARD_CLEARANCE
                                  : CREATURE_CLEARANCE;
        creature_clearance near = nearest_arrival(room, c);
        if (near.start < clearance) {
            add_lint_finding(findings, LINT_CREATURE_AT_ARRIVAL, room, c.object,
                             "starts " + units(near.start) + " units from the arrival at " +
                                 spot_text(near.at) + "; keep it " + std::to_string(clearance) +
                                 " away");
        } else if (patrols(c.object) && near.walked < CREATURE_CLEARANCE) {
            add_lint_finding(findings, LINT_CREATURE_AT_ARRIVAL, room, c.object,
                             "its beat passes " + units(near.walked) +
                                 " units from an arrival; keep it " +
                                 std::to_string(CREATURE_CLEARANCE) + " away");
        }
        check_creature_light(room, c.object, findings);
    }
}

// Rooms one exit or door away from room, either way.
static std::vector<int> neighbours(int room)
{
    std::vector<int> near(std::begin(rooms[room].adjacent), std::end(rooms[room].adjacent));
    for (int other = 1; other < ROOM_COUNT; other++) {
        const room_record &r = rooms[other];
        if (room_in_use(other) &&
            std::find(std::begin(r.adjacent), std::end(r.adjacent), room) != std::end(r.adjacent)) {
            near.push_back(other);
        }
    }
    for (int w = 1; w < WORLD_OBJECT_COUNT; w++) {
        const world_object &o = world_objects[w];
        if (o.used == WOBJ_IN_USE && o.door && o.room == room) {
            near.push_back(o.door_room);
        } else if (o.used == WOBJ_IN_USE && o.door && o.door_room == room) {
            near.push_back(o.room);
        }
    }
    return near;
}

void check_food(int room, std::vector<lint_finding> &findings)
{
    int creatures = 0;
    for (const lint_box &b : room_boxes(room)) {
        creatures += b.object != NOT_AN_OBJECT && is_creature(b);
    }
    if (creatures == 0) {
        return;
    }
    std::vector<int> near = neighbours(room);
    near.push_back(room);
    for (int w = 1; w < WORLD_OBJECT_COUNT; w++) {
        const world_object &o = world_objects[w];
        if (o.used == WOBJ_IN_USE &&
            std::find(std::begin(food_defs), std::end(food_defs), o.obj_def) !=
                std::end(food_defs) &&
            std::find(near.begin(), near.end(), o.room) != near.end()) {
            return;
        }
    }
    add_lint_finding(findings, LINT_FOOD_MISSING, room, NO_LINT_OBJECT,
                     "a creature lives here and no food lies here or one room away");
}

static int is_hatch(const lint_box &b)
{
    return b.object != NOT_AN_OBJECT && world_objects[b.object].door && b.size_z <= MOST_CLIMB;
}

// A door in a wall: the player walks into it along its thin axis, from the
// room's side of it, and needs a cell's depth of clear floor to line up.
static void check_door_front(int room, const lint_box &door, std::vector<lint_finding> &findings)
{
    const room_record &r = rooms[room];
    const object_def &p = player_def();
    const int along_x = door.size_x < door.size_y;
    // The room lies on the side of the door where most of the walkable floor is.
    const int from_high =
        along_x ? 2 * door.x + door.size_x > r.limit[SIDE_LOW_X] + r.limit[SIDE_HIGH_X] + 1
                : 2 * door.y + door.size_y > r.limit[SIDE_LOW_Y] + r.limit[SIDE_HIGH_Y] + 1;
    player_spot at{door.x + (door.size_x - p.size_x) / 2, door.y + (door.size_y - p.size_y) / 2,
                   door.z};
    if (along_x) {
        at.x = from_high ? door.x - p.size_x : door.x + door.size_x;
    } else {
        at.y = from_high ? door.y - p.size_y : door.y + door.size_y;
    }
    const int away =
        along_x ? (from_high ? SIDE_LOW_X : SIDE_HIGH_X) : (from_high ? SIDE_LOW_Y : SIDE_HIGH_Y);
    // The cell before the wall the door is set in: the door's own depth
    // counts towards it.
    const int depth = along_x ? door.size_x + p.size_x : door.size_y + p.size_y;
    if (!settle_spot(room, at) || !clear_walk(room, at, away, DOOR_FRONT - depth)) {
        add_lint_finding(findings, LINT_DOOR_FRONT, room, door.object,
                         "no clear cell before it: a player walking into it from " + spot_text(at) +
                             " needs " + std::to_string(DOOR_FRONT) +
                             " units of free floor behind");
    }
}

void check_doorways(int room, std::vector<lint_finding> &findings)
{
    std::vector<player_spot> arrivals;
    for (const lint_box &b : room_boxes(room)) {
        if (b.object == NOT_AN_OBJECT || !world_objects[b.object].door) {
            continue;
        }
        if (!is_hatch(b)) {
            check_door_front(room, b, findings);
            continue;
        }
        if (arrivals.empty()) {
            arrivals = room_entrances(room);
        }
        for (const player_spot &a : arrivals) {
            double d = distance_to(a, b.x, b.y, b.size_x, b.size_y);
            if (d < HATCH_CLEARANCE) {
                add_lint_finding(findings, LINT_DROP_AT_ARRIVAL, room, b.object,
                                 "a way down " + units(d) + " units from the arrival at " +
                                     spot_text(a) + "; keep it " + std::to_string(HATCH_CLEARANCE) +
                                     " away");
                break;
            }
        }
    }
}

static int resting(const lint_box &b, const std::vector<lint_box> &boxes)
{
    lint_box under = b;
    under.z -= 1;
    under.size_z = 1;
    for (const lint_box &o : boxes) {
        if (o.object != b.object && o.kind != BOX_COLUMN && o.kind != BOX_CEILING &&
            o.z + o.size_z == b.z && boxes_meet(under, o)) {
            return 1;
        }
    }
    return 0;
}

// Whether a hanging box stands over floor the player walks under it, and
// how high it must hang to clear the player's head there.
static int in_the_way(int room, const lint_box &b, int &clear_height)
{
    const room_record &r = rooms[room];
    const int head = player_def().size_z;
    const int x0 = std::max<int>(b.x, r.limit[SIDE_LOW_X]);
    const int y0 = std::max<int>(b.y, r.limit[SIDE_LOW_Y]);
    const int x1 = std::min(b.x + b.size_x, r.limit[SIDE_HIGH_X] + 1);
    const int y1 = std::min(b.y + b.size_y, r.limit[SIDE_HIGH_Y] + 1);
    int hangs = 1, blocks = 0;
    clear_height = b.z;
    for (int x = x0; x < x1; x++) {
        for (int y = y0; y < y1; y++) {
            int cx = x / CELL_SIZE, cy = y / CELL_SIZE;
            if (cx >= r.size_x || cy >= r.size_y || r.floor_tile[cx][cy] == TILE_SOLID) {
                continue;
            }
            int floor = r.floor_height[cx][cy];
            hangs &= b.z > floor + MOST_CLIMB;
            if (floor < b.z + b.size_z && floor + head > b.z) {
                blocks = 1;
                clear_height = std::max(clear_height, floor + head);
            }
        }
    }
    return hangs && blocks;
}

// The shortest move along the floor that takes a box out of the player's
// way while it stays over the room's cells, as "x,y"; "" when none does.
static std::string into_the_wall(int room, const lint_box &b)
{
    const room_record &r = rooms[room];
    int unused;
    for (int d = 1; d < CELL_SIZE; d++) {
        for (int side = 0; side < SIDE_COUNT; side++) {
            lint_box moved = b;
            moved.x += d * facing_step_x[side];
            moved.y += d * facing_step_y[side];
            if (moved.x >= 0 && moved.y >= 0 && moved.x + moved.size_x <= CELL_SIZE * r.size_x &&
                moved.y + moved.size_y <= CELL_SIZE * r.size_y &&
                !in_the_way(room, moved, unused)) {
                return std::to_string(moved.x) + "," + std::to_string(moved.y);
            }
        }
    }
    return "";
}

// A fixed thing hanging clear of the floor (a torch, a plaque, a window)
// must leave the floor below it walkable: wherever its box is over a cell the
// player can stand in, it is above the player's head.
void check_fittings(int room, std::vector<lint_finding> &findings)
{
    std::vector<lint_box> boxes = room_boxes(room);
    for (const lint_box &b : boxes) {
        int clear_height;
        if (b.kind != BOX_FIXED || world_objects[b.object].door || resting(b, boxes) ||
            !in_the_way(room, b, clear_height)) {
            continue;
        }
        std::string wall = into_the_wall(room, b);
        add_lint_finding(findings, LINT_FITTING_IN_THE_WAY, room, b.object,
                         "hangs at " + std::to_string(b.z) +
                             " over floor the player walks: raise it to " +
                             std::to_string(clear_height) +
                             (wall.empty() ? "" : " or set it into the wall at " + wall));
    }
}
