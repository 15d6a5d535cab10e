// The event triggers that script the castle's puzzles: a fixed table built
// in code, matched against touches, uses, drops, pick-ups and counters.
#pragma once

constexpr int TRIGGER_COUNT = 100;
constexpr int TRIGGER_ACTIONS = 5;
constexpr int TRIGGER_COUNTERS = 10;

// Event kinds.
constexpr int EVENT_NONE = -1;
constexpr int EVENT_TOUCH = 1;
constexpr int EVENT_USE = 2;
constexpr int EVENT_DROP = 3;
constexpr int EVENT_PICK_UP = 4;
constexpr int EVENT_COUNTER = 5;

// Action types.
constexpr int DO_NOTHING = -1;
constexpr int DO_PLACE = 1;
constexpr int DO_REMOVE = 2;
constexpr int DO_GO_TO_ROOM = 3;
constexpr int DO_SET_FRAME = 4;
constexpr int DO_MOVE = 5;
constexpr int DO_COUNT = 6;
constexpr int DO_REPLACE = 7;
constexpr int DO_SHOW = 8;

constexpr int ANY = -1; // subject, other or room that matches everything

struct trigger_action {
    int active;
    int type;
    int object;
    int x, y, z; // a position, a displacement (DO_MOVE), or DO_SHOW's values
    int room;
    int spare;
    int value; // frame, counter, replacing object, or DO_SHOW's fourth value
    int param; // DO_SHOW's first value
};

struct trigger_record {
    int active;
    int subject; // first object of the event, ANY
    int event;
    int other;   // second object of the event, ANY
    int room;    // the current room it needs, ANY
    int counter; // EVENT_COUNTER: which counter
    int value;   // EVENT_COUNTER: the count that sets it off
    int fired;   // ran to its end once: never matched again
    trigger_action actions[TRIGGER_ACTIONS];
};

// A DO_SHOW request waiting to be shown (nothing in the game shows it yet).
struct show_request {
    int pending;
    int param, x, y, value;
};

extern trigger_record triggers[TRIGGER_COUNT];
extern int trigger_counters[TRIGGER_COUNTERS];
extern show_request pending_show;

void build_trigger_table(void);
void clear_trigger(int index);
void rearm_triggers(void);
// Matches an event against the trigger table and runs what matches.
void fire_triggers(int a, int b, int kind);
// Runs one trigger's actions; 1 when all ran.
int run_trigger(int index);
