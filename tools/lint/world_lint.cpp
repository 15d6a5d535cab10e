// The world linter: its entry points, the findings' words, and the checks
// of a room's texts, objects, sprites, exits and doors; the picture, the
// quest, reaching, seeing, the player's safety and what is played through
// the game's tick have files of their own.
#include "world_lint.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>
#include <queue>
#include <utility>

#include "lint_checks.h"
#include "lint_light.h"
#include "lint_model.h"
#include "game/game_loop.h"
#include "physics/physics.h"
#include "physics/player.h"
#include "physics/script_ids.h"
#include "render/frame.h"
#include "runtime/room_setup.h"
#include "runtime/sprite_images.h"
#include "runtime/sprites.h"
#include "world/messages.h"
#include "world/object_defs.h"
#include "world/rooms.h"
#include "world/world_objects.h"

const char *const lint_kind_names[LINT_KIND_COUNT] = {
    "unreachable-room",    "exit-blocked",       "door-blocked",      "door-key",
    "object-inside",       "object-outside",     "quest-unreachable", "clue-missing",
    "text-missing",        "room-too-big",       "floor-hidden",      "too-many-sprites",
    "definition-unused",   "player-unseen",      "quest-missing",     "text-too-long",
    "creature-at-arrival", "creature-unseen",    "food-missing",      "door-front",
    "drop-at-arrival",     "fitting-in-the-way", "not-takeable",      "relic-drop",
    "exit-mark",
};

static const char *const side_names[SIDE_COUNT] = {"low_y", "high_x", "high_y", "low_x"};

int room_in_use(int room)
{
    return room >= 0 && room < ROOM_COUNT && rooms[room].size_x != 0 && rooms[room].size_y != 0;
}

void add_lint_finding(std::vector<lint_finding> &findings, int kind, int room, int object,
                      const std::string &text)
{
    findings.push_back({kind, room, object, text});
}

std::string spot_text(const player_spot &s)
{
    return std::to_string(s.x) + "," + std::to_string(s.y) + "," + std::to_string(s.z);
}

const char *def_name(int object)
{
    int def = world_objects[object].obj_def;
    return def >= 0 && def < OBJECT_DEF_COUNT ? object_defs[def].name : "?";
}

static int text_exists(int number)
{
    const char *text = get_message(number);
    return text != nullptr && text[0] != '\0';
}

// Only what can be carried can be examined, so only its text must fit the
// examine sheet; a longer one is cut off at the sheet's foot.
static void check_text_fits(int room, int object, std::vector<lint_finding> &findings)
{
    const world_object &o = world_objects[object];
    const char *text = get_message(o.examine_text);
    if (o.obj_def < 0 || o.obj_def >= OBJECT_DEF_COUNT || object_defs[o.obj_def].fixed ||
        text == nullptr) {
        return;
    }
    int bottom = examine_text_bottom(text);
    if (bottom > EXAMINE_TEXT_BOTTOM) {
        add_lint_finding(findings, LINT_TEXT_TOO_LONG, room, object,
                         "the examine text runs " + std::to_string(bottom - EXAMINE_TEXT_BOTTOM) +
                             " pixel rows past the foot of the examine sheet; shorten it");
    }
}

static void check_texts(int room, std::vector<lint_finding> &findings)
{
    if (rooms[room].description == NO_DESCRIPTION || !text_exists(rooms[room].description)) {
        add_lint_finding(findings, LINT_TEXT_MISSING, room, NO_LINT_OBJECT,
                         "the room has no caption");
    }
    for (int w = 1; w < WORLD_OBJECT_COUNT; w++) {
        const world_object &o = world_objects[w];
        if (o.used == WOBJ_FREE || o.room != room || o.examine_text == NO_MESSAGE) {
            continue;
        }
        if (!text_exists(o.examine_text)) {
            add_lint_finding(findings, LINT_TEXT_MISSING, room, w,
                             "examine text " + std::to_string(o.examine_text) + " does not exist");
        }
        check_text_fits(room, w, findings);
    }
}

