// The castle's rooms and the screen-space polygons painted black over them:
// two fixed tables read whole from map.dat and poly.dat.
#pragma once

#include <cstdint>

constexpr int ROOM_COUNT = 400;
constexpr int ROOM_CELLS = 12;  // cells along x and along y, at most
constexpr int ROOM_LEVELS = 12; // side-face levels per cell
constexpr int CELL_SIZE = 15;   // world units along a cell side
constexpr int POLYGON_COUNT = 200;
constexpr int POLYGON_MAX_POINTS = 20;
constexpr int ROOM_RECORD_SIZE = 3776;
constexpr int POLYGON_RECORD_SIZE = 168;

// Sides of a room and facings share one code.
constexpr int SIDE_LOW_Y = 0;  // towards smaller y
constexpr int SIDE_HIGH_X = 1; // towards larger x
constexpr int SIDE_HIGH_Y = 2; // towards larger y
constexpr int SIDE_LOW_X = 3;  // towards smaller x
constexpr int SIDE_COUNT = 4;

// Cell values of floor_tile.
constexpr int TILE_NONE = -1; // no floor image drawn
constexpr int TILE_SOLID = 0; // a solid column nothing crosses
constexpr int FACE_NONE = -1; // no side face at this level

constexpr int NO_DESCRIPTION = -1;

// Loaded polygon points are held inside this bound, far beyond any picture,
// so the polygon filler never meets numbers near the ends of an int.
constexpr int POLYGON_POINT_LIMIT = 4096;
constexpr int POLYGON_FREE = -1;

struct room_record {
    int32_t origin_x;                                       // screen x of the projection origin
    int32_t origin_y;                                       // screen y of the projection origin
    uint8_t floor_height[ROOM_CELLS][ROOM_CELLS];           // [cx][cy]
    int8_t floor_tile[ROOM_CELLS][ROOM_CELLS];              // [cx][cy], image 452 + n
    int8_t wall_left[ROOM_CELLS][ROOM_CELLS][ROOM_LEVELS];  // [cx][cy][level], image 372 + n
    int8_t wall_right[ROOM_CELLS][ROOM_CELLS][ROOM_LEVELS]; // image 412 + n
    uint8_t size_x;                                         // cells along x, 1..12
    uint8_t size_y;                                         // cells along y, 1..12
    uint8_t ceiling;                                        // height of the ceiling slab
    uint8_t limit[SIDE_COUNT];                              // walkable bounds by side
    uint8_t adjacent[SIDE_COUNT];                           // room beyond each side, 0 = none
    uint8_t backcol;                                        // editor setting, unused
    uint8_t brightness;                                     // ambient light 0..7
    uint8_t outside;                                        // editor setting, unused
    int16_t description;                                    // caption message, -1 = none
    uint8_t reserved[8];
};

struct polygon_record {
    int32_t room;                           // owning room, -1 = free
    int32_t points[POLYGON_MAX_POINTS * 2]; // x, y pairs in view coordinates
    int32_t point_count;
};

extern room_record rooms[ROOM_COUNT];
extern polygon_record polygons[POLYGON_COUNT];

// Heights 255 and tiles -1 in every room, every polygon free.
void clear_rooms(void);
// Reads "%s\\map.dat" and "%s\\poly.dat" from the data folder.
void load_map(void);
// The same from explicit paths (tools and tests).
void load_map_files(const char *map_path, const char *poly_path);

// Byte-exact little-endian file records.
void encode_room(const room_record &room, unsigned char out[ROOM_RECORD_SIZE]);
void decode_room(const unsigned char in[ROOM_RECORD_SIZE], room_record &room);
void encode_polygon(const polygon_record &poly, unsigned char out[POLYGON_RECORD_SIZE]);
void decode_polygon(const unsigned char in[POLYGON_RECORD_SIZE], polygon_record &poly);
