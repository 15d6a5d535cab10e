// Animated picture of play: action scripts played from a fresh game through
// the game's own tick, each tick's frame drawn by the game's own frame code,
// written as an animated GIF that runs at the game's 30 ticks a second.
//   playreel GAME_DIR OUT.gif SECONDS SCRIPT_FILE...
// The scripts play in order and stop after SECONDS of play; a failed check
// stops the picture with a message and exit code 3.
#include <allegro.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>
#include <cstdio>
#include <cstdlib>

#include "gif_writer.h"
#include "picture_tool.h"
#include "game/action_script.h"
#include "game/game_loop.h"
#include "render/frame.h"
#include "platform/data_file.h"
#include "shell/actions.h"
#include "shell/startup.h"
#include "shell/timing.h"

constexpr int CENTISECONDS = 100;
constexpr int FAILED_CHECK = 3;
constexpr long SCRIPT_MAX_BYTES = 1024L * 1024; // an action script is pages of text

// GIF delays are whole hundredths: three ticks take 3, 3 and 4 of them, so
// every third frame lands exactly on the game's clock.
static int tick_delay(int tick)
{
    return (tick + 1) * CENTISECONDS / TICKS_PER_SECOND - tick * CENTISECONDS / TICKS_PER_SECOND;
}

struct reel {
    gif_animation gif;
    int ticks_left;
    script_run run;
};

// Plays one step; a held step tick by tick, a frame after each.
static int play_step(script_step step, const std::string &name, reel &r)
{
    if (step.kind != SCRIPT_HOLD) {
        return play_action_script({step}, name, r.run);
    }
    const int ticks = step.ticks;
    step.ticks = 1;
    for (int t = 0; t < ticks && r.ticks_left > 0; t++, r.ticks_left--) {
        if (!play_action_script({step}, name, r.run)) {
            return 0;
        }
        compose_game_frame();
        add_gif_frame(r.gif, backbuffer, tick_delay(static_cast<int>(r.gif.frames.size())));
    }
    return 1;
}

static int play_file(const char *path, reel &r)
{
    const char *problem = data_file_problem(path, SCRIPT_MAX_BYTES);
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    std::vector<script_step> steps;
    std::string error;
    if (problem != nullptr || !in || !parse_action_script(text.str(), path, steps, error)) {
        fprintf(stderr, "playreel: %s\n",
                problem != nullptr ? (std::string(path) + ": " + problem).c_str()
                : in               ? error.c_str()
                                   : (std::string("cannot read ") + path).c_str());
        return 0;
    }
    for (size_t i = 0; i < steps.size() && r.ticks_left > 0; i++) {
        if (!play_step(steps[i], path, r)) {
            fprintf(stderr, "playreel: %s\n", r.run.failure.c_str());
            return 0;
        }
    }
    return 1;
}

// The paths are used after changing into the game folder; one that cannot
// be made absolute is used as given.
static std::string absolute_path(const char *path)
{
    std::error_code failure;
    const std::string absolute = std::filesystem::absolute(path, failure).string();
    return failure ? std::string(path) : absolute;
}

int main(int argc, char **argv)
{
    if (argc < 5 || atoi(argv[3]) <= 0) {
        fprintf(stderr, "usage: playreel GAME_DIR OUT.gif SECONDS SCRIPT_FILE...\n");
        return 2;
    }
    std::vector<std::string> scripts;
    for (int i = 4; i < argc; i++) {
        scripts.push_back(absolute_path(argv[i]));
    }
    const std::string out = absolute_path(argv[2]);
    if (!start_headless_game("playreel", argv[1])) {
        return 1;
    }
    reel r;
    r.ticks_left = atoi(argv[3]) * TICKS_PER_SECOND;
    start_game(START_ROOM, START_X, START_Y, START_Z);
    input_from_latch_only = 1; // the scripts' words are the only keys
    begin_script_run(r.run);
    int played = 1;
    for (size_t i = 0; i < scripts.size() && played && r.ticks_left > 0; i++) {
        played = play_file(scripts[i].c_str(), r);
    }
    end_game();
    if (r.gif.frames.empty() || !save_gif(r.gif, out)) {
        fprintf(stderr, "playreel: cannot write %s\n", out.c_str());
        return 1;
    }
    return played ? 0 : FAILED_CHECK;
}
END_OF_MAIN()
