// The world linter's checks of rooms, objects, texts and the castle as a
// whole; reaching is worked out in lint_model.cpp and seeing in
// lint_light.cpp.
#include "world_lint.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>
#include <queue>

#include "lint_light.h"
#include "lint_model.h"
#include "physics/player.h"
#include "physics/script_ids.h"
#include "game/game_loop.h"
#include "physics/physics.h"
#include "render/frame.h"
#include "shell/startup.h"
#include "render/view.h"
#include "runtime/room_setup.h"
#include "runtime/sprites.h"
#include "world/messages.h"
#include "world/object_defs.h"
#include "world/rooms.h"
#include "world/world_objects.h"

const char *const lint_kind_names[LINT_KIND_COUNT] = {
    "unreachable-room", "exit-blocked",      "door-blocked",      "door-key",      "object-inside",
    "object-outside",   "quest-unreachable", "clue-missing",      "text-missing",  "room-too-big",
    "floor-hidden",     "too-many-sprites",  "definition-unused", "player-unseen",
};

static const char *const side_names[SIDE_COUNT] = {"low_y", "high_x", "high_y", "low_x"};

constexpr int MOST_ROOM_SPRITES = SPRITE_COUNT - 1; // slot 0 is the player's

// A clue names a quest object by one of these words. Examine works only on
// the carried, selected item, so a clue counts only on an object that can be
// carried: for each quest object, some other carriable object's text must
// name it, and the start room must hold a carriable note that names all four
// relics (the goal). Texts on fixed objects are extras and are not read.
struct quest_word {
    int object;
    const char *word;
};
static const quest_word quest_words[] = {
    {SCRIPT_ALTAR, "tomb"},
    {SCRIPT_OFFERING_1, "candle"},
    {SCRIPT_OFFERING_2, "hourglass"},
    {SCRIPT_OFFERING_3, "purse"},
    {SCRIPT_OFFERING_4, "dagger"},
    {SCRIPT_CHARM, "wand"},
    {SCRIPT_CHARMED_THING, "spellbook"},
    {SCRIPT_BARRIER, "rune"},
};
static const int relics[] = {SCRIPT_OFFERING_1, SCRIPT_OFFERING_2, SCRIPT_OFFERING_3,
                             SCRIPT_OFFERING_4};

// The event script's objects a player must get to (the markers only change
// their look, the reward and the charm's result start out of play).
static const int quest_objects[] = {SCRIPT_ALTAR,         SCRIPT_OFFERING_1, SCRIPT_OFFERING_2,
                                    SCRIPT_OFFERING_3,    SCRIPT_OFFERING_4, SCRIPT_CHARM,
                                    SCRIPT_CHARMED_THING, SCRIPT_BARRIER,    SCRIPT_USABLE};

int room_in_use(int room)
{
    return room >= 0 && room < ROOM_COUNT && rooms[room].size_x != 0 && rooms[room].size_y != 0;
}

void add_lint_finding(std::vector<lint_finding> &findings, int kind, int room, int object,
                      const std::string &text)
{
    findings.push_back({kind, room, object, text});
}

static std::string spot_text(const player_spot &s)
{
    return std::to_string(s.x) + "," + std::to_string(s.y) + "," + std::to_string(s.z);
}

static const char *def_name(int object)
{
    int def = world_objects[object].obj_def;
    return def >= 0 && def < OBJECT_DEF_COUNT ? object_defs[def].name : "?";
}

static int text_exists(int number)
{
    const char *text = get_message(number);
    return text != nullptr && text[0] != '\0';
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
        if (a.x < r.limit[SIDE_LOW_X] || a.x + a.size_x > r.limit[SIDE_HIGH_X] + 1 ||
            a.y < r.limit[SIDE_LOW_Y] || a.y + a.size_y > r.limit[SIDE_HIGH_Y] + 1) {
            add_lint_finding(findings, LINT_OBJECT_OUTSIDE, room, a.object,
                             "at " + std::to_string(a.x) + "," + std::to_string(a.y) +
                                 " it reaches past the room's limits");
        }
        for (size_t j = 0; j < boxes.size(); j++) {
            const lint_box &b = boxes[j];
            // Fixed things may be set into a wall; what moves must not be.
            int earlier_object = b.object != NOT_AN_OBJECT && j > i;
            int set_in_wall = b.object == NOT_AN_OBJECT && a.kind == BOX_FIXED;
            if (j != i && !earlier_object && !set_in_wall && boxes_meet(a, b)) {
                add_lint_finding(findings, LINT_OBJECT_INSIDE, room, a.object,
                                 "starts inside " + box_name(b));
            }
        }
    }
}

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

