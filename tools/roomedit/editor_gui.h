// The room editor's window: one Allegro dialog with a button per mode over
// the room view, the mode's side panel, the findings and bookmarks.
#pragma once

#include <cstdio>

#include "editor_files.h"

constexpr int EDITOR_W = 1010;
constexpr int EDITOR_H = 540;

// Runs the editor on an already set-up screen until it is closed.
void run_editor(const editor_paths &paths, world_image &world, int first_room);

// Writes one line per labelled widget of the window: its mode ("*" for
// every mode), its label and its centre in window pixels, tab-separated;
// last the line "view" with the room view's top-left corner. Scripts and
// tests find the widgets by label instead of by pixel.
void print_editor_layout(FILE *out);
// The modes' button labels, one line each, and the keys, for --help.
void print_editor_help(FILE *out);
