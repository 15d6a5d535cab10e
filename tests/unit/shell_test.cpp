// Shell pieces that run without a display: the start-up message texts, the
// bitmap counting, datafile lookups, font sheets, paths and the sound layer.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/fsound.h"
#include "platform/paths.h"
#include "platform/random.h"
#include "shell/config.h"
#include "shell/error_report.h"
#include "shell/startup.h"
#include "sound/sound.h"
#include "test_support.h"

namespace {

TEST(StartupMessage, TextsAndCodes)
{
    char text[512];
    format_startup_message(text, sizeof text, STARTUP_NO_CONFIG_FILE);
    EXPECT_STREQ(text, "Quillmere failed to start due to the following reason:\n\n"
                       "Error 13, an unknown error occured");
    format_startup_message(text, sizeof text, STARTUP_NO_CUSTOM_DATA);
    EXPECT_STREQ(text, "Quillmere failed to start due to the following reason:\n\n"
                       "Error 7, failed to read custom data file");
    EXPECT_STREQ(startup_reason(STARTUP_NO_LIBRARY), "failed to initialise Allegro");
    EXPECT_STREQ(startup_reason(STARTUP_NO_GRAPHICS_MODE), "failed to initialise graphics mode");
    EXPECT_STREQ(startup_reason(STARTUP_NO_GENERAL_DATA), "failed to read general data file");
    EXPECT_STREQ(startup_reason(STARTUP_NO_SOUND_LIBRARY), "failed to load sound and music data");
    EXPECT_STREQ(startup_reason(STARTUP_NO_FONTS), "failed to create fonts");
    EXPECT_STREQ(startup_reason(STARTUP_NO_JOYSTICK), "an unknown error occured");
    EXPECT_STREQ(startup_reason(99), "an unknown error occured");
    EXPECT_STREQ(startup_reason(-4), "an unknown error occured");
}

TEST(Bitmaps, MakeAndFreeAreCounted)
{
    start_headless_allegro();
    int before = live_bitmaps;
    BITMAP *a = make_bitmap(4, 4);
    BITMAP *b = make_bitmap(2, 2);
    EXPECT_EQ(live_bitmaps, before + 2);
    free_bitmap(a);
    free_bitmap(b);
    EXPECT_EQ(live_bitmaps, before);
}

TEST(Datafiles, LookupsRefuseMissingAndNonImageEntries)
{
    start_headless_allegro();
    BITMAP *image = create_bitmap(3, 5);
    static int not_an_image = 0;
    DATAFILE data[3] = {};
    data[0].type = DAT_BITMAP;
    data[0].dat = image;
    data[1].type = DAT_ID('D', 'A', 'T', 'A');
    data[1].dat = &not_an_image;
    data[2].type = DAT_END;
    EXPECT_EQ(datafile_count(data), 2);
    EXPECT_EQ(datafile_bitmap(data, 0), image);
    EXPECT_EQ(datafile_bitmap(data, 1), nullptr);
    EXPECT_EQ(datafile_bitmap(data, 2), nullptr);
    EXPECT_EQ(datafile_bitmap(data, -1), nullptr);
    EXPECT_EQ(datafile_bitmap(nullptr, 0), nullptr);
    destroy_bitmap(image);
}

TEST(FontSheets, GridIsCountedAndPlainImagesAreRefused)
{
    start_headless_allegro();
    // 16 x 6 cells of 6 x 8, yellow separators.
    BITMAP *sheet = create_bitmap(1 + 16 * 7, 1 + 6 * 9);
    clear_to_color(sheet, makecol(255, 255, 0));
    for (int row = 0; row < 6; row++) {
        for (int col = 0; col < 16; col++) {
            int x = 1 + col * 7, y = 1 + row * 9;
            rectfill(sheet, x, y, x + 5, y + 7, makecol(255, 0, 255));
        }
    }
    EXPECT_EQ(count_font_cells(sheet), 96);
    BITMAP *plain = create_bitmap(20, 20);
    clear_to_color(plain, makecol(255, 0, 255));
    rectfill(plain, 4, 4, 15, 15, makecol(200, 160, 60));
    EXPECT_LT(count_font_cells(plain), FONT_SHEET_MIN_CELLS);
    destroy_bitmap(sheet);
    destroy_bitmap(plain);
}

TEST(Paths, DataPathsUseThePlatformSeparator)
{
    char path[64];
    format_data_path(path, sizeof path, "%s\\game.dat", "data1");
    EXPECT_STREQ(path, "data1/game.dat");
    format_data_path(path, 8, "%s\\wobjects.dat", "data1");
    EXPECT_STREQ(path, "data1/w");
}

TEST(RuntimeRandom, RepeatsForASeedAndStaysInRange)
{
    runtime_srand(1);
    int first = runtime_rand();
    EXPECT_EQ(first, 41); // the first value of the seed-1 sequence
    runtime_srand(1);
    EXPECT_EQ(runtime_rand(), first);
    for (int i = 0; i < 1000; i++) {
        int v = runtime_rand();
        ASSERT_GE(v, 0);
        ASSERT_LE(v, RUNTIME_RAND_MAX);
    }
}

TEST(Sound, OpensWithTheConfiguredVolumeAndReportsFailure)
{
    fsound_log = {};
    soundvolume = 0;
    EXPECT_EQ(sound_init(), 0);
    EXPECT_EQ(fsound_log.mixrate, 44100);
    EXPECT_EQ(fsound_log.channels, 64);
    EXPECT_EQ(fsound_log.flags, 0u);
    EXPECT_EQ(fsound_log.volume_calls, 1);
    EXPECT_EQ(fsound_log.volume, 0);
    sound_close();
    EXPECT_EQ(fsound_log.close_calls, 1);

    fsound_log = {};
    soundvolume = DEFAULT_SOUNDVOLUME;
    fsound_fail_init = 1;
    EXPECT_EQ(sound_init(), 1);
    EXPECT_EQ(fsound_log.volume_calls, 0);
    fsound_fail_init = 0;
    EXPECT_EQ(sound_init(), 0);
    EXPECT_EQ(fsound_log.volume, 256);
}

TEST(ErrorReport, HeadlessReportsAreRecordedAndReturn)
{
    int before = reported_error_count;
    report_error("init_room : invalid room id");
    EXPECT_EQ(reported_error_count, before + 1);
    EXPECT_STREQ(last_reported_error, "init_room : invalid room id");
}

} // namespace
