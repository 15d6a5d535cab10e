// Where the room editor reads its world and how it saves it: the content
// folder's TOML (the source of truth) and the data folder's four world files.
// A save writes the text first and the world files after, each set replaced
// whole, so text and world files never disagree the wrong way: both old, both
// new, or only the text new (which the next build mends).
#pragma once

#include <string>
#include <vector>

#include "world_image.h"

struct editor_paths {
    std::string content_dir; // the TOML sources
    std::string data_dir;    // map.dat, poly.dat, wobjects.dat, messages.dat
    int from_content = 1;    // 1: the world is compiled from content_dir
};

// The world as last loaded or saved: what the files hold.
struct saved_texts {
    world_image world;
};

// Puts back what a killed save left half done (its staging folder, its
// temporaries, world files it had begun to replace). Called before loading.
void recover_editor_files(const editor_paths &paths);

// Reads the world from the content folder (compiled) or the data folder.
// Returns 1 on success; otherwise 0 with the problems in errors.
int load_editor_world(const editor_paths &paths, world_image &world,
                      std::vector<std::string> &errors);
void take_saved_texts(const world_image &world, saved_texts &texts);

// 1 while world differs from what was last loaded or saved, however it came
// to differ (undo past a save, a history that dropped its oldest steps).
int editor_unsaved(const world_image &world, const saved_texts &texts);

// Writes the changes into the content text: in each changed room file only
// the lines of what changed (comments, layout and templates stay); a room
// that cannot be written so is written whole in the dumper's form. The text
// is compiled before anything is replaced; then the text files are replaced,
// then the four world files. On success the world becomes the compiled one
// and texts are taken anew; returns 1. On a failure errors say which file
// and why; returns 0.
int save_editor_world(const editor_paths &paths, world_image &world, saved_texts &texts,
                      std::vector<std::string> &errors);
