// Frame pacing: the sleep chosen by cpu_usage and its calibration.
#include <gtest/gtest.h>

#include "shell/config.h"
#include "shell/timing.h"

namespace
{

// Presents n frames' worth of bookkeeping with `pending` ticks waiting at
// each frame.
void frames(int n, int pending)
{
    for (int i = 0; i < n; i++) {
        tick_counter = pending;
        account_frame();
    }
}

struct TimingTest : ::testing::Test {
    void TearDown() override
    {
        tick_counter = 0;
        cpu_usage = DEFAULT_CPU_USAGE;
        apply_cpu_usage();
    }
};

TEST_F(TimingTest, CalibrationWithoutLagOnlyTakesTwoAtTheEnd)
{
    cpu_usage = 4;
    apply_cpu_usage();
    frames(599, 1);
    EXPECT_EQ(rest_ms, 15);
    frames(1, 1);
    EXPECT_EQ(rest_ms, 13);
    frames(1000, 1);
    EXPECT_EQ(rest_ms, 13);
    EXPECT_EQ(lag_ticks, 0);
}

TEST_F(TimingTest, CalibrationUnderLagStepsDownAtEachCheck)
{
    cpu_usage = 4;
    apply_cpu_usage();
    // The first check falls on frame 1 and sees the lag since the start.
    frames(1, 4);
    EXPECT_EQ(rest_ms, 14);
    // Checks at frames 62, 123, ..., 550: one step each while lag grows.
    int expected = 14;
    for (int check = 2; check <= 10; check++) {
        frames(61, 2);
        expected--;
        EXPECT_EQ(rest_ms, expected) << "check " << check;
    }
    EXPECT_EQ(rest_ms, 5);
    frames(49, 2);
    EXPECT_EQ(rest_ms, 5);
    frames(1, 2);
    EXPECT_EQ(rest_ms, 3);
}

TEST_F(TimingTest, CalibrationNeverGoesBelowZero)
{
    cpu_usage = 4;
    apply_cpu_usage();
    rest_ms = 1;
    frames(600, 1);
    EXPECT_EQ(rest_ms, 0);
}

TEST_F(TimingTest, OtherSettingsAreNeverCalibrated)
{
    cpu_usage = 2;
    apply_cpu_usage();
    frames(700, 9);
    EXPECT_EQ(rest_ms, 6);
    EXPECT_EQ(lag_ticks, 700 * 8);
}

TEST_F(TimingTest, CallbacksCountTicksAndFrames)
{
    tick_counter = 0;
    tick_timer_callback();
    tick_timer_callback();
    EXPECT_EQ(tick_counter.load(), 2);
    frame_counter = 41;
    second_timer_callback();
    EXPECT_EQ(frames_per_second, 41);
    EXPECT_EQ(frame_counter.load(), 0);
}

} // namespace
