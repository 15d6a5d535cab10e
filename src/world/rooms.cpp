// The room and polygon tables and their files: records are written and read
// field by field in little-endian order, one read call per record.
#include "world/rooms.h"

#include <cstddef>
#include <cstdio>
#include <cstring>

#include "platform/data_file.h"
#include "platform/paths.h"
#include "shell/startup.h"
#include "world/little_endian.h"

room_record rooms[ROOM_COUNT];
polygon_record polygons[POLYGON_COUNT];

static const char MAP_FORMAT[] = "%s\\map.dat";
static const char POLY_FORMAT[] = "%s\\poly.dat";
static constexpr unsigned char CLEARED_CELL = 255; // height 255, tile -1

// Offsets of the fields in a room file record.
static constexpr int ROOM_AT_ORIGIN_X = 0;
static constexpr int ROOM_AT_ORIGIN_Y = 4;
static constexpr int ROOM_AT_FLOOR_HEIGHT = 8;
static constexpr int ROOM_AT_FLOOR_TILE = 152;
static constexpr int ROOM_AT_WALL_LEFT = 296;
static constexpr int ROOM_AT_WALL_RIGHT = 2024;
static constexpr int ROOM_AT_SIZE_X = 3752;
static constexpr int ROOM_AT_SIZE_Y = 3753;
static constexpr int ROOM_AT_CEILING = 3754;
static constexpr int ROOM_AT_LIMIT = 3755;
static constexpr int ROOM_AT_ADJACENT = 3759;
static constexpr int ROOM_AT_BACKCOL = 3763;
static constexpr int ROOM_AT_BRIGHTNESS = 3764;
static constexpr int ROOM_AT_OUTSIDE = 3765;
static constexpr int ROOM_AT_DESCRIPTION = 3766;
static constexpr int ROOM_AT_RESERVED = 3768;

static constexpr int CELL_BYTES = ROOM_CELLS * ROOM_CELLS;
static constexpr int FACE_BYTES = CELL_BYTES * ROOM_LEVELS;

// The byte grids are stored in the order of the arrays ([cx][cy][level]),
// so each is one block.
static_assert(sizeof(room_record::floor_height) == CELL_BYTES);
static_assert(sizeof(room_record::wall_left) == FACE_BYTES);
static_assert(ROOM_AT_FLOOR_TILE == ROOM_AT_FLOOR_HEIGHT + CELL_BYTES);
static_assert(ROOM_AT_WALL_LEFT == ROOM_AT_FLOOR_TILE + CELL_BYTES);
static_assert(ROOM_AT_WALL_RIGHT == ROOM_AT_WALL_LEFT + FACE_BYTES);
static_assert(ROOM_AT_SIZE_X == ROOM_AT_WALL_RIGHT + FACE_BYTES);
static_assert(ROOM_AT_ADJACENT == ROOM_AT_LIMIT + SIDE_COUNT);
static_assert(ROOM_AT_RESERVED + static_cast<int>(sizeof(room_record::reserved)) ==
              ROOM_RECORD_SIZE);

static constexpr int POLY_AT_ROOM = 0;
static constexpr int POLY_AT_POINTS = 4;
static constexpr int POLY_AT_COUNT = 164;
static_assert(POLY_AT_COUNT == POLY_AT_POINTS + POLYGON_MAX_POINTS * 2 * 4);
static_assert(POLY_AT_COUNT + 4 == POLYGON_RECORD_SIZE);

void encode_room(const room_record &room, unsigned char out[ROOM_RECORD_SIZE])
{
    put_i32(out + ROOM_AT_ORIGIN_X, room.origin_x);
    put_i32(out + ROOM_AT_ORIGIN_Y, room.origin_y);
    memcpy(out + ROOM_AT_FLOOR_HEIGHT, room.floor_height, CELL_BYTES);
    memcpy(out + ROOM_AT_FLOOR_TILE, room.floor_tile, CELL_BYTES);
    memcpy(out + ROOM_AT_WALL_LEFT, room.wall_left, FACE_BYTES);
    memcpy(out + ROOM_AT_WALL_RIGHT, room.wall_right, FACE_BYTES);
    out[ROOM_AT_SIZE_X] = room.size_x;
    out[ROOM_AT_SIZE_Y] = room.size_y;
    out[ROOM_AT_CEILING] = room.ceiling;
    memcpy(out + ROOM_AT_LIMIT, room.limit, SIDE_COUNT);
    memcpy(out + ROOM_AT_ADJACENT, room.adjacent, SIDE_COUNT);
    out[ROOM_AT_BACKCOL] = room.backcol;
    out[ROOM_AT_BRIGHTNESS] = room.brightness;
    out[ROOM_AT_OUTSIDE] = room.outside;
    put_i16(out + ROOM_AT_DESCRIPTION, room.description);
    memcpy(out + ROOM_AT_RESERVED, room.reserved, sizeof room.reserved);
}

