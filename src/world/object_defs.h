// The catalogue of object definitions, built in code at start-up: what every
// kind of thing is, how big, how drawn, how it behaves.
#pragma once

#include <cstdint>

constexpr int OBJECT_DEF_COUNT = 194;
constexpr int OBJECT_NAME_SIZE = 30;
constexpr int OBJECT_MAX_FRAMES = 10;

// Categories.
constexpr int CATEGORY_CHARACTER = 0;
constexpr int CATEGORY_FIXTURE = 1;
constexpr int CATEGORY_DECOR = 2;
constexpr int CATEGORY_STAIRS = 3;
constexpr int CATEGORY_FURNITURE = 4;
constexpr int CATEGORY_OBJECT = 5;
constexpr int CATEGORY_WINDOW = 6;

// Creature behaviours.
constexpr int BEHAVIOUR_NONE = 0;
constexpr int BEHAVIOUR_WATCH = 1;
constexpr int BEHAVIOUR_PATROL_X = 2;
constexpr int BEHAVIOUR_PATROL_Y = 3;
constexpr int BEHAVIOUR_CHASE = 4;

// Definitions the rules name.
constexpr int DEF_PLAYER = 0;
constexpr int DEF_JUG_OF_WATER = 48;
constexpr int DEF_LOAF_OF_BREAD = 57;
constexpr int DEF_PIECE_OF_CHICKEN = 58;
constexpr int DEF_ATTACKING_TROLL = 61;
constexpr int DEF_TORCH = 71;
constexpr int DEF_TORCH_2 = 72;
constexpr int DEF_ROOM_PART = 156;

// Definitions the tests, tools and benchmarks build their rooms from.
constexpr int DEF_HIDDEN_DOOR = 29;  // 15 x 1 x 60, fixed
constexpr int DEF_TABLE = 31;        // 8 x 15 x 15, carriable
constexpr int DEF_BOOK = 38;         // 7 x 5 x 4, loose
constexpr int DEF_CROWN = 44;        // 3 x 3 x 3, loose, harmless
constexpr int DEF_BARREL = 50;       // 5 x 5 x 23, loose and pushable
constexpr int DEF_SCROLL = 56;       // 4 x 2 x 1, loose
constexpr int DEF_CHASING_MONK = 60; // 4 x 4 x 28, damage 0.5, weight 1
constexpr int DEF_PATROL_X_TROLL = 62;
constexpr int DEF_PATROL_Y_TROLL = 63;
constexpr int DEF_GUARD_MONK = 73;
constexpr int DEF_BLOCK = 87; // 10 x 5 x 5, fixed
constexpr int DEF_FIRE = 146; // 3 x 3 x 3, fixed, damage 0.2
constexpr int DEF_BOX = 191;  // 5 x 5 x 5, loose

constexpr int IMAGE_EMPTY = 207; // the image of definitions nothing sets

// Light-source levels (carried with a definition; nothing in play reads them).
constexpr int LIGHT_NONE = 0;
constexpr int LIGHT_CANDLE = 1;
constexpr int LIGHT_TORCH = 2;
constexpr int LIGHT_LAMP = 3;

constexpr int FACING_COUNT = 4;   // facings 0..3 share the side codes of a room
constexpr int WEIGHT_FIXED = 255; // weight of everything that is not a Character or Object
constexpr int NOT_MIRRORED = -1;
// Pixels of free border round a box inside its image (see box_draw_offsets).
constexpr int IMAGE_MARGIN = 1;

struct object_def {
    uint8_t category;
    uint8_t size_x, size_y, size_z;       // bounding box in world units
    uint8_t draw_offset_x, draw_offset_y; // image corner from the box's projected origin
    uint8_t fixed;                        // never moved by physics
    char name[OBJECT_NAME_SIZE];
    uint8_t weight;
    uint8_t behaviour;
    int32_t initial_facing;
    int32_t frames_per_facing;
    int8_t anim_frames;
    int8_t anim_delay;                 // 0: frames are variants, not animation
    int32_t frames[OBJECT_MAX_FRAMES]; // datafile image indexes
    int32_t light;
    float damage;
};

extern object_def object_defs[OBJECT_DEF_COUNT];

void load_object_defs(void);
void set_object_category(int def, int category);
// frames[0] = base, frames[i] = base + offset i for i = 1..9.
void set_object_frames(int def, int count, int base, int o1, int o2, int o3, int o4, int o5, int o6,
                       int o7, int o8, int o9);
void define_mirrored_object(int src, int dst, int image);
// Width and height of a game datafile image (0, 0 when it is missing).
void get_image_size(int image, int *width, int *height);

// The draw offsets that place an image drawn to the box rule over a box of
// the given size (the rule is explained in object_defs.cpp).
void box_draw_offsets(int size_x, int size_y, int size_z, int *offset_x, int *offset_y);
// The image size a definition's art must have so that its whole box fits,
// with its own draw offsets; a mirrored twin takes its source's size (its
// images are the source's, mirrored). 0, 0 for an index out of range.
void object_image_box(int def, int *width, int *height);
// The definition a twin was mirrored from, or NOT_MIRRORED.
int object_mirror_source(int def);
