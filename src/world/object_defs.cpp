// The object definition catalogue: all 194 definitions built in code, in a
// fixed order (the world objects file stores these indexes), plus the
// helpers that fill one entry and the box rule the art is drawn to.
#include "world/object_defs.h"

#include <allegro.h>
#include <cstdio>
#include <cstring>

#include "shell/resources.h"
#include "world/rooms.h"

object_def object_defs[OBJECT_DEF_COUNT];

// Which definition each mirrored twin was turned from.
static int mirror_sources[OBJECT_DEF_COUNT];

static constexpr int OFFSET_COUNT = OBJECT_MAX_FRAMES - 1;
static constexpr int BYTE_MAX = 255;
static constexpr int DEFAULT_ANIM_DELAY = 1;

// Defaults a category applies (set_object_category).
struct category_defaults {
    int fixed;
    int weight;
    int clears_behaviour;
};

static const category_defaults category_table[] = {
    {0, 1, 0},            // CATEGORY_CHARACTER keeps its behaviour
    {1, WEIGHT_FIXED, 1}, // CATEGORY_FIXTURE
    {1, WEIGHT_FIXED, 1}, // CATEGORY_DECOR
    {1, WEIGHT_FIXED, 1}, // CATEGORY_STAIRS
    {0, WEIGHT_FIXED, 1}, // CATEGORY_FURNITURE
    {0, 1, 1},            // CATEGORY_OBJECT
    {1, WEIGHT_FIXED, 1}, // CATEGORY_WINDOW
};
static constexpr int CATEGORY_KINDS =
    static_cast<int>(sizeof category_table / sizeof category_table[0]);

static int valid_def(int def)
{
    return def >= 0 && def < OBJECT_DEF_COUNT;
}

static uint8_t to_byte(int value)
{
    if (value < 0) {
        return 0;
    }
    return static_cast<uint8_t>(value > BYTE_MAX ? BYTE_MAX : value);
}

void set_object_category(int def, int category)
{
    if (!valid_def(def)) {
        return;
    }
    object_def &d = object_defs[def];
    d.category = to_byte(category);
    if (category < 0 || category >= CATEGORY_KINDS) {
        return;
    }
    const category_defaults &c = category_table[category];
    d.fixed = static_cast<uint8_t>(c.fixed);
    d.weight = static_cast<uint8_t>(c.weight);
    if (c.clears_behaviour) {
        d.behaviour = BEHAVIOUR_NONE;
    }
}

// The frame count is kept within the frames array, so a user indexing
// frames[anim_frame] below anim_frames never reads past it.
void set_object_frames(int def, int count, int base, int o1, int o2, int o3, int o4, int o5, int o6,
                       int o7, int o8, int o9)
{
    if (!valid_def(def)) {
        return;
    }
    object_def &d = object_defs[def];
    const int offsets[OFFSET_COUNT] = {o1, o2, o3, o4, o5, o6, o7, o8, o9};
    if (count < 0) {
        count = 0;
    }
    d.anim_frames = static_cast<int8_t>(count > OBJECT_MAX_FRAMES ? OBJECT_MAX_FRAMES : count);
    d.frames[0] = base;
    for (int i = 1; i < OBJECT_MAX_FRAMES; i++) {
        d.frames[i] = base + offsets[i - 1];
    }
}

void get_image_size(int image, int *width, int *height)
{
    BITMAP *bmp = datafile_bitmap(custom_datafile, image);
    *width = bmp != nullptr ? bmp->w : 0;
    *height = bmp != nullptr ? bmp->h : 0;
}

// The box rule. A sprite at whole-unit position (X, Y, Z) with box
// (sx, sy, sz) fills the unit cells X..X+sx-1, Y..Y+sy-1, Z..Z+sz-1. The
// projection puts cell (x, y, z) at screen column origin - 2x + 2y (a cell is
// two pixels wide) and row origin - x - y - z. Measured from the anchor (the
// projected near bottom corner, cell (X, Y, Z)) the box reaches 2*(sx-1)
// columns to the left, 2*(sy-1)+1 to the right and (sx-1)+(sy-1)+(sz-1) rows
// up; the anchor row is its lowest. With a border of m = IMAGE_MARGIN pixels:
//   draw_offset_x = 2*(sx-1) + m         draw_offset_y = (sx-1)+(sy-1)+(sz-1) + m
//   width = draw_offset_x + 2*sy + m     height = draw_offset_y + 1 + m
// so a box image is 2*(sx+sy) - 2 + 2m wide and sx+sy+sz - 2 + 2m high.
// Mirroring an image turns its box a quarter: the two-pixel anchor column at
// draw_offset_x lands at width - draw_offset_x - 2, which is the offset
// define_mirrored_object gives the twin, and equals the rule's offset for the
// swapped box. The fixed entries of the catalogue keep their own offsets;
// object_image_box gives the image size that fits their box all the same.
void box_draw_offsets(int size_x, int size_y, int size_z, int *offset_x, int *offset_y)
{
    *offset_x = 2 * (size_x - 1) + IMAGE_MARGIN;
    *offset_y = (size_x - 1) + (size_y - 1) + (size_z - 1) + IMAGE_MARGIN;
    if (*offset_x < 0) {
        *offset_x = 0;
    }
    if (*offset_y < 0) {
        *offset_y = 0;
    }
}

