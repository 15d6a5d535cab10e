// The real program under a virtual display: its window, the title screen's
// pixels, and the keys that leave it.
#include <gtest/gtest.h>

#include "e2e_support.h"

namespace
{

constexpr int SCREEN_W = 1280;
constexpr int SCREEN_H = 1024;

struct TitleTest : ::testing::Test {
    std::string dir = make_game_copy();
    game_run run;
    void TearDown() override
    {
        kill_game(run);
        remove_game_copy(dir);
    }
    Window start(int zoom)
    {
        set_zoom(dir, zoom);
        run = start_game(dir);
        Window w = find_window("Quillmere", 10.0);
        sleep_seconds(0.8); // the first frame follows the window
        return w;
    }
};

TEST_F(TitleTest, WindowIsSizedByZoomAndCentred)
{
    for (int zoom = 1; zoom <= 3; zoom++) {
        Window w = start(zoom);
        ASSERT_NE(w, 0u) << "zoom " << zoom;
        int x, y, width, height;
        window_rect(w, &x, &y, &width, &height);
        EXPECT_EQ(width, 320 * zoom);
        EXPECT_EQ(height, 240 * zoom);
        EXPECT_EQ(x, (SCREEN_W - width) / 2) << "zoom " << zoom;
        EXPECT_EQ(y, (SCREEN_H - height) / 2) << "zoom " << zoom;
        kill_game(run);
        sleep_seconds(0.3);
    }
}

TEST_F(TitleTest, SixLinesInTheirColoursOnNearBlack)
{
    Window w = start(1);
    ASSERT_NE(w, 0u);
    save_screenshot("title_zoom1");
    int x, y, width, height;
    window_rect(w, &x, &y, &width, &height);
    const screen_rgb yellow = {230, 230, 50}, white = {230, 230, 230}, grey = {200, 200, 200};
    struct {
        int top;
        screen_rgb colour;
        int min_width; // half the text's width in pixels, at least
    } lines[] = {{30, yellow, 15 * 8 / 2}, {55, white, 34 * 8 / 2},  {79, white, 29 * 8 / 2},
                 {91, white, 22 * 8 / 2},  {154, white, 31 * 8 / 2}, {210, grey, 35 * 8 / 2}};
    for (const auto &line : lines) {
        int lit = count_colour(x, y + line.top, 320, 8, line.colour);
        EXPECT_GT(lit, line.min_width) << "line at " << line.top;
        // Nothing of the line spills above or below its 8 rows.
        EXPECT_EQ(count_colour(x, y + line.top - 2, 320, 2, line.colour), 0);
    }
    // Centred on x = 160: "-- QUILLMERE --" is 120 pixels wide, from 100 to
    // 219; its first and last glyphs are dashes.
    EXPECT_EQ(count_colour(x, y + 30, 100, 8, yellow), 0);
    EXPECT_EQ(count_colour(x + 220, y + 30, 100, 8, yellow), 0);
    EXPECT_GT(count_colour(x + 100, y + 30, 8, 8, yellow), 0);
    EXPECT_GT(count_colour(x + 212, y + 30, 8, 8, yellow), 0);
    screen_rgb corner = screen_pixel(x + 2, y + 2);
    EXPECT_EQ(corner.r, 0);
    EXPECT_EQ(corner.g, 0);
    EXPECT_EQ(corner.b, 1);
    // The four blank rows between the lines stay background.
    EXPECT_EQ(count_colour(x, y + 100, 320, 50, white), 0);
}

TEST_F(TitleTest, SpaceWithEscapeHeldBegins)
{
    Window w = start(1);
    ASSERT_NE(w, 0u);
    key_script(w, "keydown --delay 0 Escape space sleep 0.3 keyup --delay 0 space Escape");
    sleep_seconds(1.5);
    int status = -1;
    EXPECT_FALSE(wait_for_exit(run, 0.1, &status)) << "the game should be running";
    int x, y, width, height;
    window_rect(w, &x, &y, &width, &height);
    // The play panel's parchment is on screen where the title was black.
    EXPECT_NE(screen_pixel(x + 200, y + 200).r, 0);
    tap_key(w, "Escape");
    ASSERT_TRUE(wait_for_exit(run, 5.0, &status));
    EXPECT_EQ(status, 0);
}

TEST_F(TitleTest, EscapeOrClosingTheWindowEndsTheProgram)
{
    for (int close : {0, 1}) {
        Window w = start(1);
        ASSERT_NE(w, 0u);
        if (close) {
            request_close(w);
        } else {
            tap_key(w, "Escape");
        }
        int status = -1;
        ASSERT_TRUE(wait_for_exit(run, 5.0, &status)) << "close " << close;
        EXPECT_EQ(status, 0);
    }
}

} // namespace
