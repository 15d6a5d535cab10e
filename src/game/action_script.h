// Action scripts: text that drives the game through its own tick, shared by
// roomshot, the walkthrough test and the other tools. A script is made of
// tokens separated by blanks: "word*ticks" holds an action word for that
// many ticks (words joined by '+' are held together: "up+jump*1"), "@84"
// checks the current room and "@84 66,74,3" the room and the player's
// whole-unit position; '#' starts a comment that runs to the end of the line.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "world/rooms.h"

// What a step of a script does.
constexpr int SCRIPT_HOLD = 0;         // hold actions for ticks
constexpr int SCRIPT_EXPECT_ROOM = 1;  // the player is in room
constexpr int SCRIPT_EXPECT_PLACE = 2; // the player is in room at x, y, z

// Played scripts start from this seed so creatures move the same way in
// every tool and test.
constexpr unsigned int SCRIPT_RANDOM_SEED = 1;

struct script_step {
    int kind;
    uint32_t actions; // SCRIPT_HOLD: the action bits held
    int ticks;
    int room; // the expectations
    int x, y, z;
    int line; // where the step is written, for messages
};

// The action bits of one word or of words joined by '+'. Returns 0 when a
// word is not an action word (up down left right jump lunge take drop use
// look slot1..slot5 none).
int parse_action_words(const std::string &words, uint32_t &bits);

// Appends the steps of a script to steps. Returns 1 on success; otherwise
// 0 with "name:line: what is wrong" in error.
int parse_action_script(const std::string &text, const std::string &name,
                        std::vector<script_step> &steps, std::string &error);

// What a played script saw.
struct script_run {
    int rooms_seen[ROOM_COUNT]; // 1 for every room that was current
    int ticks;                  // ticks played
    std::string failure;        // the first failed check, "name:line: ..."
};

// Zeroes a run record before the first script of a game.
void begin_script_run(script_run &run);

// Plays steps through game_tick from the current game. Stops at the first
// failed check, or where the game would end (no energy left, the quit
// action), and returns 0 with the reason in run.failure; returns 1
// otherwise. after_tick, when given, is called after every tick played.
int play_action_script(const std::vector<script_step> &steps, const std::string &name,
                       script_run &run, void (*after_tick)(void) = nullptr);

// One line describing where the player is: room, position, energy and the
// five inventory slots (the selected one marked with '*').
std::string describe_player(void);