int object_mirror_source(int def)
{
    return valid_def(def) ? mirror_sources[def] : NOT_MIRRORED;
}

void object_image_box(int def, int *width, int *height)
{
    *width = 0;
    *height = 0;
    if (!valid_def(def)) {
        return;
    }
    if (mirror_sources[def] != NOT_MIRRORED) {
        def = mirror_sources[def];
    }
    const object_def &d = object_defs[def];
    *width = d.draw_offset_x + 2 * d.size_y + IMAGE_MARGIN;
    *height = d.draw_offset_y + 1 + IMAGE_MARGIN;
}

// The twin's offset comes from the width of its own base image. Until that
// image exists (no datafile, or a placeholder) the width the box rule gives
// the source's image stands in, and the result is held within a byte.
void define_mirrored_object(int src, int dst, int image)
{
    if (!valid_def(src) || !valid_def(dst)) {
        return;
    }
    const object_def &s = object_defs[src];
    object_def &d = object_defs[dst];
    set_object_category(dst, s.category);
    d.size_x = s.size_y;
    d.size_y = s.size_x;
    d.size_z = s.size_z;
    int width, height;
    get_image_size(image, &width, &height);
    if (width == 0) {
        object_image_box(src, &width, &height);
    }
    d.draw_offset_x = to_byte(width - s.draw_offset_x - 2);
    d.draw_offset_y = s.draw_offset_y;
    memcpy(d.name, s.name, sizeof d.name);
    d.weight = s.weight;
    d.initial_facing = s.initial_facing;
    d.frames_per_facing = s.frames_per_facing;
    d.anim_delay = s.anim_delay;
    d.light = s.light;
    d.damage = s.damage;
    int o[OFFSET_COUNT];
    for (int i = 0; i < OFFSET_COUNT; i++) {
        o[i] = s.frames[i + 1] - s.frames[0];
    }
    set_object_frames(dst, s.anim_frames, image, o[0], o[1], o[2], o[3], o[4], o[5], o[6], o[7],
                      o[8]);
    mirror_sources[dst] = src;
}

static void set_name(int def, const char *name)
{
    snprintf(object_defs[def].name, sizeof object_defs[def].name, "%s", name);
}

static void set_box(int def, int sx, int sy, int sz, int offset_x, int offset_y)
{
    object_def &d = object_defs[def];
    d.size_x = to_byte(sx);
    d.size_y = to_byte(sy);
    d.size_z = to_byte(sz);
    d.draw_offset_x = to_byte(offset_x);
    d.draw_offset_y = to_byte(offset_y);
}

static void reset_all_defs(void)
{
    for (int def = 0; def < OBJECT_DEF_COUNT; def++) {
        object_def &d = object_defs[def];
        memset(&d, 0, sizeof d);
        d.category = CATEGORY_CHARACTER;
        d.anim_frames = 1;
        d.anim_delay = DEFAULT_ANIM_DELAY;
        for (int i = 0; i < OBJECT_MAX_FRAMES; i++) {
            d.frames[i] = IMAGE_EMPTY;
        }
        d.weight = 1;
        mirror_sources[def] = NOT_MIRRORED;
    }
}

static void define_room_part(void)
{
    set_object_category(DEF_ROOM_PART, CATEGORY_FIXTURE);
    set_name(DEF_ROOM_PART, "Room part");
}

static constexpr int PLAYER_FIRST_FRAME = 143;
static constexpr int PLAYER_FRAMES = 10;
static constexpr int PLAYER_FRAMES_PER_FACING = 12;

static void define_player(void)
{
    set_object_category(DEF_PLAYER, CATEGORY_CHARACTER);
    set_object_frames(DEF_PLAYER, PLAYER_FRAMES, PLAYER_FIRST_FRAME, 1, 2, 3, 4, 5, 6, 7, 8, 9);
    set_box(DEF_PLAYER, 3, 3, 28, 10, 30);
    object_defs[DEF_PLAYER].frames_per_facing = PLAYER_FRAMES_PER_FACING;
    object_defs[DEF_PLAYER].anim_delay = DEFAULT_ANIM_DELAY;
    set_name(DEF_PLAYER, "Ondel");
}

// The staircase steps, four runs in a row. Runs 1 and 2 are short flights of
// three; runs 3 and 4 climb ten steps of 6 units, the top step of each a
// landing with four looks.
static constexpr int FIRST_STEP = 1;
static constexpr int SHORT_RUN = 3;
static constexpr int LONG_RUN = 10;
static constexpr int STEP_RISE = 6;
static constexpr int STEP_DRAW_RISE = 6;
static constexpr int LANDING_VARIANTS = 4;

static void define_step(int def, const char *format, int number, int sx, int sy, int sz,
                        int offset_x, int offset_y, int image, int variants)
{
    set_object_category(def, CATEGORY_STAIRS);
    set_object_frames(def, variants, image, 1, 2, 3, 0, 0, 0, 0, 0, 0);
    if (variants > 1) {
        object_defs[def].anim_delay = 0;
    }
    set_box(def, sx, sy, sz, offset_x, offset_y);
    snprintf(object_defs[def].name, sizeof object_defs[def].name, format, number);
}

