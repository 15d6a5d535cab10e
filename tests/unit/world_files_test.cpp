// The room, polygon and world object files: byte layout, whole, short, long,
// missing and out-of-range files, and the world object registry.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "shell/error_report.h"
#include "test_support.h"
#include "world/messages.h"
#include "world/rooms.h"
#include "world/world_objects.h"

namespace
{

room_record sample_room(int seed)
{
    room_record r;
    memset(&r, 0, sizeof r);
    r.origin_x = 160 + seed;
    r.origin_y = -700 - seed;
    for (int cx = 0; cx < ROOM_CELLS; cx++) {
        for (int cy = 0; cy < ROOM_CELLS; cy++) {
            r.floor_height[cx][cy] = static_cast<uint8_t>(cx * 12 + cy + seed);
            r.floor_tile[cx][cy] = static_cast<int8_t>(cy - cx);
            for (int l = 0; l < ROOM_LEVELS; l++) {
                r.wall_left[cx][cy][l] = static_cast<int8_t>(l - 1);
                r.wall_right[cx][cy][l] = static_cast<int8_t>(cx + l + seed);
            }
        }
    }
    r.size_x = 7;
    r.size_y = 12;
    r.ceiling = 200;
    r.limit[SIDE_HIGH_X] = 104;
    r.adjacent[SIDE_HIGH_X] = 255;
    r.brightness = 7;
    r.description = static_cast<int16_t>(-2 - seed);
    r.reserved[7] = 0xAB;
    return r;
}

polygon_record sample_polygon(int seed)
{
    polygon_record p;
    memset(&p, 0, sizeof p);
    p.room = seed;
    for (int i = 0; i < POLYGON_MAX_POINTS * 2; i++) {
        p.points[i] = i * 100 - seed;
    }
    p.point_count = 3 + seed % 18;
    return p;
}

world_object sample_object(int seed)
{
    world_object w;
    memset(&w, 0, sizeof w);
    w.used = WOBJ_IN_USE;
    w.obj_def = seed % 194;
    w.room = seed % 400;
    w.x = 10.5f + static_cast<float>(seed % 100);
    w.y = -3.25f;
    w.door_room = 84;
    w.door_y = -74;
    w.door_key = 9999;
    w.examine_text = -1;
    w.transparent = 128;
    w.reserved0[0] = 0x11;
    w.reserved1[29] = 0x22;
    return w;
}

// count records, record i made by encode_nth(i, out).
std::string records(int count, size_t size, void (*encode_nth)(int, unsigned char *))
{
    std::string bytes;
    std::vector<unsigned char> record(size);
    for (int i = 0; i < count; i++) {
        encode_nth(i, record.data());
        bytes.append(reinterpret_cast<char *>(record.data()), size);
    }
    return bytes;
}
std::string rooms_file(int n)
{
    return records(n, ROOM_RECORD_SIZE,
                   [](int i, unsigned char *o) { encode_room(sample_room(i), o); });
}
std::string polys_file(int n)
{
    return records(n, POLYGON_RECORD_SIZE,
                   [](int i, unsigned char *o) { encode_polygon(sample_polygon(i), o); });
}
std::string objects_file(int n)
{
    return records(n, WORLD_OBJECT_RECORD_SIZE,
                   [](int i, unsigned char *o) { encode_world_object(sample_object(i), o); });
}

struct WorldFiles : ::testing::Test {
    scratch_dir dir;
    void SetUp() override
    {
        memset(rooms, 0, sizeof rooms);
        memset(polygons, 0, sizeof polygons);
        clear_rooms();
        memset(world_objects, 0, sizeof world_objects);
    }
};

TEST_F(WorldFiles, RecordsAreLittleEndianAtTheirOffsetsAndRoundTrip)
{
    room_record r = sample_room(0), rb;
    unsigned char b[ROOM_RECORD_SIZE];
    encode_room(r, b);
    EXPECT_EQ(b[4] | b[5] << 8 | b[6] << 16 | b[7] << 24, -700); // origin_y
    EXPECT_EQ(b[8 + 3 * 12 + 5], 3 * 12 + 5);                    // floor_height[3][5]
    EXPECT_EQ(static_cast<int8_t>(b[296 + 4 * 144 + 11]), 10);   // wall_left[4][0][11]
    EXPECT_EQ(b[2024 + 1 * 144 + 2 * 12 + 3], 1 + 3);            // wall_right[1][2][3]
    EXPECT_EQ(b[3756], 104);                                     // limit[1]
    EXPECT_EQ(b[3766], 0xFE);                                    // description -2
    EXPECT_EQ(b[3775], 0xAB);
    decode_room(b, rb);
    EXPECT_EQ(memcmp(&rb, &r, sizeof r), 0);

    world_object w = sample_object(1), wb;
    unsigned char o[WORLD_OBJECT_RECORD_SIZE];
    encode_world_object(w, o);
    EXPECT_EQ(o[14], 0x38); // x 11.5f = 0x41380000
    EXPECT_EQ(o[15], 0x41);
    EXPECT_EQ(o[24], 0x11);
    EXPECT_EQ(o[52], 0xFF); // examine_text -1
    EXPECT_EQ(o[87], 0x22);
    decode_world_object(o, wb);
    EXPECT_EQ(memcmp(&w, &wb, sizeof w), 0);
}

// Records in the file: none (a folder or no file: skipped with one line on
// standard error each), a whole table and a torn one, a table and a half,
// longer than the tables.
struct FileLength : WorldFiles, ::testing::WithParamInterface<double> {
};

TEST_P(FileLength, FillsOnlyWholeRecordsAndKeepsTheRest)
{
    double tables = GetParam();
    auto part = [&](const std::string &s, int count) {
        return s.substr(0, static_cast<size_t>(tables * count) * s.size() / (2 * count));
    };
    world_objects[9999].obj_def = 77;
    if (tables > 0) {
        write_file("map.dat", part(rooms_file(2 * ROOM_COUNT), ROOM_COUNT) + "x");
        write_file("poly.dat", part(polys_file(2 * POLYGON_COUNT), POLYGON_COUNT));
        write_file("wobjects.dat", part(objects_file(2 * WORLD_OBJECT_COUNT), WORLD_OBJECT_COUNT));
    } else {
        std::filesystem::create_directory("map.dat");
        std::filesystem::create_directory("messages.dat");
    }
    ::testing::internal::CaptureStderr();
    load_map_files("map.dat", "poly.dat");
    load_world_objects("wobjects.dat");
    if (tables == 0) {
        load_messages_file("messages.dat");
    }
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              tables > 0 ? ""
                         : "map.dat: skipped (not a regular file)\n"
                           "poly.dat: skipped (No such file or directory)\n"
                           "wobjects.dat: skipped (No such file or directory)\n"
                           "messages.dat: skipped (not a regular file)\n");
    int loaded_rooms = static_cast<int>(tables * ROOM_COUNT);
    for (int i : {0, 1, 199, 200, 399}) {
        room_record expect = sample_room(i);
        EXPECT_EQ(memcmp(&rooms[i], &expect, sizeof expect) == 0, i < loaded_rooms) << i;
    }
    EXPECT_EQ(rooms[399].floor_height[0][0] == 255, loaded_rooms < ROOM_COUNT);
    EXPECT_EQ(polygons[199].room, tables >= 1 ? 199 : POLYGON_FREE);
    EXPECT_EQ(world_objects[9999].obj_def, tables >= 1 ? 9999 % 194 : 77);
}

