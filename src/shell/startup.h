// Start-up in a fixed order with numbered failures, the start-up failure
// message, and the teardown.
#pragma once

#include <allegro.h>

// Start-up codes returned by init_game.
constexpr int STARTUP_OK = 0;
constexpr int STARTUP_NO_LIBRARY = 1;
constexpr int STARTUP_NO_LIBRARY_FONT = 2;   // no step produces it
constexpr int STARTUP_CONFIG_UNREADABLE = 3; // no step produces it
constexpr int STARTUP_NO_KEYBOARD = 4;
constexpr int STARTUP_NO_GRAPHICS_MODE = 5;
constexpr int STARTUP_NO_GENERAL_DATA = 6;
constexpr int STARTUP_NO_CUSTOM_DATA = 7;
constexpr int STARTUP_NO_LIBRARY_SOUND = 8;
constexpr int STARTUP_NO_SOUND_LIBRARY = 9;
constexpr int STARTUP_NO_BACKBUFFER = 10;
constexpr int STARTUP_NO_FONTS = 11;
constexpr int STARTUP_NO_JOYSTICK = 12;
constexpr int STARTUP_NO_CONFIG_FILE = 13;

// Steps of the teardown, recorded in the order they ran (for tests).
constexpr int TEARDOWN_TICK_TIMER = 1;
constexpr int TEARDOWN_SECOND_TIMER = 2;
constexpr int TEARDOWN_FONT_1 = 3;
constexpr int TEARDOWN_FONT_0 = 4;
constexpr int TEARDOWN_SOUND = 5;
constexpr int TEARDOWN_GENERAL_DATA = 6;
constexpr int TEARDOWN_CUSTOM_DATA = 7;
constexpr int TEARDOWN_BACKBUFFER = 8;
constexpr int TEARDOWN_REFRESH_RATE = 9;
constexpr int TEARDOWN_LIBRARY = 10;
constexpr int TEARDOWN_MAX_STEPS = 16;

extern char error_text[256];
extern int teardown_steps[TEARDOWN_MAX_STEPS];
extern int teardown_step_count;

int init_game(void);
// Loads "qm.dat" and the data folder's game.dat after checking that they hold
// together; a start-up code.
int load_game_datafiles(void);
int set_graphics_mode(void);
void centre_window(void);
void create_view_buffers(void);
void destroy_view_buffers(void);
void shutdown_game(void);

// The reason text of a start-up code.
const char *startup_reason(int code);
// Fills text with the start-up failure message of code.
void format_startup_message(char *text, int size, int code);
// Puts the reason of a failed start in error_text and shows the failure
// message in one message box.
void show_startup_failure(int code);

// Glyph cells of a font sheet in the grid the font grabber reads; a sheet
// must hold at least one per printable character (32..126).
constexpr int FONT_SHEET_MIN_CELLS = 95;
int count_font_cells(BITMAP *sheet);
