// The room editor under a virtual display, driven with the mouse: open room
// 84, place a barrel, move it, give it a text, save, check the saved text
// with the world tools, then try the room and come back.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <regex>
#include <string>

#include "e2e_support.h"

namespace fs = std::filesystem;

namespace
{

// Widget centres in the editor window (its layout is fixed).
struct spot {
    int x, y;
};
constexpr spot OBJECTS_BUTTON = {119, 12}, POSITION_BUTTON = {196, 12}, DESC_BUTTON = {352, 12},
               SAVE_BUTTON = {616, 12}, TRY_BUTTON = {672, 12}, ROOM_BOX = {764, 10},
               FLOOR_SPOT = {250, 240}, X_DOWN_BUTTON = {675, 38}, EXAMINE_BOX = {800, 86},
               PANEL_SPOT = {980, 300};
constexpr screen_rgb PANEL_COLOUR = {40, 40, 52}, BLACK = {0, 0, 0};

void click(Window w, spot at)
{
    char script[160];
    snprintf(script, sizeof script,
             "mousemove --window %lu %d %d sleep 0.1 mousedown 1 sleep 0.7 mouseup 1",
             static_cast<unsigned long>(w), at.x, at.y);
    key_script(w, script);
    // An edit has the linter search the castle again (near half a second,
    // more on a busy machine). The editor reads the mouse button's state, so
    // a press and release made while it is busy would be lost: the button is
    // held long enough to be seen, and the next click waits.
    sleep_seconds(1.0);
}

void type_line(Window w, const char *text)
{
    // xdotool's type takes every word after it as text, so Return goes apart.
    const std::string script = std::string("type --delay 40 '") + text + "'";
    key_script(w, script.c_str());
    tap_key(w, "Return");
    sleep_seconds(0.5);
}

screen_rgb window_pixel(Window w, spot at)
{
    int x, y, width, height;
    window_rect(w, &x, &y, &width, &height);
    return screen_pixel(x + at.x, y + at.y);
}

int same(screen_rgb a, screen_rgb b)
{
    return a.r == b.r && a.g == b.g && a.b == b.b;
}

} // namespace

TEST(RoomEditor, PlaceMoveDescribeSaveAndTry)
{
    const std::string dir = make_game_copy();
    fs::copy(QM_CONTENT_WORLD, dir + "/world", fs::copy_options::recursive);
    const std::string world = dir + "/world";
    const char *const argv[] = {"./roomedit", ".",  "--content", world.c_str(),
                                "--room",     "83", nullptr};
    game_run run = start_program(dir, argv);
    Window w = find_window("Quillmere room editor", 10.0);
    ASSERT_NE(w, 0u) << read_text(run.stderr_path);
    sleep_seconds(1.0);
    click(w, ROOM_BOX);
    key_script(w, "key End BackSpace BackSpace BackSpace");
    type_line(w, "84");
    click(w, OBJECTS_BUTTON); // the palette opens on a barrel
    click(w, FLOOR_SPOT);
    click(w, POSITION_BUTTON);
    click(w, X_DOWN_BUTTON);
    click(w, X_DOWN_BUTTON);
    click(w, DESC_BUTTON);
    click(w, EXAMINE_BOX);
    type_line(w, "A barrel the editor placed.");
    save_screenshot("roomedit_desc");
    click(w, SAVE_BUTTON);

    const std::string out = dir + "/compiled", dump = dir + "/dump";
    const std::string tools = std::string(QM_WORLDC) + " --content " + world + " --out " + out +
                              " && " + QM_WORLDDUMP + " --data " + out + " --out " + dump;
    ASSERT_EQ(system(tools.c_str()), 0);
    const std::regex barrel("def = \"a barrel\"\nat = \\[[0-9]+, [0-9]+, 3\\]\n"
                            "examine = \"A barrel the editor placed.\"");
    EXPECT_TRUE(std::regex_search(read_text(dump + "/room_084.toml"), barrel));
    for (const char *name : {"map.dat", "poly.dat", "wobjects.dat", "messages.dat"}) {
        EXPECT_EQ(read_text(out + "/" + name), read_text(dir + "/data1/" + name)) << name;
    }

    click(w, TRY_BUTTON);
    sleep_seconds(1.5);
    save_screenshot("roomedit_try");
    EXPECT_TRUE(same(window_pixel(w, PANEL_SPOT), BLACK));
    tap_key(w, "Escape");
    sleep_seconds(1.5);
    EXPECT_TRUE(same(window_pixel(w, PANEL_SPOT), PANEL_COLOUR));
    request_close(w);
    int status = -1;
    EXPECT_TRUE(wait_for_exit(run, 5.0, &status));
    EXPECT_EQ(status, 0);
    kill_game(run);
    remove_game_copy(dir);
}