INSTANTIATE_TEST_SUITE_P(Lengths, FileLength, ::testing::Values(0.0, 0.5, 1.0, 1.5));

TEST_F(WorldFiles, CarriedObjectsLoadOutOfPlay)
{
    world_object carried = sample_object(7);
    carried.room = ROOM_CARRIED;
    unsigned char o[WORLD_OBJECT_RECORD_SIZE];
    encode_world_object(carried, o);
    write_file("wobjects.dat", objects_file(7) +
                                   std::string(reinterpret_cast<char *>(o), sizeof o) +
                                   objects_file(2));
    load_world_objects("wobjects.dat");
    EXPECT_EQ(world_objects[7].used, WOBJ_OUT_OF_PLAY);
    EXPECT_EQ(world_objects[8].used, WOBJ_IN_USE);
}

// Positions and polygon points far outside anything drawable load inside
// their limits: the projection and polygon filler overflowed on them (and a
// polygon near +-2^31 never finished). Room origins load as they stand.
struct OutOfRange : WorldFiles, ::testing::WithParamInterface<float> {
};

TEST_P(OutOfRange, LoadsInsideTheLimits)
{
    float v = GetParam();
    int iv = std::isfinite(v) ? static_cast<int>(std::fmax(std::fmin(v, 2e9f), -2e9f)) : INT32_MIN;
    room_record r = sample_room(0);
    r.origin_x = r.origin_y = iv;
    polygon_record p = sample_polygon(0);
    p.points[0] = p.points[39] = iv;
    world_object w = sample_object(0);
    w.x = w.y = w.z = v;
    w.door_x = w.door_z = iv;
    unsigned char rb[ROOM_RECORD_SIZE], pb[POLYGON_RECORD_SIZE], wb[WORLD_OBJECT_RECORD_SIZE];
    encode_room(r, rb);
    encode_polygon(p, pb);
    encode_world_object(w, wb);
    write_file("map.dat", std::string(reinterpret_cast<char *>(rb), sizeof rb));
    write_file("poly.dat", std::string(reinterpret_cast<char *>(pb), sizeof pb));
    write_file("wobjects.dat", std::string(reinterpret_cast<char *>(wb), sizeof wb));
    load_map_files("map.dat", "poly.dat");
    load_world_objects("wobjects.dat");
    EXPECT_EQ(rooms[0].origin_x, iv);
    EXPECT_EQ(rooms[0].origin_y, iv);
    for (int got : {polygons[0].points[0], polygons[0].points[39], world_objects[0].door_x,
                    world_objects[0].door_z}) {
        EXPECT_LE(std::abs(got), 4096);
    }
    for (float got : {world_objects[0].x, world_objects[0].y, world_objects[0].z}) {
        EXPECT_TRUE(std::isfinite(got) && std::fabs(got) <= WORLD_POSITION_LIMIT) << got;
    }
    EXPECT_EQ(world_objects[0].y, std::isnan(v) ? 0.0f : world_objects[0].y);
}