static constexpr int STEP_1_IMAGE = 345;     // 345..347
static constexpr int STEP_2_IMAGE = 348;     // 348..350
static constexpr int STEP_3_IMAGE = 319;     // 319..327
static constexpr int STEP_3_TOP_IMAGE = 328; // 328..331
static constexpr int STEP_4_IMAGE = 332;     // 332..340
static constexpr int STEP_4_TOP_IMAGE = 341; // 341..344

static void define_steps(void)
{
    int def = FIRST_STEP;
    for (int i = 1; i <= SHORT_RUN; i++) {
        define_step(def++, "Step 1 -  %i", i, 11, 3, 5 * i, 21, 26, STEP_1_IMAGE + i - 1, 1);
    }
    for (int i = 1; i <= SHORT_RUN; i++) {
        define_step(def++, "Step 2 -  %i", i, 3, 11, 5 * (SHORT_RUN + 1 - i), 5, 26,
                    STEP_2_IMAGE + i - 1, 1);
    }
    for (int i = 1; i < LONG_RUN; i++) {
        define_step(def++, "Step 3 -  %i", i, 15, 2, STEP_RISE * i, 28,
                    20 + STEP_DRAW_RISE * (i - 1), STEP_3_IMAGE + i - 1, 1);
    }
    define_step(def++, "Step 3 -  %i", LONG_RUN, 15, 11, STEP_RISE * LONG_RUN, 28, 85,
                STEP_3_TOP_IMAGE, LANDING_VARIANTS);
    for (int i = 1; i < LONG_RUN; i++) {
        define_step(def++, "Step 4 -  %i", i, 2, 15, STEP_RISE * i, 2,
                    20 + STEP_DRAW_RISE * (i - 1), STEP_4_IMAGE + i - 1, 1);
    }
    define_step(def++, "Step 4 -  %i", LONG_RUN, 11, 15, STEP_RISE * LONG_RUN, 20, 85,
                STEP_4_TOP_IMAGE, LANDING_VARIANTS);
}

// One entry of the catalogue from 27 on. Unset fields take the defaults
// below: offsets by the box rule, one frame, the category's weight and fixed
// flag. A row with mirror_of set is a twin: only its base image is used.
static constexpr int OFFSET_FROM_BOX = -1;
static constexpr int FROM_CATEGORY = -1;

struct def_row {
    int def;
    const char *name = "";
    int category = CATEGORY_CHARACTER;
    int size_x = 0, size_y = 0, size_z = 0;
    int draw_offset_x = OFFSET_FROM_BOX, draw_offset_y = OFFSET_FROM_BOX;
    int frame_count = 1;
    int base = IMAGE_EMPTY;
    int offsets[OFFSET_COUNT] = {};
    int anim_delay = DEFAULT_ANIM_DELAY;
    int weight = FROM_CATEGORY;
    int fixed = FROM_CATEGORY;
    int behaviour = BEHAVIOUR_NONE;
    int initial_facing = SIDE_LOW_Y;
    int frames_per_facing = 0;
    int light = LIGHT_NONE;
    float damage = 0.0f;
    int mirror_of = NOT_MIRRORED;
};

