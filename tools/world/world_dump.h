// The world dumper: turns the world tables back into content TOML text, one
// file per room, in the layout an author writes, so that compiling the dump
// gives the same world files byte for byte.
#pragma once

#include <string>
#include <vector>

#include "world_image.h"

constexpr const char *OUT_OF_PLAY_FILE = "out_of_play.toml";

struct dump_file {
    std::string name; // file name within the content folder
    std::string text;
};

// One file for every room that has a record, polygons or objects, and one
// for the objects kept out of play. Whatever the text cannot express (data
// the compiler would never write) is described in warnings.
void dump_world(const world_image &world, std::vector<dump_file> &files,
                std::vector<std::string> &warnings);

// The text of one room's file.
std::string dump_room(const world_image &world, int room, std::vector<std::string> &warnings);

// The text of one world object ("[[object]]" and its keys, its id first).
std::string dump_object(const world_image &world, int id, std::vector<std::string> &warnings);

// "room_084.toml" for room 84.
std::string room_file_name(int room);
