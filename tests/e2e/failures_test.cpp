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

// A way to break the game folder, and the message it must give.
struct failure_case {
    const char *name;
    const char *remove; // a file to delete, or null
    int qm_size;        // a size to cut qm.dat to, or 0
    int zoom;           // a zoom to set, or -1
    const char *env;    // an extra environment variable, or null
    int broken_font;    // rewrite qm.dat with a font entry that is no font
    int code;
    const char *reason;
};

struct FailureTest : ::testing::TestWithParam<failure_case> {
    std::string dir = make_game_copy();
    game_run run;
    void TearDown() override
    {
        kill_game(run);
        remove_game_copy(dir);
    }
};

// Runs the program, closes its message window as a player would (the box
// may take a moment to take keys), and checks the text on standard error
// and exit status 0.
TEST_P(FailureTest, ShowsTheReasonAndEndsWithStatusZero)
{
    const failure_case &c = GetParam();
    if (c.remove != nullptr) {
        fs::remove(dir + "/" + c.remove);
    }
    if (c.qm_size > 0) {
        fs::resize_file(dir + "/qm.dat", static_cast<uintmax_t>(c.qm_size));
    }
    if (c.zoom >= 0) {
        set_zoom(dir, c.zoom);
    }
    if (c.broken_font) {
        std::string command = std::string(QM_ARTGEN) + " --qm " + dir + "/qm.dat --broken-font";
        ASSERT_EQ(system(command.c_str()), 0);
    }
    run = start_game(dir, c.env);
    Window box = find_window("Initialisation error", 10.0);
    EXPECT_NE(box, 0u) << "no message window; stderr so far:\n" << read_text(run.stderr_path);
    if (box != 0) {
        save_screenshot("failure_box");
    }
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
    const std::string expected =
        std::string(TITLE) + LEAD + "Error " + std::to_string(c.code) + ", " + c.reason + "\n";
    EXPECT_NE(read_text(run.stderr_path).find(expected), std::string::npos);
}

const char GRAPHICS[] = "failed to initialise graphics mode";

// The window zooms: larger than the screen, zero, and one whose window size
// wraps past an int to 320 x 240.
INSTANTIATE_TEST_SUITE_P(
    Folders, FailureTest,
    ::testing::Values(
        failure_case{"NoConfig", "config.txt", 0, -1, nullptr, 0, 13, "an unknown error occured"},
        failure_case{"NoGeneral", "qm.dat", 0, -1, nullptr, 0, 6,
                     "failed to read general data file"},
        failure_case{"NoCustom", "data1/game.dat", 0, -1, nullptr, 0, 7,
                     "failed to read custom data file"},
        failure_case{"TruncatedGeneral", nullptr, 1000, -1, nullptr, 0, 6,
                     "failed to read general data file"},
        failure_case{"ZoomTooLarge", nullptr, 0, 10, nullptr, 0, 5, GRAPHICS},
        failure_case{"ZoomZero", nullptr, 0, 0, nullptr, 0, 5, GRAPHICS},
        failure_case{"ZoomWrappingAnInt", nullptr, 0, 67108865, nullptr, 0, 5, GRAPHICS},
        failure_case{"SoundLibrary", nullptr, 0, -1, "QUILLMERE_SOUND_FAIL=1", 0, 9,
                     "failed to load sound and music data"},
        failure_case{"FontThatIsNoFont", nullptr, 0, -1, nullptr, 1, 11, "failed to create fonts"}),
    [](const ::testing::TestParamInfo<failure_case> &info) { return info.param.name; });

} // namespace
