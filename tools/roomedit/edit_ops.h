// The room editor's editing operations: plain functions over the world
// tables. Each operation is one undoable step, kept as the file images of the
// records it touched before and after, so undo and redo restore them exactly.
// The window layer only calls these. Every operation either leaves a world
// the world compiler accepts or is refused, with a result saying why; ids
// and values from the caller are checked, out of range ones refused.
#pragma once

#include <string>
#include <vector>

#include "world_image.h"

constexpr int UNDO_DEPTH = 200; // steps kept for undo

// Results of an operation.
constexpr int EDIT_OK = 0;
constexpr int EDIT_BAD_ID = 1;
constexpr int EDIT_BAD_VALUE = 2;
constexpr int EDIT_NO_FREE_OBJECT = 3;
constexpr int EDIT_NO_FREE_POLYGON = 4;
constexpr int EDIT_POLYGON_FULL = 5;
constexpr int EDIT_TEXT_TOO_LONG = 6;
constexpr int EDIT_NOTHING_TO_UNDO = 7;
constexpr int EDIT_NOTHING_TO_REDO = 8;
constexpr int EDIT_NO_ROOM = 9;
constexpr int EDIT_ROOM_TAKEN = 10;
constexpr int EDIT_NO_DOOR_ROOM = 11;
constexpr int EDIT_OUTSIDE_ROOM = 12;
constexpr int EDIT_ROOM_UNDEFINED = 13;
constexpr int EDIT_RESULT_COUNT = 14;

// Room fields of the Build mode.
constexpr int ROOM_SIZE_X = 0;
constexpr int ROOM_SIZE_Y = 1;
constexpr int ROOM_CEILING = 2;
constexpr int ROOM_LIMIT_SW = 3; // limit[SIDE_LOW_Y]; the next three follow the side order
constexpr int ROOM_LIMIT_NW = 4;
constexpr int ROOM_LIMIT_NE = 5;
constexpr int ROOM_LIMIT_SE = 6;
constexpr int ROOM_ADJ_SW = 7; // adjacent[SIDE_LOW_Y]; the next three follow the side order
constexpr int ROOM_ADJ_NW = 8;
constexpr int ROOM_ADJ_NE = 9;
constexpr int ROOM_ADJ_SE = 10;
constexpr int ROOM_BACKCOL = 11;
constexpr int ROOM_LIGHT = 12;
constexpr int ROOM_OUTSIDE = 13;
constexpr int ROOM_ORIGIN_X = 14;
constexpr int ROOM_ORIGIN_Y = 15;
constexpr int ROOM_FIELD_COUNT = 16;

// Cell fields of the Build mode.
constexpr int CELL_HEIGHT = 0;
constexpr int CELL_TILE = 1;
constexpr int CELL_LEFT = 2; // side face at a level
constexpr int CELL_RIGHT = 3;
constexpr int CELL_FIELD_COUNT = 4;

// World object fields of the Props mode.
constexpr int OBJECT_DOOR = 0;
constexpr int OBJECT_DOOR_ROOM = 1;
constexpr int OBJECT_DOOR_X = 2;
constexpr int OBJECT_DOOR_Y = 3;
constexpr int OBJECT_DOOR_Z = 4;
constexpr int OBJECT_DOOR_KEY = 5;
constexpr int OBJECT_EXAMINE_TEXT = 6;
constexpr int OBJECT_VISIBLE = 7;
constexpr int OBJECT_TRANSPARENT = 8;
constexpr int OBJECT_FRAME = 9;
constexpr int OBJECT_ROOM_PART = 10;
constexpr int OBJECT_FIELD_COUNT = 11;

// Which text a Desc edit changes.
constexpr int TEXT_CAPTION = 0; // of a room
constexpr int TEXT_EXAMINE = 1; // of a world object

// What a box runs into (bits).
constexpr int CLASH_OBJECT = 1;
constexpr int CLASH_LIMIT = 2;

