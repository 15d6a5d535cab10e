// One room's findings through the world linter.
#include "room_checks.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "edit_ops.h"
#include "world/messages.h"
#include "world/rooms.h"
#include "world/world_objects.h"
#include "world_lint.h"

int room_fits(const world_image &world, int room)
{
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
    // The compiler refuses such a polygon, so a save would stop on it.
    for (const polygon_record &poly : world.polygons) {
        if (poly.room == room && poly.point_count < MIN_POLYGON_POINTS) {
            add_wrapped("[polygon] a polygon has fewer than 3 points", width, lines);
        }
    }
    std::vector<lint_finding> findings;
    lint_room(room, findings);
    for (const lint_finding &finding : findings) {
        add_wrapped("[" + std::string(lint_kind_names[finding.kind]) + "] " + finding.text, width,
                    lines);
    }
}
