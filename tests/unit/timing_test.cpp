// Frame pacing: the sleep chosen by cpu_usage and its calibration; the
// enlarged present against the library's stretch_blit.
#include <gtest/gtest.h>

#include "shell/config.h"
#include "shell/timing.h"
#include "test_support.h"

#include <cstdlib>
#include <cstring>

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
    apply_cpu_usage();
    rest_ms = 1; // and never below zero
    frames(600, 1);
    EXPECT_EQ(rest_ms, 0);
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

TEST_F(TimingTest, OtherSettingsAreNeverCalibrated)
{
    cpu_usage = 2;
    apply_cpu_usage();
    frames(700, 9);
    EXPECT_EQ(rest_ms, 6);
    EXPECT_EQ(lag_ticks, 700 * 8);
}

struct PresentTest : ::testing::TestWithParam<int> {
};

// Every pixel value, the mask colour included, lands where stretch_blit
// puts it, at each whole-number zoom.
TEST_P(PresentTest, ReplicationMatchesStretchBlit)
{
    start_headless_allegro();
    int zoom = GetParam();
    BITMAP *view = create_bitmap(VIEW_W, VIEW_H);
    BITMAP *mine = create_bitmap(VIEW_W * zoom, VIEW_H * zoom);
    BITMAP *theirs = create_bitmap(VIEW_W * zoom, VIEW_H * zoom);
    srand(zoom);
    for (int y = 0; y < VIEW_H; y++) {
        for (int x = 0; x < VIEW_W; x++) {
            reinterpret_cast<uint32_t *>(view->line[y])[x] = x % 7 == 0 ? MASK_COLOUR : rand();
        }
    }
    present_view(view, mine, zoom);
    stretch_blit(view, theirs, 0, 0, VIEW_W, VIEW_H, 0, 0, VIEW_W * zoom, VIEW_H * zoom);
    for (int y = 0; y < VIEW_H * zoom; y++) {
        ASSERT_EQ(memcmp(mine->line[y], theirs->line[y], VIEW_W * zoom * 4u), 0) << "row " << y;
    }
    release_present_buffer();
    destroy_bitmap(view);
    destroy_bitmap(mine);
    destroy_bitmap(theirs);
}
INSTANTIATE_TEST_SUITE_P(Zooms, PresentTest, ::testing::Range(1, 5));

} // namespace
