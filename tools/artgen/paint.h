// Small painting helpers shared by the art generator: colours, repeatable
// noise for textures, and shaded panels.
#pragma once

#include <allegro.h>

struct rgb {
    int r, g, b;
};

// A repeatable pseudo-random value in 0..1 for a pixel and a seed.
float noise2(int x, int y, int seed);

// The colour scaled by f (1 = unchanged) and clamped.
rgb shade(rgb c, float f);
int to_pixel(rgb c);

// Magenta: the transparent colour of every image.
int mask_pixel(void);

// A memory bitmap of the given size cleared to the mask colour.
BITMAP *new_image(int w, int h);

// Fills a rectangle with a textured colour: each pixel's brightness varies by
// up to grain (0..1) around c.
void fill_textured(BITMAP *bmp, int x0, int y0, int x1, int y1, rgb c, float grain, int seed);

// A raised frame: light on the top and left edges, dark on the bottom and right.
void bevel(BITMAP *bmp, int x0, int y0, int x1, int y1, rgb c, int depth);
