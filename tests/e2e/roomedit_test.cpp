// A newcomer's task in the room editor under a virtual display, with the
// mouse: a new room in an empty slot, walls, a torch on a wall, a table, a
// caption, a door to the entrance hall and one back, save and try; then the
// game itself walks through the new door into the new room. Widgets are
// found by label in the editor's own layout, not by pixel.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <regex>
#include <string>

#include "e2e_support.h"
#include "edit_ops.h"
#include "editor_view.h"
#include "game/game_loop.h"

namespace fs = std::filesystem;

namespace
{

struct spot {
    int x, y;
};

constexpr int NEW_ROOM = 200;
const char CAPTION[] = "The Torchlit Chamber"; // longer than any caption near the hall
constexpr int HALL_NORTH_WALL_X = 75;          // the face of the hall's cells x = 5
constexpr int HALL_DOOR_Y = 35, WALL_SPOT_Z = 20;
// South along the north wall a short step at a time, trying the wall after
// each: the door is found however many ticks a held key gives on a busy machine.
constexpr int MAX_WALL_STEPS = 40;
constexpr screen_rgb PANEL_COLOUR = {40, 40, 52}, BLACK = {0, 0, 0};
constexpr spot PANEL_SPOT = {980, 300};

// "mode<TAB>label" to the widget's centre, from roomedit --layout.
std::map<std::string, spot> read_layout(const std::string &dir)
{
    std::map<std::string, spot> layout;
    FILE *p = popen(("cd " + dir + " && ./roomedit --layout").c_str(), "r");
    char mode[32], label[64];
    spot at;
    while (p != nullptr &&
           fscanf(p, " %31[^\t]\t%63[^\t]\t%d\t%d", mode, label, &at.x, &at.y) == 4) {
        layout[std::string(mode) + "\t" + label] = at;
    }
    if (p != nullptr) {
        pclose(p);
    }
    return layout;
}

// Clicks are held like a person's; one that edits waits for the findings
// to be made again before the next step looks at the window.
constexpr double EDIT_SECONDS = 1.2, LOOK_SECONDS = 0.5;
void click(Window w, spot at, double settle = EDIT_SECONDS)
{
    char script[160];
    snprintf(script, sizeof script,
             "mousemove --window %lu %d %d sleep 0.1 mousedown 1 sleep 0.3 mouseup 1",
             static_cast<unsigned long>(w), at.x, at.y);
    key_script(w, script);
    sleep_seconds(settle);
}

// Each key held for 100 ms; xdotool names (a letter, "space", "Return").
void keys(Window w, const std::string &text, const char *last = nullptr)
{
    auto press = [&](const std::string &name) {
        key_script(w, ("keydown " + name + " sleep 0.1 keyup " + name).c_str());
    };
    for (char c : text) {
        press(c == ' ' ? "space" : std::string(1, c));
    }
    if (last != nullptr) {
        press(last);
        sleep_seconds(EDIT_SECONDS);
    }
}

struct editor_window {
    Window w;
    std::map<std::string, spot> layout;
    spot view;
    spot at(const char *mode, const char *label)
    {
        const auto found = layout.find(std::string(mode) + "\t" + label);
        EXPECT_NE(found, layout.end()) << mode << " " << label;
        return found == layout.end() ? spot{0, 0} : found->second;
    }
    void press(const char *mode, const char *label, double settle = EDIT_SECONDS)
    {
        click(w, at(mode, label), settle);
    }
    // Clicks a field's label, which selects its whole value, and types.
    void type(const char *mode, const char *label, const std::string &text)
    {
        click(w, at(mode, label), LOOK_SECONDS);
        keys(w, text, "Return");
    }
    // The window pixel of a world point in a room with that origin.
    spot world(int origin_x, int origin_y, float x, float y, float z)
    {
        return {view.x + VIEW_ZOOM * static_cast<int>(origin_x - 2 * x + 2 * y),
                view.y + VIEW_ZOOM * static_cast<int>(origin_y - x - y - z)};
    }
};

int hall_origin(const char *key)
{
    std::smatch m;
    const std::string text = read_text(std::string(QM_CONTENT_WORLD) + "/room_084.toml");
    return std::regex_search(text, m, std::regex(std::string(key) + " = (-?[0-9]+)"))
               ? std::stoi(m[1])
               : 0;
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

// The caption banner hangs from the view's right edge, so its left edge
// tells how long the caption is; stone and black are not gold.
int banner_left(Window w)
{
    for (int x = 0; x < 320; x++) {
        const screen_rgb c = window_pixel(w, {x, 10});
        if (c.r > 150 && c.r - c.b > 40) {
            return x;
        }
    }
    return 320;
}

// The selected object becomes a door to (x, y, 3) in the room; the room is
// given first, since a door without one is refused.
void make_door(editor_window &e, int room, int x, int y)
{
    e.press("*", "Props", LOOK_SECONDS);
    e.type("Props", "door room=", std::to_string(room));
    e.type("Props", "door=", "1");
    e.type("Props", "door x=", std::to_string(x));
    e.type("Props", "door y=", std::to_string(y));
    e.type("Props", "door z=", "3");
}

void build_the_room(editor_window &e)
{
    e.press("*", "Room", LOOK_SECONDS);
    keys(e.w, std::to_string(NEW_ROOM));
    e.press("*", "New");
    save_screenshot("roomedit_1_new_room");
    // Walls along the far sides, back cells first, each picked near its
    // front corner, which no wall raised so far hides.
    const int cells[][2] = {{3, 3}, {3, 2}, {2, 3}, {3, 1}, {1, 3}, {3, 0}, {0, 3}};
    for (const auto &c : cells) {
        click(e.w, e.world(NEW_ROOM_ORIGIN_X, NEW_ROOM_ORIGIN_Y, CELL_SIZE * c[0] + 5,
                           CELL_SIZE * c[1] + 5, 0));
        e.press("Build", "Wall");
    }
    save_screenshot("roomedit_2_walls");
    const float wall_x = CELL_SIZE * (NEW_ROOM_CELLS - 1);
    e.press("*", "Objects", LOOK_SECONDS);
    e.type("Objects", "Find", "torch");
    click(e.w, e.world(NEW_ROOM_ORIGIN_X, NEW_ROOM_ORIGIN_Y, wall_x, 22, 25));
    e.type("Objects", "Find", "a table");
    click(e.w, e.world(NEW_ROOM_ORIGIN_X, NEW_ROOM_ORIGIN_Y, 22, 25, 3));
    e.type("Objects", "Find", "door face");
    click(e.w, e.world(NEW_ROOM_ORIGIN_X, NEW_ROOM_ORIGIN_Y, wall_x, 39, 20));
    save_screenshot("roomedit_3_objects");
    make_door(e, START_ROOM, 64, 33);
    e.press("*", "Desc", LOOK_SECONDS);
    e.type("Desc", "Caption", CAPTION);
    save_screenshot("roomedit_4_caption");
}

void door_back_from_the_hall(editor_window &e)
{
    e.type("*", "Room", std::to_string(START_ROOM));
    e.press("*", "Objects", LOOK_SECONDS); // the palette still shows the door face
    click(e.w, e.world(hall_origin("origin_x"), hall_origin("origin_y"), HALL_NORTH_WALL_X,
                       HALL_DOOR_Y, WALL_SPOT_Z));
    make_door(e, NEW_ROOM, 32, 37);
    save_screenshot("roomedit_5_door_back");
}

} // namespace

TEST(RoomEditor, NewcomerBuildsARoomAndWalksIntoIt)
{
    const std::string dir = make_game_copy();
    set_zoom(dir, 1);
    const std::string world = dir + "/world";
    fs::copy(QM_CONTENT_WORLD, world, fs::copy_options::recursive);
    const char *const argv[] = {"./roomedit", ".", "--content", world.c_str(), nullptr};
    game_run run = start_program(dir, argv);
    editor_window e{find_window("Quillmere room editor", 10.0), read_layout(dir), {}};
    ASSERT_NE(e.w, 0u) << read_text(run.stderr_path);
    e.view = e.at("*", "view");
    sleep_seconds(1.0);
    build_the_room(e);
    e.press("*", "Save");
    door_back_from_the_hall(e);
    e.press("*", "Save");
    e.press("*", "Try");
    sleep_seconds(1.5);
    save_screenshot("roomedit_6_try");
    EXPECT_TRUE(same(window_pixel(e.w, PANEL_SPOT), BLACK));
    tap_key(e.w, "Escape");
    sleep_seconds(1.5);
    EXPECT_TRUE(same(window_pixel(e.w, PANEL_SPOT), PANEL_COLOUR));
    e.press("*", "Quit"); // saved, so it does not ask
    int status = -1;
    EXPECT_TRUE(wait_for_exit(run, 5.0, &status));
    EXPECT_EQ(status, 0);
    kill_game(run);

    // The saved text compiles to the very world files the editor wrote.
    const std::string out = dir + "/compiled", dump = dir + "/dump";
    const std::string tools = std::string(QM_WORLDC) + " --content " + world + " --out " + out +
                              " && " + QM_WORLDDUMP + " --data " + out + " --out " + dump;
    ASSERT_EQ(system(tools.c_str()), 0);
    EXPECT_NE(read_text(dump + "/room_200.toml").find(CAPTION), std::string::npos);
    for (const char *name : {"map.dat", "poly.dat", "wobjects.dat", "messages.dat"}) {
        EXPECT_EQ(read_text(out + "/" + name), read_text(dir + "/data1/" + name)) << name;
    }

    // The game: a step off the north wall, clear of the hall's notes lying by
    // it, down to the locked kitchen door's side, then along the wall to the
    // new door.
    game_run game = start_game(dir);
    Window g = find_window("Quillmere", 10.0);
    ASSERT_NE(g, 0u);
    sleep_seconds(1.0);
    tap_key(g, "space");
    sleep_seconds(1.5);
    const int hall_banner = banner_left(g);
    key_script(g, "keydown Right sleep 0.12 keyup Right keydown Down sleep 1.1 keyup Down "
                  "keydown Left sleep 0.8 keyup Left");
    bool through = false;
    for (int step = 0; step < MAX_WALL_STEPS && !through; step++) {
        key_script(g, "keydown Down sleep 0.05 keyup Down keydown Left sleep 0.4 keyup Left");
        sleep_seconds(0.3);
        through = banner_left(g) < hall_banner - 8;
    }
    save_screenshot("roomedit_7_game_new_room");
    EXPECT_LT(banner_left(g), hall_banner - 8) << "not in the room with the longer caption";
    tap_key(g, "Escape");
    EXPECT_TRUE(wait_for_exit(game, 5.0, &status));
    kill_game(game);
    remove_game_copy(dir);
}