// Entries 27..193 in index order (156, the room part, is made first of all).
// Sizes are world units (a floor cell is 15, the player 3 x 3 x 28); images
// are indexes of the game datafile, listed in image_index.cpp.
// clang-format off
static const def_row catalogue_rows[] = {
{.def = 27, .name = "rail", .category = CATEGORY_FIXTURE, .size_x = 15, .size_y = 1, .size_z = 10, .base = 6},
{.def = 28, .base = 7, .mirror_of = 27},
{.def = 29, .name = "Hidden door", .category = CATEGORY_FIXTURE, .size_x = 15, .size_y = 1, .size_z = 60, .draw_offset_x = 29, .draw_offset_y = 74, .base = 139},
{.def = 30, .base = 140, .mirror_of = 29},
{.def = 31, .name = "a table", .category = CATEGORY_FURNITURE, .size_x = 8, .size_y = 15, .size_z = 15, .draw_offset_x = 14, .draw_offset_y = 35, .frame_count = 4, .base = 358, .offsets = {1, 2, 3}, .anim_delay = 0},
{.def = 32, .base = 362, .mirror_of = 31},
{.def = 33, .name = "gold trim table", .category = CATEGORY_FURNITURE, .size_x = 8, .size_y = 15, .size_z = 15, .base = 8},
{.def = 34, .base = 9, .mirror_of = 33},
{.def = 35, .name = "a runestone", .category = CATEGORY_FIXTURE, .size_x = 5, .size_y = 2, .size_z = 16, .base = 10},
{.def = 36, .name = "big door", .category = CATEGORY_FIXTURE, .size_x = 17, .size_y = 1, .size_z = 61, .draw_offset_x = 39, .draw_offset_y = 76, .frame_count = 2, .base = 34, .offsets = {1}, .anim_delay = 0},
{.def = 37, .name = "a stool", .category = CATEGORY_OBJECT, .size_x = 4, .size_y = 4, .size_z = 8, .base = 11, .weight = 2},
{.def = 38, .name = "a book", .category = CATEGORY_OBJECT, .size_x = 7, .size_y = 5, .size_z = 4, .draw_offset_x = 11, .draw_offset_y = 13, .frame_count = 5, .base = 39, .offsets = {1, 2, 3, 4}, .anim_delay = 0},
{.def = 39, .name = "a suit of armour", .category = CATEGORY_DECOR, .size_x = 4, .size_y = 4, .size_z = 28, .base = 12},
{.def = 40, .base = 14, .mirror_of = 39},
{.def = 41, .name = "a plant", .category = CATEGORY_OBJECT, .size_x = 4, .size_y = 4, .size_z = 12, .base = 15, .weight = 2},
{.def = 42, .name = "a plaque", .category = CATEGORY_DECOR, .size_x = 1, .size_y = 8, .size_z = 6, .base = 16},
{.def = 43, .base = 17, .mirror_of = 42},
{.def = 44, .name = "a crown", .category = CATEGORY_OBJECT, .size_x = 3, .size_y = 3, .size_z = 3, .base = 18, .weight = 2},
{.def = 45, .name = "a stone post", .category = CATEGORY_FIXTURE, .size_x = 3, .size_y = 3, .size_z = 20, .base = 19},
{.def = 46, .name = "a key", .category = CATEGORY_OBJECT, .size_x = 4, .size_y = 2, .size_z = 1, .draw_offset_x = 7, .draw_offset_y = 4, .base = 192},
{.def = 47, .name = "an hourglass", .category = CATEGORY_OBJECT, .size_x = 3, .size_y = 3, .size_z = 17, .draw_offset_x = 5, .draw_offset_y = 20, .base = 142},
{.def = 48, .name = "a jug of water", .category = CATEGORY_OBJECT, .size_x = 3, .size_y = 3, .size_z = 12, .draw_offset_x = 5, .draw_offset_y = 16, .base = 191},
{.def = 49, .name = "a bag of gold", .category = CATEGORY_OBJECT, .size_x = 3, .size_y = 3, .size_z = 6, .draw_offset_x = 6, .draw_offset_y = 9, .base = 136, .weight = 3},
{.def = 50, .name = "a barrel", .category = CATEGORY_OBJECT, .size_x = 5, .size_y = 5, .size_z = 23, .draw_offset_x = 8, .draw_offset_y = 29, .base = 13, .weight = 4},
{.def = 51, .name = "a bookshelf", .category = CATEGORY_FURNITURE, .size_x = 4, .size_y = 12, .size_z = 30, .base = 20},
{.def = 52, .base = 21, .mirror_of = 51},
{.def = 53, .name = "a book", .category = CATEGORY_OBJECT, .size_x = 5, .size_y = 4, .size_z = 2, .base = 22},
{.def = 54, .name = "a candle", .category = CATEGORY_OBJECT, .size_x = 2, .size_y = 2, .size_z = 21, .draw_offset_x = 3, .draw_offset_y = 26, .frame_count = 10, .base = 63, .offsets = {1, 3, 2, 3, 2, 1, 3, 1, 2}, .light = LIGHT_CANDLE},
{.def = 55, .name = "a slab", .category = CATEGORY_FIXTURE, .size_x = 10, .size_y = 6, .size_z = 3, .base = 23},
{.def = 56, .name = "a scroll", .category = CATEGORY_OBJECT, .size_x = 4, .size_y = 2, .size_z = 1, .base = 24},
{.def = 57, .name = "a loaf of bread", .category = CATEGORY_OBJECT, .size_x = 5, .size_y = 2, .size_z = 2, .draw_offset_x = 7, .draw_offset_y = 7, .base = 55},
{.def = 58, .name = "a piece of chicken", .category = CATEGORY_OBJECT, .size_x = 3, .size_y = 3, .size_z = 6, .draw_offset_x = 6, .draw_offset_y = 9, .base = 78},
{.def = 59, .name = "a potion", .category = CATEGORY_OBJECT, .size_x = 2, .size_y = 2, .size_z = 8, .draw_offset_x = 3, .draw_offset_y = 9, .frame_count = 3, .base = 227, .offsets = {1, 2}, .anim_delay = 0},
{.def = 60, .name = "a chasing Monk", .category = CATEGORY_CHARACTER, .size_x = 4, .size_y = 4, .size_z = 28, .draw_offset_x = 5, .draw_offset_y = 32, .base = 201, .behaviour = BEHAVIOUR_CHASE, .frames_per_facing = 1, .damage = 0.5f},
{.def = 61, .name = "an attacking Troll", .category = CATEGORY_CHARACTER, .size_x = 3, .size_y = 3, .size_z = 23, .draw_offset_x = 11, .draw_offset_y = 25, .frame_count = 4, .base = 511, .offsets = {1, 2, 1}, .anim_delay = 2, .behaviour = BEHAVIOUR_CHASE, .frames_per_facing = 7, .damage = 0.2f},
{.def = 62, .name = "a NWSE patrolling Troll", .category = CATEGORY_CHARACTER, .size_x = 3, .size_y = 3, .size_z = 23, .draw_offset_x = 11, .draw_offset_y = 25, .frame_count = 4, .base = 511, .offsets = {1, 2, 1}, .anim_delay = 2, .behaviour = BEHAVIOUR_PATROL_X, .initial_facing = SIDE_HIGH_X, .frames_per_facing = 7, .damage = 0.2f},
{.def = 63, .name = "a SWNE patrolling Troll", .category = CATEGORY_CHARACTER, .size_x = 3, .size_y = 3, .size_z = 23, .draw_offset_x = 11, .draw_offset_y = 25, .frame_count = 4, .base = 511, .offsets = {1, 2, 1}, .anim_delay = 2, .behaviour = BEHAVIOUR_PATROL_Y, .initial_facing = SIDE_HIGH_Y, .frames_per_facing = 7, .damage = 0.2f},
{.def = 64, .name = "a cannon", .category = CATEGORY_FURNITURE, .size_x = 10, .size_y = 4, .size_z = 6, .base = 25},
{.def = 65, .base = 26, .mirror_of = 64},
{.def = 66, .name = "a cannon ball", .category = CATEGORY_OBJECT, .size_x = 2, .size_y = 2, .size_z = 5, .draw_offset_x = 3, .draw_offset_y = 7, .base = 72, .weight = 3},
{.def = 67, .name = "a wand", .category = CATEGORY_OBJECT, .size_x = 4, .size_y = 1, .size_z = 1, .base = 27},
{.def = 68, .name = "a dagger", .category = CATEGORY_OBJECT, .size_x = 5, .size_y = 2, .size_z = 1, .base = 28},
{.def = 69, .name = "a shield & spears", .category = CATEGORY_DECOR, .size_x = 1, .size_y = 10, .size_z = 12, .base = 29},
{.def = 70, .base = 36, .mirror_of = 69},
{.def = 71, .name = "a torch", .category = CATEGORY_DECOR, .size_x = 2, .size_y = 2, .size_z = 15, .draw_offset_x = 4, .draw_offset_y = 24, .frame_count = 10, .base = 496, .offsets = {1, 2, 3, 1, 4, 2, 3, 2, 4}, .light = LIGHT_TORCH},
{.def = 72, .name = "a torch", .category = CATEGORY_DECOR, .size_x = 2, .size_y = 2, .size_z = 15, .draw_offset_x = 4, .draw_offset_y = 24, .frame_count = 10, .base = 44, .offsets = {1, 2, 3, 1, 4, 2, 3, 2, 4}, .light = LIGHT_TORCH},
{.def = 73, .name = "a guard Monk", .category = CATEGORY_CHARACTER, .size_x = 4, .size_y = 4, .size_z = 28, .draw_offset_x = 5, .draw_offset_y = 32, .base = 201, .fixed = 1, .behaviour = BEHAVIOUR_WATCH, .frames_per_facing = 1, .damage = 1.0f},
{.def = 74, .name = "a loft door", .category = CATEGORY_FIXTURE, .size_x = 15, .size_y = 15, .size_z = 3, .draw_offset_x = 27, .draw_offset_y = 30, .frame_count = 2, .base = 198, .offsets = {1}, .anim_delay = 0},
{.def = 75, .name = "a bridge beam", .category = CATEGORY_FIXTURE, .size_x = 15, .size_y = 4, .size_z = 3, .base = 49},
{.def = 76, .name = "a cloth covered table", .category = CATEGORY_FIXTURE, .size_x = 8, .size_y = 15, .size_z = 15, .base = 50},
{.def = 77, .name = "a cross", .category = CATEGORY_DECOR, .size_x = 1, .size_y = 6, .size_z = 10, .base = 52},
{.def = 78, .base = 53, .mirror_of = 77},
{.def = 79, .name = "a bed", .category = CATEGORY_FIXTURE, .size_x = 10, .size_y = 22, .size_z = 7, .base = 54},
{.def = 80, .base = 56, .mirror_of = 79},
{.def = 81, .name = "a bed end", .category = CATEGORY_FIXTURE, .size_x = 10, .size_y = 2, .size_z = 11, .base = 57},
{.def = 82, .base = 58, .mirror_of = 81},
{.def = 83, .name = "a wooden shelf", .category = CATEGORY_FIXTURE, .size_x = 3, .size_y = 10, .size_z = 2, .base = 59},
{.def = 84, .base = 60, .mirror_of = 83},
{.def = 85, .name = "a chimney funnel", .category = CATEGORY_FIXTURE, .size_x = 8, .size_y = 6, .size_z = 30, .base = 61},
{.def = 86, .base = 62, .mirror_of = 85},
{.def = 87, .name = "a block", .category = CATEGORY_FIXTURE, .size_x = 10, .size_y = 5, .size_z = 5, .base = 67},
{.def = 88, .base = 68, .mirror_of = 87},
{.def = 89, .name = "a set of utensils", .category = CATEGORY_DECOR, .size_x = 1, .size_y = 8, .size_z = 8, .base = 69},
{.def = 90, .base = 70, .mirror_of = 89},
{.def = 91, .name = "a shield", .category = CATEGORY_DECOR, .size_x = 1, .size_y = 6, .size_z = 8, .base = 71},
{.def = 92, .base = 79, .mirror_of = 91},
{.def = 93, .name = "a breadboard", .category = CATEGORY_OBJECT, .size_x = 5, .size_y = 3, .size_z = 1, .base = 80},
{.def = 94, .name = "an arrow", .category = CATEGORY_FIXTURE, .size_x = 6, .size_y = 1, .size_z = 1, .base = 83},
{.def = 95, .name = "a bench", .category = CATEGORY_FURNITURE, .size_x = 4, .size_y = 14, .size_z = 6, .base = 84},
{.def = 96, .base = 137, .mirror_of = 95},
{.def = 97, .name = "a bench", .category = CATEGORY_FIXTURE, .size_x = 4, .size_y = 20, .size_z = 6, .base = 138},
{.def = 98, .name = "a metal table", .category = CATEGORY_FIXTURE, .size_x = 8, .size_y = 12, .size_z = 14, .base = 189},
{.def = 101, .name = "a mummy", .category = CATEGORY_FURNITURE, .size_x = 14, .size_y = 4, .size_z = 5, .base = 190},
{.def = 102, .base = 200, .mirror_of = 101},
{.def = 103, .name = "an Ogre", .category = CATEGORY_CHARACTER, .size_x = 4, .size_y = 4, .size_z = 32, .draw_offset_x = 11, .draw_offset_y = 36, .frame_count = 4, .base = 208, .offsets = {1, 2, 1}, .anim_delay = 2, .behaviour = BEHAVIOUR_CHASE, .frames_per_facing = 3, .damage = 0.2f},
{.def = 104, .name = "a small red cross", .category = CATEGORY_DECOR, .size_x = 1, .size_y = 3, .size_z = 4, .base = 205},
{.def = 105, .base = 206, .mirror_of = 104},
{.def = 106, .name = "tomb", .category = CATEGORY_OBJECT, .size_x = 12, .size_y = 6, .size_z = 2, .base = 220},
{.def = 107, .name = "tomb", .category = CATEGORY_FIXTURE, .size_x = 12, .size_y = 6, .size_z = 9, .base = 221},
{.def = 108, .name = "tomb", .category = CATEGORY_FIXTURE, .size_x = 6, .size_y = 12, .size_z = 9, .base = 222},
{.def = 109, .name = "tomb", .category = CATEGORY_FIXTURE, .size_x = 12, .size_y = 6, .size_z = 12, .base = 223},
{.def = 110, .name = "a hidden door", .category = CATEGORY_FIXTURE, .size_x = 5, .size_y = 5, .size_z = 1, .draw_offset_x = 8, .draw_offset_y = 8, .base = 141},
{.def = 111, .name = "a window", .category = CATEGORY_WINDOW, .size_x = 1, .size_y = 13, .size_z = 53, .draw_offset_x = 1, .draw_offset_y = 58, .base = 547},
{.def = 112, .base = 224, .mirror_of = 111},
{.def = 113, .name = "a window", .category = CATEGORY_WINDOW, .size_x = 1, .size_y = 8, .size_z = 30, .base = 225},
{.def = 114, .base = 230, .mirror_of = 113},
{.def = 115, .name = "a window", .category = CATEGORY_WINDOW, .size_x = 1, .size_y = 6, .size_z = 20, .base = 231},
{.def = 116, .base = 232, .mirror_of = 115},
{.def = 117, .name = "a window", .category = CATEGORY_WINDOW, .size_x = 1, .size_y = 13, .size_z = 30, .base = 233},
{.def = 118, .base = 234, .mirror_of = 117},
{.def = 119, .name = "a window", .category = CATEGORY_WINDOW, .size_x = 1, .size_y = 3, .size_z = 14, .base = 235},
{.def = 120, .base = 236, .mirror_of = 119},
{.def = 121, .name = "a stone block", .category = CATEGORY_FIXTURE, .size_x = 15, .size_y = 15, .size_z = 15, .base = 237},
{.def = 122, .name = "a stone column", .category = CATEGORY_FIXTURE, .size_x = 6, .size_y = 6, .size_z = 60, .base = 238},
{.def = 123, .name = "a portcullis", .category = CATEGORY_OBJECT, .size_x = 21, .size_y = 2, .size_z = 97, .draw_offset_x = 40, .draw_offset_y = 116, .base = 226},
{.def = 124, .name = "a pole", .category = CATEGORY_FIXTURE, .size_x = 2, .size_y = 2, .size_z = 40, .base = 239},
{.def = 125, .name = "a bar", .category = CATEGORY_FIXTURE, .size_x = 15, .size_y = 2, .size_z = 2, .base = 240},
{.def = 126, .name = "a wooden step", .category = CATEGORY_STAIRS, .size_x = 15, .size_y = 5, .size_z = 4, .base = 241},
{.def = 127, .base = 242, .mirror_of = 126},
{.def = 128, .name = "a tree trunk", .category = CATEGORY_FIXTURE, .size_x = 4, .size_y = 4, .size_z = 40, .base = 243},
{.def = 129, .name = "a tree trunk", .category = CATEGORY_FIXTURE, .size_x = 5, .size_y = 5, .size_z = 52, .base = 244},
{.def = 130, .name = "a tree top", .category = CATEGORY_FIXTURE, .size_x = 15, .size_y = 15, .size_z = 20, .base = 245},
{.def = 131, .name = "a tree top", .category = CATEGORY_FIXTURE, .size_x = 12, .size_y = 12, .size_z = 16, .base = 246},
{.def = 132, .name = "a tree top", .category = CATEGORY_FIXTURE, .size_x = 18, .size_y = 18, .size_z = 24, .base = 247},
{.def = 133, .name = "a bush", .category = CATEGORY_FIXTURE, .size_x = 8, .size_y = 8, .size_z = 8, .base = 248},
{.def = 134, .name = "a bush", .category = CATEGORY_FIXTURE, .size_x = 6, .size_y = 6, .size_z = 6, .base = 249},
{.def = 135, .name = "a BOULDER", .category = CATEGORY_OBJECT, .size_x = 4, .size_y = 4, .size_z = 5, .draw_offset_x = 5, .draw_offset_y = 10, .base = 51},
{.def = 136, .name = "a BOULDER", .category = CATEGORY_OBJECT, .size_x = 6, .size_y = 6, .size_z = 7, .base = 250},
{.def = 137, .name = "a BOULDER", .category = CATEGORY_OBJECT, .size_x = 5, .size_y = 5, .size_z = 6, .base = 251},
{.def = 138, .name = "a bush", .category = CATEGORY_FIXTURE, .size_x = 10, .size_y = 6, .size_z = 7, .base = 252},
{.def = 139, .name = "a bush", .category = CATEGORY_FIXTURE, .size_x = 6, .size_y = 10, .size_z = 7, .base = 253},
{.def = 144, .name = "a small set of shelves", .category = CATEGORY_FURNITURE, .size_x = 4, .size_y = 8, .size_z = 14, .base = 254},
{.def = 145, .base = 255, .mirror_of = 144},
{.def = 146, .name = "a fire", .category = CATEGORY_FIXTURE, .size_x = 3, .size_y = 3, .size_z = 3, .draw_offset_x = 4, .draw_offset_y = 7, .frame_count = 10, .base = 131, .offsets = {1, 3, 1, 0, 2, 1, 2, 3, 1}, .damage = 0.2f},
{.def = 147, .name = "a well side", .category = CATEGORY_FIXTURE, .size_x = 15, .size_y = 2, .size_z = 10, .base = 256},
{.def = 148, .name = "a well side", .category = CATEGORY_FIXTURE, .size_x = 2, .size_y = 15, .size_z = 10, .base = 257},
{.def = 149, .name = "a well post", .category = CATEGORY_FIXTURE, .size_x = 2, .size_y = 2, .size_z = 30, .base = 258},
{.def = 150, .name = "a lamp", .category = CATEGORY_OBJECT, .size_x = 3, .size_y = 3, .size_z = 12, .draw_offset_x = 5, .draw_offset_y = 18, .frame_count = 10, .base = 193, .offsets = {1, 0, 2, 3, 0, 4, 2, 3, 2}, .light = LIGHT_LAMP},
{.def = 151, .name = "a plynth", .category = CATEGORY_FIXTURE, .size_x = 6, .size_y = 6, .size_z = 12, .base = 259},
{.def = 152, .name = "a small table", .category = CATEGORY_FURNITURE, .size_x = 6, .size_y = 6, .size_z = 12, .base = 260},
{.def = 153, .name = "some smoke", .category = CATEGORY_FIXTURE, .size_x = 4, .size_y = 4, .size_z = 20, .frame_count = 4, .base = 261, .offsets = {1, 2, 3}, .anim_delay = 2},
{.def = 154, .name = "some onions", .category = CATEGORY_FIXTURE, .size_x = 2, .size_y = 2, .size_z = 8, .base = 265},
{.def = 155, .name = "a bush", .category = CATEGORY_FIXTURE, .size_x = 12, .size_y = 12, .size_z = 10, .base = 266},
{.def = 157, .name = "a silver plate", .category = CATEGORY_FURNITURE, .size_x = 3, .size_y = 3, .size_z = 1, .base = 267},
{.def = 158, .name = "a coin", .category = CATEGORY_OBJECT, .size_x = 3, .size_y = 3, .size_z = 1, .draw_offset_x = 3, .draw_offset_y = 4, .frame_count = 2, .base = 81, .offsets = {1}, .anim_delay = 0},
{.def = 159, .name = "a skull", .category = CATEGORY_OBJECT, .size_x = 3, .size_y = 3, .size_z = 3, .base = 268},
{.def = 160, .name = "a bone", .category = CATEGORY_OBJECT, .size_x = 4, .size_y = 2, .size_z = 1, .base = 269},
{.def = 161, .base = 270, .mirror_of = 160},
{.def = 162, .name = "door frame top", .category = CATEGORY_FIXTURE, .size_x = 2, .size_y = 12, .size_z = 5, .draw_offset_x = 4, .draw_offset_y = 18, .frame_count = 5, .base = 121, .offsets = {1, 2, 3, 4}, .anim_delay = 0},
{.def = 163, .base = 126, .mirror_of = 162},
{.def = 164, .name = "door frame near", .category = CATEGORY_FIXTURE, .size_x = 2, .size_y = 2, .size_z = 36, .draw_offset_x = 4, .draw_offset_y = 39, .frame_count = 5, .base = 111, .offsets = {1, 2, 3, 4}, .anim_delay = 0},
{.def = 165, .base = 116, .mirror_of = 164},
{.def = 166, .name = "door frame far", .category = CATEGORY_FIXTURE, .size_x = 2, .size_y = 2, .size_z = 36, .draw_offset_x = 4, .draw_offset_y = 38, .frame_count = 5, .base = 101, .offsets = {1, 2, 3, 4}, .anim_delay = 0},
{.def = 167, .base = 106, .mirror_of = 166},
{.def = 168, .name = "door face", .category = CATEGORY_FIXTURE, .size_x = 1, .size_y = 8, .size_z = 36, .draw_offset_x = 0, .draw_offset_y = 42, .frame_count = 8, .base = 85, .offsets = {1, 2, 3, 4, 5, 6, 7}, .anim_delay = 0},
{.def = 169, .base = 93, .mirror_of = 168},
{.def = 170, .name = "a big candle", .category = CATEGORY_OBJECT, .size_x = 3, .size_y = 3, .size_z = 12, .draw_offset_x = 3, .draw_offset_y = 18, .frame_count = 4, .base = 30, .offsets = {1, 2, 3}, .light = LIGHT_CANDLE},
{.def = 171, .name = "candle base", .category = CATEGORY_FIXTURE, .size_x = 4, .size_y = 4, .size_z = 4, .base = 271},
{.def = 172, .name = "candle middle", .category = CATEGORY_FIXTURE, .size_x = 3, .size_y = 3, .size_z = 10, .base = 272},
{.def = 173, .name = "candle top", .category = CATEGORY_FIXTURE, .size_x = 3, .size_y = 3, .size_z = 6, .base = 273},
{.def = 174, .name = "throne base", .category = CATEGORY_FIXTURE, .size_x = 8, .size_y = 8, .size_z = 6, .base = 274},
{.def = 175, .name = "throne back", .category = CATEGORY_FIXTURE, .size_x = 2, .size_y = 8, .size_z = 20, .base = 275},
{.def = 176, .base = 276, .mirror_of = 175},
{.def = 177, .name = "throne side", .category = CATEGORY_FIXTURE, .size_x = 8, .size_y = 2, .size_z = 8, .base = 277},
{.def = 178, .base = 279, .mirror_of = 177},
{.def = 179, .name = "small stone block", .category = CATEGORY_FIXTURE, .size_x = 8, .size_y = 8, .size_z = 8, .base = 280},
{.def = 180, .name = "small stone column", .category = CATEGORY_FIXTURE, .size_x = 4, .size_y = 4, .size_z = 30, .base = 281},
{.def = 181, .name = "a rock", .category = CATEGORY_FIXTURE, .size_x = 6, .size_y = 4, .size_z = 4, .base = 282},
{.def = 182, .base = 283, .mirror_of = 181},
{.def = 183, .name = "a rock", .category = CATEGORY_FIXTURE, .size_x = 8, .size_y = 5, .size_z = 5, .base = 284},
{.def = 184, .base = 285, .mirror_of = 183},
{.def = 185, .name = "a rock", .category = CATEGORY_FIXTURE, .size_x = 10, .size_y = 6, .size_z = 6, .base = 286},
{.def = 186, .base = 287, .mirror_of = 185},
{.def = 187, .name = "a rock", .category = CATEGORY_FIXTURE, .size_x = 5, .size_y = 3, .size_z = 3, .base = 288},
{.def = 188, .base = 289, .mirror_of = 187},
{.def = 189, .name = "a rock", .category = CATEGORY_FIXTURE, .size_x = 7, .size_y = 7, .size_z = 5, .base = 290},
{.def = 190, .name = "a rock", .category = CATEGORY_FIXTURE, .size_x = 12, .size_y = 8, .size_z = 8, .base = 291},
{.def = 191, .name = "a box", .category = CATEGORY_OBJECT, .size_x = 5, .size_y = 5, .size_z = 5, .base = 292},
{.def = 192, .name = "a small table", .category = CATEGORY_FURNITURE, .size_x = 5, .size_y = 8, .size_z = 10, .base = 293},
{.def = 193, .name = "a cat", .category = CATEGORY_OBJECT, .size_x = 2, .size_y = 2, .size_z = 12, .draw_offset_x = 3, .draw_offset_y = 14, .frame_count = 5, .base = 73, .offsets = {1, 2, 3, 4}, .anim_delay = 0},
};
// clang-format on