// Objects out of play at the start (brought in by the event script) belong
// to no room, but their texts are read once they are.
static void check_out_of_play_texts(std::vector<lint_finding> &findings)
{
    for (int w = 1; w < WORLD_OBJECT_COUNT; w++) {
        const world_object &o = world_objects[w];
        if (o.used == WOBJ_OUT_OF_PLAY && o.examine_text != NO_MESSAGE) {
            check_text_fits(NO_LINT_ROOM, w, findings);
        }
    }
}

static std::string box_name(const lint_box &b)
{
    switch (b.kind) {
    case BOX_COLUMN:
        return "the floor column of cell [" + std::to_string(b.cell_x) + ", " +
               std::to_string(b.cell_y) + "] (" + std::to_string(b.size_z) + " high)";
    case BOX_CEILING:
        return "the ceiling (at " + std::to_string(b.z) + ")";
    default:
        return "object " + std::to_string(b.object) + " (" + def_name(b.object) + ")";
    }
}

static void check_object_places(int room, std::vector<lint_finding> &findings)
{
    const room_record &r = rooms[room];
    std::vector<lint_box> boxes = room_boxes(room);
    for (size_t i = 0; i < boxes.size(); i++) {
        const lint_box &a = boxes[i];
        if (a.object == NOT_AN_OBJECT) {
            continue;
        }
        // What moves must start inside the limits; fixed things may stand in
        // the walls around them (windows, plaques, door faces), not past the
        // room's cells.
        const int low_x = a.kind == BOX_FIXED ? 0 : r.limit[SIDE_LOW_X];
        const int low_y = a.kind == BOX_FIXED ? 0 : r.limit[SIDE_LOW_Y];
        const int high_x = a.kind == BOX_FIXED ? CELL_SIZE * r.size_x : r.limit[SIDE_HIGH_X] + 1;
        const int high_y = a.kind == BOX_FIXED ? CELL_SIZE * r.size_y : r.limit[SIDE_HIGH_Y] + 1;
        if (a.x < low_x || a.x + a.size_x > high_x || a.y < low_y || a.y + a.size_y > high_y) {
            add_lint_finding(findings, LINT_OBJECT_OUTSIDE, room, a.object,
                             "at " + std::to_string(a.x) + "," + std::to_string(a.y) +
                                 (a.kind == BOX_FIXED ? " it reaches past the room's cells"
                                                      : " it reaches past the room's limits"));
        }
        // One finding per object, however many things it starts inside
        // (a heap of objects would otherwise give one per pair).
        size_t first_met = boxes.size();
        int met = 0;
        for (size_t j = 0; j < boxes.size(); j++) {
            const lint_box &b = boxes[j];
            // Fixed things may be set into a wall; what moves must not be.
            int earlier_object = b.object != NOT_AN_OBJECT && j > i;
            int set_in_wall = b.object == NOT_AN_OBJECT && a.kind == BOX_FIXED;
            if (j != i && !earlier_object && !set_in_wall && boxes_meet(a, b)) {
                first_met = met++ == 0 ? j : first_met;
            }
        }
        if (met > 0) {
            add_lint_finding(findings, LINT_OBJECT_INSIDE, room, a.object,
                             "starts inside " + box_name(boxes[first_met]) +
                                 (met > 1 ? " and " + std::to_string(met - 1) + " more" : ""));
        }
    }
}

int room_sprite_count(int room)
{
    const room_record &r = rooms[room];
    int count = std::min<int>(r.size_x, ROOM_CELLS) * std::min<int>(r.size_y, ROOM_CELLS) + 1;
    for (int w = 1; w < WORLD_OBJECT_COUNT; w++) {
        count += world_objects[w].used != WOBJ_FREE && world_objects[w].room == room;
    }
    return count;
}

