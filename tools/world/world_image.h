// The four world files held in memory as plain tables: what the world
// compiler produces and the world dumper reads back. Also reads and writes
// them as the raw little-endian files the game loads.
#pragma once

#include <string>
#include <vector>

#include "world/rooms.h"
#include "world/world_objects.h"

constexpr const char *MAP_FILE = "map.dat";
constexpr const char *POLY_FILE = "poly.dat";
constexpr const char *WOBJECTS_FILE = "wobjects.dat";
constexpr const char *MESSAGES_FILE = "messages.dat";
constexpr int WORLD_FILE_COUNT = 4;
constexpr const char *WORLD_FILES[WORLD_FILE_COUNT] = {MAP_FILE, POLY_FILE, WOBJECTS_FILE,
                                                       MESSAGES_FILE};

constexpr int CLEARED_HEIGHT = 255; // floor height of a room nothing defines

struct world_image {
    std::vector<room_record> rooms;       // ROOM_COUNT records
    std::vector<polygon_record> polygons; // POLYGON_COUNT records
    std::vector<world_object> objects;    // WORLD_OBJECT_COUNT records
    std::vector<std::string> messages;    // message number = index
};

// The state the game starts from before any file is read: every room
// cleared (heights 255, tiles -1, all else 0), every polygon free, every
// world object free, no messages.
void clear_world_image(world_image &world);
void clear_room_record(room_record &room);

// Writes map.dat, poly.dat, wobjects.dat and messages.dat into folder.
// Returns 1 on success; otherwise 0 with a message in error.
int write_world_files(const std::string &folder, const world_image &world, std::string &error);

// The four files' bytes one after the other: two worlds with the same bytes
// are the same world.
std::string world_image_bytes(const world_image &world);

// Reads the four files from folder. Every file must be present and, except
// messages.dat, of its exact size. Returns 1 on success; otherwise 0 with a
// message naming the file in error.
int read_world_files(const std::string &folder, world_image &world, std::string &error);

// Splits the bytes of messages.dat the way the game does: NUL-terminated
// strings back to back; a tail without a final NUL is one more message.
std::vector<std::string> split_messages(const std::string &bytes);

// Copies rooms, polygons, world objects and messages into the game's tables,
// as the game's loaders would leave them (objects carried at the start out
// of play), so the game's own code can build and check its rooms.
void hand_world_to_game(const world_image &world);
