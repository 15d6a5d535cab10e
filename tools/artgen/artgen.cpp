// Art generator: draws the interface and game images and writes qm.dat and
// game.dat. Runs without a display.
//   artgen --qm PATH --game PATH [--broken-font] [--icons DIR]
#include <allegro.h>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "art.h"

static void free_entries(const std::vector<datafile_entry> &entries)
{
    for (const datafile_entry &e : entries) {
        destroy_bitmap(e.image);
    }
}

static int write_or_complain(const char *path, const std::vector<datafile_entry> &entries)
{
    if (!write_datafile(path, entries)) {
        fprintf(stderr, "artgen: cannot write %s\n", path);
        return 0;
    }
    free_entries(entries);
    return 1;
}

int main(int argc, char **argv)
{
    const char *qm_path = nullptr;
    const char *game_path = nullptr;
    const char *icon_dir = nullptr;
    int broken_font = 0;
    for (int i = 1; i < argc; i++) {
        if (strcmp(argv[i], "--qm") == 0 && i + 1 < argc) {
            qm_path = argv[++i];
        } else if (strcmp(argv[i], "--game") == 0 && i + 1 < argc) {
            game_path = argv[++i];
        } else if (strcmp(argv[i], "--icons") == 0 && i + 1 < argc) {
            icon_dir = argv[++i];
        } else if (strcmp(argv[i], "--broken-font") == 0) {
            broken_font = 1;
        } else {
            fprintf(stderr,
                    "usage: artgen [--qm PATH] [--game PATH] [--broken-font] [--icons DIR]\n");
            return 2;
        }
    }
    if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0) {
        fprintf(stderr, "artgen: cannot start the graphics library\n");
        return 1;
    }
    set_color_depth(32);
    if (qm_path != nullptr) {
        std::vector<datafile_entry> entries;
        make_interface_entries(entries);
        if (broken_font) {
            break_font_entry(entries);
        }
        if (!write_or_complain(qm_path, entries)) {
            return 1;
        }
    }
    if (game_path != nullptr || icon_dir != nullptr) {
        std::vector<datafile_entry> entries;
        make_game_entries(entries);
        if (icon_dir != nullptr) {
            std::error_code failure;
            std::filesystem::create_directories(icon_dir, failure);
            if (!write_icons(entries, icon_dir)) {
                fprintf(stderr, "artgen: cannot write the icons into %s\n", icon_dir);
                return 1;
            }
        }
        if (game_path == nullptr) {
            free_entries(entries);
        } else if (!write_or_complain(game_path, entries)) {
            return 1;
        }
    }
    return 0;
}
END_OF_MAIN()