void decode_room(const unsigned char in[ROOM_RECORD_SIZE], room_record &room)
{
    room.origin_x = get_i32(in + ROOM_AT_ORIGIN_X);
    room.origin_y = get_i32(in + ROOM_AT_ORIGIN_Y);
    memcpy(room.floor_height, in + ROOM_AT_FLOOR_HEIGHT, CELL_BYTES);
    memcpy(room.floor_tile, in + ROOM_AT_FLOOR_TILE, CELL_BYTES);
    memcpy(room.wall_left, in + ROOM_AT_WALL_LEFT, FACE_BYTES);
    memcpy(room.wall_right, in + ROOM_AT_WALL_RIGHT, FACE_BYTES);
    room.size_x = in[ROOM_AT_SIZE_X];
    room.size_y = in[ROOM_AT_SIZE_Y];
    room.ceiling = in[ROOM_AT_CEILING];
    memcpy(room.limit, in + ROOM_AT_LIMIT, SIDE_COUNT);
    memcpy(room.adjacent, in + ROOM_AT_ADJACENT, SIDE_COUNT);
    room.backcol = in[ROOM_AT_BACKCOL];
    room.brightness = in[ROOM_AT_BRIGHTNESS];
    room.outside = in[ROOM_AT_OUTSIDE];
    room.description = get_i16(in + ROOM_AT_DESCRIPTION);
    memcpy(room.reserved, in + ROOM_AT_RESERVED, sizeof room.reserved);
}

void encode_polygon(const polygon_record &poly, unsigned char out[POLYGON_RECORD_SIZE])
{
    put_i32(out + POLY_AT_ROOM, poly.room);
    for (int i = 0; i < POLYGON_MAX_POINTS * 2; i++) {
        put_i32(out + POLY_AT_POINTS + 4 * i, poly.points[i]);
    }
    put_i32(out + POLY_AT_COUNT, poly.point_count);
}

void decode_polygon(const unsigned char in[POLYGON_RECORD_SIZE], polygon_record &poly)
{
    poly.room = get_i32(in + POLY_AT_ROOM);
    for (int i = 0; i < POLYGON_MAX_POINTS * 2; i++) {
        poly.points[i] = get_i32(in + POLY_AT_POINTS + 4 * i);
    }
    poly.point_count = get_i32(in + POLY_AT_COUNT);
}

void clear_rooms(void)
{
    for (room_record &room : rooms) {
        memset(room.floor_height, CLEARED_CELL, sizeof room.floor_height);
        memset(room.floor_tile, CLEARED_CELL, sizeof room.floor_tile);
    }
    for (polygon_record &poly : polygons) {
        poly.room = POLYGON_FREE;
    }
}

static int32_t clamp_i32(int32_t v, int32_t limit)
{
    return v < -limit ? -limit : (v > limit ? limit : v);
}

// A file that cannot be read leaves its table as it is, and says why.
static FILE *open_table_file(const char *path)
{
    const char *reason = nullptr;
    FILE *f = open_data_file(path, ANY_FILE_SIZE, nullptr, &reason);
    if (f == nullptr) {
        report_skipped_file(path, reason);
    }
    return f;
}

// The files are stored as they are, except for the polygon points, which
// are held inside their limits. Users must validate what they index with:
// - size_x and size_y outside 1..12 (the cell grids are 12 x 12);
// - floor_tile, wall_left and wall_right numbers beyond the images that
//   exist (the datafile lookup yields null for them);
// - adjacent rooms and description message numbers (get_message answers
//   null for a number it does not have);
// - brightness outside 0..7;
// - origins anywhere in the int range (the projection works in 64 bits);
// - a polygon's point_count outside 0..20 and its room outside 0..399.
static void load_rooms_file(const char *path)
{
    FILE *f = open_table_file(path);
    if (f == nullptr) {
        return;
    }
    unsigned char record[ROOM_RECORD_SIZE];
    for (room_record &room : rooms) {
        if (fread(record, sizeof record, 1, f) != 1) {
            break;
        }
        decode_room(record, room);
    }
    fclose(f);
}

static void load_polygons_file(const char *path)
{
    FILE *f = open_table_file(path);
    if (f == nullptr) {
        return;
    }
    unsigned char record[POLYGON_RECORD_SIZE];
    for (polygon_record &poly : polygons) {
        if (fread(record, sizeof record, 1, f) != 1) {
            break;
        }
        decode_polygon(record, poly);
        for (int32_t &v : poly.points) {
            v = clamp_i32(v, POLYGON_POINT_LIMIT);
        }
    }
    fclose(f);
}

void load_map_files(const char *map_path, const char *poly_path)
{
    load_rooms_file(map_path);
    load_polygons_file(poly_path);
}

void load_map(void)
{
    char map_path[256], poly_path[256];
    format_data_path(map_path, sizeof map_path, MAP_FORMAT, data_folder);
    format_data_path(poly_path, sizeof poly_path, POLY_FORMAT, data_folder);
    load_map_files(map_path, poly_path);
}
