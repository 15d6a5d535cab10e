// What the whole program shares from start-up to teardown: the view sizes
// and colour format, the three drawing surfaces, the datafiles and fonts,
// the counted bitmaps, and the close request.
#pragma once

#include <allegro.h>
#include <cstdint>

// Size of the view every frame is drawn at before it is enlarged.
constexpr int VIEW_W = 320;
constexpr int VIEW_H = 240;
constexpr int ROOM_BACKGROUND_W = 450;
constexpr int ROOM_BACKGROUND_H = 400;

// Every bitmap is 32-bit; the mask colour (red 255, green 0, blue 255) is
// transparent in every image and reads the same in either channel order.
// Its pixel with a zero fourth byte is the one draw_sprite leaves out.
constexpr int COLOUR_DEPTH = 32;
constexpr uint32_t MASK_COLOUR = 0x00FF00FFu;
constexpr uint32_t RGB_BITS = 0x00FFFFFFu; // the colour; the fourth byte is not part of it
constexpr uint32_t FOURTH_BYTE = 0xFF000000u;

// Entries of the general datafile ("qm.dat") the game draws.
constexpr int GENERAL_FONT_0 = 0;
constexpr int GENERAL_FONT_1 = 1;
constexpr int GENERAL_CAPTION_PLAQUE = 7;
constexpr int GENERAL_EXAMINE_PANEL = 9;
constexpr int GENERAL_PANEL = 11;
constexpr int GENERAL_ENTRIES_USED = GENERAL_PANEL + 1;
// Entries of the game datafile the game draws: the image table's last row
// ends just below (its module checks that it does).
constexpr int CUSTOM_ENTRIES_USED = 548;

extern const char data_folder[];   // "data1"
extern DATAFILE *general_datafile; // "qm.dat"
extern DATAFILE *custom_datafile;  // game.dat in data_folder
extern BITMAP *backbuffer;         // 320 x 240, every frame is drawn here
extern BITMAP *room_background;    // 450 x 400, the drawn room
extern BITMAP *light_map;          // 320 x 240, the lighting's work surface
extern FONT *font_0;
extern FONT *font_1;
extern int live_bitmaps;
extern volatile int close_requested;

// create_bitmap and destroy_bitmap, counted in live_bitmaps (a failed make
// counts too).
BITMAP *make_bitmap(int width, int height);
void free_bitmap(BITMAP *bitmap);

// The bitmap of a datafile entry, or null when the file has no such entry or
// the entry is not an image (so bad data never leads to a wild read).
BITMAP *datafile_bitmap(DATAFILE *data, int index);
// Number of entries of a loaded datafile.
int datafile_count(DATAFILE *data);

// The window's close hook: records the request and does nothing else.
void close_button_callback(void);
