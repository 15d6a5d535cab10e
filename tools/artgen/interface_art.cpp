// The interface images: font sheets in the grid grab_font_from_bitmap reads,
// and the parchment, stone and gold of the panel, plaque and examine sheet.
#include <cstdio>
#include <algorithm>
#include <string>

#include "art.h"
#include "paint.h"

static const rgb STONE = {92, 84, 78};
static const rgb PARCHMENT = {226, 208, 164};
static const rgb GOLD = {204, 164, 64};
static const rgb INK = {58, 40, 26};
static const rgb WOOD = {104, 70, 40};

static constexpr int FIRST_GLYPH = 32;
static constexpr int GLYPH_COLUMNS = 16;
static constexpr int GLYPH_ROWS = 6; // 96 cells for the 95 characters 32..126
static constexpr int LAST_GLYPH = 126;

// A font sheet: cells of cell_w x cell_h separated by yellow lines, glyphs of
// the library's 8 x 8 font enlarged by scale, on magenta.
static BITMAP *font_sheet(int scale, rgb colour, rgb shadow)
{
    int cell_w = 8 * scale, cell_h = 8 * scale;
    int w = 1 + GLYPH_COLUMNS * (cell_w + 1), h = 1 + GLYPH_ROWS * (cell_h + 1);
    BITMAP *sheet = create_bitmap(w, h);
    clear_to_color(sheet, makecol(255, 255, 0));
    BITMAP *glyph = create_bitmap(8, 8);
    for (int c = FIRST_GLYPH; c <= LAST_GLYPH; c++) {
        int i = c - FIRST_GLYPH;
        int cx = 1 + (i % GLYPH_COLUMNS) * (cell_w + 1);
        int cy = 1 + (i / GLYPH_COLUMNS) * (cell_h + 1);
        rectfill(sheet, cx, cy, cx + cell_w - 1, cy + cell_h - 1, mask_pixel());
        clear_to_color(glyph, 0);
        char text[2] = {static_cast<char>(c), '\0'};
        textout_ex(glyph, font, text, 0, 0, makecol(255, 255, 255), -1);
        for (int y = 0; y < 8; y++) {
            for (int x = 0; x < 8; x++) {
                if (getpixel(glyph, x, y) == 0) {
                    continue;
                }
                int px = cx + x * scale, py = cy + y * scale;
                if (scale > 1) {
                    rectfill(sheet, px + 1, py + 1, px + scale, py + scale, to_pixel(shadow));
                }
                rectfill(sheet, px, py, px + scale - 1, py + scale - 1, to_pixel(colour));
            }
        }
    }
    // The last cell is unused: fill it like the others so the grid stays whole.
    destroy_bitmap(glyph);
    return sheet;
}

// Parchment with a darker, worn edge.
static void parchment(BITMAP *bmp, int x0, int y0, int x1, int y1, int seed)
{
    fill_textured(bmp, x0, y0, x1, y1, PARCHMENT, 0.06f, seed);
    for (int y = y0; y <= y1; y++) {
        for (int x = x0; x <= x1; x++) {
            int edge = std::min(std::min(x - x0, x1 - x), std::min(y - y0, y1 - y));
            if (edge < 3) {
                int c = getpixel(bmp, x, y);
                rgb p = {getr(c), getg(c), getb(c)};
                putpixel(bmp, x, y, to_pixel(shade(p, 0.78f + 0.07f * edge)));
            }
        }
    }
    rect(bmp, x0, y0, x1, y1, to_pixel(shade(INK, 1.4f)));
}

static void cut_corners(BITMAP *bmp, int x0, int y0, int x1, int y1)
{
    int m = mask_pixel();
    putpixel(bmp, x0, y0, m);
    putpixel(bmp, x1, y0, m);
    putpixel(bmp, x0, y1, m);
    putpixel(bmp, x1, y1, m);
}

// The caption plaque: a parchment strip with a gold rim and a rounded left
// cap; the caption's text starts 8 pixels from its left edge.
static BITMAP *caption_plaque(void)
{
    const int w = 340, h = 18;
    BITMAP *bmp = new_image(w, h);
    fill_textured(bmp, 0, 0, w - 1, h - 1, GOLD, 0.12f, 7);
    parchment(bmp, 2, 2, w - 1, h - 3, 71);
    hline(bmp, 0, h - 1, w - 1, to_pixel(shade(GOLD, 0.45f)));
    hline(bmp, 0, 0, w - 1, to_pixel(shade(GOLD, 1.3f)));
    // Rounded left cap.
    for (int y = 0; y < h; y++) {
        int inset = y < 3 ? 3 - y : (y > h - 4 ? y - (h - 4) : 0);
        for (int x = 0; x < inset; x++) {
            putpixel(bmp, x, y, mask_pixel());
        }
    }
    circlefill(bmp, 4, h / 2, 2, to_pixel(shade(GOLD, 0.8f)));
    putpixel(bmp, 4, h / 2 - 1, to_pixel(shade(GOLD, 1.4f)));
    return bmp;
}

