// The world linter's checks played through the game's own tick: every
// carriable clue and relic taken with one press from a spot the player can
// reach, every relic dropped at the tomb from its front firing its trigger,
// and the player seen wherever the walkthrough goes.
//
// Each try starts a game in the room from a copy of the world as the
// content made it and puts the world back afterwards, so that the tries
// leave no trace on the other checks.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <tuple>

#include "game/action_script.h"
#include "game/game_loop.h"
#include "lint_checks.h"
#include "lint_light.h"
#include "lint_model.h"
#include "physics/physics.h"
#include "physics/player.h"
#include "physics/script_ids.h"
#include "physics/triggers.h"
#include "platform/data_file.h"
#include "runtime/room_setup.h"
#include "runtime/sprites.h"
#include "shell/actions.h"
#include "shell/startup.h"
#include "world/object_defs.h"
#include "world/recorder.h"
#include "world/rooms.h"
#include "world/world_objects.h"

constexpr long SCRIPT_MAX_BYTES = 1024L * 1024; // a walkthrough file is pages of text
constexpr int MOST_TRIES = 12;                  // approaches tried per object, nearest first
constexpr int SETTLE_TICKS = 1;                 // a tick for every sprite to find its support
constexpr int DROP_REST_TICKS = 30;             // a dropped relic has come to rest by then
constexpr int APPROACH_RUN = 4;                 // units walked up to the object before taking it
constexpr int OVERSHOOT = 6;      // ticks the walk key is held past the spot (a short press)
constexpr int LOOK_AHEAD = 2;     // the pick-up finds what is one or two units ahead
constexpr int NEARER_FIRST = 100; // a unit nearer outweighs any offset across

static const int relics[] = {SCRIPT_OFFERING_1, SCRIPT_OFFERING_2, SCRIPT_OFFERING_3,
                             SCRIPT_OFFERING_4};

// The world as the content made it, kept while tries change it.
struct world_copy {
    std::vector<world_object> objects;
    std::vector<trigger_record> script;
    std::vector<int> counters;
    float energy_left;
};

static world_copy keep_world(void)
{
    return {std::vector<world_object>(std::begin(world_objects), std::end(world_objects)),
            std::vector<trigger_record>(std::begin(triggers), std::end(triggers)),
            std::vector<int>(std::begin(trigger_counters), std::end(trigger_counters)), energy};
}

static void put_world_back(const world_copy &kept)
{
    std::copy(kept.objects.begin(), kept.objects.end(), world_objects);
    std::copy(kept.script.begin(), kept.script.end(), triggers);
    std::copy(kept.counters.begin(), kept.counters.end(), trigger_counters);
    energy = kept.energy_left;
}

static void tick_with(uint32_t actions)
{
    play_recorded_word(actions);
    game_tick();
}

// A fresh game in room with the player at a spot, facing a side, settled.
static void start_try(int room, const player_spot &at, int facing)
{
    start_game(room, at.x, at.y, at.z);
    sprite_table[PLAYER_SLOT].facing = facing;
    for (int t = 0; t < SETTLE_TICKS; t++) {
        tick_with(0);
    }
}

static int carriable_def(int def)
{
    return def >= 0 && def < OBJECT_DEF_COUNT && !object_defs[def].fixed &&
           object_defs[def].behaviour == BEHAVIOUR_NONE;
}

// A clue, a relic, or another carriable thing the quest needs.
static int must_be_takeable(int w)
{
    const world_object &o = world_objects[w];
    return o.used == WOBJ_IN_USE && carriable_def(o.obj_def) && (is_clue(w) || is_quest_object(w));
}

struct approach {
    player_spot at;
    int facing;
    int order; // smaller first: near and square on
};

// Spots the player reaches from which, facing the object, it lies within
// the pick-up's look ahead; never a spot on top of it.
static std::vector<approach> approaches(const std::vector<player_spot> &spots, const lint_box &b)
{
    const object_def &p = object_defs[DEF_PLAYER];
    std::vector<approach> found;
    for (const player_spot &s : spots) {
        if (s.z >= b.z + b.size_z) {
            continue;
        }
        for (int f = 0; f < FACING_COUNT; f++) {
            for (int d = 1; d <= LOOK_AHEAD; d++) {
                player_spot ahead{s.x + d * facing_step_x[f], s.y + d * facing_step_y[f], s.z};
                if (!boxes_meet(player_box(ahead), b)) {
                    continue;
                }
                int across = facing_step_x[f] != 0
                                 ? std::abs(2 * s.y + p.size_y - 2 * b.y - b.size_y)
                                 : std::abs(2 * s.x + p.size_x - 2 * b.x - b.size_x);
                found.push_back({s, f, d * NEARER_FIRST + across});
                break;
            }
        }
    }
    std::sort(found.begin(), found.end(),
              [](const approach &a, const approach &b) { return a.order < b.order; });
    return found;
}

// The walk key of each facing.
static const uint32_t walk_actions[FACING_COUNT] = {ACTION_DOWN, ACTION_LEFT, ACTION_UP,
                                                    ACTION_RIGHT};

