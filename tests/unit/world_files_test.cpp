// The room, polygon and world object files: byte layout, whole, short, long,
// garbage and missing files, and the world object registry.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "shell/error_report.h"
#include "test_support.h"
#include "world/rooms.h"
#include "world/world_objects.h"

namespace
{

room_record sample_room(int seed)
{
    room_record r;
    memset(&r, 0, sizeof r);
    r.origin_x = 160 + seed;
    r.origin_y = -70000 - seed;
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
    r.limit[SIDE_LOW_Y] = 1;
    r.limit[SIDE_HIGH_X] = 104;
    r.limit[SIDE_HIGH_Y] = 179;
    r.limit[SIDE_LOW_X] = 2;
    r.adjacent[SIDE_HIGH_X] = 255;
    r.backcol = 3;
    r.brightness = 7;
    r.outside = 1;
    r.description = static_cast<int16_t>(-2 - seed);
    r.reserved[7] = 0xAB;
    return r;
}

std::string encoded_rooms(int count)
{
    std::string bytes;
    unsigned char record[ROOM_RECORD_SIZE];
    for (int i = 0; i < count; i++) {
        encode_room(sample_room(i), record);
        bytes.append(reinterpret_cast<char *>(record), sizeof record);
    }
    return bytes;
}

polygon_record sample_polygon(int seed)
{
    polygon_record p;
    memset(&p, 0, sizeof p);
    p.room = seed;
    for (int i = 0; i < POLYGON_MAX_POINTS * 2; i++) {
        p.points[i] = i * 1000 - seed;
    }
    p.point_count = 3 + seed % 18;
    return p;
}

std::string encoded_polygons(int count)
{
    std::string bytes;
    unsigned char record[POLYGON_RECORD_SIZE];
    for (int i = 0; i < count; i++) {
        encode_polygon(sample_polygon(i), record);
        bytes.append(reinterpret_cast<char *>(record), sizeof record);
    }
    return bytes;
}

world_object sample_object(int seed)
{
    world_object w;
    memset(&w, 0, sizeof w);
    w.used = WOBJ_IN_USE;
    w.obj_def = seed % 194;
    w.room = seed % 400;
    w.x = 10.5f + static_cast<float>(seed);
    w.y = -3.25f;
    w.z = 1e6f;
    w.reserved0[0] = 0x11;
    w.door = 1;
    w.door_room = 84;
    w.door_x = 66;
    w.door_y = -74;
    w.door_z = 3;
    w.door_key = 9999;
    w.examine_text = -1;
    w.visible = 1;
    w.transparent = 128;
    w.frame = 3;
    w.room_part = 1;
    w.reserved1[29] = 0x22;
    return w;
}

std::string encoded_objects(int count)
{
    std::string bytes;
    unsigned char record[WORLD_OBJECT_RECORD_SIZE];
    for (int i = 0; i < count; i++) {
        encode_world_object(sample_object(i), record);
        bytes.append(reinterpret_cast<char *>(record), sizeof record);
    }
    return bytes;
}

void reset_world_tables(void)
{
    memset(rooms, 0, sizeof rooms);
    memset(polygons, 0, sizeof polygons);
    clear_rooms();
    memset(world_objects, 0, sizeof world_objects);
}

class WorldFiles : public ::testing::Test
{
  protected:
    scratch_dir dir;
    void SetUp() override
    {
        reset_world_tables();
    }
};

TEST_F(WorldFiles, RoomRecordIsLittleEndianAtItsOffsets)
{
    room_record r = sample_room(0);
    unsigned char b[ROOM_RECORD_SIZE];
    encode_room(r, b);
    EXPECT_EQ(b[0], 160);
    EXPECT_EQ(b[1], 0);
    // -70000 = 0xFFFEEE90
    EXPECT_EQ(b[4], 0x90);
    EXPECT_EQ(b[5], 0xEE);
    EXPECT_EQ(b[6], 0xFE);
    EXPECT_EQ(b[7], 0xFF);
    EXPECT_EQ(b[8 + 3 * 12 + 5], 3 * 12 + 5);                  // floor_height[3][5]
    EXPECT_EQ(static_cast<int8_t>(b[152 + 2 * 12]), -2);       // floor_tile[2][0]
    EXPECT_EQ(static_cast<int8_t>(b[296 + 4 * 144 + 11]), 10); // wall_left[4][0][11]
    EXPECT_EQ(b[2024 + 1 * 144 + 2 * 12 + 3], 1 + 3);          // wall_right[1][2][3]
    EXPECT_EQ(b[3752], 7);
    EXPECT_EQ(b[3753], 12);
    EXPECT_EQ(b[3754], 200);
    EXPECT_EQ(b[3756], 104); // limit[1]
    EXPECT_EQ(b[3760], 255); // adjacent[1]
    EXPECT_EQ(b[3764], 7);
    EXPECT_EQ(b[3766], 0xFE); // description -2
    EXPECT_EQ(b[3767], 0xFF);
    EXPECT_EQ(b[3775], 0xAB);

    room_record back;
    decode_room(b, back);
    EXPECT_EQ(memcmp(&back, &r, sizeof r), 0);
}

TEST_F(WorldFiles, PolygonAndObjectRecordsRoundTrip)
{
    polygon_record p = sample_polygon(5), pb;
    unsigned char b[POLYGON_RECORD_SIZE];
    encode_polygon(p, b);
    EXPECT_EQ(b[0], 5);
    EXPECT_EQ(b[164], 8);
    decode_polygon(b, pb);
    EXPECT_EQ(memcmp(&p, &pb, sizeof p), 0);

    world_object w = sample_object(1), wb;
    unsigned char o[WORLD_OBJECT_RECORD_SIZE];
    encode_world_object(w, o);
    EXPECT_EQ(o[12], 0x00); // 11.5f = 0x41380000
    EXPECT_EQ(o[14], 0x38);
    EXPECT_EQ(o[15], 0x41);
    EXPECT_EQ(o[24], 0x11);
    EXPECT_EQ(o[52], 0xFF); // examine_text -1
    EXPECT_EQ(o[53], 0xFF);
    EXPECT_EQ(o[55], 128);
    EXPECT_EQ(o[87], 0x22);
    decode_world_object(o, wb);
    EXPECT_EQ(memcmp(&w, &wb, sizeof w), 0);
}

TEST_F(WorldFiles, WholeFilesFillEveryRecord)
{
    std::string map = encoded_rooms(ROOM_COUNT), poly = encoded_polygons(POLYGON_COUNT);
    ASSERT_EQ(map.size(), 1510400u);
    ASSERT_EQ(poly.size(), 33600u);
    write_file("map.dat", map);
    write_file("poly.dat", poly);
    load_map_files("map.dat", "poly.dat");
    for (int i : {0, 1, 399}) {
        room_record expect = sample_room(i);
        EXPECT_EQ(memcmp(&rooms[i], &expect, sizeof expect), 0) << i;
    }
    polygon_record last = sample_polygon(POLYGON_COUNT - 1);
    EXPECT_EQ(memcmp(&polygons[POLYGON_COUNT - 1], &last, sizeof last), 0);
}

TEST_F(WorldFiles, ShortAndLongMapFilesFillOnlyWholeRecords)
{
    // One room and part of a second; two polygons and a stray byte.
    write_file("map.dat", encoded_rooms(2).substr(0, ROOM_RECORD_SIZE + 100));
    write_file("poly.dat", encoded_polygons(2) + "x");
    load_map_files("map.dat", "poly.dat");
    EXPECT_EQ(rooms[0].size_x, 7);
    EXPECT_EQ(rooms[1].size_x, 0);
    EXPECT_EQ(rooms[1].floor_height[0][0], 255);
    EXPECT_EQ(rooms[1].floor_tile[11][11], TILE_NONE);
    EXPECT_EQ(polygons[1].room, 1);
    EXPECT_EQ(polygons[2].room, POLYGON_FREE);

    // A file longer than the table: the extra bytes are never read.
    reset_world_tables();
    write_file("map.dat", encoded_rooms(ROOM_COUNT) + encoded_rooms(3));
    write_file("poly.dat", encoded_polygons(POLYGON_COUNT + 5));
    load_map_files("map.dat", "poly.dat");
    EXPECT_EQ(rooms[399].origin_x, 160 + 399);
    EXPECT_EQ(polygons[199].room, 199);
}

TEST_F(WorldFiles, MissingAndGarbageMapFiles)
{
    load_map_files("nothing.dat", "nothing.dat");
    EXPECT_EQ(rooms[84].floor_height[3][3], 255);
    EXPECT_EQ(polygons[0].room, POLYGON_FREE);
    EXPECT_EQ(polygons[199].room, POLYGON_FREE);

    // Garbage is stored as it is; the loader itself never fails on it.
    std::string noise(ROOM_RECORD_SIZE * 3 + 7, '\0');
    for (size_t i = 0; i < noise.size(); i++) {
        noise[i] = static_cast<char>((i * 7919u + 13u) % 251u);
    }
    write_file("map.dat", noise);
    write_file("poly.dat", noise);
    load_map_files("map.dat", "poly.dat");
    EXPECT_EQ(rooms[2].size_x, static_cast<uint8_t>(noise[2 * ROOM_RECORD_SIZE + 3752]));
    EXPECT_EQ(rooms[3].floor_height[0][0], 255);
}

TEST_F(WorldFiles, LoadMapReadsTheDataFolder)
{
    std::filesystem::create_directory("data1");
    write_file("data1/map.dat", encoded_rooms(1));
    load_map();
    EXPECT_EQ(rooms[0].ceiling, 200);
    EXPECT_EQ(polygons[0].room, POLYGON_FREE);
}

TEST_F(WorldFiles, WorldObjectsFileLoadsAndMarksCarriedOutOfPlay)
{
    std::string bytes = encoded_objects(WORLD_OBJECT_COUNT);
    ASSERT_EQ(bytes.size(), 880000u);
    world_object carried = sample_object(7);
    carried.room = ROOM_CARRIED;
    encode_world_object(carried,
                        reinterpret_cast<unsigned char *>(&bytes[7 * WORLD_OBJECT_RECORD_SIZE]));
    write_file("wobjects.dat", bytes);
    load_world_objects("wobjects.dat");
    EXPECT_EQ(world_objects[7].used, WOBJ_OUT_OF_PLAY);
    EXPECT_EQ(world_objects[8].used, WOBJ_IN_USE);
    world_object last = sample_object(9999);
    EXPECT_EQ(memcmp(&world_objects[9999], &last, sizeof last), 0);
}

TEST_F(WorldFiles, ShortLongAndMissingWorldObjectFiles)
{
    world_objects[5].used = WOBJ_IN_USE;
    world_objects[5].obj_def = 77;
    write_file("wobjects.dat", encoded_objects(3) + "abc");
    load_world_objects("wobjects.dat");
    EXPECT_EQ(world_objects[2].obj_def, 2);
    EXPECT_EQ(world_objects[3].used, WOBJ_FREE);
    EXPECT_EQ(world_objects[5].obj_def, 77); // beyond the file: as it was

    write_file("wobjects.dat", encoded_objects(WORLD_OBJECT_COUNT) + encoded_objects(2));
    load_world_objects("wobjects.dat");
    EXPECT_EQ(world_objects[9999].room, 9999 % 400);

    load_world_objects("missing.dat");
    EXPECT_EQ(world_objects[9999].room, 9999 % 400);
}

class Registry : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        memset(world_objects, 0, sizeof world_objects);
    }
};

