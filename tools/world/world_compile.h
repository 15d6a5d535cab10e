// The world compiler: turns the content folder's TOML room files into the
// in-memory world tables (rooms, polygons, world objects, messages).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "world_image.h"

constexpr int MAX_TEXT_LENGTH = 255;        // longest caption or examine text
constexpr int MAX_MESSAGES = INT16_MAX + 1; // message numbers are 16-bit
constexpr int FIRST_CONTENT_ROOM = 1;
constexpr int LAST_EXIT_ROOM = 255; // exits are single bytes
constexpr int FIRST_OBJECT_ID = 1;  // id 0 is the player
constexpr int MIN_POLYGON_POINTS = 3;

// Where each room and world object of a compiled world is written, so that
// tools can name the file behind what they find. Empty paths (line 0) for
// rooms and ids no content file defines.
struct world_sources {
    std::vector<std::string> room_file;   // ROOM_COUNT entries
    std::vector<std::string> object_file; // WORLD_OBJECT_COUNT entries
    std::vector<int> object_line;
};

// Reads every *.toml file of content_dir in file-name order and fills world
// (and sources, when given). Each problem found is added to errors as
// "path:line: text". Returns 1 when there was none (world is then
// complete), 0 otherwise.
int compile_world(const std::string &content_dir, world_image &world,
                  std::vector<std::string> &errors, world_sources *sources = nullptr);

// Definitions whose catalogue name is exactly name, in index order. The
// catalogue must have been built (load_object_defs).
std::vector<int> definitions_named(const std::string &name);

// Converts UTF-8 text to the game's 8-bit characters (code points 1..255).
// Returns 1 on success; otherwise 0 with the reason in problem.
int text_to_latin1(const std::string &utf8, std::string &out, std::string &problem);
