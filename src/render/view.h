// Drawing the room and its sprites: the background, the polygons, and the
// sprites cut and drawn in slot order.
#pragma once

#include <allegro.h>

// Cuts and draws every sprite onto backbuffer.
void draw_sprites(void);
// draw_sprite's picture (the exact mask colour left out), drawn by masked
// row copies where both bitmaps are 32-bit and the target is in memory.
void draw_masked_sprite(BITMAP *to, BITMAP *image, int x, int y);
void draw_room_background(void);
// Clears what draw_room_background will not cover, so that the two together
// give clear_to_color(backbuffer, 0) then the background, writing each
// pixel once.
void clear_around_room_background(void);
void draw_room_polygons(void);
