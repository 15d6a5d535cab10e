// Action scripts: parsing the text into steps and playing the steps through
// the game's tick with the one-word playback of the recorder.
#include "game/action_script.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>

#include "game/game_loop.h"
#include "physics/physics.h"
#include "physics/player.h"
#include "platform/random.h"
#include "runtime/room_setup.h"
#include "runtime/sprites.h"
#include "shell/actions.h"
#include "shell/timing.h"
#include "world/recorder.h"

constexpr char JOIN_MARK = '+';
constexpr char TICKS_MARK = '*';
constexpr char CHECK_MARK = '@';
constexpr char COMMENT_MARK = '#';
constexpr int PLAY_SECONDS_A_TOKEN = 600;
constexpr int MOST_TICKS = TICKS_PER_SECOND * PLAY_SECONDS_A_TOKEN; // ten minutes of play

struct action_word {
    const char *name;
    uint32_t bits;
};
static const action_word action_words[] = {
    {"up", ACTION_UP},        {"down", ACTION_DOWN},
    {"left", ACTION_LEFT},    {"right", ACTION_RIGHT},
    {"jump", ACTION_JUMP},    {"lunge", ACTION_LUNGE},
    {"take", ACTION_PICK_UP}, {"drop", ACTION_DROP},
    {"use", ACTION_USE},      {"look", ACTION_EXAMINE},
    {"slot1", ACTION_SLOT_1}, {"slot2", ACTION_SLOT_2},
    {"slot3", ACTION_SLOT_3}, {"slot4", ACTION_SLOT_4},
    {"slot5", ACTION_SLOT_5}, {"none", 0},
};

static int one_action_word(const std::string &word, uint32_t &bits)
{
    for (const action_word &w : action_words) {
        if (word == w.name) {
            bits |= w.bits;
            return 1;
        }
    }
    return 0;
}

int parse_action_words(const std::string &words, uint32_t &bits)
{
    bits = 0;
    size_t start = 0;
    while (true) {
        size_t end = words.find(JOIN_MARK, start);
        if (!one_action_word(words.substr(start, end - start), bits)) {
            return 0;
        }
        if (end == std::string::npos) {
            return 1;
        }
        start = end + 1;
    }
}

// A whole number with nothing after it.
static int whole_number(const std::string &text, int &value)
{
    if (text.empty()) {
        return 0;
    }
    char *end;
    long v = strtol(text.c_str(), &end, 10);
    if (*end != '\0' || v < INT32_MIN || v > INT32_MAX) {
        return 0;
    }
    value = static_cast<int>(v);
    return 1;
}

static int position_token(const std::string &token, int &x, int &y, int &z)
{
    int used = 0;
    return sscanf(token.c_str(), "%d,%d,%d%n", &x, &y, &z, &used) == 3 &&
           used == static_cast<int>(token.size());
}

static std::string place(const std::string &name, int line)
{
    return name + ":" + std::to_string(line) + ": ";
}

// One "word*ticks" token.
static int hold_token(const std::string &token, script_step &step, std::string &problem)
{
    size_t mark = token.find(TICKS_MARK);
    if (mark == std::string::npos) {
        problem = "\"" + token + "\" is not word*ticks";
        return 0;
    }
    if (!parse_action_words(token.substr(0, mark), step.actions)) {
        problem = "\"" + token.substr(0, mark) + "\" holds a word that is not an action word";
        return 0;
    }
    if (!whole_number(token.substr(mark + 1), step.ticks) || step.ticks < 0 ||
        step.ticks > MOST_TICKS) {
        problem = "the ticks of \"" + token + "\" must be a whole number, 0 to " +
                  std::to_string(MOST_TICKS);
        return 0;
    }
    step.kind = SCRIPT_HOLD;
    return 1;
}