static void check_sprite_count(int room, std::vector<lint_finding> &findings)
{
    int count = room_sprite_count(room);
    if (count > MOST_ROOM_SPRITES) {
        add_lint_finding(findings, LINT_TOO_MANY_SPRITES, room, NO_LINT_OBJECT,
                         std::to_string(count) + " sprites with the room parts; at most " +
                             std::to_string(MOST_ROOM_SPRITES) + " fit beside the player");
    }
}

// What probe_blocked found in the way of the player's sprite, for messages.
static std::string blocker_text(void)
{
    for (int j = 1; j < SPRITE_COUNT; j++) {
        if (!sprite_table[j].active || !sprites_overlap(PLAYER_SLOT, j)) {
            continue;
        }
        const sprite_record &s = sprite_table[j];
        if (s.world_object > 0) {
            return "object " + std::to_string(s.world_object) + " (" + def_name(s.world_object) +
                   ")";
        }
        return s.size_z == CEILING_THICKNESS && s.size_x > CELL_SIZE
                   ? std::string("the ceiling")
                   : "the floor column of cell [" + std::to_string(s.cell_x) + ", " +
                         std::to_string(s.cell_y) + "] (" + std::to_string(s.size_z) + " high)";
    }
    return "the room's limits";
}

std::string landing_problem(int room, const player_spot &at)
{
    if (!room_in_use(room)) {
        return "room " + std::to_string(room) + " is not a room of the castle";
    }
    // Room setup reports a room it cannot fill (and waits for a key when
    // there is a screen): such a room is never built here.
    if (room_sprite_count(room) > MOST_ROOM_SPRITES) {
        return "room " + std::to_string(room) + " has more sprites than room setup makes";
    }
    if (current_room != room) {
        build_room(room);
    }
    place_lint_player(at);
    if (!probe_blocked(PLAYER_SLOT, 0, 0, 0)) {
        return "";
    }
    return "room " + std::to_string(room) + " at " + spot_text(at) + " is blocked by " +
           blocker_text();
}

// The physics lets a box reach one unit past a high limit, where
// probe_blocked already counts it outside. Where an exit's two rooms line up,
// the last unit along the opening is therefore refused ("Blocked!", one step
// back and the crossing works), whatever the content does: that unit is not
// a finding.
static int one_unit_past(int next, int side, const player_spot &arrival)
{
    const room_record &n = rooms[next];
    const object_def &p = object_defs[DEF_PLAYER];
    return side == SIDE_LOW_Y || side == SIDE_HIGH_Y
               ? arrival.x + p.size_x == n.limit[SIDE_HIGH_X] + 1
               : arrival.y + p.size_y == n.limit[SIDE_HIGH_Y] + 1;
}

// Every spot the player can reach along each side with an exit must land on a clear spot; runs
// of spots with the same problem make one finding.
// Why leaving room by side from each spot is refused ("" where it is not),
// naming what is in the way but not where, so that runs share a text.
static std::vector<std::string> exit_problems(int room, int side,
                                              const std::vector<player_spot> &spots)
{
    const int next = rooms[room].adjacent[side];
    std::vector<std::string> problems;
    for (const player_spot &s : spots) {
        player_spot arrival = arrival_spot(room, side, s);
        std::string problem =
            one_unit_past(next, side, arrival) ? "" : landing_problem(next, arrival);
        problems.push_back(problem.empty() ? "" : problem.substr(problem.find(" by ") + 1));
    }
    return problems;
}

// The cell a player standing at the limit of side crosses, taken at the
// middle of the player's width along the side.
static void crossed_cell(int side, const player_spot &s, int *cell_x, int *cell_y)
{
    const object_def &p = object_defs[DEF_PLAYER];
    int along_x = (s.x + p.size_x / 2) / CELL_SIZE, along_y = (s.y + p.size_y / 2) / CELL_SIZE;
    *cell_x = side == SIDE_LOW_X    ? s.x / CELL_SIZE
              : side == SIDE_HIGH_X ? (s.x + p.size_x - 1) / CELL_SIZE
                                    : along_x;
    *cell_y = side == SIDE_LOW_Y    ? s.y / CELL_SIZE
              : side == SIDE_HIGH_Y ? (s.y + p.size_y - 1) / CELL_SIZE
                                    : along_y;
}

