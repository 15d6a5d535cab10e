// The player's rules: walking, lunge, jump, items (select, use, examine,
// drop, pick up), doors, and the room change they share with the rest.
#pragma once

#include <allegro.h>

#include "world/object_defs.h"

constexpr int INVENTORY_SLOTS = 5;
constexpr int EMPTY_SLOT = -1;
constexpr int NO_EXAMINED_OBJECT = -1;
constexpr int NOTICE_FRAMES = 50;
constexpr int PLAYER_FRAME_STANDING = 1; // of the player's frames: 0..3 walk, 1 stand
constexpr int JUMP_TICKS = 15;
constexpr int EXAMINE_PICTURE_W = 162;
constexpr int EXAMINE_PICTURE_H = 113;
constexpr int EXAMINE_TEXT_BOTTOM = 106; // the parchment's lower edge
constexpr float ENERGY_MAX = 99.0f;
constexpr float FOOD_ENERGY = 10.0f;

// The one-unit step towards each facing (0 smaller y, 1 larger x, 2 larger
// y, 3 smaller x).
constexpr int facing_step_x[FACING_COUNT] = {0, 1, 0, -1};
constexpr int facing_step_y[FACING_COUNT] = {-1, 0, 1, 0};

extern int inventory[INVENTORY_SLOTS];
extern int selected_slot;
extern int examined_object;
extern BITMAP *item_picture;
extern BITMAP *examine_picture;
extern int jump_counter;
extern int head_bumped;
extern int walking;
extern int pickup_pose;
extern int lunge_counter;
extern int drop_latch;
extern int pickup_latch;
extern int locked_latch;
extern char notice_text[64];
extern int notice_timer;
// Set to 0 whenever examining starts; the frame slides the picture up.
extern int examine_slide;

// Puts every piece of per-game player state to its start value (the
// pictures are made by the game loop).
void reset_player_state(void);
// Copies text into the panel notice for NOTICE_FRAMES drawn frames.
void set_notice(const char *text);

void player_actions(void);
void jump_step(int z_before);
int probe_blocked(int slot, int dx, int dy, int dz);
int go_to_room(int room, int x, int y, int z);
void store_sprite_positions(void);
int drop_item(int slot);
int find_touched_door(void);
int find_sprite_ahead(int slot, int reach);
void select_slot(int slot);
void build_examine_picture(void);
// The row just below the last line of text laid out as the examine picture
// lays it out; text reaching below EXAMINE_TEXT_BOTTOM runs off the sheet.
int examine_text_bottom(const char *text);
