// The room editor's window: one Allegro dialog with the six mode buttons
// over the room view, the mode's side panel, the findings and bookmarks.
#pragma once

#include "editor_files.h"

constexpr int EDITOR_W = 1010;
constexpr int EDITOR_H = 540;

// Runs the editor on an already set-up screen until it is closed.
void run_editor(const editor_paths &paths, world_image &world, int first_room);
