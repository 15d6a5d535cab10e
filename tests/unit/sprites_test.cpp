// The sprite table: slot rules, filling from definitions, world objects and
// room parts, image ownership and the exact error messages.
#include <gtest/gtest.h>

#include <cstring>

#include "runtime/sprites.h"
#include "shell/error_report.h"
#include "test_support.h"
#include "world/object_defs.h"
#include "world/world_objects.h"

namespace
{

class Sprites : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        start_headless_allegro();
        load_object_defs();
        reset_sprites();
        memset(world_objects, 0, sizeof world_objects);
    }
    void TearDown() override
    {
        reset_sprites();
    }
    int reports_before = reported_error_count;
    void expect_report(const char *text)
    {
        EXPECT_EQ(reported_error_count, reports_before + 1);
        EXPECT_STREQ(last_reported_error, text);
        reports_before = reported_error_count;
    }
};

TEST_F(Sprites, FreeSlotsStartAtTwo)
{
    EXPECT_EQ(get_sprite_id(), FIRST_FREE_SLOT); // 0 and 1 are inactive, yet never handed out
    for (int slot = FIRST_FREE_SLOT; slot < SPRITE_COUNT; slot++) {
        sprite_table[slot].active = 1;
    }
    EXPECT_EQ(get_sprite_id(), -1);
    expect_report("get_sprite_id : no free sprites");
    sprite_table[77].active = 0;
    EXPECT_EQ(get_sprite_id(), 77);
}

TEST_F(Sprites, MissingArtGivesAOnePixelImage)
{
    init_sprite(2, DEF_BARREL, 0, 0, 0); // no datafile at all
    ASSERT_NE(sprite_table[2].image, nullptr);
    EXPECT_EQ(sprite_table[2].image_w, 1);
    fake_datafile data(10); // frames[0] of the table lies past its end
    init_sprite(2, 31, 0, 0, 0);
    EXPECT_EQ(sprite_table[2].image_h, 1);
}

TEST_F(Sprites, BadIdsAreReportedAndChangeNothing)
{
    init_sprite(-1, 31, 0, 0, 0);
    expect_report("init_sprite : invalid sprite id");
    init_sprite(SPRITE_COUNT, 31, 0, 0, 0);
    expect_report("init_sprite : invalid sprite id");
    init_sprite(3, OBJECT_DEF_COUNT, 0, 0, 0);
    expect_report("init_sprite : invalid obj def id");
    init_sprite(3, -1, 0, 0, 0);
    expect_report("init_sprite : invalid obj def id");
    init_sprite(SPRITE_COUNT, 5);
    expect_report("init_sprite : invalid sprite id");
    init_sprite(3, 0);
    expect_report("init_sprite : invalid world object id");
    init_sprite(3, WORLD_OBJECT_COUNT);
    expect_report("init_sprite : invalid world object id");
    world_objects[8].used = WOBJ_IN_USE;
    world_objects[8].obj_def = 500; // garbage from a file
    init_sprite(3, 8);
    expect_report("init_sprite : invalid obj def id");
    init_room_sprite(SPRITE_COUNT, 0, 0, 0, 15, 15, 15);
    expect_report("init_room_sprite : invalid sprite id");
    EXPECT_EQ(sprite_table[3].active, 0);
    EXPECT_EQ(sprite_table[3].world_object, NO_WORLD_OBJECT);
    EXPECT_EQ(sprite_table[3].image, nullptr);
}

TEST_F(Sprites, RoomPartsKeepTheirImage)
{
    init_sprite(1, DEF_BARREL, 0, 0, 0);
    BITMAP *image = sprite_table[1].image;
    sprite_table[1].world_object = 12;
    init_room_sprite(1, 15, 30, 0, 15, 15, 240);
    const sprite_record &s = sprite_table[1];
    EXPECT_EQ(s.active + s.is_room_part + s.fixed, 3);
    EXPECT_EQ(s.obj_def, DEF_ROOM_PART);
    EXPECT_EQ(s.world_object, NO_WORLD_OBJECT);
    EXPECT_EQ(s.size_z, 240);
    EXPECT_EQ(s.image, image);
}

TEST_F(Sprites, FreeingImagesTwiceIsSafe)
{
    init_sprite(2, DEF_BARREL, 0, 0, 0);
    init_sprite(7, DEF_BARREL, 0, 0, 0);
    free_sprite_images();
    EXPECT_EQ(sprite_table[2].image, nullptr);
    free_sprite_images();
    reset_sprites();
    init_sprite(7, DEF_BARREL, 0, 0, 0);
    EXPECT_NE(sprite_table[7].image, nullptr);
}

} // namespace
