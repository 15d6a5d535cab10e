// The isometric view: projection, per-sprite images, occlusion by cutting
// nearer silhouettes out of farther sprites, and the drawing of a room.
#pragma once

#include <allegro.h>
#include <cstdint>

// Places on the view are worked out in 64 bits, since a room's origin may
// be any int, and then held within this distance of the view: far past any
// picture, yet small enough that adding an image's size never overflows.
constexpr int VIEW_COORDINATE_LIMIT = 1 << 24;
int view_coordinate(int64_t v);

// Screen corner of a sprite's image from its position (x and y truncated
// before scaling, z subtracted as a float).
int sprite_screen_x(float x, float y, int draw_offset_x);
int sprite_screen_y(float x, float y, float z, int draw_offset_y);
// Recomputes screen_x, screen_y, cell_x and cell_y of a sprite.
void place_sprite_on_view(int slot);

// Copies the sprite's current frame from the game datafile into its image.
void refresh_sprite_image(int slot);
// Forgets what is known of where a sprite's image is empty: call it when a
// sprite's image is replaced or freed other than by refresh_sprite_image.
void forget_sprite_extent(int slot);
// The datafile image index a sprite shows now.
int sprite_image_index(int slot);

int rects_overlap(int x1, int y1, int w1, int h1, int x2, int y2, int w2, int h2);
int screen_boxes_overlap(int a, int b);
// The slot (a or b) nearer the viewer: b unless it lies wholly beyond a's
// last unit along x or y, or wholly under a.
int front_sprite(int a, int b);
// Turns the victim's pixels under the cutter's opaque pixels into the mask
// colour (the fourth byte kept).
void cut_out_shape(BITMAP *victim, BITMAP *cutter, int dx, int dy, int w, int h);

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
