// The room as the editor shows it: the room drawn by the game's own code (background, cutting,
// lighting) and enlarged, with the editor's marks on top; and the way back
// from a click to a cell, an object or a view point.
#pragma once

#include <allegro.h>

#include "world_image.h"

constexpr int VIEW_ZOOM = 2; // whole-number enlargement of the 320 x 240 view

// Draws room into the back buffer with the game's frame layers. Returns 0,
// with the back buffer cleared, when the room has no record or does not fit
// the sprite table.
int draw_room_view(const world_image &world, int room);

// What the editor marks on the enlarged view.
struct view_marks {
    int cell_x = -1, cell_y = -1; // selected cell
    int object = -1;              // selected world object
    int polygon = -1;             // selected polygon
    int show_polygons = 0;
};
void draw_view_marks(BITMAP *target, int left, int top, const world_image &world, int room,
                     const view_marks &marks);

// What was drawn at a view pixel by the last draw_room_view: nothing, a
// cell's floor, one level of a cell's side face, or a world object (the
// front-most, as drawn).
constexpr int PICK_NONE = 0;
constexpr int PICK_FLOOR = 1;
constexpr int PICK_FACE = 2;
constexpr int PICK_OBJECT = 3;
struct view_pick {
    int kind = PICK_NONE;
    int cell_x = -1, cell_y = -1;
    int side = -1; // CELL_LEFT or CELL_RIGHT for a face
    int level = -1;
    int object = -1;
};
view_pick pick_at(int vx, int vy);

// Definitions that hang on a wall (torches, plaques, windows, doors).
int goes_on_walls(int def);
// Where def goes for a click at view pixel (vx, vy) over what pick found:
// centred on the point, on top of the floor or object there, or hung on the
// face with its back against it. Returns 0 when def cannot go there.
int placement_at(const world_image &world, int room, int def, int vx, int vy, const view_pick &pick,
                 int *x, int *y, int *z);

// The cell whose top face is seen at view pixel (vx, vy); 0 when none.
int cell_at(const world_image &world, int room, int vx, int vy, int *cx, int *cy);
// World x and y of view pixel (vx, vy) on the plane at height z.
void view_to_floor(const world_image &world, int room, int vx, int vy, int z, int *x, int *y);
