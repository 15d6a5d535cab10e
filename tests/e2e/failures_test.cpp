// Start-up failures of the real program: the message text on standard error,
// the message window that the user closes, and exit status 0.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "e2e_support.h"

namespace fs = std::filesystem;

namespace
{

const char TITLE[] = "Initialisation error\n";
const char LEAD[] = "Quillmere failed to start due to the following reason:\n\n";

struct FailureTest : ::testing::Test {
    std::string dir = make_game_copy();
    game_run run;
    void TearDown() override
    {
        kill_game(run);
        remove_game_copy(dir);
    }
    // Runs the program, closes its message window, and returns its standard
    // error after it ended with status 0.
    std::string fail(const char *env = nullptr)
    {
        run = start_game(dir, env);
        Window box = find_window("Initialisation error", 10.0);
        EXPECT_NE(box, 0u) << "no message window; stderr so far:\n" << read_text(run.stderr_path);
        if (box != 0) {
            save_screenshot("failure_box");
        }
        // The box may take a moment to take keys: press Return until it
        // closes, as a player would.
        int status = -1, ended = 0;
        for (int attempt = 0; attempt < 6 && !ended; attempt++) {
            if (box != 0) {
                sleep_seconds(0.3);
                tap_key(box, "Return");
            }
            ended = wait_for_exit(run, 1.5, &status);
        }
        EXPECT_TRUE(ended);
        EXPECT_EQ(status, 0);
        return read_text(run.stderr_path);
    }
};

std::string expected(int code, const char *reason)
{
    return std::string(TITLE) + LEAD + "Error " + std::to_string(code) + ", " + reason + "\n";
}

struct failure_case {
    const char *name;
    void (*prepare)(const std::string &dir);
    const char *env;
    int code;
    const char *reason;
};

struct Failure : FailureTest, ::testing::WithParamInterface<failure_case> {
};

TEST_P(Failure, ShowsItsCodeAndReason)
{
    const failure_case &c = GetParam();
    c.prepare(dir);
    EXPECT_NE(fail(c.env).find(expected(c.code, c.reason)), std::string::npos);
}

const char NO_MODE[] = "failed to initialise graphics mode";
const char NO_GENERAL[] = "failed to read general data file";

// The zooms: larger than the screen, no size at all, and one whose window
// size wraps past an int to 320 x 240.
INSTANTIATE_TEST_SUITE_P(
    Failures, Failure,
    ::testing::Values(
        failure_case{"NoConfig", [](const std::string &d) { fs::remove(d + "/config.txt"); },
                     nullptr, 13, "an unknown error occured"},
        failure_case{"NoGeneralData", [](const std::string &d) { fs::remove(d + "/qm.dat"); },
                     nullptr, 6, NO_GENERAL},
        failure_case{"TruncatedGeneralData",
                     [](const std::string &d) { fs::resize_file(d + "/qm.dat", 1000); }, nullptr, 6,
                     NO_GENERAL},
        failure_case{"NoCustomData",
                     [](const std::string &d) { fs::remove(d + "/data1/game.dat"); }, nullptr, 7,
                     "failed to read custom data file"},
        failure_case{"ZoomTooLarge", [](const std::string &d) { set_zoom(d, 10); }, nullptr, 5,
                     NO_MODE},
        failure_case{"ZoomZero", [](const std::string &d) { set_zoom(d, 0); }, nullptr, 5, NO_MODE},
        failure_case{"ZoomWrapping", [](const std::string &d) { set_zoom(d, 67108865); }, nullptr,
                     5, NO_MODE},
        failure_case{"SoundLibrary", [](const std::string &) {}, "QUILLMERE_SOUND_FAIL=1", 9,
                     "failed to load sound and music data"},
        failure_case{"FontEntryIsNoFont",
                     [](const std::string &d) {
                         std::string command =
                             std::string(QM_ARTGEN) + " --qm " + d + "/qm.dat --broken-font";
                         ASSERT_EQ(system(command.c_str()), 0);
                     },
                     nullptr, 11, "failed to create fonts"}),
    [](const ::testing::TestParamInfo<failure_case> &info) { return info.param.name; });

} // namespace