// Every floor cell a player walks off the room over, standing on the floor
// itself, shows the threshold; standing on an object (a plank, a step) the
// object is the way and the floor under it need not.
static void check_exit_marked(int room, int side, const std::vector<player_spot> &spots,
                              std::vector<lint_finding> &findings)
{
    const room_record &r = rooms[room];
    for (const player_spot &s : spots) {
        int cx, cy;
        crossed_cell(side, s, &cx, &cy);
        if (cx < 0 || cy < 0 || cx >= ROOM_CELLS || cy >= ROOM_CELLS ||
            r.floor_height[cx][cy] != s.z || r.floor_tile[cx][cy] == EXIT_MARK_TILE) {
            continue;
        }
        add_lint_finding(findings, LINT_EXIT_MARK, room, NO_LINT_OBJECT,
                         std::string("leaving by ") + side_names[side] + ": cell [" +
                             std::to_string(cx) + ", " + std::to_string(cy) +
                             "] is walked over but not drawn with the threshold tile " +
                             std::to_string(EXIT_MARK_TILE));
        return;
    }
}

static void check_exits(int room, const std::vector<player_spot> &entrances,
                        std::vector<lint_finding> &findings)
{
    std::vector<player_spot> reachable;
    for (int side = 0; side < SIDE_COUNT; side++) {
        int next = rooms[room].adjacent[side];
        if (next == 0) {
            continue;
        }
        if (reachable.empty()) {
            reachable = reachable_spots(room, entrances);
        }
        std::vector<player_spot> spots = reachable_edge_spots(room, side, reachable);
        std::string where =
            std::string("leaving by ") + side_names[side] + " to room " + std::to_string(next);
        if (spots.empty()) {
            add_lint_finding(findings, LINT_EXIT_BLOCKED, room, NO_LINT_OBJECT,
                             where + ": the player can get nowhere along the side");
        }
        check_exit_marked(room, side, spots, findings);
        std::vector<std::string> problems = exit_problems(room, side, spots);
        for (size_t first = 0, last; first < spots.size(); first = last + 1) {
            for (last = first; last + 1 < spots.size() && problems[last + 1] == problems[first];
                 last++) {
            }
            if (!problems[first].empty()) {
                add_lint_finding(findings, LINT_EXIT_BLOCKED, room, NO_LINT_OBJECT,
                                 where + " from " + spot_text(spots[first]) + " to " +
                                     spot_text(spots[last]) + ": the arrival is blocked " +
                                     problems[first]);
            }
        }
    }
}

// 1 when the cell lies along a side with an exit, at the side's limit.
static int cell_on_exit_side(const room_record &r, int cx, int cy)
{
    for (int side = 0; side < SIDE_COUNT; side++) {
        int on_line = side == SIDE_LOW_Y || side == SIDE_HIGH_Y ? cy == r.limit[side] / CELL_SIZE
                                                                : cx == r.limit[side] / CELL_SIZE;
        if (r.adjacent[side] != 0 && on_line) {
            return 1;
        }
    }
    return 0;
}

// A door no taller than this lies in the floor (a hatch); a taller one
// stands in a wall, and the floor before it is no way through.
static constexpr int HATCH_MOST_HEIGHT = 2;

// 1 when a door lies in the cell's floor: a hatch.
static int cell_holds_hatch(int room, int cx, int cy)
{
    const room_record &r = rooms[room];
    for (int w = 1; w < WORLD_OBJECT_COUNT; w++) {
        const world_object &o = world_objects[w];
        if (o.used == WOBJ_FREE || o.room != room || !o.door ||
            static_cast<int>(o.z) != r.floor_height[cx][cy]) {
            continue;
        }
        const object_def &d = object_defs[o.obj_def];
        if (d.size_z <= HATCH_MOST_HEIGHT &&
            rects_overlap(static_cast<int>(o.x), static_cast<int>(o.y), d.size_x, d.size_y,
                          cx * CELL_SIZE, cy * CELL_SIZE, CELL_SIZE, CELL_SIZE)) {
            return 1;
        }
    }
    return 0;
}

