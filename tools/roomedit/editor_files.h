// Where the room editor reads its world and how it saves it: the content
// folder's TOML and the data folder's four world files, each file replaced
// only once its new version is written whole.
#pragma once

#include <string>
#include <vector>

#include "world_image.h"

struct editor_paths {
    std::string content_dir; // the TOML sources
    std::string data_dir;    // map.dat, poly.dat, wobjects.dat, messages.dat
    int from_content = 1;    // 1: the world is compiled from content_dir
};

// Each room's text as the dumper writes it ("" for a room with nothing),
// and the text of the objects out of play; a save rewrites only the files
// whose text changed since these were taken.
struct saved_texts {
    std::vector<std::string> rooms;
    std::string out_of_play;
};

// Reads the world from the content folder (compiled) or the data folder.
// Returns 1 on success; otherwise 0 with the problems in errors.
int load_editor_world(const editor_paths &paths, world_image &world,
                      std::vector<std::string> &errors);
void take_saved_texts(const world_image &world, saved_texts &texts);

// Writes the TOML of every room that changed (all of them, in the dumper's
// form, when the content folder cannot hold the change otherwise), compiles
// it, and writes the compiled world as the four world files. On success the
// world becomes the compiled one and texts are taken anew; returns 1. On a
// failure nothing is replaced and errors say why; returns 0.
int save_editor_world(const editor_paths &paths, world_image &world, saved_texts &texts,
                      std::vector<std::string> &errors);

// The four world files, one record per write, each written to a temporary
// name and renamed over the old file once whole.
int write_world_records(const std::string &folder, const world_image &world, std::string &error);