static int parse_line(const std::string &text, const std::string &name, int line,
                      std::vector<script_step> &steps, std::string &error)
{
    std::istringstream tokens(text.substr(0, text.find(COMMENT_MARK)));
    std::vector<std::string> words;
    for (std::string token; tokens >> token;) {
        words.push_back(token);
    }
    for (size_t i = 0; i < words.size(); i++) {
        script_step step{};
        step.line = line;
        std::string problem;
        if (words[i][0] != CHECK_MARK) {
            if (!hold_token(words[i], step, problem)) {
                error = place(name, line) + problem;
                return 0;
            }
        } else if (!whole_number(words[i].substr(1), step.room) || step.room < 0 ||
                   step.room >= ROOM_COUNT) {
            error = place(name, line) + "\"" + words[i] + "\" must name a room, @0..@399";
            return 0;
        } else if (i + 1 < words.size() && position_token(words[i + 1], step.x, step.y, step.z)) {
            step.kind = SCRIPT_EXPECT_PLACE;
            i++;
        } else {
            step.kind = SCRIPT_EXPECT_ROOM;
        }
        steps.push_back(step);
    }
    return 1;
}

int parse_action_script(const std::string &text, const std::string &name,
                        std::vector<script_step> &steps, std::string &error)
{
    std::istringstream lines(text);
    int line = 0;
    for (std::string row; std::getline(lines, row);) {
        if (!parse_line(row, name, ++line, steps, error)) {
            return 0;
        }
    }
    return 1;
}

void begin_script_run(script_run &run)
{
    memset(run.rooms_seen, 0, sizeof run.rooms_seen);
    run.ticks = 0;
    run.failure.clear();
    runtime_srand(SCRIPT_RANDOM_SEED);
}

static std::string where_player_is(void)
{
    const sprite_record &p = sprite_table[PLAYER_SLOT];
    char text[80];
    snprintf(text, sizeof text, "room %d at %d,%d,%d", current_room, static_cast<int>(p.x),
             static_cast<int>(p.y), static_cast<int>(p.z));
    return text;
}

// Empty when the step's expectation holds, else what was found.
static std::string check_step(const script_step &step)
{
    const sprite_record &p = sprite_table[PLAYER_SLOT];
    int holds = current_room == step.room;
    std::string wanted = "room " + std::to_string(step.room);
    if (step.kind == SCRIPT_EXPECT_PLACE) {
        holds = holds && static_cast<int>(p.x) == step.x && static_cast<int>(p.y) == step.y &&
                static_cast<int>(p.z) == step.z;
        wanted += " at " + std::to_string(step.x) + "," + std::to_string(step.y) + "," +
                  std::to_string(step.z);
    }
    return holds ? std::string() : "expected " + wanted + ", found " + where_player_is();
}

int play_action_script(const std::vector<script_step> &steps, const std::string &name,
                       script_run &run, void (*after_tick)(void))
{
    if (current_room >= 0 && current_room < ROOM_COUNT) {
        run.rooms_seen[current_room] = 1;
    }
    for (const script_step &step : steps) {
        if (step.kind != SCRIPT_HOLD) {
            std::string found = check_step(step);
            if (!found.empty()) {
                run.failure = place(name, step.line) + found;
                return 0;
            }
            continue;
        }
        for (int t = 0; t < step.ticks; t++) {
            play_recorded_word(step.actions);
            int quit = game_tick();
            run.ticks++;
            if (current_room >= 0 && current_room < ROOM_COUNT) {
                run.rooms_seen[current_room] = 1;
            }
            if (after_tick != nullptr) {
                after_tick();
            }
            // The game would be over here.
            if (quit || energy <= 0) {
                run.failure = place(name, step.line) +
                              (quit ? "the quit action ends the game"
                                    : "the player's energy runs out in " + where_player_is());
                return 0;
            }
        }
    }
    return 1;
}

std::string describe_player(void)
{
    std::string text = where_player_is();
    char part[64];
    snprintf(part, sizeof part, " energy %d inventory", static_cast<int>(energy));
    text += part;
    for (int s = 0; s < INVENTORY_SLOTS; s++) {
        snprintf(part, sizeof part, " %s%d", s == selected_slot ? "*" : "", inventory[s]);
        text += part;
    }
    return text;
}