// Kinds of record a step holds.
constexpr int RECORD_ROOM = 0;
constexpr int RECORD_POLYGON = 1;
constexpr int RECORD_OBJECT = 2;
constexpr int RECORD_MESSAGES = 3; // the whole message list

struct record_change {
    int kind;
    int index;
    std::string before, after; // file images
};

struct edit_step {
    std::vector<record_change> changes;
};

struct edit_history {
    std::vector<edit_step> steps;
    size_t done = 0;   // steps[0..done) are applied
    edit_step pending; // the step being built
};

const char *edit_result_text(int result);
void clear_history(edit_history &history);
int undo_step(world_image &world, edit_history &history);
int redo_step(world_image &world, edit_history &history);

int room_is_defined(const world_image &world, int room);
// A new room's cells along x and y and its place in the view: low enough
// that walls raised along its far sides stay in sight.
constexpr int NEW_ROOM_CELLS = 4;
constexpr int NEW_ROOM_ORIGIN_X = 160;
constexpr int NEW_ROOM_ORIGIN_Y = 168;
// The first room id from 1 without a record, or -1.
int first_free_room(const world_image &world);
// A small playable room in an unused slot: a floor, limits, ceiling, light,
// an origin in the middle of the view and a caption to fill in. A room that
// has a record, or an id the castle cannot hold, is refused.
int edit_create_room(world_image &world, edit_history &history, int room);
// Raises a cell into a wall: a column of WALL_HEIGHT with plain side faces
// at every level down to the floor.
constexpr int WALL_HEIGHT = 45;
int edit_make_wall(world_image &world, edit_history &history, int room, int cx, int cy);
// The values a room, cell or object field takes (low..high).
void room_field_range(int field, int *low, int *high);
void cell_field_range(int field, int *low, int *high);
void object_field_range(const world_image &world, int field, int *low, int *high);
int room_field(const world_image &world, int room, int field);
int edit_room_field(world_image &world, edit_history &history, int room, int field, int value);
int cell_field(const world_image &world, int room, int cx, int cy, int field, int level);
int edit_cell(world_image &world, edit_history &history, int room, int cx, int cy, int field,
              int level, int value);

// Height of what lies under a box of definition def at (x, y) in room: the
// floor columns and the tops of the objects there.
int support_height(const world_image &world, int room, int def, float x, float y);
// Places def at (x, y) on whatever lies there; the new id in new_id.
int edit_place_object(world_image &world, edit_history &history, int room, int def, int x, int y,
                      int *new_id);
// Places def with its box's low corner at (x, y, z), as a wall hangs it.
int edit_place_object_at(world_image &world, edit_history &history, int room, int def, int x, int y,
                         int z, int *new_id);
// Deletes an object; doors locked by it are unlocked in the same step.
int edit_delete_object(world_image &world, edit_history &history, int id);
// A copy of an object standing on top of it; the new id in new_id.
int edit_duplicate_object(world_image &world, edit_history &history, int id, int *new_id);
int edit_move_object(world_image &world, edit_history &history, int id, float dx, float dy,
                     float dz);
int object_field(const world_image &world, int id, int field);
int edit_object_field(world_image &world, edit_history &history, int id, int field, int value);
// CLASH_ bits for an object's box against the others and the room's limits;
// the ids it runs into are added to others when given.
int object_clashes(const world_image &world, int id, std::vector<int> *others);
float snap_to_cell(float value);

// The text of a caption or examine text ("" when none).
std::string edit_text(const world_image &world, int target, int id);
// An empty text removes it; a text no one else shares is changed in place;
// otherwise a new message is added.
int edit_set_text(world_image &world, edit_history &history, int target, int id,
                  const std::string &text);

int edit_add_polygon(world_image &world, edit_history &history, int room, int *poly);
int edit_delete_polygon(world_image &world, edit_history &history, int poly);
int edit_add_point(world_image &world, edit_history &history, int poly, int x, int y);
int edit_move_point(world_image &world, edit_history &history, int poly, int point, int x, int y);
int edit_delete_point(world_image &world, edit_history &history, int poly, int point);
