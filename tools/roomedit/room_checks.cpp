// One room's findings through the world linter, and the copy of the
// editor's world into the game's tables.
#include "room_checks.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

#include "edit_ops.h"
#include "world/messages.h"
#include "world/rooms.h"
#include "world/world_objects.h"
#include "world_lint.h"

// The game's message table is filled through its own loader, from a
// scratch file written with the editor's texts and removed once read.
static void hand_messages_to_game(const world_image &world)
{
    char path[] = "/tmp/roomedit_messages_XXXXXX";
    const int fd = mkstemp(path);
    FILE *f = fd >= 0 ? fdopen(fd, "wb") : nullptr;
    if (f == nullptr) {
        return;
    }
    for (const std::string &text : world.messages) {
        fwrite(text.c_str(), 1, text.size() + 1, f);
    }
    fclose(f);
    load_messages_file(path);
    remove(path);
}

void hand_world_to_game(const world_image &world)
{
    std::copy(world.rooms.begin(), world.rooms.end(), rooms);
    std::copy(world.polygons.begin(), world.polygons.end(), polygons);
    std::copy(world.objects.begin(), world.objects.end(), world_objects);
    for (world_object &w : world_objects) {
        if (w.room == ROOM_CARRIED) {
            w.used = WOBJ_OUT_OF_PLAY;
        }
    }
    hand_messages_to_game(world);
}

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