INSTANTIATE_TEST_SUITE_P(Values, OutOfRange,
                         ::testing::Values(NAN, INFINITY, -INFINITY, -1e30f, 3e9f, 2147483520.0f,
                                           4242.0f));

TEST_F(WorldFiles, RegistryHandsOutIdsFromOneAndChecksRemovals)
{
    EXPECT_EQ(get_world_object_id(), 1);
    world_objects[1].used = WOBJ_OUT_OF_PLAY;
    EXPECT_EQ(get_world_object_id(), 2);
    for (int id = 1; id < WORLD_OBJECT_COUNT; id++) {
        world_objects[id].used = WOBJ_IN_USE;
    }
    EXPECT_EQ(get_world_object_id(), -1); // id 0 is free but never handed out
    EXPECT_STREQ(last_reported_error, "get_world_object_id : no free objects");
    remove_world_object(9999);
    EXPECT_EQ(get_world_object_id(), 9999);

    world_objects[0].used = WOBJ_IN_USE;
    for (int id : {0, 10000, -7}) {
        remove_world_object(id);
        EXPECT_EQ(std::string(last_reported_error),
                  "remove_world_object : " + std::to_string(id) + " is an invalid world object ID");
    }
    EXPECT_EQ(world_objects[0].used, WOBJ_IN_USE);
}

} // namespace
