// Start-up run in a child process against prepared folders: the code each
// missing piece gives, and which teardown steps then run, in their order.
#include <gtest/gtest.h>

#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "e2e_support.h"
#include "platform/fsound.h"
#include "shell/resources.h"
#include "shell/startup.h"

namespace
{

struct startup_result {
    int code;
    int live_bitmaps_after;
    int general_left;
    int custom_left;
    int sound_closes;
    int step_count;
    int steps[TEARDOWN_MAX_STEPS];
};

// Runs init_game and shutdown_game in a child whose working directory is dir.
startup_result start_in(const std::string &dir, int sound_fails)
{
    int fds[2];
    EXPECT_EQ(pipe(fds), 0);
    pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        if (chdir(dir.c_str()) != 0) {
            _exit(1);
        }
        fsound_fail_init = sound_fails;
        startup_result r = {};
        r.code = init_game();
        shutdown_game();
        r.live_bitmaps_after = live_bitmaps;
        r.general_left = general_datafile != nullptr;
        r.custom_left = custom_datafile != nullptr;
        r.sound_closes = fsound_log.close_calls;
        r.step_count = teardown_step_count;
        for (int i = 0; i < teardown_step_count; i++) {
            r.steps[i] = teardown_steps[i];
        }
        ssize_t written = write(fds[1], &r, sizeof r);
        _exit(written == sizeof r ? 0 : 1);
    }
    close(fds[1]);
    startup_result r = {};
    EXPECT_EQ(read(fds[0], &r, sizeof r), static_cast<ssize_t>(sizeof r));
    close(fds[0]);
    waitpid(pid, nullptr, 0);
    return r;
}

// A piece taken from the game folder (or the sound library failing), the
// code start-up gives and the teardown steps that then run, in order.
struct startup_case {
    const char *name;
    const char *remove;
    int sound_fails;
    int code;
    std::vector<int> steps;
};

struct StartupCodes : ::testing::TestWithParam<startup_case> {
    std::string dir = make_game_copy();
    void TearDown() override
    {
        remove_game_copy(dir);
    }
};

// Whatever stopped it, nothing is left loaded and the sound library is
// closed only when it opened.
TEST_P(StartupCodes, TearDownWhatWasSetUp)
{
    const startup_case &c = GetParam();
    if (c.remove != nullptr) {
        std::filesystem::remove(dir + "/" + c.remove);
    }
    startup_result r = start_in(dir, c.sound_fails);
    EXPECT_EQ(r.code, c.code);
    EXPECT_EQ(r.live_bitmaps_after, 0);
    EXPECT_EQ(r.general_left + r.custom_left, 0);
    EXPECT_EQ(r.sound_closes, c.code == STARTUP_OK ? 1 : 0);
    if (!c.steps.empty()) {
        EXPECT_EQ(std::vector<int>(r.steps, r.steps + r.step_count), c.steps);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Folders, StartupCodes,
    ::testing::Values(
        startup_case{"Complete",
                     nullptr,
                     0,
                     STARTUP_OK,
                     {TEARDOWN_TICK_TIMER, TEARDOWN_SECOND_TIMER, TEARDOWN_FONT_1, TEARDOWN_FONT_0,
                      TEARDOWN_SOUND, TEARDOWN_GENERAL_DATA, TEARDOWN_CUSTOM_DATA,
                      TEARDOWN_BACKBUFFER, TEARDOWN_REFRESH_RATE, TEARDOWN_LIBRARY}},
        startup_case{"NoConfig",
                     "config.txt",
                     0,
                     STARTUP_NO_CONFIG_FILE,
                     {TEARDOWN_REFRESH_RATE, TEARDOWN_LIBRARY}},
        startup_case{"NoCustomData",
                     "data1/game.dat",
                     0,
                     STARTUP_NO_CUSTOM_DATA,
                     {TEARDOWN_TICK_TIMER, TEARDOWN_SECOND_TIMER, TEARDOWN_GENERAL_DATA,
                      TEARDOWN_BACKBUFFER, TEARDOWN_REFRESH_RATE, TEARDOWN_LIBRARY}},
        startup_case{"NoGeneralData", "qm.dat", 0, STARTUP_NO_GENERAL_DATA, {}},
        startup_case{"SoundFails",
                     nullptr,
                     1,
                     STARTUP_NO_SOUND_LIBRARY,
                     {TEARDOWN_TICK_TIMER, TEARDOWN_SECOND_TIMER, TEARDOWN_GENERAL_DATA,
                      TEARDOWN_CUSTOM_DATA, TEARDOWN_BACKBUFFER, TEARDOWN_REFRESH_RATE,
                      TEARDOWN_LIBRARY}}),
    [](const ::testing::TestParamInfo<startup_case> &info) { return info.param.name; });

} // namespace