// A threshold away from every way out is a way out that is not there.
static void check_thresholds_lead(int room, std::vector<lint_finding> &findings)
{
    const room_record &r = rooms[room];
    for (int cx = 0; cx < r.size_x && cx < ROOM_CELLS; cx++) {
        for (int cy = 0; cy < r.size_y && cy < ROOM_CELLS; cy++) {
            if (r.floor_tile[cx][cy] == EXIT_MARK_TILE && !cell_on_exit_side(r, cx, cy) &&
                !cell_holds_hatch(room, cx, cy)) {
                add_lint_finding(findings, LINT_EXIT_MARK, room, NO_LINT_OBJECT,
                                 "cell [" + std::to_string(cx) + ", " + std::to_string(cy) +
                                     "] shows the threshold but no exit or hatch is there");
            }
        }
    }
}

static void check_doors(int room, std::vector<lint_finding> &findings)
{
    for (int w = 1; w < WORLD_OBJECT_COUNT; w++) {
        const world_object &o = world_objects[w];
        if (o.used == WOBJ_FREE || o.room != room || !o.door) {
            continue;
        }
        if (o.door_key != NO_KEY && (o.door_key <= 0 || o.door_key >= WORLD_OBJECT_COUNT ||
                                     world_objects[o.door_key].used == WOBJ_FREE)) {
            add_lint_finding(findings, LINT_DOOR_KEY, room, w,
                             "its key " + std::to_string(o.door_key) +
                                 " is no object of the castle");
        }
        std::string problem = landing_problem(o.door_room, {o.door_x, o.door_y, o.door_z});
        if (!problem.empty()) {
            add_lint_finding(findings, LINT_DOOR_BLOCKED, room, w, "the door leads to " + problem);
        }
    }
}

static void lint_one_room(int room, const castle_reach &reach, std::vector<lint_finding> &findings)
{
    if (!room_in_use(room)) {
        return;
    }
    std::vector<player_spot> entrances = entrances_of(reach, room);
    check_texts(room, findings);
    check_object_places(room, findings);
    check_picture(room, findings);
    check_sprite_count(room, findings);
    check_exits(room, entrances, findings);
    check_thresholds_lead(room, findings);
    check_doors(room, findings);
    check_quest_reach(room, entrances, findings);
    check_visibility(room, entrances, findings);
    check_creatures(room, findings);
    check_food(room, findings);
    check_doorways(room, findings);
    check_fittings(room, findings);
    check_takeable(room, entrances, findings);
    check_relic_drops(room, entrances, findings);
}

// Keeps, among the findings from first on, the first LINT_FINDINGS_SHOWN of
// each kind and room; the next one's place takes a finding that counts the
// rest.
static void cap_findings(std::vector<lint_finding> &findings, size_t first)
{
    std::map<std::pair<int, int>, int> seen;
    std::map<std::pair<int, int>, size_t> count_at;
    size_t kept = first;
    for (size_t i = first; i < findings.size(); i++) {
        const std::pair<int, int> key{findings[i].room, findings[i].kind};
        const int n = ++seen[key];
        if (n <= LINT_FINDINGS_SHOWN) {
            if (kept != i) {
                findings[kept] = std::move(findings[i]);
            }
            kept++;
        } else if (n == LINT_FINDINGS_SHOWN + 1) {
            count_at[key] = kept;
            findings[kept++] = {key.second, key.first, NO_LINT_OBJECT, ""};
        }
    }
    findings.resize(kept);
    for (const auto &[key, at] : count_at) {
        const int left_out = seen[key] - LINT_FINDINGS_SHOWN;
        findings[at].text = std::to_string(left_out) +
                            (left_out == 1 ? " more finding" : " more findings") +
                            " of this kind left out";
    }
}

