// The sprite table: 160 fixed slots for everything in the room on screen
// (the player, objects, creatures, and the room's invisible floor columns
// and ceiling). Sprites are named by slot index everywhere.
#pragma once

#include "world/world_objects.h"

#include <allegro.h>

constexpr int SPRITE_COUNT = 160;
constexpr int PLAYER_SLOT = 0;
constexpr int FIRST_ROOM_PART_SLOT = 1; // never handed out by get_sprite_id
constexpr int FIRST_FREE_SLOT = 2;

// Values of standing_on besides a slot index.
constexpr int STANDING_ON_NOTHING = -1;  // in the air
constexpr int STANDING_ON_UNTESTED = -2; // just created, not yet tested

constexpr int NO_WORLD_OBJECT = -1;
constexpr int NO_OBJ_DEF = -1;

struct sprite_record {
    int active;       // slot in use; scans skip slots with 0
    int is_room_part; // a floor column or the ceiling slab
    float x, y, z;    // position, world units
    float vx, vy, vz; // movement asked for this tick; vz the vertical speed
    int size_x, size_y, size_z;
    int screen_x, screen_y; // image corner on the view
    int fixed;              // never moved by physics
    int facing;             // 0..3, chooses the frame group
    BITMAP *image;          // owned by the slot
    int image_w, image_h;
    int draw_offset_x, draw_offset_y;
    int standing_on; // slot below, STANDING_ON_NOTHING or STANDING_ON_UNTESTED
    int cell_x, cell_y;
    int world_object; // 0 the player, 1..9999 objects, -1 room parts
    int door;         // touching it takes the player to another room
    int door_room;
    int door_x, door_y, door_z;
    int door_key; // world object that must be selected to open it, -1 none
    int weight;
    int obj_def;
    int anim_tick;
    int anim_frame;
    int saved_vx, saved_vy; // scratch of the creature behaviours
    int turn_timer;         // countdown of the creature behaviours
};

extern sprite_record sprite_table[SPRITE_COUNT];

void reset_sprites(void);
// First free slot from FIRST_FREE_SLOT on, or -1 (reported) when all are in use.
int get_sprite_id(void);
// Fills slot from object definition def at whole-unit position x, y, z.
void init_sprite(int slot, int def, int x, int y, int z);
// Fills slot from world object wobj (1..9999).
void init_sprite(int slot, int wobj);
void init_room_sprite(int slot, int x, int y, int z, int size_x, int size_y, int size_z);
// First active slot showing world object wobj, or -1.
int find_world_object_sprite(int wobj);
void copy_object_def_to_sprite(int slot, int def);
void free_sprite_images(void);

// The world object an active object sprite shows, or null for free slots,
// room parts and ids outside the table (drawing, baking and lighting read
// its flags through this).
const world_object *sprite_world_object(int slot);
