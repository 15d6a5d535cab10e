// The composition of one game frame on the back buffer: the room, its
// sprites, the light, then the caption, the panel and the overlays.
#pragma once

#include <allegro.h>

constexpr float REVEAL_START_SCALE = 40.0f;
constexpr float REVEAL_END_SCALE = 800.0f;
constexpr float REVEAL_GROWTH = 1.1f;
constexpr int REVEAL_MASK_IMAGE = 278;
constexpr int PANEL_Y = 170;
constexpr int EXAMINE_SLIDE_STEP = 20;
constexpr int EXAMINE_SLIDE_END = 140;

// Size of the opening reveal; grows once per drawn frame until it passes
// REVEAL_END_SCALE.
extern float reveal_scale;

// Draws the whole game frame onto backbuffer (without presenting it).
void compose_game_frame(void);

// The frame's layers, in the order compose_game_frame draws them.
// Clears what draw_room_background will not cover, so that the two together
// give clear_to_color(backbuffer, 0) then the background, writing each
// pixel once.
void clear_around_room_background(void);
void draw_room_background(void);
void draw_room_polygons(void);
// Cuts and draws every sprite onto backbuffer.
void draw_sprites(void);
void draw_caption(void);
void draw_panel(void);
void draw_examine_picture(void);
void draw_reveal(void);

// draw_sprite's picture (the exact mask colour left out), drawn by masked
// row copies where both bitmaps are 32-bit and the target is in memory.
void draw_masked_sprite(BITMAP *to, BITMAP *image, int x, int y);
