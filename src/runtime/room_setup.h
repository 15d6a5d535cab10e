// Entering a room: its background picture painted once, a room-part sprite
// per floor cell and one for the ceiling, and a sprite per world object.
#pragma once

// Where world point (0, 0, 0) lies in room_background.
constexpr int BACKGROUND_ORIGIN_X = 224;
constexpr int BACKGROUND_ORIGIN_Y = 388;
constexpr int SOLID_COLUMN_HEIGHT = 240; // a solid cell: nothing crosses it
constexpr int CEILING_THICKNESS = 3;
constexpr int FACE_LEVEL_HEIGHT = 20; // pixels between side-face levels
constexpr int LEFT_FACE_IMAGE_BASE = 372;
constexpr int RIGHT_FACE_IMAGE_BASE = 412;
constexpr int FLOOR_TILE_IMAGE_BASE = 452;

// Screen geometry of the cells in the background picture (the world linter
// checks a room's picture fits with it).
constexpr int CELL_SCREEN_X = 194; // background x of cell (0, 0)'s floor image
constexpr int CELL_SCREEN_Y = 356;
constexpr int CELL_STEP_X = 30;
constexpr int CELL_STEP_Y = 15;
constexpr int LEFT_FACE_DX = -1;
constexpr int RIGHT_FACE_DX = 29;
constexpr int FACE_DY = 17;
constexpr int TILE_DY = 2;

extern int current_room;

// Makes room current, frees the object slots, paints the floors and side
// faces and fills the room-part slots. Returns the first slot after them.
int init_room(int room);

// A sprite for every world object in room from slot first on, then bakes the
// room-part objects into the background.
void setup_room_objects(int room, int first);

// init_room then setup_room_objects, as every room change does.
void build_room(int room);
