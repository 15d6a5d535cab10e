// The art generator's two families of images.
#pragma once

#include <string>
#include <vector>

#include "datafile_writer.h"

// Entries 0..11 of the general datafile: two font sheets, the caption
// plaque (7), the examine panel (9), the play panel (11) and small ornaments.
void make_interface_entries(std::vector<datafile_entry> &out);

// Replaces the second font sheet with an image that is not a font sheet
// (used to check that start-up refuses such a file).
void break_font_entry(std::vector<datafile_entry> &out);

// Every image of the game's datafile, by index.
void make_game_entries(std::vector<datafile_entry> &out);

// Writes the application icons, dir/quillmere-N.png for N 32, 64, 128 and
// 256, from the game's images. Returns 0 when one cannot be written.
int write_icons(const std::vector<datafile_entry> &game_entries, const std::string &dir);
