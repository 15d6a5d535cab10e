// Contact sheet of the game images: every image of a game datafile at twice
// its size on a neutral grey, labelled with its index and the definition
// that shows it, grouped by family. Runs without a display.
//   contact_sheet GAME_DAT OUT_PNG [SCALE]
#include <allegro.h>
#include <loadpng.h>

#include "picture_tool.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "shell/datafile_check.h"
#include "shell/startup.h"
#include "world/image_index.h"
#include "world/object_defs.h"

static constexpr int SHEET_W = 1800;
static constexpr int MARGIN = 8;
static constexpr int LABEL_H = 20;
static constexpr int HEADING_H = 22;
static constexpr int MIN_CELL_W = 80;
static constexpr int CHARS_PER_LABEL = 10;

enum family {
    FAMILY_CHARACTERS,
    FAMILY_FURNITURE,
    FAMILY_OBJECTS,
    FAMILY_DECOR,
    FAMILY_FIXTURES,
    FAMILY_DOORS,
    FAMILY_STAIRS,
    FAMILY_WINDOWS,
    FAMILY_FACES,
    FAMILY_TILES,
    FAMILY_OTHER,
    FAMILY_COUNT
};

static const char *const FAMILY_NAMES[FAMILY_COUNT] = {"Characters",
                                                       "Furniture",
                                                       "Objects",
                                                       "Decor",
                                                       "Fixtures, trees and rocks",
                                                       "Doors",
                                                       "Stairs",
                                                       "Windows",
                                                       "Side faces (left 372+n, right 412+n)",
                                                       "Floor tiles (452+n)",
                                                       "Light, reveal and blank"};

static constexpr int DEF_CAT = 193;
static constexpr int FIRST_FACE = 372, LAST_FACE = 451, FIRST_TILE = 452, LAST_TILE = 495;

static int family_of(int index, int owner)
{
    if (index >= FIRST_FACE && index <= LAST_FACE) {
        return FAMILY_FACES;
    }
    if (index >= FIRST_TILE && index <= LAST_TILE) {
        return FAMILY_TILES;
    }
    if (owner < 0 || owner == DEF_ROOM_PART) {
        return FAMILY_OTHER;
    }
    const std::string name = object_defs[owner].name;
    if (name.find("door") != std::string::npos || owner == 123) {
        return FAMILY_DOORS;
    }
    switch (object_defs[owner].category) {
    case CATEGORY_CHARACTER:
        return FAMILY_CHARACTERS;
    case CATEGORY_FURNITURE:
        return FAMILY_FURNITURE;
    case CATEGORY_OBJECT:
        return owner == DEF_CAT ? FAMILY_CHARACTERS : FAMILY_OBJECTS;
    case CATEGORY_DECOR:
        return FAMILY_DECOR;
    case CATEGORY_STAIRS:
        return FAMILY_STAIRS;
    case CATEGORY_WINDOW:
        return FAMILY_WINDOWS;
    default:
        return FAMILY_FIXTURES;
    }
}

struct cell {
    int index;
    BITMAP *bmp;
    std::string label;
};

static std::string label_for(int index, int owner)
{
    if (owner >= 0 && owner != DEF_ROOM_PART) {
        std::string n = object_defs[owner].name;
        if (n.rfind("a ", 0) == 0) {
            n = n.substr(2);
        } else if (n.rfind("an ", 0) == 0) {
            n = n.substr(3);
        }
        return n.substr(0, CHARS_PER_LABEL);
    }
    int row = find_image_range(index);
    return row >= 0 ? std::string(image_ranges[row].what).substr(0, CHARS_PER_LABEL) : "";
}

// Lays the cells out in rows; draws them when sheet is given. Returns the
// height used.
static int lay_out(BITMAP *sheet, const std::vector<cell> *families, int scale)
{
    int y = MARGIN;
    int text = makecol(20, 20, 20), head = makecol(250, 240, 200);
    for (int f = 0; f < FAMILY_COUNT; f++) {
        if (families[f].empty()) {
            continue;
        }
        if (sheet != nullptr) {
            textout_ex(sheet, font, FAMILY_NAMES[f], MARGIN, y + 6, head, -1);
        }
        y += HEADING_H;
        int x = MARGIN, row_h = 0;
        for (const cell &c : families[f]) {
            int w = std::max(MIN_CELL_W, c.bmp->w * scale + 4);
            int h = c.bmp->h * scale + LABEL_H + 6;
            if (x + w > SHEET_W - MARGIN) {
                x = MARGIN;
                y += row_h;
                row_h = 0;
            }
            if (sheet != nullptr) {
                BITMAP *big = create_bitmap(c.bmp->w * scale, c.bmp->h * scale);
                stretch_blit(c.bmp, big, 0, 0, c.bmp->w, c.bmp->h, 0, 0, big->w, big->h);
                rect(sheet, x, y, x + w - 2, y + h - 2, makecol(104, 104, 104));
                draw_sprite(sheet, big, x + 2, y + 2);
                destroy_bitmap(big);
                textprintf_ex(sheet, font, x + 2, y + h - LABEL_H - 2, text, -1, "%d", c.index);
                textout_ex(sheet, font, c.label.c_str(), x + 2, y + h - LABEL_H + 8, text, -1);
            }
            x += w;
            row_h = std::max(row_h, h);
        }
        y += row_h + MARGIN;
    }
    return y;
}

int main(int argc, char **argv)
{
    if (argc < 3) {
        fprintf(stderr, "usage: contact_sheet GAME_DAT OUT_PNG [SCALE]\n");
        return 2;
    }
    int scale = argc > 3 ? atoi(argv[3]) : 2;
    if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0) {
        return 1;
    }
    set_color_depth(32);
    register_png_file_type();
    DATAFILE *data = datafile_is_whole(argv[1]) ? load_datafile(argv[1]) : nullptr;
    if (data == nullptr) {
        fprintf(stderr, "contact_sheet: cannot read %s\n", argv[1]);
        return 1;
    }
    custom_datafile = data;
    load_object_defs();
    std::vector<cell> families[FAMILY_COUNT];
    for (int i = 0; data[i].type != DAT_END; i++) {
        BITMAP *bmp = datafile_bitmap(data, i);
        int row = find_image_range(i);
        if (bmp == nullptr || row < 0) {
            continue; // indexes nothing shows
        }
        int owner = image_owner(i);
        families[family_of(i, owner)].push_back({i, bmp, label_for(i, owner)});
    }
    int h = lay_out(nullptr, families, scale);
    BITMAP *sheet = create_bitmap(SHEET_W, h);
    clear_to_color(sheet, makecol(118, 118, 118));
    lay_out(sheet, families, scale);
    std::error_code failure; // a folder that cannot be made fails the save below
    std::filesystem::create_directories(std::filesystem::path(argv[2]).parent_path(), failure);
    if (!save_picture_png("contact_sheet", sheet, argv[2])) {
        return 1;
    }
    destroy_bitmap(sheet);
    unload_datafile(data);
    custom_datafile = nullptr;
    return 0;
}
END_OF_MAIN()
