// How the game writes text: Allegro's built-in 8 x 8 font, with a background
// chosen once (transparent after start-up).
#pragma once

// Background colour passed to every text call; -1 draws only the glyphs.
extern int text_bg;

// Makes every later text call draw without a background.
void text_mode_transparent(void);
