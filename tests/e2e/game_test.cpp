// A game under a virtual display: Space starts it in the entrance hall with
// the panel and full energy; Escape ends it and the program.
#include <gtest/gtest.h>

#include "e2e_support.h"

namespace
{

// Starts the program in a fresh copy of the game folder and presses Space
// on the title screen; returns the game window (0 if none came).
Window begin_game(const std::string &dir, int zoom, game_run &run)
{
    set_zoom(dir, zoom);
    run = start_game(dir);
    Window w = find_window("Quillmere", 10.0);
    if (w != 0) {
        sleep_seconds(0.8);
        tap_key(w, "space");
        sleep_seconds(1.5);
    }
    return w;
}

// Ends the game with Escape and expects the program to end cleanly.
void end_game_with_escape(Window w, game_run &run)
{
    tap_key(w, "Escape");
    int status = -1;
    EXPECT_TRUE(wait_for_exit(run, 5.0, &status));
    EXPECT_EQ(status, 0);
    kill_game(run);
}

TEST(Game, SpaceStartsInTheEntranceHallAndEscapeEnds)
{
    std::string dir = make_game_copy();
    game_run run;
    Window w = begin_game(dir, 2, run);
    ASSERT_NE(w, 0u);
    save_screenshot("game_room84");
    int x, y, width, height;
    window_rect(w, &x, &y, &width, &height);
    const screen_rgb black = {0, 0, 0};
    // Energy 99, right-aligned to x = 90 on the panel's light ribbon: black
    // glyph pixels there and none just right of it (zoom 2: 2 x 2 blocks).
    EXPECT_GT(count_colour(x + 148, y + 452, 32, 16, black), 40);
    EXPECT_EQ(count_colour(x + 182, y + 452, 6, 16, black), 0);
    // The slot number "1" at (13, 192).
    EXPECT_GT(count_colour(x + 26, y + 384, 16, 16, black), 8);
    // The panel covers rows 170..239: no black band across it.
    EXPECT_LT(count_colour(x, y + 400, 640, 4, black), 100);
    // The room's caption plaque at the top right.
    EXPECT_GT(count_colour(x + 400, y + 12, 230, 16, black), 50);
    end_game_with_escape(w, run);
    remove_game_copy(dir);
}

} // namespace