TEST_F(Registry, NewObjectsTakeTheDefaults)
{
    world_objects[12].reserved1[0] = 0x5A;
    world_objects[12].examine_text = 40;
    world_objects[12].door = 1;
    create_world_object(12, 84, 46, 10, 20, 3);
    const world_object &w = world_objects[12];
    EXPECT_EQ(w.used, WOBJ_IN_USE);
    EXPECT_EQ(w.obj_def, 46);
    EXPECT_EQ(w.room, 84);
    EXPECT_FLOAT_EQ(w.z, 3.0f);
    EXPECT_EQ(w.examine_text, NO_MESSAGE);
    EXPECT_EQ(w.visible, 1);
    EXPECT_EQ(w.door, 0);
    EXPECT_EQ(w.door_room, NO_ROOM);
    EXPECT_EQ(w.door_key, NO_KEY);
    EXPECT_EQ(w.reserved1[0], 0x5A); // reserved bytes are left alone
    unsigned char b[WORLD_OBJECT_RECORD_SIZE];
    encode_world_object(w, b);
    EXPECT_EQ(b[52], 0xFF);
    EXPECT_EQ(b[53], 0xFF);
}

TEST_F(Registry, IdsAreHandedOutFromOne)
{
    EXPECT_EQ(get_world_object_id(), 1);
    world_objects[1].used = WOBJ_OUT_OF_PLAY;
    world_objects[2].used = WOBJ_IN_USE;
    EXPECT_EQ(get_world_object_id(), 3);

    for (int id = 1; id < WORLD_OBJECT_COUNT; id++) {
        world_objects[id].used = WOBJ_IN_USE;
    }
    int before = reported_error_count;
    EXPECT_EQ(get_world_object_id(), -1); // id 0 is free but never handed out
    EXPECT_EQ(reported_error_count, before + 1);
    EXPECT_STREQ(last_reported_error, "get_world_object_id : no free objects");

    remove_world_object(9999);
    EXPECT_EQ(get_world_object_id(), 9999);
}

TEST_F(Registry, RemovalChecksTheId)
{
    world_objects[0].used = WOBJ_IN_USE;
    world_objects[40].used = WOBJ_IN_USE;
    world_objects[40].obj_def = 50;
    int before = reported_error_count;
    remove_world_object(0);
    EXPECT_STREQ(last_reported_error, "remove_world_object : 0 is an invalid world object ID");
    remove_world_object(10000);
    EXPECT_STREQ(last_reported_error, "remove_world_object : 10000 is an invalid world object ID");
    remove_world_object(-7);
    EXPECT_STREQ(last_reported_error, "remove_world_object : -7 is an invalid world object ID");
    EXPECT_EQ(reported_error_count, before + 3);
    EXPECT_EQ(world_objects[0].used, WOBJ_IN_USE);

    remove_world_object(40);
    EXPECT_EQ(world_objects[40].used, WOBJ_FREE);
    EXPECT_EQ(world_objects[40].obj_def, 50);
    EXPECT_EQ(reported_error_count, before + 3);
}

} // namespace
