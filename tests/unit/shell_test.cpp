// Shell pieces that run without a display: start-up messages, paths, the
// sound layer, the error bar and the datafile checks.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <filesystem>
#include <vector>

#include "platform/fsound.h"
#include "shell/config.h"
#include "shell/error_report.h"
#include "shell/resources.h"
#include "shell/startup.h"
#include "sound/sound.h"
#include "test_support.h"

namespace
{

// The real program shows the message of each code it gives (see the
// end-to-end failures); codes it never gives read as unknown.
TEST(StartupMessage, UnknownCodesReadAsUnknown)
{
    for (int code : {STARTUP_NO_JOYSTICK, 99, -4}) {
        EXPECT_STREQ(startup_reason(code), "an unknown error occured") << code;
    }
    EXPECT_STREQ(startup_reason(STARTUP_NO_LIBRARY), "failed to initialise Allegro");
}

TEST(Sound, OpensWithTheConfiguredVolumeAndReportsFailure)
{
    fsound_log = {};
    soundvolume = 0;
    EXPECT_EQ(sound_init(), 0);
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
    for (int huge : {INT_MAX, INT_MIN}) { // held at the ends of an int, never wrapped
        soundvolume = huge;
        sound_init();
        EXPECT_EQ(fsound_log.volume, huge);
    }
    soundvolume = DEFAULT_SOUNDVOLUME;
}

// With a screen but no keyboard the bar is drawn and nothing waits.
TEST(ErrorReport, DrawsTheBarWhenThereIsAScreen)
{
    start_headless_allegro();
    BITMAP *saved = screen;
    screen = create_bitmap(320, 240);
    clear_to_color(screen, 0);
    report_error("init_room : invalid room id");
    EXPECT_STREQ(last_reported_error, "init_room : invalid room id");
    EXPECT_EQ(getpixel(screen, 2, 222), STATUS_BAR_FILL);
    EXPECT_EQ(getpixel(screen, 2, 200), 0);
    destroy_bitmap(screen);
    screen = saved;
}

// Datafile bytes: the unpacked-file magic, the datafile magic, the object
// count, then per object its type, sizes and body. Each body is an 8 x 8
// image stored the library's way (depth, width, height, 3 bytes a pixel).
constexpr int HUGE_BMP = -1;

std::string datafile_bytes(const std::vector<int> &types)
{
    std::string out;
    auto put32 = [&](long v) {
        for (int shift = 24; shift >= 0; shift -= 8) {
            out += static_cast<char>((v >> shift) & 0xFF);
        }
    };
    put32(F_NOPACK_MAGIC);
    put32(DAT_MAGIC);
    put32(static_cast<long>(types.size()));
    std::string body = std::string("\0\x20\0\x08\0\x08", 6) + std::string(8 * 8 * 3, '\x40');
    for (int type : types) {
        // A huge image whose expanded size differs from its stored one
        // skipped the body check and overflowed the loader's allocation.
        int huge = type == HUGE_BMP;
        put32(huge ? DAT_BITMAP : type);
        put32(static_cast<long>(body.size()));
        put32(static_cast<long>(body.size()) + (huge ? 0x2000 : 0));
        out += huge ? std::string("\0\x20\x75\x30\x75\x30", 6) + body.substr(6) : body;
    }
    return out;
}

struct datafile_case {
    const char *name;
    std::vector<int> general, custom; // empty: the built file
    int code;
};

struct GameDatafiles : ::testing::TestWithParam<datafile_case> {
};

// Files that hold together but are not what the game draws from are
// refused with the file's start-up code instead of crashing or starting
// with images missing.
TEST_P(GameDatafiles, AreRefusedUnlessTheyHoldTheImagesTheGameDraws)
{
    start_headless_allegro();
    std::string built = QM_DATA_DIR_BUILT;
    scratch_dir dir;
    std::filesystem::create_directory("data1");
    const datafile_case &c = GetParam();
    if (c.general.empty()) {
        std::filesystem::copy_file(built + "/../qm.dat", "qm.dat");
    }
    write_file(c.general.empty() ? "unused" : "qm.dat", datafile_bytes(c.general));
    if (c.custom.empty()) {
        std::filesystem::copy_file(built + "/game.dat", "data1/game.dat");
    }
    write_file(c.custom.empty() ? "unused" : "data1/game.dat", datafile_bytes(c.custom));
    EXPECT_EQ(load_game_datafiles(), c.code);
    for (DATAFILE **d : {&general_datafile, &custom_datafile}) {
        if (*d != nullptr) {
            unload_datafile(*d);
            *d = nullptr;
        }
    }
}

constexpr int BMP = DAT_BITMAP, RLE = DAT_ID('R', 'L', 'E', ' '), DATA = DAT_ID('D', 'A', 'T', 'A');
const std::vector<int> TWELVE(12, BMP);
const std::vector<int> TWELVE_ONE_DATA = {BMP, BMP, BMP, BMP,  BMP, BMP,
                                          BMP, BMP, BMP, DATA, BMP, BMP};

INSTANTIATE_TEST_SUITE_P(
    Files, GameDatafiles,
    ::testing::Values(datafile_case{"Built", {}, {}, STARTUP_OK},
                      datafile_case{"RleTypedImage", {RLE}, {}, STARTUP_NO_GENERAL_DATA},
                      datafile_case{"TooFewGeneral", {BMP, BMP, BMP}, {}, STARTUP_NO_GENERAL_DATA},
                      datafile_case{"DataEntry", TWELVE_ONE_DATA, {}, STARTUP_NO_GENERAL_DATA},
                      datafile_case{"TwelveImages", TWELVE, {}, STARTUP_OK},
                      datafile_case{"HugeImage", {HUGE_BMP}, {}, STARTUP_NO_GENERAL_DATA},
                      datafile_case{"TooFewCustom", {}, TWELVE, STARTUP_NO_CUSTOM_DATA}),
    [](const ::testing::TestParamInfo<datafile_case> &info) { return info.param.name; });

} // namespace
