// Checks of one room as the editor shows them. Kept to one entry point so a
// shared linter can take its place.
#include "room_checks.h"

#include <algorithm>

#include "edit_ops.h"
#include "world/object_defs.h"
#include "world_compile.h"

static const char *const SIDE_NAMES[SIDE_COUNT] = {"SW", "NW", "NE", "SE"};

static std::string object_name(const world_image &world, int id)
{
    const int def =
        std::clamp(world.objects[static_cast<size_t>(id)].obj_def, 0, OBJECT_DEF_COUNT - 1);
    return "#" + std::to_string(id) + " " + object_defs[def].name;
}

static void check_objects(const world_image &world, int room, std::vector<std::string> &findings)
{
    int count = 0;
    for (int id = FIRST_OBJECT_ID; id < WORLD_OBJECT_COUNT; id++) {
        const world_object &w = world.objects[static_cast<size_t>(id)];
        if (w.used == WOBJ_FREE || w.room != room) {
            continue;
        }
        count++;
        std::vector<int> others;
        const int clash = object_clashes(world, id, &others);
        for (int other : others) {
            if (other > id) {
                findings.push_back("#" + std::to_string(id) + " and #" + std::to_string(other) +
                                   " overlap");
            }
        }
        if (clash & CLASH_LIMIT) {
            findings.push_back(object_name(world, id) + " is outside the limits");
        }
    }
    const room_record &rec = world.rooms[static_cast<size_t>(room)];
    const int sprites = rec.size_x * rec.size_y + 1 + count;
    if (sprites > ROOM_SPRITE_ROOM) {
        findings.push_back(std::to_string(sprites) + " sprites; at most " +
                           std::to_string(ROOM_SPRITE_ROOM) + " fit");
    }
}

// The player's box at (x, y, z) in room: inside the limits, above the floor
// columns, clear of objects.
static std::string landing_problem(const world_image &world, int room, int x, int y, int z)
{
    if (!room_is_defined(world, room)) {
        return "room " + std::to_string(room) + " does not exist";
    }
    const object_def &player = object_defs[DEF_PLAYER];
    const room_record &rec = world.rooms[static_cast<size_t>(room)];
    if (x < rec.limit[SIDE_LOW_X] || y < rec.limit[SIDE_LOW_Y] ||
        x + player.size_x > rec.limit[SIDE_HIGH_X] + 1 ||
        y + player.size_y > rec.limit[SIDE_HIGH_Y] + 1) {
        return "outside the limits";
    }
    if (support_height(world, room, DEF_PLAYER, static_cast<float>(x), static_cast<float>(y)) > z) {
        return "inside a wall or an object";
    }
    return "";
}

static void check_doors(const world_image &world, int room, std::vector<std::string> &findings)
{
    for (int id = FIRST_OBJECT_ID; id < WORLD_OBJECT_COUNT; id++) {
        const world_object &w = world.objects[static_cast<size_t>(id)];
        if (w.used == WOBJ_FREE || !w.door || (w.room != room && w.door_room != room)) {
            continue;
        }
        const std::string problem =
            landing_problem(world, w.door_room, w.door_x, w.door_y, w.door_z);
        if (!problem.empty()) {
            findings.push_back("door " + object_name(world, id) + " lands " + problem);
        }
    }
}

static void check_sides(const world_image &world, int room, std::vector<std::string> &findings)
{
    const room_record &rec = world.rooms[static_cast<size_t>(room)];
    if (rec.limit[SIDE_HIGH_X] >= rec.size_x * CELL_SIZE ||
        rec.limit[SIDE_HIGH_Y] >= rec.size_y * CELL_SIZE ||
        rec.limit[SIDE_LOW_X] > rec.limit[SIDE_HIGH_X] ||
        rec.limit[SIDE_LOW_Y] > rec.limit[SIDE_HIGH_Y]) {
        findings.push_back("limits lie outside the room");
    }
    for (int side = 0; side < SIDE_COUNT; side++) {
        const int next = rec.adjacent[side];
        if (next == 0) {
            continue;
        }
        const int opposite = (side + 2) % SIDE_COUNT;
        if (!room_is_defined(world, next)) {
            findings.push_back(std::string("Adj ") + SIDE_NAMES[side] + ": room " +
                               std::to_string(next) + " does not exist");
        } else if (world.rooms[static_cast<size_t>(next)].adjacent[opposite] != room) {
            findings.push_back(std::string("Adj ") + SIDE_NAMES[side] + ": room " +
                               std::to_string(next) + " does not lead back");
        }
    }
}

void check_room(const world_image &world, int room, std::vector<std::string> &findings)
{
    findings.clear();
    if (!room_is_defined(world, room)) {
        findings.push_back("no room record");
        return;
    }
    check_sides(world, room, findings);
    check_objects(world, room, findings);
    check_doors(world, room, findings);
    for (const polygon_record &poly : world.polygons) {
        if (poly.room == room && poly.point_count < MIN_POLYGON_POINTS) {
            findings.push_back("a polygon has fewer than 3 points");
        }
    }
}
