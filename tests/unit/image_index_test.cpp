// The image index table: every image any definition can show is claimed by
// exactly one row, and every row's owner really shows those images.
#include <gtest/gtest.h>

#include "test_support.h"
#include "world/image_index.h"
#include "world/object_defs.h"

namespace
{

constexpr int GAME_IMAGES = 600; // images the game datafile holds

int shows(int def, int image)
{
    int images[MAX_DEFINITION_IMAGES];
    int n = definition_images(def, images);
    for (int i = 0; i < n; i++) {
        if (images[i] == image) {
            return 1;
        }
    }
    return 0;
}

class ImageIndex : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        load_object_defs();
    }
};

TEST_F(ImageIndex, RowsAreOrderedAndNeverOverlap)
{
    for (int i = 0; i < image_range_count; i++) {
        const image_range &r = image_ranges[i];
        SCOPED_TRACE(r.what);
        EXPECT_LE(r.first, r.last);
        EXPECT_GE(r.first, 0);
        EXPECT_LT(r.last, GAME_IMAGES);
        if (i > 0) {
            EXPECT_GT(r.first, image_ranges[i - 1].last);
        }
    }
    EXPECT_EQ(find_image_range(-1), -1);
    EXPECT_EQ(find_image_range(GAME_IMAGES), -1);
    EXPECT_EQ(image_owner(153), IMAGE_OWNER_NONE); // between two facings of the player
}

TEST_F(ImageIndex, EveryImageADefinitionShowsIsClaimedByADefinitionShowingIt)
{
    for (int def = 0; def < OBJECT_DEF_COUNT; def++) {
        int images[MAX_DEFINITION_IMAGES];
        int n = definition_images(def, images);
        ASSERT_GE(n, 1);
        for (int i = 0; i < n; i++) {
            SCOPED_TRACE(testing::Message() << "def " << def << " image " << images[i]);
            int owner = image_owner(images[i]);
            ASSERT_NE(find_image_range(images[i]), -1);
            ASSERT_NE(owner, IMAGE_OWNER_NONE);
            // Shared images (the three trolls, the two monks, the blank) are
            // listed under one of the definitions that show them.
            EXPECT_TRUE(shows(owner, images[i]));
        }
    }
}

TEST_F(ImageIndex, EveryOwnedRowIsShownByItsOwnerAndRoomImagesByNoOne)
{
    for (int i = 0; i < image_range_count; i++) {
        const image_range &r = image_ranges[i];
        SCOPED_TRACE(r.what);
        for (int image = r.first; image <= r.last; image++) {
            if (r.owner_def != IMAGE_OWNER_NONE) {
                EXPECT_TRUE(shows(r.owner_def, image)) << image;
            } else {
                for (int def = 0; def < OBJECT_DEF_COUNT; def++) {
                    EXPECT_FALSE(shows(def, image)) << image << " def " << def;
                }
            }
        }
    }
    // The room and lighting images keep their places.
    const int room_images[] = {135, 278, 372, 411, 412, 451, 453, 495};
    for (int image : room_images) {
        int row = find_image_range(image);
        ASSERT_NE(row, -1) << image;
        EXPECT_EQ(image_ranges[row].owner_def, IMAGE_OWNER_NONE) << image;
    }
}

TEST_F(ImageIndex, FacingsFollowTheImageRule)
{
    int images[MAX_DEFINITION_IMAGES];
    ASSERT_EQ(definition_images(DEF_PLAYER, images), 40);
    EXPECT_EQ(images[0], 143);
    EXPECT_EQ(images[10], 155);
    EXPECT_EQ(images[39], 188);
    ASSERT_EQ(definition_images(DEF_ATTACKING_TROLL, images), 12);
    EXPECT_EQ(images[3], 518);
    EXPECT_EQ(images[11], 534);
    ASSERT_EQ(definition_images(54, images), 4); // the candle repeats 63..66
    EXPECT_EQ(definition_images(-1, images), 0);
    EXPECT_EQ(definition_images(OBJECT_DEF_COUNT, images), 0);
}

} // namespace