static void define_from_row(const def_row &r)
{
    if (r.mirror_of != NOT_MIRRORED) {
        define_mirrored_object(r.mirror_of, r.def, r.base);
        return;
    }
    const int *o = r.offsets;
    set_object_category(r.def, r.category);
    set_object_frames(r.def, r.frame_count, r.base, o[0], o[1], o[2], o[3], o[4], o[5], o[6], o[7],
                      o[8]);
    int offset_x = r.draw_offset_x, offset_y = r.draw_offset_y;
    if (offset_x == OFFSET_FROM_BOX || offset_y == OFFSET_FROM_BOX) {
        box_draw_offsets(r.size_x, r.size_y, r.size_z, &offset_x, &offset_y);
    }
    set_box(r.def, r.size_x, r.size_y, r.size_z, offset_x, offset_y);
    object_def &d = object_defs[r.def];
    if (r.weight != FROM_CATEGORY) {
        d.weight = to_byte(r.weight);
    }
    if (r.fixed != FROM_CATEGORY) {
        d.fixed = to_byte(r.fixed);
    }
    d.behaviour = to_byte(r.behaviour);
    d.initial_facing = r.initial_facing;
    d.frames_per_facing = r.frames_per_facing;
    d.anim_delay = static_cast<int8_t>(r.anim_delay);
    d.light = r.light;
    d.damage = r.damage;
    set_name(r.def, r.name);
}

void load_object_defs(void)
{
    reset_all_defs();
    define_room_part();
    define_player();
    define_steps();
    for (const def_row &r : catalogue_rows) {
        define_from_row(r);
    }
}
