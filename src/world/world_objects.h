// The world objects: every placed thing of the castle, one table of 10,000
// records read from wobjects.dat; the game's world state for a whole run.
#pragma once

#include <cstdint>

constexpr int WORLD_OBJECT_COUNT = 10000;
constexpr int WORLD_OBJECT_RECORD_SIZE = 88;
constexpr int PLAYER_WORLD_OBJECT = 0;

// Values of used.
constexpr int WOBJ_FREE = 0;
constexpr int WOBJ_IN_USE = 1;
constexpr int WOBJ_OUT_OF_PLAY = -1;

// Loaded positions and door destinations are held inside +-this many units
// (a room is at most 180 units wide); a position that is not a number loads
// as 0. Nothing downstream then meets a float too big for an int.
constexpr int WORLD_POSITION_LIMIT = 4096;

constexpr int ROOM_CARRIED = -1; // room of an object the player carries
constexpr int NO_MESSAGE = -1;
constexpr int NO_KEY = -1;
constexpr int NO_ROOM = -1;

struct world_object {
    int32_t used;         // WOBJ_FREE, WOBJ_IN_USE or WOBJ_OUT_OF_PLAY
    int32_t obj_def;      // object definition index
    int32_t room;         // room it lies in, ROOM_CARRIED when carried
    float x, y, z;        // position in the room, world units
    uint8_t reserved0[4]; // kept as loaded
    int32_t door;         // 1: touching it takes the player elsewhere
    int32_t door_room;    // destination room, -1 none
    int32_t door_x, door_y, door_z;
    int32_t door_key;      // world object that opens it, -1 unlocked
    int16_t examine_text;  // message shown when examined, -1 none
    uint8_t visible;       // 0: never drawn
    uint8_t transparent;   // 0 opaque, else the blend alpha
    uint8_t frame;         // starting animation frame / variant
    uint8_t room_part;     // 1: baked into the room background
    uint8_t reserved1[30]; // kept as loaded
};

extern world_object world_objects[WORLD_OBJECT_COUNT];

void load_world_objects(const char *path);
void create_world_object(int id, int room, int obj_def, int x, int y, int z);
// The fields a new world object starts with (in play, in room, at x, y, z;
// no door, no text, visible, opaque, frame 0, not a room part). The reserved
// words are left as they are: a new record in a file holds zeros there.
void set_new_world_object(world_object &w, int room, int obj_def, float x, float y, float z);
int get_world_object_id(void);
void remove_world_object(int id);

void encode_world_object(const world_object &w, unsigned char out[WORLD_OBJECT_RECORD_SIZE]);
void decode_world_object(const unsigned char in[WORLD_OBJECT_RECORD_SIZE], world_object &w);
