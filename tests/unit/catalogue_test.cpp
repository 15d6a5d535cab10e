// The object definition catalogue: the values the world files and the rules
// depend on and the category defaults. (Twins are checked against their
// images with the game art.)
#include <gtest/gtest.h>

#include "test_support.h"
#include "world/object_defs.h"

namespace
{

struct telling_row {
    int def, category, sx, sy, sz, ox, oy, fixed, weight, behaviour, facing, per_facing;
    std::initializer_list<int> frames;
    int delay;
    float damage;
    int light;
};

// clang-format off
// One row of each category, and every row with a behaviour, damage, light
// or a weight other than its category's: values a player would not see.
const telling_row telling_rows[] = {
    {0, CATEGORY_CHARACTER, 3, 3, 28, 10, 30, 0, 1, 0, 0, 12, {143, 144, 145, 146, 147, 148, 149, 150, 151, 152}, 1, 0, 0},
    {16, CATEGORY_STAIRS, 15, 11, 60, 28, 85, 1, 255, 0, 0, 0, {328, 329, 330, 331}, 0, 0, 0},
    {29, CATEGORY_FIXTURE, 15, 1, 60, 29, 74, 1, 255, 0, 0, 0, {139}, 1, 0, 0},
    {31, CATEGORY_FURNITURE, 8, 15, 15, 14, 35, 0, 255, 0, 0, 0, {358, 359, 360, 361}, 0, 0, 0},
    {38, CATEGORY_OBJECT, 7, 5, 4, 11, 13, 0, 1, 0, 0, 0, {39, 40, 41, 42, 43}, 0, 0, 0},
    {49, CATEGORY_OBJECT, 3, 3, 6, 6, 9, 0, 3, 0, 0, 0, {136}, 1, 0, 0},
    {50, CATEGORY_OBJECT, 5, 5, 23, 8, 29, 0, 4, 0, 0, 0, {13}, 1, 0, 0},
    {54, CATEGORY_OBJECT, 2, 2, 21, 3, 26, 0, 1, 0, 0, 0, {63, 64, 66, 65, 66, 65, 64, 66, 64, 65}, 1, 0, 1},
    {60, CATEGORY_CHARACTER, 4, 4, 28, 5, 32, 0, 1, 4, 0, 1, {201}, 1, 0.5f, 0},
    {61, CATEGORY_CHARACTER, 3, 3, 23, 11, 25, 0, 1, 4, 0, 7, {511, 512, 513, 512}, 2, 0.2f, 0},
    {62, CATEGORY_CHARACTER, 3, 3, 23, 11, 25, 0, 1, 2, 1, 7, {511, 512, 513, 512}, 2, 0.2f, 0},
    {63, CATEGORY_CHARACTER, 3, 3, 23, 11, 25, 0, 1, 3, 2, 7, {511, 512, 513, 512}, 2, 0.2f, 0},
    {66, CATEGORY_OBJECT, 2, 2, 5, 3, 7, 0, 3, 0, 0, 0, {72}, 1, 0, 0},
    {71, CATEGORY_DECOR, 2, 2, 15, 4, 24, 1, 255, 0, 0, 0, {496, 497, 498, 499, 497, 500, 498, 499, 498, 500}, 1, 0, 2},
    {73, CATEGORY_CHARACTER, 4, 4, 28, 5, 32, 1, 1, 1, 0, 1, {201}, 1, 1.0f, 0},
    {103, CATEGORY_CHARACTER, 4, 4, 32, 11, 36, 0, 1, 4, 0, 3, {208, 209, 210, 209}, 2, 0.2f, 0},
    {111, CATEGORY_WINDOW, 1, 13, 53, 1, 58, 1, 255, 0, 0, 0, {547}, 1, 0, 0},
    {146, CATEGORY_FIXTURE, 3, 3, 3, 4, 7, 1, 255, 0, 0, 0, {131, 132, 134, 132, 131, 133, 132, 133, 134, 132}, 1, 0.2f, 0},
    {150, CATEGORY_OBJECT, 3, 3, 12, 5, 18, 0, 1, 0, 0, 0, {193, 194, 193, 195, 196, 193, 197, 195, 196, 195}, 1, 0, 3},
    {156, CATEGORY_FIXTURE, 0, 0, 0, 0, 0, 1, 255, 0, 0, 0, {207}, 1, 0, 0},
    {170, CATEGORY_OBJECT, 3, 3, 12, 3, 18, 0, 1, 0, 0, 0, {30, 31, 32, 33}, 1, 0, 1},
};
// clang-format on

class Catalogue : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        start_headless_allegro();
        load_object_defs();
    }
};

TEST_F(Catalogue, TellingRowsHoldTheirValues)
{
    for (const telling_row &t : telling_rows) {
        SCOPED_TRACE(t.def);
        const object_def &d = object_defs[t.def];
        EXPECT_EQ(d.category, t.category);
        EXPECT_EQ(d.size_x, t.sx);
        EXPECT_EQ(d.size_y, t.sy);
        EXPECT_EQ(d.size_z, t.sz);
        EXPECT_EQ(d.draw_offset_x, t.ox);
        EXPECT_EQ(d.draw_offset_y, t.oy);
        EXPECT_EQ(d.fixed, t.fixed);
        EXPECT_EQ(d.weight, t.weight);
        EXPECT_EQ(d.behaviour, t.behaviour);
        EXPECT_EQ(d.initial_facing, t.facing);
        EXPECT_EQ(d.frames_per_facing, t.per_facing);
        ASSERT_EQ(d.anim_frames, static_cast<int>(t.frames.size()));
        int i = 0;
        for (int frame : t.frames) {
            EXPECT_EQ(d.frames[i++], frame);
        }
        EXPECT_EQ(d.anim_delay, t.delay);
        EXPECT_FLOAT_EQ(d.damage, t.damage);
        EXPECT_EQ(d.light, t.light);
    }
}

// Content entries must be real things: every named entry but the room part
// has a box, and no content entry shows the blank image.
TEST_F(Catalogue, ContentEntriesHaveBoxesAndImages)
{
    for (int def = 0; def < OBJECT_DEF_COUNT; def++) {
        const object_def &d = object_defs[def];
        if (d.name[0] == '\0' || def == DEF_ROOM_PART) {
            continue;
        }
        SCOPED_TRACE(def);
        EXPECT_GE(d.size_x, 1);
        EXPECT_GE(d.size_y, 1);
        EXPECT_GE(d.size_z, 1);
        EXPECT_NE(d.frames[0], IMAGE_EMPTY);
    }
    // Some sense of scale: a bed is longer than a stool, a bookshelf is tall,
    // a tree trunk is taller than the player.
    EXPECT_GT(object_defs[79].size_y, object_defs[37].size_y);
    EXPECT_GT(object_defs[51].size_z, object_defs[DEF_PLAYER].size_z);
    EXPECT_GT(object_defs[128].size_z, object_defs[DEF_PLAYER].size_z);
}

} // namespace
