// The editor's bookmarked rooms, kept in the game folder between sessions.
#pragma once

#include <vector>

#include "world_image.h"

// Reads the bookmarks file; without one, every room with a record.
void load_bookmarks(const world_image &world, std::vector<int> &bookmarks);
// Adds room, or removes it when it is there, and writes the file; returns 0
// when the file cannot be written.
int toggle_bookmark(std::vector<int> &bookmarks, int room);
