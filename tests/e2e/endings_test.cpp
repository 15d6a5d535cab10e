// The program ends, without hanging, however it is asked to in the middle
// of a game: SIGTERM, a close request while an error bar waits for Space,
// a display that goes away, and SIGTERM while the start-up failure box is up.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sys/wait.h>
#include <unistd.h>

#include "e2e_support.h"

namespace
{

constexpr int END_BY_SIGTERM = 0;
constexpr int END_BY_CLOSE_AT_ERROR_BAR = 1;
constexpr int END_BY_LOST_DISPLAY = 2;
constexpr int END_BY_SIGTERM_AT_FAILURE_BOX = 3;

// Gives the first object of the start room a definition the catalogue does
// not have, so entering the room reports an error and its bar waits.
void break_an_object_of_the_start_room(const std::string &dir)
{
    std::fstream f(dir + "/data1/wobjects.dat", std::ios::in | std::ios::out | std::ios::binary);
    for (int id = 1; id < 10000; id++) {
        int32_t used_def_room[3];
        f.seekg(id * 88);
        f.read(reinterpret_cast<char *>(used_def_room), sizeof used_def_room);
        if (used_def_room[0] == 1 && used_def_room[2] == 84) {
            int32_t bad_def = 999;
            f.seekp(id * 88 + 4);
            f.write(reinterpret_cast<char *>(&bad_def), sizeof bad_def);
            return;
        }
    }
}

struct EndingTest : ::testing::TestWithParam<int> {
    std::string dir = make_game_copy();
    game_run run;
    pid_t server = -1;
    void TearDown() override
    {
        kill_game(run);
        if (server > 0) {
            kill(server, SIGKILL);
            waitpid(server, nullptr, 0);
        }
        remove_game_copy(dir);
    }
};

TEST_P(EndingTest, EndsWithoutHanging)
{
    int how = GetParam();
    if (how == END_BY_CLOSE_AT_ERROR_BAR) {
        break_an_object_of_the_start_room(dir);
    }
    static char display_env[32];
    if (how == END_BY_LOST_DISPLAY) {
        // A display of its own, on a number no other server holds.
        int number = 300 + getpid() % 100;
        while (access(("/tmp/.X" + std::to_string(number) + "-lock").c_str(), F_OK) == 0) {
            number++;
        }
        std::string name = ":" + std::to_string(number);
        server = fork();
        if (server == 0) {
            execlp("Xvfb", "Xvfb", name.c_str(), "-screen", "0", "1024x768x24", "-nolisten", "tcp",
                   static_cast<char *>(nullptr));
            _exit(127);
        }
        sleep_seconds(1.5);
        snprintf(display_env, sizeof display_env, "DISPLAY=%s", name.c_str());
        run = start_game(dir, display_env);
        sleep_seconds(1.5);
        std::string space =
            std::string(display_env) +
            " timeout 10 xdotool search --sync --name '^Quillmere$' windowfocus key space";
        EXPECT_EQ(system(space.c_str()), 0) << space;
        sleep_seconds(1.0);
        kill(server, SIGKILL);
    } else if (how == END_BY_SIGTERM_AT_FAILURE_BOX) {
        std::filesystem::remove(dir + "/data1/game.dat");
        run = start_game(dir);
        ASSERT_NE(find_window("Initialisation error", 10.0), 0u);
        kill(run.pid, SIGTERM);
    } else {
        run = start_game(dir);
        Window w = find_window("Quillmere", 10.0);
        ASSERT_NE(w, 0u);
        sleep_seconds(0.8);
        tap_key(w, "space");
        sleep_seconds(1.5);
        if (how == END_BY_SIGTERM) {
            kill(run.pid, SIGTERM);
        } else {
            request_close(w);
        }
    }
    int status = -1;
    ASSERT_TRUE(wait_for_exit(run, 5.0, &status)) << read_text(run.stderr_path);
    EXPECT_EQ(status, how == END_BY_LOST_DISPLAY ? 1 : 0);
    if (how == END_BY_CLOSE_AT_ERROR_BAR) {
        EXPECT_NE(read_text(run.stderr_path).find("init_sprite"), std::string::npos);
    }
}

INSTANTIATE_TEST_SUITE_P(Endings, EndingTest,
                         ::testing::Values(END_BY_SIGTERM, END_BY_CLOSE_AT_ERROR_BAR,
                                           END_BY_LOST_DISPLAY, END_BY_SIGTERM_AT_FAILURE_BOX));

} // namespace
