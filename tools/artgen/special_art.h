// Game images that are not objects or room surfaces.
#pragma once

#include <allegro.h>

// Image 135: a soft warm round glow; each pixel is the darkness it removes.
BITMAP *draw_glow(void);
// Image 278: the opening reveal; its top-left 160 x 120 is an arched
// opening (mask colour) in black.
BITMAP *draw_reveal(void);
// Image 207: a small grey marker for the blank definitions.
BITMAP *draw_blank(void);
// Indexes nothing shows: a small fully transparent image.
BITMAP *draw_unused(void);