static int floor_at(const room_record &r, int x, int y)
{
    int cx = std::clamp(x / CELL_SIZE, 0, std::max(0, r.size_x - 1));
    int cy = std::clamp(y / CELL_SIZE, 0, std::max(0, r.size_y - 1));
    return r.floor_height[std::min(cx, ROOM_CELLS - 1)][std::min(cy, ROOM_CELLS - 1)];
}

static void check_picture(int room, std::vector<lint_finding> &findings)
{
    const room_record &r = rooms[room];
    picture_bounds b = room_picture_bounds(room);
    cover_baked_objects(room, b);
    // What falls outside the background is lost; it matters where the view
    // above the panel would show it.
    const int view_left = BACKGROUND_ORIGIN_X - r.origin_x;
    const int view_top = BACKGROUND_ORIGIN_Y - r.origin_y;
    const picture_bounds lost[] = {
        {b.left, b.top, 0, b.bottom},
        {ROOM_BACKGROUND_W, b.top, b.right, b.bottom},
        {b.left, b.top, b.right, 0},
        {b.left, ROOM_BACKGROUND_H, b.right, b.bottom},
    };
    for (const picture_bounds &l : lost) {
        if (std::max(l.left, view_left) < std::min(l.right, view_left + VIEW_W) &&
            std::max(l.top, view_top) < std::min(l.bottom, view_top + PANEL_Y)) {
            add_lint_finding(
                findings, LINT_ROOM_TOO_BIG, room, NO_LINT_OBJECT,
                "its picture spans " + std::to_string(b.left) + ".." + std::to_string(b.right) +
                    " x " + std::to_string(b.top) + ".." + std::to_string(b.bottom) + " of a " +
                    std::to_string(ROOM_BACKGROUND_W) + " x " + std::to_string(ROOM_BACKGROUND_H) +
                    " background, and the view shows what is cut off");
            break;
        }
    }
    // The corners of the walkable floor must show on the view above the panel.
    const int xs[] = {r.limit[SIDE_LOW_X], r.limit[SIDE_HIGH_X] + 1};
    const int ys[] = {r.limit[SIDE_LOW_Y], r.limit[SIDE_HIGH_Y] + 1};
    for (int x : xs) {
        for (int y : ys) {
            int vx = r.origin_x - 2 * x + 2 * y;
            int vy =
                r.origin_y - x - y - floor_at(r, std::min(x, xs[1] - 1), std::min(y, ys[1] - 1));
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

static void check_sprite_count(int room, std::vector<lint_finding> &findings)
{
    const room_record &r = rooms[room];
    int count = std::min<int>(r.size_x, ROOM_CELLS) * std::min<int>(r.size_y, ROOM_CELLS) + 1;
    for (int w = 1; w < WORLD_OBJECT_COUNT; w++) {
        count += world_objects[w].used != WOBJ_FREE && world_objects[w].room == room;
    }
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

static std::string landing_problem(int room, const player_spot &at)
{
    if (!room_in_use(room)) {
        return "room " + std::to_string(room) + " is not a room of the castle";
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

// Every spot along each side with an exit must land on a clear spot; runs
// of spots with the same problem make one finding.
static void check_exits(int room, std::vector<lint_finding> &findings)
{
    std::vector<player_spot> reachable;
    for (int side = 0; side < SIDE_COUNT; side++) {
        int next = rooms[room].adjacent[side];
        if (next == 0) {
            continue;
        }
        if (reachable.empty()) {
            reachable = reachable_spots(room, room_entrances(room));
        }
        std::vector<player_spot> spots = reachable_edge_spots(room, side, reachable);
        std::string where =
            std::string("leaving by ") + side_names[side] + " to room " + std::to_string(next);
        if (spots.empty()) {
            add_lint_finding(findings, LINT_EXIT_BLOCKED, room, NO_LINT_OBJECT,
                             where + ": the player can get nowhere along the side");
            continue;
        }
        std::string run_problem;
        player_spot run_first{};
        for (size_t i = 0; i <= spots.size(); i++) {
            std::string problem;
            if (i < spots.size()) {
                problem = landing_problem(next, arrival_spot(room, side, spots[i]));
                problem = problem.empty() ? "" : problem.substr(problem.find(" by ") + 1);
            }
            if (problem != run_problem || i == spots.size()) {
                if (!run_problem.empty()) {
                    add_lint_finding(findings, LINT_EXIT_BLOCKED, room, NO_LINT_OBJECT,
                                     where + " from " + spot_text(run_first) + " to " +
                                         spot_text(spots[i - 1]) + ": the arrival is blocked " +
                                         run_problem);
                }
                run_problem = problem;
                run_first = i < spots.size() ? spots[i] : run_first;
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

static int is_quest_object(int w)
{
    if (std::find(std::begin(quest_objects), std::end(quest_objects), w) !=
        std::end(quest_objects)) {
        return world_objects[w].used == WOBJ_IN_USE;
    }
    for (int d = 1; d < WORLD_OBJECT_COUNT; d++) {
        const world_object &o = world_objects[d];
        if (o.used == WOBJ_IN_USE && o.door && o.door_key == w) {
            return world_objects[w].used == WOBJ_IN_USE;
        }
    }
    return 0;
}

static void check_quest_reach(int room, std::vector<lint_finding> &findings)
{
    std::vector<lint_box> boxes = room_boxes(room);
    std::vector<player_spot> spots;
    int searched = 0;
    for (const lint_box &b : boxes) {
        if (b.object == NOT_AN_OBJECT || !is_quest_object(b.object)) {
            continue;
        }
        if (world_objects[b.object].examine_text == NO_MESSAGE) {
            add_lint_finding(findings, LINT_TEXT_MISSING, room, b.object,
                             "a quest object without examine text");
        }
        if (!searched) {
            spots = reachable_spots(room, room_entrances(room));
            searched = 1;
        }
        if (!spots_touch(spots, b)) {
            add_lint_finding(
                findings, LINT_QUEST_UNREACHABLE, room, b.object,
                "no walk, climb or jump from the room's entrances gets within reach of it");
        }
    }
}

// The event script's objects must all be in the castle; the reward, which
// appears in the chapel, must come to rest where it appears; the game's
// start spot must be clear.
static void check_script_objects(std::vector<lint_finding> &findings)
{
    std::vector<int> named(std::begin(quest_objects), std::end(quest_objects));
    named.insert(named.end(), {SCRIPT_MARKER_1, SCRIPT_MARKER_2, SCRIPT_MARKER_3, SCRIPT_MARKER_4,
                               SCRIPT_REWARD, SCRIPT_CHARM_RESULT});
    for (int w : named) {
        if (world_objects[w].used == WOBJ_FREE) {
            add_lint_finding(findings, LINT_QUEST_UNREACHABLE, NO_LINT_ROOM, NO_LINT_OBJECT,
                             "the event script names object " + std::to_string(w) +
                                 ", which no content file places");
        }
    }
    const world_object &reward = world_objects[SCRIPT_REWARD];
    if (reward.used != WOBJ_FREE && reward.obj_def >= 0 && reward.obj_def < OBJECT_DEF_COUNT) {
        const object_def &d = object_defs[reward.obj_def];
        lint_box at{SCRIPT_REWARD_X, SCRIPT_REWARD_Y, SCRIPT_REWARD_Z, d.size_x, d.size_y,
                    d.size_z,        BOX_MOVABLE,     SCRIPT_REWARD,   0,        0};
        lint_box under = at;
        under.z -= 1;
        int resting = 0, inside = 0;
        for (const lint_box &b : room_boxes(SCRIPT_REWARD_ROOM)) {
            if (b.object != SCRIPT_REWARD && b.kind != BOX_CREATURE) {
                resting |= boxes_meet(under, b);
                inside |= boxes_meet(at, b);
            }
        }
        if (!resting || inside) {
            add_lint_finding(findings, LINT_OBJECT_INSIDE, SCRIPT_REWARD_ROOM, SCRIPT_REWARD,
                             "where the event script puts it, " +
                                 spot_text({SCRIPT_REWARD_X, SCRIPT_REWARD_Y, SCRIPT_REWARD_Z}) +
                                 ", it " +
                                 (inside ? "starts inside something" : "rests on nothing"));
        }
    }
    std::string start = landing_problem(START_ROOM, {START_X, START_Y, START_Z});
    if (!start.empty()) {
        add_lint_finding(findings, LINT_EXIT_BLOCKED, START_ROOM, NO_LINT_OBJECT,
                         "the game starts in " + start);
    }
}

void lint_room(int room, std::vector<lint_finding> &findings)
{
    if (!room_in_use(room)) {
        return;
    }
    check_texts(room, findings);
    check_object_places(room, findings);
    check_picture(room, findings);
    check_sprite_count(room, findings);
    check_exits(room, findings);
    check_doors(room, findings);
    check_quest_reach(room, findings);
    check_visibility(room, findings);
}

static void check_reachable_rooms(std::vector<lint_finding> &findings)
{
    std::vector<int> seen(ROOM_COUNT, 0);
    std::queue<int> next;
    seen[START_ROOM] = 1;
    next.push(START_ROOM);
    while (!next.empty()) {
        int room = next.front();
        next.pop();
        std::vector<int> ways(std::begin(rooms[room].adjacent), std::end(rooms[room].adjacent));
        for (int w = 1; w < WORLD_OBJECT_COUNT; w++) {
            const world_object &o = world_objects[w];
            if (o.used != WOBJ_FREE && o.room == room && o.door) {
                ways.push_back(o.door_room);
            }
        }
        for (int to : ways) {
            if (room_in_use(to) && !seen[to]) {
                seen[to] = 1;
                next.push(to);
            }
        }
    }
    for (int room = 0; room < ROOM_COUNT; room++) {
        if (room_in_use(room) && !seen[room]) {
            add_lint_finding(findings, LINT_UNREACHABLE_ROOM, room, NO_LINT_OBJECT,
                             "no chain of exits and doors leads here from room " +
                                 std::to_string(START_ROOM));
        }
    }
}

static int names(int object, const char *word)
{
    const char *text = get_message(world_objects[object].examine_text);
    if (world_objects[object].examine_text == NO_MESSAGE || text == nullptr) {
        return 0;
    }
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(tolower(c)); });
    return lower.find(word) != std::string::npos;
}

static int carriable(int object)
{
    const world_object &o = world_objects[object];
    return o.used != WOBJ_FREE && o.obj_def >= 0 && o.obj_def < OBJECT_DEF_COUNT &&
           !object_defs[o.obj_def].fixed;
}

static void check_clues(std::vector<lint_finding> &findings)
{
    for (const quest_word &q : quest_words) {
        if (world_objects[q.object].used != WOBJ_IN_USE) {
            continue;
        }
        int clues = 0;
        for (int w = 1; w < WORLD_OBJECT_COUNT && !clues; w++) {
            clues = w != q.object && carriable(w) && names(w, q.word);
        }
        if (!clues) {
            add_lint_finding(findings, LINT_CLUE_MISSING, world_objects[q.object].room, q.object,
                             std::string("no carriable object's text names it (\"") + q.word +
                                 "\")");
        }
    }
    int goal = 0;
    for (int w = 1; w < WORLD_OBJECT_COUNT && !goal; w++) {
        goal = carriable(w) && world_objects[w].room == START_ROOM;
        for (int relic : relics) {
            const quest_word *q =
                std::find_if(std::begin(quest_words), std::end(quest_words),
                             [&](const quest_word &c) { return c.object == relic; });
            goal = goal && names(w, q->word);
        }
    }
    if (!goal) {
        add_lint_finding(findings, LINT_CLUE_MISSING, START_ROOM, NO_LINT_OBJECT,
                         "no carriable note here names the four relics (the goal)");
    }
}

static void check_definitions_used(std::vector<lint_finding> &findings)
{
    std::vector<int> used(OBJECT_DEF_COUNT, 0);
    for (int w = 1; w < WORLD_OBJECT_COUNT; w++) {
        const world_object &o = world_objects[w];
        if (o.used != WOBJ_FREE && o.obj_def >= 0 && o.obj_def < OBJECT_DEF_COUNT) {
            used[static_cast<size_t>(o.obj_def)] = 1;
        }
    }
    for (int d = 0; d < OBJECT_DEF_COUNT; d++) {
        if (!used[static_cast<size_t>(d)] && d != DEF_PLAYER && d != DEF_ROOM_PART &&
            object_defs[d].name[0] != '\0') {
            add_lint_finding(findings, LINT_DEFINITION_UNUSED, NO_LINT_ROOM, NO_LINT_OBJECT,
                             "definition " + std::to_string(d) + " \"" + object_defs[d].name +
                                 "\" is placed nowhere");
        }
    }
}

void lint_world(std::vector<lint_finding> &findings)
{
    for (int room = 0; room < ROOM_COUNT; room++) {
        lint_room(room, findings);
    }
    check_reachable_rooms(findings);
    check_script_objects(findings);
    check_clues(findings);
    check_definitions_used(findings);
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
