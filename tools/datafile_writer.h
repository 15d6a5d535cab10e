// Writes images into an Allegro datafile (uncompressed, order kept), the
// format load_datafile reads and Allegro's dat tool lists.
#pragma once

#include <allegro.h>
#include <string>
#include <vector>

struct datafile_entry {
    std::string name; // stored as the entry's NAME property
    BITMAP *image;    // 32-bit memory bitmap, written as 8.8.8 RGB
};

// Returns 1 on success, 0 when the file could not be written.
int write_datafile(const char *path, const std::vector<datafile_entry> &entries);
