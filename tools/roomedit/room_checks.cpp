// One room's findings through the world linter's own per-room entry, with
// the castle search kept between edits.
#include "room_checks.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "edit_ops.h"
#include "world/messages.h"
#include "world/rooms.h"
#include "world/world_objects.h"
#include "world_lint.h"

// The search for where the player enters each room follows the player
// through the whole castle, which takes most of a second. An edit inside a
// room changes what is found in that room and on arriving in it, which the
// room's checks and the arrivals from its neighbours look at afresh; where
// the player enters the rooms changes with the ways between rooms, so the
// search is made again when those change, or another room is shown.
struct reach_cache {
    castle_reach reach;
    int room = -1;
    std::string ways; // what the search was made for
};
static reach_cache cache;

static void add_bytes(std::string &out, const void *value, size_t size)
{
    out.append(static_cast<const char *>(value), size);
}

// The ways between rooms: sizes, limits, exits, doors.
static std::string ways_between_rooms(const world_image &world)
{
    std::string out;
    for (const room_record &rec : world.rooms) {
        add_bytes(out, &rec.size_x, sizeof rec.size_x);
        add_bytes(out, &rec.size_y, sizeof rec.size_y);
        add_bytes(out, rec.limit, sizeof rec.limit);
        add_bytes(out, rec.adjacent, sizeof rec.adjacent);
    }
    for (size_t id = 0; id < world.objects.size(); id++) {
        const world_object &w = world.objects[id];
        if (w.used != WOBJ_FREE && (w.door || w.door_room != NO_ROOM)) {
            for (int32_t value : {static_cast<int32_t>(id), w.room, w.door, w.door_room, w.door_x,
                                  w.door_y, w.door_z, w.door_key}) {
                add_bytes(out, &value, sizeof value);
            }
        }
    }
    return out;
}

int room_fits(const world_image &world, int room)
{
    if (room < 0 || room >= ROOM_COUNT) {
        return 0;
    }
    int objects = 0;
    for (const world_object &w : world.objects) {
        objects += w.used != WOBJ_FREE && w.room == room;
    }
    const room_record &rec = world.rooms[static_cast<size_t>(room)];
    return rec.size_x * rec.size_y + 1 + objects <= ROOM_SPRITE_ROOM;
}

// Continuation lines are indented by two, so each finding reads as one.
static void add_wrapped(const std::string &text, int width, std::vector<std::string> &lines)
{
    const size_t w = static_cast<size_t>(std::max(width, 8));
    for (size_t at = 0; at < text.size();) {
        const size_t take = at == 0 ? w : w - 2;
        lines.push_back((at == 0 ? "" : "  ") + text.substr(at, take));
        at += take;
    }
}

void check_room(const world_image &world, int room, int width, std::vector<std::string> &lines)
{
    lines.clear();
    if (!room_is_defined(world, room)) {
        return;
    }
    // Room setup stops for a key when its sprite table is full, so such a
    // room is reported here instead of being built.
    if (!room_fits(world, room)) {
        add_wrapped("more sprites than room setup holds", width, lines);
        return;
    }
    for (const polygon_record &poly : world.polygons) {
        if (poly.room == room && poly.point_count < MIN_POLYGON_POINTS) {
            add_wrapped("[polygon] a polygon has fewer than 3 points; it is not saved until it "
                        "has 3",
                        width, lines);
        }
    }
    std::string ways = ways_between_rooms(world);
    if (room != cache.room || ways != cache.ways) {
        cache.reach = explore_castle();
        cache.room = room;
        cache.ways = std::move(ways);
    }
    std::vector<lint_finding> findings;
    lint_room_findings(room, cache.reach, findings);
    for (const lint_finding &finding : findings) {
        std::string where;
        if (finding.room != room) {
            where = "room " + std::to_string(finding.room) + ": ";
        }
        add_wrapped("[" + std::string(lint_kind_names[finding.kind]) + "] " + where + finding.text,
                    width, lines);
    }
}