// The player walks up to the spot from a few units back (as far back as the
// floor is clear), keeps the key down a moment longer, as a player does who
// walks until stopped, and presses take once. A flat thing walked onto, or
// a fixed thing found first, fails.
static int takes(int room, const approach &a, int object)
{
    const int back = (a.facing + 2) % FACING_COUNT;
    int run = APPROACH_RUN;
    while (run > 0 && !clear_walk(room, a.at, back, run)) {
        run--;
    }
    player_spot from{a.at.x - run * facing_step_x[a.facing], a.at.y - run * facing_step_y[a.facing],
                     a.at.z};
    if (!settle_spot(room, from)) {
        from = a.at;
        run = 0;
    }
    start_try(room, from, a.facing);
    for (int t = 0; t < run + OVERSHOOT; t++) {
        tick_with(walk_actions[a.facing]);
    }
    tick_with(0);
    tick_with(ACTION_PICK_UP);
    int got = inventory[selected_slot] == object;
    end_game();
    return got;
}

// What the object lies on, if anything but the floor and fixed things.
static int carriable_support(const lint_box &b, const std::vector<lint_box> &boxes)
{
    lint_box under = b;
    under.z -= 1;
    under.size_z = 1;
    for (const lint_box &o : boxes) {
        if (o.object != b.object && o.kind == BOX_MOVABLE && o.z + o.size_z == b.z &&
            boxes_meet(under, o)) {
            return o.object;
        }
    }
    return NOT_AN_OBJECT;
}

int proven_takeable_count = 0;

void check_takeable(int room, const std::vector<player_spot> &entrances,
                    std::vector<lint_finding> &findings)
{
    std::vector<lint_box> boxes = room_boxes(room);
    std::vector<player_spot> spots;
    int searched = 0;
    world_copy kept;
    for (const lint_box &b : boxes) {
        if (b.object == NOT_AN_OBJECT || !must_be_takeable(b.object)) {
            continue;
        }
        int support = carriable_support(b, boxes);
        if (support != NOT_AN_OBJECT) {
            add_lint_finding(findings, LINT_NOT_TAKEABLE, room, b.object,
                             "it lies on object " + std::to_string(support) + " (" +
                                 def_name(support) +
                                 "), which can be carried off; set it on the floor or on "
                                 "something fixed");
        }
        if (!searched) {
            spots = reachable_spots(room, entrances);
            kept = keep_world();
            searched = 1;
        }
        std::vector<approach> ways = approaches(spots, b);
        int taken = 0;
        for (size_t i = 0; i < ways.size() && i < MOST_TRIES && !taken; i++) {
            taken = takes(room, ways[i], b.object);
            put_world_back(kept);
        }
        proven_takeable_count += taken;
        if (!taken) {
            add_lint_finding(findings, LINT_NOT_TAKEABLE, room, b.object,
                             ways.empty()
                                 ? std::string("no spot the player reaches lies against it")
                                 : "one press of take from the " +
                                       std::to_string(std::min<size_t>(ways.size(), MOST_TRIES)) +
                                       " nearest spots against it (the first " +
                                       spot_text(ways[0].at) + ") never takes it");
        }
    }
    if (searched) {
        build_room(room);
    }
}

// The touch trigger that lays a relic on the tomb.
static int relic_trigger(int relic)
{
    for (int t = 0; t < TRIGGER_COUNT; t++) {
        const trigger_record &r = triggers[t];
        if (r.active && r.event == EVENT_TOUCH && r.subject == relic && r.other == SCRIPT_ALTAR) {
            return t;
        }
    }
    return -1;
}

// The tomb's front faces away from the limit it stands nearest: the side a
// player comes to it from.
static int tomb_front_facing(int room, const lint_box &tomb)
{
    const room_record &r = rooms[room];
    const int gaps[SIDE_COUNT] = {
        tomb.y - r.limit[SIDE_LOW_Y], r.limit[SIDE_HIGH_X] + 1 - tomb.x - tomb.size_x,
        r.limit[SIDE_HIGH_Y] + 1 - tomb.y - tomb.size_y, tomb.x - r.limit[SIDE_LOW_X]};
    return static_cast<int>(std::min_element(gaps, gaps + SIDE_COUNT) - gaps);
}

static int drop_fires(int room, const player_spot &at, int facing, int relic, int trigger)
{
    start_try(room, at, facing);
    inventory[0] = relic;
    world_objects[relic].room = ROOM_CARRIED;
    select_slot(0);
    tick_with(ACTION_DROP);
    for (int t = 0; t < DROP_REST_TICKS && !triggers[trigger].fired; t++) {
        tick_with(0);
    }
    int fired = triggers[trigger].fired;
    end_game();
    return fired;
}