void lint_room(int room, std::vector<lint_finding> &findings)
{
    const size_t first = findings.size();
    lint_one_room(room, explore_castle(), findings);
    cap_findings(findings, first);
}

// A finding of another room about arriving in room: a blocked arrival over
// an exit names the room it leads to, a door's finding its object.
static int arrives_in(const lint_finding &f, int room)
{
    if (f.kind == LINT_DOOR_BLOCKED) {
        return f.object > 0 && f.object < WORLD_OBJECT_COUNT &&
               world_objects[f.object].door_room == room;
    }
    return f.kind == LINT_EXIT_BLOCKED &&
           f.text.find("to room " + std::to_string(room) + " from ") != std::string::npos;
}

void lint_room_findings(int room, const castle_reach &reach, std::vector<lint_finding> &findings)
{
    lint_one_room(room, reach, findings);
    std::vector<int> leads_in(ROOM_COUNT, 0);
    for (int other = 0; other < ROOM_COUNT; other++) {
        for (int side = 0; side < SIDE_COUNT; side++) {
            leads_in[other] |= rooms[other].adjacent[side] == room;
        }
    }
    for (int w = 1; w < WORLD_OBJECT_COUNT; w++) {
        const world_object &o = world_objects[w];
        if (o.used != WOBJ_FREE && o.door && o.door_room == room && o.room >= 0 &&
            o.room < ROOM_COUNT) {
            leads_in[o.room] = 1;
        }
    }
    for (int other = 0; other < ROOM_COUNT; other++) {
        if (other == room || !leads_in[other] || !room_in_use(other)) {
            continue;
        }
        std::vector<lint_finding> theirs;
        check_exits(other, entrances_of(reach, other), theirs);
        check_doors(other, theirs);
        for (const lint_finding &f : theirs) {
            if (arrives_in(f, room)) {
                findings.push_back(f);
            }
        }
    }
}

void lint_world(std::vector<lint_finding> &findings)
{
    const size_t first = findings.size();
    castle_reach reach = explore_castle();
    for (int room = 0; room < ROOM_COUNT; room++) {
        lint_one_room(room, reach, findings);
    }
    check_reachable_rooms(reach, findings);
    check_script_objects(findings);
    check_clues(findings);
    check_definitions_used(findings);
    check_out_of_play_texts(findings);
    cap_findings(findings, first);
}

std::string format_finding(const lint_finding &f, const world_sources *sources)
{
    std::string where;
    if (sources != nullptr && f.object > 0 && f.object < WORLD_OBJECT_COUNT &&
        !sources->object_file[static_cast<size_t>(f.object)].empty()) {
        where = sources->object_file[static_cast<size_t>(f.object)] + ":" +
                std::to_string(sources->object_line[static_cast<size_t>(f.object)]) + ": ";
    } else if (sources != nullptr && f.room >= 0 && f.room < ROOM_COUNT &&
               !sources->room_file[static_cast<size_t>(f.room)].empty()) {
        where = sources->room_file[static_cast<size_t>(f.room)] + ": ";
    } else {
        where = "content/world: ";
    }
    if (f.room != NO_LINT_ROOM) {
        where += "room " + std::to_string(f.room) + ", ";
        const std::string &room_file = sources != nullptr && f.room >= 0 && f.room < ROOM_COUNT
                                           ? sources->room_file[static_cast<size_t>(f.room)]
                                           : std::string();
        if (!room_file.empty() && where.compare(0, room_file.size(), room_file) != 0) {
            where += "of " + room_file + ", ";
        }
    }
    if (f.object != NO_LINT_OBJECT) {
        where += "object " + std::to_string(f.object) + " (" + def_name(f.object) + "), ";
    }
    return where + "[" + lint_kind_names[f.kind] + "] " + f.text;
}
