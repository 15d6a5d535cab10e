// Trying a room from the editor: the game's own loop plays the world the
// editor holds, and the editor gets the window back unchanged.
#pragma once

#include "world_image.h"

// Where a try puts the player: the middle of cell (cx, cy), or of the room
// when cx is -1, standing on what lies there.
void try_start_spot(const world_image &world, int room, int cx, int cy, int *x, int *y, int *z);
// Plays room from (x, y, z) until Escape; returns 0 when the room has no record.
int try_room(const world_image &world, int room, int x, int y, int z);
