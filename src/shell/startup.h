// The program's spine: start-up in a fixed order with numbered failures,
// the main flow, the teardown, the shared drawing surfaces and datafiles.
#pragma once

#include <allegro.h>

// Size of the view every frame is drawn at before it is enlarged.
constexpr int VIEW_W = 320;
constexpr int VIEW_H = 240;
constexpr int ROOM_BACKGROUND_W = 450;
constexpr int ROOM_BACKGROUND_H = 400;
constexpr int COLOUR_DEPTH = 32;

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

// Entries of the general datafile ("qm.dat") the game draws.
constexpr int GENERAL_FONT_0 = 0;
constexpr int GENERAL_FONT_1 = 1;
constexpr int GENERAL_CAPTION_PLAQUE = 7;
constexpr int GENERAL_EXAMINE_PANEL = 9;
constexpr int GENERAL_PANEL = 11;
constexpr int GENERAL_ENTRIES_USED = GENERAL_PANEL + 1;

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

extern const char data_folder[];   // "data1"
extern DATAFILE *general_datafile; // "qm.dat"
extern DATAFILE *custom_datafile;  // game.dat in data_folder
extern BITMAP *backbuffer;         // 320 x 240, every frame is drawn here
extern BITMAP *room_background;    // 450 x 400, the drawn room
extern BITMAP *light_map;          // 320 x 240, the lighting's work surface
extern FONT *font_0;
extern FONT *font_1;
extern int live_bitmaps;
extern char error_text[256];
extern volatile int close_requested;
extern int teardown_steps[TEARDOWN_MAX_STEPS];
extern int teardown_step_count;

// The whole program: start, title screen, one game, teardown. Returns 0.
int main_flow(void);

int init_game(void);
// Loads "qm.dat" and the data folder's game.dat after checking that they hold
// together; a start-up code.
int load_game_datafiles(void);
// The world from the data folder: catalogue, texts, world objects, sprite
// table, rooms and polygons, in that order.
void load_world(void);
int set_graphics_mode(void);
void centre_window(void);
void create_view_buffers(void);
void destroy_view_buffers(void);
void shutdown_game(void);

// The reason text of a start-up code.
const char *startup_reason(int code);
// Fills text with the start-up failure message of code.
void format_startup_message(char *text, int size, int code);

BITMAP *make_bitmap(int width, int height);
void free_bitmap(BITMAP *bitmap);

// The bitmap of a datafile entry, or null when the file has no such entry or
// the entry is not an image (so bad data never leads to a wild read).
BITMAP *datafile_bitmap(DATAFILE *data, int index);
// Number of entries of a loaded datafile.
int datafile_count(DATAFILE *data);

void close_button_callback(void);

// Glyph cells of a font sheet in the grid the font grabber reads; a sheet
// must hold at least one per printable character (32..126).
constexpr int FONT_SHEET_MIN_CELLS = 95;
int count_font_cells(BITMAP *sheet);
