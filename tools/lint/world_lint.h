// The world linter: checks of the castle loaded into the game's tables
// (rooms, polygons, world objects, messages; the catalogue built) that the
// compiler cannot make alone, because they need the game's rules: rooms
// reachable, exits and doors that land on clear spots, objects clear of
// each other, quest objects within the player's reach, clues a player can
// read, rooms that fit the picture, a player who can be seen, creatures
// clear of arrivals, doors and hatches a player can use safely, walls a
// player can follow, clues and relics taken with one press and relics laid
// on the tomb (these two played through the game's own tick).
//
// The event script's table must be built (build_trigger_table): what it
// removes and where it sends the player count for reaching. The checks
// build rooms in the game's tables (current room, sprites,
// room_background) and draw into backbuffer and light_map; a caller that
// shows a room rebuilds it afterwards. Without a game datafile loaded the
// visibility check is left out.
#pragma once

#include <string>
#include <vector>

#include "lint_model.h"
#include "runtime/sprites.h"
#include "world_compile.h"

// Kinds of finding.
constexpr int LINT_UNREACHABLE_ROOM = 0;
constexpr int LINT_EXIT_BLOCKED = 1;
constexpr int LINT_DOOR_BLOCKED = 2;
constexpr int LINT_DOOR_KEY = 3;
constexpr int LINT_OBJECT_INSIDE = 4;
constexpr int LINT_OBJECT_OUTSIDE = 5;
constexpr int LINT_QUEST_UNREACHABLE = 6;
constexpr int LINT_CLUE_MISSING = 7;
constexpr int LINT_TEXT_MISSING = 8;
constexpr int LINT_ROOM_TOO_BIG = 9;
constexpr int LINT_FLOOR_HIDDEN = 10;
constexpr int LINT_TOO_MANY_SPRITES = 11;
constexpr int LINT_DEFINITION_UNUSED = 12;
constexpr int LINT_PLAYER_UNSEEN = 13;
constexpr int LINT_QUEST_MISSING = 14;
constexpr int LINT_TEXT_TOO_LONG = 15;
constexpr int LINT_CREATURE_AT_ARRIVAL = 16;
constexpr int LINT_CREATURE_UNSEEN = 17;
constexpr int LINT_FOOD_MISSING = 18;
constexpr int LINT_DOOR_FRONT = 19;
constexpr int LINT_DROP_AT_ARRIVAL = 20;
constexpr int LINT_FITTING_IN_THE_WAY = 21;
constexpr int LINT_NOT_TAKEABLE = 22;
constexpr int LINT_RELIC_DROP = 23;
constexpr int LINT_EXIT_MARK = 24;
constexpr int LINT_KIND_COUNT = 25;

// The floor tile every open way out is drawn with, a lit threshold: a player
// learns it in the first room and finds each way out by it.
constexpr int EXIT_MARK_TILE = 43;

// Short names of the kinds, as printed.
extern const char *const lint_kind_names[LINT_KIND_COUNT];

constexpr int NO_LINT_ROOM = -1;
constexpr int NO_LINT_OBJECT = -1;

// Findings of one kind in one room past this many are counted, not listed:
// one more finding of that kind says how many were left out.
constexpr int LINT_FINDINGS_SHOWN = 10;

struct lint_finding {
    int kind;
    int room;   // NO_LINT_ROOM when the finding is about no one room
    int object; // NO_LINT_OBJECT when it is about no one object
    std::string text;
};

// The most sprites a room may need: every slot but the player's.
constexpr int MOST_ROOM_SPRITES = SPRITE_COUNT - 1;

// The sprites room setup makes for a room: its cells, its ceiling, its
// objects.
int room_sprite_count(int room);

void add_lint_finding(std::vector<lint_finding> &findings, int kind, int room, int object,
                      const std::string &text);

// The checks of one room: its exits and doors, its objects, its texts, its
// picture, its sprites, its quest objects, the player at its entrances, its
// creatures, doors, hatches and wall fittings, what is to be taken in it and
// the tomb.
// Both entry points list at most LINT_FINDINGS_SHOWN findings of each kind
// for each room (and for the castle as a whole).
void lint_room(int room, std::vector<lint_finding> &findings);

// Everything a room's editor shows: the checks of the room with the castle
// search given (kept by a caller between edits), and the findings of other
// rooms whose exits or doors lead into it (an arrival blocked here).
void lint_room_findings(int room, const castle_reach &reach, std::vector<lint_finding> &findings);

// Every check: each room's, then rooms reachable from the start, clues and
// definitions used.
void lint_world(std::vector<lint_finding> &findings);

// The player seen (lit and not hidden) at every spot the action scripts in
// folder (played in name order from a fresh game) pass. The world is put
// back as it was.
void check_walkthrough_sight(const std::string &folder, std::vector<lint_finding> &findings);

// Carriable clues and relics the checks so far have taken with one press.
extern int proven_takeable_count;

// The castle in numbers.
struct castle_counts {
    int rooms;
    int objects; // placed world objects, those out of play at the start too
    int named_definitions, definitions_used;
    int carried_clues; // carriable objects whose text names a quest object
};
castle_counts count_castle(void);

// "file:line: room R, object W (name): [kind] text", the file being the
// content file of the object (else of the room) when sources are given.
std::string format_finding(const lint_finding &finding, const world_sources *sources);
