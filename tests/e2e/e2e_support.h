// Helpers of the end-to-end tests: copies of the game folder, the real
// program started in them, its window found through Xlib, keys sent with
// xdotool, pixels read back from the screen.
#pragma once

#include <X11/Xlib.h>
#include <string>

struct game_run {
    int pid = -1;
    std::string dir;
    std::string stderr_path;
};

struct screen_rgb {
    int r, g, b;
};

// A private copy of the built game folder; removed by remove_game_copy.
std::string make_game_copy(void);
void remove_game_copy(const std::string &dir);
// Replaces the zoom line of the copy's config.txt.
void set_zoom(const std::string &dir, int zoom);

// Starts ./quillmere in dir with an extra environment variable (or none).
game_run start_game(const std::string &dir, const char *extra_env = nullptr);
// Starts the program argv[0] (null-terminated argv) in dir.
game_run start_program(const std::string &dir, const char *const argv[],
                       const char *extra_env = nullptr);
// Waits up to seconds for the program to end; returns 1 and its exit status
// when it did.
int wait_for_exit(game_run &run, double seconds, int *status);
void kill_game(game_run &run);
std::string read_text(const std::string &path);

Display *test_display(void);
// The top-level window titled exactly name, waiting up to seconds; 0 if none.
Window find_window(const char *name, double seconds);
// Position on the screen and size of a window.
void window_rect(Window w, int *x, int *y, int *width, int *height);
// Focuses the window and taps a key (xdotool key names).
void tap_key(Window w, const char *name);
// Runs several xdotool key commands after one focus, e.g.
// "keydown Escape keydown space sleep 0.3 keyup space keyup Escape".
void key_script(Window w, const char *script);
// Asks the window to close, as its close button does.
void request_close(Window w);
// Reads one pixel of the whole screen.
screen_rgb screen_pixel(int x, int y);
// Counts pixels of exactly colour c in a rectangle of the screen.
int count_colour(int x, int y, int w, int h, screen_rgb c);
// Saves the whole screen as a PNG under the build's e2e-shots folder.
void save_screenshot(const char *name);
void sleep_seconds(double seconds);
