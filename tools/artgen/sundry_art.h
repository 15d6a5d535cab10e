// Game images that are not objects or room surfaces.
#pragma once

#include <allegro.h>

// Image 135: a soft warm round glow; each pixel is the darkness it removes.
BITMAP *paint_glow(void);
// Image 278: the opening reveal; its top-left 160 x 120 is an arched
// opening (mask colour) in black.
BITMAP *paint_reveal_mask(void);
// Image 207: a small grey marker for the blank definitions.
BITMAP *paint_blank_marker(void);
// Indexes nothing shows: a small fully transparent image.
BITMAP *paint_unused(void);