void check_relic_drops(int room, const std::vector<player_spot> &entrances,
                       std::vector<lint_finding> &findings)
{
    const world_object &altar = world_objects[SCRIPT_ALTAR];
    if (altar.used != WOBJ_IN_USE || altar.room != room) {
        return;
    }
    std::vector<lint_box> boxes = room_boxes(room);
    auto tomb = std::find_if(boxes.begin(), boxes.end(),
                             [](const lint_box &b) { return b.object == SCRIPT_ALTAR; });
    const int facing = tomb_front_facing(room, *tomb);
    const object_def &p = object_defs[DEF_PLAYER];
    std::vector<player_spot> front;
    for (const player_spot &s : reachable_spots(room, entrances)) {
        player_spot ahead{s.x + facing_step_x[facing], s.y + facing_step_y[facing], s.z};
        if (boxes_meet(player_box(ahead), *tomb) && !boxes_meet(player_box(s), *tomb)) {
            front.push_back(s);
        }
    }
    world_copy kept = keep_world();
    for (int relic : relics) {
        const int trigger = relic_trigger(relic);
        const object_def &d = object_defs[world_objects[relic].obj_def];
        int tried = 0;
        for (const player_spot &s : front) {
            // Only drops that land over the tomb, wholly, are laid on it.
            int lands_x = s.x - (d.size_x - p.size_x) / 2;
            int lands_y = s.y - (d.size_y - p.size_y) / 2;
            int over = facing_step_x[facing] != 0
                           ? lands_y >= tomb->y && lands_y + d.size_y <= tomb->y + tomb->size_y
                           : lands_x >= tomb->x && lands_x + d.size_x <= tomb->x + tomb->size_x;
            if (trigger < 0 || world_objects[relic].used == WOBJ_FREE || !over) {
                continue;
            }
            tried++;
            int fired = drop_fires(room, s, facing, relic, trigger);
            put_world_back(kept);
            if (!fired) {
                add_lint_finding(findings, LINT_RELIC_DROP, room, relic,
                                 "dropped facing the tomb from " + spot_text(s) +
                                     ", it does not set off its trigger");
                break;
            }
        }
        if (trigger >= 0 && world_objects[relic].used != WOBJ_FREE && tried == 0) {
            add_lint_finding(findings, LINT_RELIC_DROP, room, relic,
                             "no spot the player reaches before the tomb's front lets it be "
                             "dropped onto the tomb");
        }
    }
    build_room(room);
}

// The walkthrough's spots, one per room, cell and height, measured as the
// walkthrough passes them.
struct sight_log {
    std::set<std::tuple<int, int, int, int>> seen;
    std::map<int, std::pair<int, player_spot>> dark, hidden; // room: count, first spot
};
static sight_log *sight = nullptr;

static void look_at_player(void)
{
    const sprite_record &p = sprite_table[PLAYER_SLOT];
    player_spot at{static_cast<int>(p.x), static_cast<int>(p.y), static_cast<int>(p.z)};
    if (p.standing_on < 0 || !sight->seen.insert({current_room, at.x, at.y, at.z}).second) {
        return;
    }
    int luminance = sprite_luminance(PLAYER_SLOT);
    if (luminance >= LEAST_PLAYER_LUMINANCE) {
        return;
    }
    auto &log = luminance < 0 ? sight->hidden : sight->dark;
    auto entry = log.emplace(current_room, std::make_pair(0, at)).first;
    entry->second.first++;
}

void check_walkthrough_sight(const std::string &folder, std::vector<lint_finding> &findings)
{
    std::vector<std::string> files;
    std::error_code failure;
    for (std::filesystem::directory_iterator it(folder, failure), end; !failure && it != end;
         it.increment(failure)) {
        if (it->path().extension() == ".txt") {
            files.push_back(it->path().string());
        }
    }
    std::sort(files.begin(), files.end());
    if (custom_datafile == nullptr || files.empty()) {
        return;
    }
    sight_log log;
    sight = &log;
    world_copy kept = keep_world();
    rearm_triggers();
    script_run run;
    begin_script_run(run);
    reset_sprites(); // creatures keep their countdowns in the slots
    start_game(START_ROOM, START_X, START_Y, START_Z);
    for (const std::string &file : files) {
        std::stringstream text;
        std::string error;
        if (const char *problem = data_file_problem(file.c_str(), SCRIPT_MAX_BYTES)) {
            error = file + ": " + problem;
        } else {
            text << std::ifstream(file).rdbuf();
        }
        std::vector<script_step> steps;
        if (!error.empty() || !parse_action_script(text.str(), file, steps, error) ||
            !play_action_script(steps, file, run, look_at_player)) {
            add_lint_finding(findings, LINT_PLAYER_UNSEEN, NO_LINT_ROOM, NO_LINT_OBJECT,
                             "the walkthrough stops: " + (error.empty() ? run.failure : error));
            break;
        }
    }
    end_game();
    put_world_back(kept);
    sight = nullptr;
    for (const auto &[room, where] : log.dark) {
        add_lint_finding(findings, LINT_PLAYER_UNSEEN, room, NO_LINT_OBJECT,
                         "along the walkthrough the player is too dark at " +
                             std::to_string(where.first) + " spots (first " +
                             spot_text(where.second) + ")");
    }
    for (const auto &[room, where] : log.hidden) {
        add_lint_finding(findings, LINT_PLAYER_UNSEEN, room, NO_LINT_OBJECT,
                         "along the walkthrough the player is mostly hidden at " +
                             std::to_string(where.first) + " spots (first " +
                             spot_text(where.second) + ")");
    }
}
