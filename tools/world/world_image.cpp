// Reading and writing the four world files as whole tables.
#include "world_image.h"

#include "file_replace.h"
#include "platform/data_file.h"
#include "world/messages.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

void clear_room_record(room_record &room)
{
    memset(&room, 0, sizeof room);
    memset(room.floor_height, CLEARED_HEIGHT, sizeof room.floor_height);
    memset(room.floor_tile, TILE_NONE, sizeof room.floor_tile);
}

void clear_world_image(world_image &world)
{
    world.rooms.assign(ROOM_COUNT, room_record{});
    for (room_record &room : world.rooms) {
        clear_room_record(room);
    }
    world.polygons.assign(POLYGON_COUNT, polygon_record{});
    for (polygon_record &poly : world.polygons) {
        memset(&poly, 0, sizeof poly);
        poly.room = POLYGON_FREE;
    }
    world.objects.assign(WORLD_OBJECT_COUNT, world_object{});
    for (world_object &object : world.objects) {
        memset(&object, 0, sizeof object);
    }
    world.messages.clear();
}

static std::string path_in(const std::string &folder, const char *name)
{
    return folder + "/" + name;
}

// Larger than any of the four files can sensibly be (the game reads no
// larger message file); what is larger is not read into memory.
static constexpr long WORLD_FILE_MAX_BYTES = 64L * 1024 * 1024;

static int read_bytes(const std::string &path, std::string &bytes, std::string &error)
{
    long size = 0;
    const char *reason = nullptr;
    FILE *f = open_data_file(path.c_str(), WORLD_FILE_MAX_BYTES, &size, &reason);
    if (f == nullptr) {
        error = path + ": cannot open the file (" + reason + ")";
        return 0;
    }
    bytes.resize(static_cast<size_t>(size));
    const int ok = fread(bytes.data(), 1, bytes.size(), f) == bytes.size();
    fclose(f);
    if (!ok) {
        error = path + ": cannot read the file";
    }
    return ok;
}

static int check_size(const std::string &path, const std::string &bytes, size_t expected,
                      std::string &error)
{
    if (bytes.size() != expected) {
        error = path + ": " + std::to_string(bytes.size()) + " bytes, expected " +
                std::to_string(expected);
        return 0;
    }
    return 1;
}

// The bytes of the four files, in the order of WORLD_FILES.
static void encode_world_files(const world_image &world, std::string out[WORLD_FILE_COUNT])
{
    std::string &map = out[0], &poly = out[1], &objects = out[2], &messages = out[3];
    map.assign(static_cast<size_t>(ROOM_COUNT) * ROOM_RECORD_SIZE, '\0');
    for (int i = 0; i < ROOM_COUNT; i++) {
        encode_room(world.rooms[i], reinterpret_cast<unsigned char *>(
                                        &map[static_cast<size_t>(i) * ROOM_RECORD_SIZE]));
    }
    poly.assign(static_cast<size_t>(POLYGON_COUNT) * POLYGON_RECORD_SIZE, '\0');
    for (int i = 0; i < POLYGON_COUNT; i++) {
        encode_polygon(world.polygons[i], reinterpret_cast<unsigned char *>(
                                              &poly[static_cast<size_t>(i) * POLYGON_RECORD_SIZE]));
    }
    objects.assign(static_cast<size_t>(WORLD_OBJECT_COUNT) * WORLD_OBJECT_RECORD_SIZE, '\0');
    for (int i = 0; i < WORLD_OBJECT_COUNT; i++) {
        encode_world_object(world.objects[i],
                            reinterpret_cast<unsigned char *>(
                                &objects[static_cast<size_t>(i) * WORLD_OBJECT_RECORD_SIZE]));
    }
    messages.clear();
    for (const std::string &text : world.messages) {
        messages += text;
        messages += '\0';
    }
}

std::string world_image_bytes(const world_image &world)
{
    std::string files[WORLD_FILE_COUNT];
    encode_world_files(world, files);
    return files[0] + files[1] + files[2] + files[3];
}

int write_world_files(const std::string &folder, const world_image &world, std::string &error)
{
    std::string files[WORLD_FILE_COUNT];
    encode_world_files(world, files);
    std::vector<file_bytes> set;
    for (int i = 0; i < WORLD_FILE_COUNT; i++) {
        set.push_back({path_in(folder, WORLD_FILES[i]), files[i]});
    }
    return replace_files(set, error);
}

std::vector<std::string> split_messages(const std::string &bytes)
{
    std::vector<std::string> out;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find('\0', start);
        if (end == std::string::npos) {
            out.push_back(bytes.substr(start));
            break;
        }
        out.push_back(bytes.substr(start, end - start));
        start = end + 1;
    }
    return out;
}

int read_world_files(const std::string &folder, world_image &world, std::string &error)
{
    clear_world_image(world);
    std::string map, poly, objects, messages;
    const std::string map_path = path_in(folder, MAP_FILE);
    const std::string poly_path = path_in(folder, POLY_FILE);
    const std::string objects_path = path_in(folder, WOBJECTS_FILE);
    if (!read_bytes(map_path, map, error) ||
        !check_size(map_path, map, static_cast<size_t>(ROOM_COUNT) * ROOM_RECORD_SIZE, error) ||
        !read_bytes(poly_path, poly, error) ||
        !check_size(poly_path, poly, static_cast<size_t>(POLYGON_COUNT) * POLYGON_RECORD_SIZE,
                    error) ||
        !read_bytes(objects_path, objects, error) ||
        !check_size(objects_path, objects,
                    static_cast<size_t>(WORLD_OBJECT_COUNT) * WORLD_OBJECT_RECORD_SIZE, error) ||
        !read_bytes(path_in(folder, MESSAGES_FILE), messages, error)) {
        return 0;
    }
    for (int i = 0; i < ROOM_COUNT; i++) {
        decode_room(reinterpret_cast<const unsigned char *>(
                        &map[static_cast<size_t>(i) * ROOM_RECORD_SIZE]),
                    world.rooms[i]);
    }
    for (int i = 0; i < POLYGON_COUNT; i++) {
        decode_polygon(reinterpret_cast<const unsigned char *>(
                           &poly[static_cast<size_t>(i) * POLYGON_RECORD_SIZE]),
                       world.polygons[i]);
    }
    for (int i = 0; i < WORLD_OBJECT_COUNT; i++) {
        decode_world_object(reinterpret_cast<const unsigned char *>(
                                &objects[static_cast<size_t>(i) * WORLD_OBJECT_RECORD_SIZE]),
                            world.objects[i]);
    }
    world.messages = split_messages(messages);
    return 1;
}

// The game's message table is filled through its own loader, from a
// scratch file written with the world's texts and removed once read.
static void hand_messages_to_game(const world_image &world)
{
    char path[] = "/tmp/qm_messages_XXXXXX";
    const int fd = mkstemp(path);
    FILE *f = fd >= 0 ? fdopen(fd, "wb") : nullptr;
    if (f == nullptr) {
        return;
    }
    for (const std::string &text : world.messages) {
        fwrite(text.c_str(), 1, text.size() + 1, f);
    }
    fclose(f);
    load_messages_file(path);
    remove(path);
}

void hand_world_to_game(const world_image &world)
{
    std::copy(world.rooms.begin(), world.rooms.end(), rooms);
    std::copy(world.polygons.begin(), world.polygons.end(), polygons);
    std::copy(world.objects.begin(), world.objects.end(), world_objects);
    for (world_object &w : world_objects) {
        if (w.room == ROOM_CARRIED) {
            w.used = WOBJ_OUT_OF_PLAY;
        }
    }
    hand_messages_to_game(world);
}
