// Which image of the game datafile shows what: one row per range of indexes
// with the definition that owns it. The art generator draws to this table.
#pragma once

constexpr int IMAGE_OWNER_NONE = -1; // images of the room and the lighting, no definition
// Every image a definition can show: FACING_COUNT facings x OBJECT_MAX_FRAMES frames.
constexpr int MAX_DEFINITION_IMAGES = 40;

struct image_range {
    int first, last; // datafile indexes, inclusive
    int owner_def;   // the definition drawn with them, or IMAGE_OWNER_NONE
    const char *what;
};

extern const image_range image_ranges[];
extern const int image_range_count;

// The row that claims image index, or -1 when no row does.
int find_image_range(int index);
// The definition that owns image index, or IMAGE_OWNER_NONE.
int image_owner(int index);
// The distinct image indexes a built definition can show (every facing x
// every frame in use: facing * frames_per_facing + frames[i]), ascending,
// into out (MAX_DEFINITION_IMAGES entries). Returns how many; 0 for an
// index out of range.
int definition_images(int def, int *out);
