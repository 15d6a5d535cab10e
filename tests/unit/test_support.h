// Shared set-up of the unit tests: Allegro without a display, and a scratch
// folder per test to run file-reading code in.
#pragma once

#include <allegro.h>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "shell/resources.h"

// Starts Allegro with no system driver (memory bitmaps, datafiles, config
// functions) once per test program, in 32-bit colour.
inline void start_headless_allegro(void)
{
    static int started = 0;
    if (!started) {
        install_allegro(SYSTEM_NONE, &errno, atexit);
        set_color_depth(COLOUR_DEPTH);
        started = 1;
    }
}

// Makes a fresh empty folder, changes into it, and changes back (and removes
// it) when the scope ends.
struct scratch_dir {
    std::string path;
    std::string previous;
    scratch_dir()
    {
        char pattern[] = "/tmp/qm-test-XXXXXX";
        path = mkdtemp(pattern);
        previous = std::filesystem::current_path().string();
        std::filesystem::current_path(path);
    }
    ~scratch_dir()
    {
        std::filesystem::current_path(previous);
        std::filesystem::remove_all(path);
    }
};

// Writes text (or bytes) to a file in the current folder.
inline void write_file(const char *name, const std::string &bytes)
{
    FILE *f = fopen(name, "wb");
    fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);
}

// A datafile held in memory: count images, each 8 x 8 unless a size is given
// with set_size. It is installed as custom_datafile (or the datafile named)
// while it lives and the previous one is put back afterwards.
#include <vector>

struct fake_datafile {
    std::vector<DATAFILE> entries;
    DATAFILE *previous;
    DATAFILE **installed_at;
    explicit fake_datafile(int count, DATAFILE **at = &custom_datafile) : installed_at(at)
    {
        start_headless_allegro();
        for (int i = 0; i < count; i++) {
            entries.push_back(DATAFILE{create_bitmap(8, 8), DAT_BITMAP, 0, nullptr});
        }
        entries.push_back(DATAFILE{nullptr, DAT_END, 0, nullptr});
        previous = *installed_at;
        *installed_at = entries.data();
    }
    // Gives image index a size and, when asked, a plain colour.
    void set_size(int index, int w, int h, int colour = -1)
    {
        destroy_bitmap(static_cast<BITMAP *>(entries[index].dat));
        entries[index].dat = create_bitmap(w, h);
        if (colour >= 0) {
            clear_to_color(static_cast<BITMAP *>(entries[index].dat), colour);
        }
    }
    ~fake_datafile()
    {
        *installed_at = previous;
        for (DATAFILE &d : entries) {
            if (d.type == DAT_BITMAP) {
                destroy_bitmap(static_cast<BITMAP *>(d.dat));
            }
        }
    }
};
