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

TEST_F(FailureTest, NoConfigFileIsCode13)
{
    fs::remove(dir + "/config.txt");
    EXPECT_NE(fail().find(expected(13, "an unknown error occured")), std::string::npos);
}

TEST_F(FailureTest, NoGeneralDatafileIsCode6)
{
    fs::remove(dir + "/qm.dat");
    EXPECT_NE(fail().find(expected(6, "failed to read general data file")), std::string::npos);
}

TEST_F(FailureTest, NoCustomDatafileIsCode7)
{
    fs::remove(dir + "/data1/game.dat");
    EXPECT_NE(fail().find(expected(7, "failed to read custom data file")), std::string::npos);
}

TEST_F(FailureTest, TruncatedGeneralDatafileIsCode6)
{
    fs::resize_file(dir + "/qm.dat", 1000);
    EXPECT_NE(fail().find(expected(6, "failed to read general data file")), std::string::npos);
}

TEST_F(FailureTest, WindowLargerThanTheScreenIsCode5)
{
    set_zoom(dir, 10);
    EXPECT_NE(fail().find(expected(5, "failed to initialise graphics mode")), std::string::npos);
}

TEST_F(FailureTest, ZoomOfZeroIsCode5)
{
    set_zoom(dir, 0);
    EXPECT_NE(fail().find(expected(5, "failed to initialise graphics mode")), std::string::npos);
}

// A zoom whose window size wraps past an int to 320 x 240.
TEST_F(FailureTest, ZoomWrappingAnIntIsCode5)
{
    set_zoom(dir, 67108865);
    EXPECT_NE(fail().find(expected(5, "failed to initialise graphics mode")), std::string::npos);
}

TEST_F(FailureTest, SoundLibraryFailureIsCode9)
{
    std::string err = fail("QUILLMERE_SOUND_FAIL=1");
    EXPECT_NE(err.find(expected(9, "failed to load sound and music data")), std::string::npos);
}

TEST_F(FailureTest, FontEntryThatIsNoFontIsCode11)
{
    std::string command = std::string(QM_ARTGEN) + " --qm " + dir + "/qm.dat --broken-font";
    ASSERT_EQ(system(command.c_str()), 0);
    EXPECT_NE(fail().find(expected(11, "failed to create fonts")), std::string::npos);
}

} // namespace
