// The walkthrough: the action scripts of content/walkthrough, played in name
// order from a fresh game on the compiled castle through the game's tick,
// must visit every room, solve both puzzles and leave the player alive.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "game/action_script.h"
#include "game/game_loop.h"
#include "physics/physics.h"
#include "physics/triggers.h"
#include "tick_harness.h"
#include "world/messages.h"
#include "world/world_objects.h"

namespace
{

constexpr int PUZZLE_TRIGGERS = 7; // triggers 0..6: the offerings and the charm

std::string data_file(const char *name)
{
    return std::string(QM_DATA_DIR_BUILT) + "/" + name;
}

std::vector<std::string> walkthrough_files(void)
{
    std::vector<std::string> files;
    std::error_code failure;
    for (const auto &entry : std::filesystem::directory_iterator(QM_WALKTHROUGH_DIR, failure)) {
        if (entry.path().extension() == ".txt") {
            files.push_back(entry.path().string());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

TEST_F(tick_world, TheWalkthroughFinishesTheCastle)
{
    load_map_files(data_file("map.dat").c_str(), data_file("poly.dat").c_str());
    load_world_objects(data_file("wobjects.dat").c_str());
    load_messages_file(data_file("messages.dat").c_str());
    build_trigger_table();
    rearm_triggers();
    std::vector<std::string> files = walkthrough_files();
    ASSERT_FALSE(files.empty()) << "no walkthrough: " << QM_WALKTHROUGH_DIR
                                << " holds no *.txt action script";
    script_run run;
    begin_script_run(run);
    start_game(START_ROOM, START_X, START_Y, START_Z);
    for (const std::string &file : files) {
        std::stringstream text;
        text << std::ifstream(file).rdbuf();
        std::vector<script_step> steps;
        std::string error;
        ASSERT_TRUE(parse_action_script(text.str(), file, steps, error)) << error;
        ASSERT_TRUE(play_action_script(steps, file, run)) << run.failure;
    }
    std::string unseen;
    for (int room = 0; room < ROOM_COUNT; room++) {
        if (rooms[room].size_x != 0 && !run.rooms_seen[room]) {
            unseen += " " + std::to_string(room);
        }
    }
    EXPECT_EQ(unseen, "") << "rooms the walkthrough never enters";
    std::string unfired;
    for (int t = 0; t < PUZZLE_TRIGGERS; t++) {
        unfired += triggers[t].fired ? "" : " " + std::to_string(t);
    }
    EXPECT_EQ(unfired, "") << "puzzle triggers that never fired";
    EXPECT_GT(energy, 0.0f) << describe_player();
    build_trigger_table();
}

} // namespace
