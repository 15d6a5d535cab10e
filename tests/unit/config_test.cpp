// Settings file: defaults, partial files, values that are not numbers.
#include <gtest/gtest.h>

#include <sys/stat.h>

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

struct config_case {
    const char *text;
    int zoom, cpu_usage, windowed, soundvolume, bind_quit;
};

struct ConfigFile : ConfigTest, ::testing::WithParamInterface<config_case> {
};

// Missing keys (and keys in the wrong section) take their defaults; values
// are taken unchecked, and a value that is no number reads as 0.
TEST_P(ConfigFile, ReadsTheValuesAndDefaults)
{
    const config_case &c = GetParam();
    zoom = cpu_usage = soundvolume = 5;
    write_file("config.txt", c.text);
    ASSERT_EQ(read_config(), 1);
    EXPECT_EQ(zoom, c.zoom);
    EXPECT_EQ(cpu_usage, c.cpu_usage);
    EXPECT_EQ(windowed, c.windowed);
    EXPECT_EQ(soundvolume, c.soundvolume);
    EXPECT_EQ(bind_quit, c.bind_quit);
    EXPECT_EQ(musicvolume + bind_up + bind_fire, 8 + 84 + 75);
}

// A pipe by the settings file's name cannot be read (the start waited for a
// writer for ever): it counts as missing.
TEST_F(ConfigTest, APipeInPlaceOfTheFileCountsAsMissing)
{
    ASSERT_EQ(mkfifo("config.txt", 0600), 0);
    EXPECT_EQ(read_config(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Files, ConfigFile,
    ::testing::Values(config_case{"", 1, 0, 0, 8, 59},
                      config_case{"[graphics]\nzoom = 2\n", 2, 0, 0, 8, 59},
                      config_case{"[sound]\nzoom = 3\n", 1, 0, 0, 8, 59},
                      config_case{"[general]\ncpu_usage = lots\n[graphics]\nzoom = 40\nwindowed = "
                                  "1\n[sound]\nsoundvolume = -3\n[controls]\nquit = 27\n",
                                  40, 0, 1, -3, 27}));

} // namespace
