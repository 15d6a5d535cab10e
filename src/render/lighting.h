// Lighting: a darkness map, as grey as the room is dark, from which each
// torch's glow is taken away, subtracted channel by channel from the view.
#pragma once

#include <allegro.h>

constexpr int BRIGHTNESS_LEVELS = 8;
constexpr int GLOW_IMAGE = 135;
constexpr int GLOW_OFFSET = 55;       // glow corner up and left of the torch image's
constexpr int GLOW_FLICKER_LOW = 210; // glow strength drawn afresh each frame
constexpr int GLOW_FLICKER_HIGH = 255;
constexpr int FULL_FACTOR = 256;
constexpr int VIEW_DARKEN_FACTOR = 255;

extern const int darkness_table[BRIGHTNESS_LEVELS];
// 0 leaves every room fully lit (the room picture tool's unlit pictures).
extern int lighting_enabled;

// The darkness of a room's brightness setting.
int room_darkness(int brightness);

// Darkens the back buffer for the current room.
void apply_lighting(void);

// Subtracts src, scaled by factor / 256, from dst at (x, y), per channel,
// saturating at 0; source pixels of the mask colour (with a zero fourth
// byte) are skipped.
void subtract_blit(BITMAP *dst, BITMAP *src, int x, int y, int factor);
