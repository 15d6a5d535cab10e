// The world linter's checks of the quest and the castle as a whole: the
// event script's objects in place and within reach, clues a player can
// read, rooms reachable from the start, every named definition placed.
#include <algorithm>
#include <cctype>
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

int is_quest_object(int w)
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

void check_quest_reach(int room, const std::vector<player_spot> &entrances,
                       std::vector<lint_finding> &findings)
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
            spots = reachable_spots(room, entrances);
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
void check_script_objects(std::vector<lint_finding> &findings)
{
    std::vector<int> named(std::begin(quest_objects), std::end(quest_objects));
    named.insert(named.end(), {SCRIPT_MARKER_1, SCRIPT_MARKER_2, SCRIPT_MARKER_3, SCRIPT_MARKER_4,
                               SCRIPT_REWARD, SCRIPT_CHARM_RESULT});
    for (int w : named) {
        if (world_objects[w].used == WOBJ_FREE) {
            add_lint_finding(findings, LINT_QUEST_MISSING, NO_LINT_ROOM, NO_LINT_OBJECT,
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
                         "the game's start: " + start);
    }
}

// Rooms no chain of exits and doors leads to; and rooms such a chain leads
// to where no walk, climb or jump from the start gets the player.
void check_reachable_rooms(const castle_reach &reach, std::vector<lint_finding> &findings)
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
        } else if (room_in_use(room) && reach.entrances[static_cast<size_t>(room)].empty()) {
            add_lint_finding(findings, LINT_UNREACHABLE_ROOM, room, NO_LINT_OBJECT,
                             "exits or doors lead here, but no walk, climb or jump from room " +
                                 std::to_string(START_ROOM) + " gets through them");
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

int is_clue(int object)
{
    int clue = 0;
    for (const quest_word &q : quest_words) {
        clue |= object != q.object && carriable(object) && names(object, q.word);
    }
    return clue;
}

void check_clues(std::vector<lint_finding> &findings)
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

// Definitions some world object uses.
static std::vector<int> definitions_used(void)
{
    std::vector<int> used(OBJECT_DEF_COUNT, 0);
    for (int w = 1; w < WORLD_OBJECT_COUNT; w++) {
        const world_object &o = world_objects[w];
        if (o.used != WOBJ_FREE && o.obj_def >= 0 && o.obj_def < OBJECT_DEF_COUNT) {
            used[static_cast<size_t>(o.obj_def)] = 1;
        }
    }
    return used;
}

// Definitions the castle should place: the named ones but the player and
// the room parts.
static int placeable(int def)
{
    return def != DEF_PLAYER && def != DEF_ROOM_PART && object_defs[def].name[0] != '\0';
}

castle_counts count_castle(void)
{
    castle_counts c{};
    for (int room = 0; room < ROOM_COUNT; room++) {
        c.rooms += room_in_use(room);
    }
    for (int w = 1; w < WORLD_OBJECT_COUNT; w++) {
        c.objects += world_objects[w].used != WOBJ_FREE;
        c.carried_clues += is_clue(w);
    }
    std::vector<int> used = definitions_used();
    for (int d = 0; d < OBJECT_DEF_COUNT; d++) {
        c.named_definitions += placeable(d);
        c.definitions_used += placeable(d) && used[static_cast<size_t>(d)];
    }
    return c;
}

void check_definitions_used(std::vector<lint_finding> &findings)
{
    std::vector<int> used = definitions_used();
    for (int d = 0; d < OBJECT_DEF_COUNT; d++) {
        if (!used[static_cast<size_t>(d)] && placeable(d)) {
            add_lint_finding(findings, LINT_DEFINITION_UNUSED, NO_LINT_ROOM, NO_LINT_OBJECT,
                             "definition " + std::to_string(d) + " \"" + object_defs[d].name +
                                 "\" is placed nowhere");
        }
    }
}
