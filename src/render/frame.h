// The composition of one game frame on the back buffer: the room, its
// sprites, the light, then the caption, the panel and the overlays.
#pragma once

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

// The frame's layers after the room and its sprites (render/view.h), in the
// order compose_game_frame draws them.
void draw_caption(void);
void draw_panel(void);
void draw_examine_picture(void);
void draw_reveal(void);