// The examine sheet: parchment in a dark wooden frame, text from (14, 13)
// to x = 147.
static BITMAP *examine_sheet(void)
{
    const int w = 162, h = 113;
    BITMAP *bmp = new_image(w, h);
    fill_textured(bmp, 0, 0, w - 1, h - 1, WOOD, 0.15f, 9);
    bevel(bmp, 0, 0, w - 1, h - 1, WOOD, 2);
    parchment(bmp, 6, 6, w - 7, h - 7, 91);
    for (int i = 0; i < 4; i++) {
        int cx = i % 2 ? w - 4 : 3, cy = i / 2 ? h - 4 : 3;
        circlefill(bmp, cx, cy, 2, to_pixel(GOLD));
        putpixel(bmp, cx - 1, cy - 1, to_pixel(shade(GOLD, 1.4f)));
    }
    cut_corners(bmp, 0, 0, w - 1, h - 1);
    return bmp;
}

static void write_ink(BITMAP *bmp, const char *text, int x, int y)
{
    textout_ex(bmp, font, text, x, y, to_pixel(INK), -1);
}

// The play panel, drawn at (0, 170): a stone slab with a gold top rim, a
// parchment card on the left holding the slot badge (text at 13, 22), the
// item niche (items stand on y = 59, centred on x = 35) and the energy
// ribbon (text ends at x = 90, y = 56), and a scroll of controls on the right.
static BITMAP *play_panel(void)
{
    const int w = 320, h = 70;
    BITMAP *bmp = new_image(w, h);
    fill_textured(bmp, 0, 0, w - 1, h - 1, STONE, 0.18f, 11);
    for (int y = 12; y < h; y += 14) {
        hline(bmp, 0, y, w - 1, to_pixel(shade(STONE, 0.7f)));
    }
    fill_textured(bmp, 0, 0, w - 1, 2, GOLD, 0.1f, 12);
    hline(bmp, 0, 3, w - 1, to_pixel(shade(STONE, 0.4f)));

    parchment(bmp, 3, 7, 97, 66, 13);
    // Slot badge.
    circlefill(bmp, 16, 25, 9, to_pixel(shade(GOLD, 0.6f)));
    circlefill(bmp, 16, 25, 8, to_pixel(GOLD));
    circlefill(bmp, 16, 25, 6, to_pixel(shade(PARCHMENT, 1.05f)));
    // Item niche: a shadowed arch whose floor is the ribbon below.
    rgb niche = shade(PARCHMENT, 0.8f);
    rectfill(bmp, 22, 34, 48, 53, to_pixel(niche));
    circlefill(bmp, 35, 34, 13, to_pixel(niche));
    arc(bmp, 35, 34, itofix(0), itofix(128), 13, to_pixel(shade(PARCHMENT, 0.6f)));
    vline(bmp, 22, 34, 53, to_pixel(shade(PARCHMENT, 0.6f)));
    vline(bmp, 48, 34, 53, to_pixel(shade(PARCHMENT, 0.95f)));
    // The ribbon behind the right-aligned energy or notice (a notice of up
    // to eight letters starts at x = 26); carried items stand on it.
    rgb ribbon = shade(PARCHMENT, 1.08f);
    rectfill(bmp, 20, 53, 94, 65, to_pixel(ribbon));
    rect(bmp, 20, 53, 94, 65, to_pixel(shade(GOLD, 0.7f)));
    write_ink(bmp, "LIFE", 60, 44);

    // Controls scroll.
    parchment(bmp, 104, 7, 315, 66, 15);
    write_ink(bmp, "Arrows walk   Space jump", 112, 12);
    write_ink(bmp, "M lunge  X take  Z drop", 112, 25);
    write_ink(bmp, "1-5 slot  6 use  7 look", 112, 38);
    write_ink(bmp, "Esc ends the game", 112, 51);
    return bmp;
}

// A small gold gem (entries nothing in the game reads).
static BITMAP *ornament(int hue)
{
    BITMAP *bmp = new_image(9, 9);
    rgb c = hue ? rgb{170, 40, 40} : GOLD;
    circlefill(bmp, 4, 4, 4, to_pixel(shade(c, 0.6f)));
    circlefill(bmp, 4, 4, 3, to_pixel(c));
    putpixel(bmp, 3, 3, to_pixel(shade(c, 1.5f)));
    return bmp;
}

void make_interface_entries(std::vector<datafile_entry> &out)
{
    out.push_back({"FONT_SMALL", font_sheet(1, {236, 224, 196}, {0, 0, 0})});
    out.push_back({"FONT_LARGE", font_sheet(2, GOLD, shade(GOLD, 0.35f))});
    for (int i = 2; i <= 11; i++) {
        switch (i) {
        case 7:
            out.push_back({"CAPTION_PLAQUE", caption_plaque()});
            break;
        case 9:
            out.push_back({"EXAMINE_SHEET", examine_sheet()});
            break;
        case 11:
            out.push_back({"PLAY_PANEL", play_panel()});
            break;
        default:
            out.push_back({"ORNAMENT_" + std::to_string(i), ornament(i % 2)});
            break;
        }
    }
}

void break_font_entry(std::vector<datafile_entry> &out)
{
    destroy_bitmap(out[1].image);
    out[1].image = new_image(20, 20);
    rectfill(out[1].image, 4, 4, 15, 15, to_pixel(GOLD));
}
