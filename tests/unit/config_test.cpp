// Settings file: defaults, partial files, values that are not numbers.
#include <gtest/gtest.h>

#include "shell/config.h"
#include "test_support.h"

namespace
{

struct ConfigTest : ::testing::Test {
    scratch_dir dir;
    void SetUp() override
    {
        start_headless_allegro();
        reset_config_defaults();
    }
};

TEST_F(ConfigTest, MissingFileIsReportedAndChangesNothing)
{
    zoom = 7;
    EXPECT_EQ(read_config(), 0);
    EXPECT_EQ(zoom, 7);
}

TEST_F(ConfigTest, EmptyFileGivesEveryDefault)
{
    zoom = 5;
    cpu_usage = 3;
    write_file("config.txt", "");
    ASSERT_EQ(read_config(), 1);
    EXPECT_EQ(online_scores, 1);
    EXPECT_EQ(cpu_usage, 0);
    EXPECT_EQ(windowed, 0);
    EXPECT_EQ(forcerate, 0);
    EXPECT_EQ(zoom, 1);
    EXPECT_EQ(soundvolume, 8);
    EXPECT_EQ(musicvolume, 8);
    EXPECT_EQ(bind_up, 84);
    EXPECT_EQ(bind_down, 85);
    EXPECT_EQ(bind_left, 82);
    EXPECT_EQ(bind_right, 83);
    EXPECT_EQ(bind_fire, 75);
    EXPECT_EQ(bind_quit, 59);
}

TEST_F(ConfigTest, PartialFileKeepsDefaultsOfOtherSections)
{
    write_file("config.txt", "[graphics]\nzoom = 2\n");
    ASSERT_EQ(read_config(), 1);
    EXPECT_EQ(zoom, 2);
    EXPECT_EQ(cpu_usage, 0);
    EXPECT_EQ(soundvolume, 8);
    EXPECT_EQ(musicvolume, 8);
}

TEST_F(ConfigTest, ValuesAreTakenUncheckedAndNonNumbersReadAsZero)
{
    write_file("config.txt", "[general]\ncpu_usage = lots\n[graphics]\nzoom = 40\nwindowed = 1\n"
                             "[sound]\nsoundvolume = -3\n[controls]\nquit = 27\n");
    ASSERT_EQ(read_config(), 1);
    EXPECT_EQ(cpu_usage, 0);
    EXPECT_EQ(zoom, 40);
    EXPECT_EQ(windowed, 1);
    EXPECT_EQ(soundvolume, -3);
    EXPECT_EQ(bind_quit, 27);
}

TEST_F(ConfigTest, KeysInTheWrongSectionAreNotSeen)
{
    write_file("config.txt", "[sound]\nzoom = 3\n");
    ASSERT_EQ(read_config(), 1);
    EXPECT_EQ(zoom, 1);
}

} // namespace
