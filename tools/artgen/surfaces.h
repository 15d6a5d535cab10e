// Floor tiles and side faces of the room columns.
//
// A floor tile is a 60 x 30 image holding the top of one 15 x 15 cell: the
// cell's near corner lies 30 px right of and 30 px below the image's corner.
// A side face is a 32 x 35 image holding 20 units of one side of a column,
// its top edge on the floor's near edge: left faces (the side towards
// smaller y) put the cell's near corner at (31, 15), right faces (towards
// smaller x) at (1, 15). Patterns repeat every 15 units along a side and
// every 20 down it, so neighbouring cells and stacked levels join.
#pragma once

#include <allegro.h>

#include "recipes.h"

constexpr int TILE_W = 60, TILE_H = 30;
constexpr int FACE_W = 32, FACE_H = 35;
constexpr float CELL_UNITS = 15.0f;
constexpr float LEVEL_UNITS = 20.0f;

// Is the pixel (k, r) of a tile image inside the cell's diamond? (and which
// floor point, in units from the cell's near corner, its centre shows).
int tile_point(int k, int r, float *x, float *y);
// For a face image (left: side 0, right: side 1): is the pixel on the face,
// and at what distance along the side and depth below the top.
int face_point(int side, int k, int r, float *along, float *depth);

BITMAP *paint_tile(const surface_recipe &s);
BITMAP *paint_face(const surface_recipe &s, int side);
// Unknown patterns are reported by name; 1 if the pattern exists.
int surface_pattern_known(const surface_recipe &s, int is_face);
