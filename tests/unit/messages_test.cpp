// The message table and the action-word recorder.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "game/game_loop.h"
#include "runtime/sprites.h"
#include "shell/actions.h"
#include "tick_harness.h"
#include "test_support.h"
#include "world/messages.h"
#include "world/recorder.h"

namespace
{

using namespace std::string_literals;

class Messages : public ::testing::Test
{
  protected:
    scratch_dir dir;
    void TearDown() override
    {
        free_messages();
    }
};

struct message_case {
    std::string bytes; // the file, or "missing"
    std::vector<std::string> texts;
};

struct MessageFile : Messages, ::testing::WithParamInterface<message_case> {
};

// Texts end at every NUL; two NULs in a row hold an empty text, a tail
// without its NUL is one more, and bytes above 127 are kept as they are.
TEST_P(MessageFile, SplitsAtEveryNul)
{
    const message_case &c = GetParam();
    if (c.bytes != "missing") {
        write_file("m.dat", c.bytes);
    }
    load_messages_file("m.dat");
    ASSERT_EQ(message_count, static_cast<int>(c.texts.size()));
    for (size_t i = 0; i < c.texts.size(); i++) {
        EXPECT_EQ(get_message(static_cast<int>(i)), c.texts[i]);
    }
    EXPECT_EQ(get_message(-1), nullptr);
    EXPECT_EQ(get_message(message_count), nullptr);
}

// More texts than the table starts with.
message_case thousand_texts(void)
{
    message_case c;
    for (int i = 0; i < 1000; i++) {
        c.texts.push_back("text " + std::to_string(i));
        c.bytes += c.texts.back() + '\0';
    }
    return c;
}

INSTANTIATE_TEST_SUITE_P(Files, MessageFile,
                         ::testing::Values(message_case{"a\0b\0"s, {"a", "b"}},
                                           message_case{"first\0\0tail"s, {"first", "", "tail"}},
                                           message_case{"", {}}, message_case{"missing", {}},
                                           message_case{"\0"s, {""}}, message_case{"x", {"x"}},
                                           message_case{"caf\xe9\0"s, {"caf\xe9"}},
                                           thousand_texts()));

class Recorder : public ::testing::Test
{
  protected:
    scratch_dir dir;
    void TearDown() override
    {
        stop_recording();
        action_latch = 0;
    }
};

// Keys held on the real keyboard array through the game's own tick are
// recorded, saved, loaded and played back from the same start to the same
// world; during playback the keys are ignored except Escape, which ends it.
struct RecordedPlay : tick_world {
    scratch_dir dir;
    void start(void)
    {
        harness_end();
        harness_begin();
        make_flat_room(HARNESS_ROOM, 10, 10, HARNESS_FLOOR);
        place_object(5, HARNESS_ROOM, DEF_PUSHED, 60, 80, HARNESS_FLOOR);
        start_in_room(HARNESS_ROOM, 60, 40, HARNESS_FLOOR);
    }
    std::vector<int> world(void)
    {
        return {sx(PLAYER_SLOT), sy(PLAYER_SLOT), sz(PLAYER_SLOT),
                sx(slot_of(5)),  sy(slot_of(5)),  sprite_table[PLAYER_SLOT].facing};
    }
    static constexpr int DEF_PUSHED = 50; // a barrel
};

TEST_F(RecordedPlay, HeldKeysPlayBackToTheSameWorld)
{
    const struct {
        int scancode, ticks;
    } held[] = {{KEY_UP, 30}, {KEY_SPACE, 3}, {KEY_LEFT, 12}, {KEY_RIGHT, 20}, {0, 15}};
    start();
    start_recording();
    int ticks = 0;
    for (const auto &h : held) {
        key[h.scancode] = 1;
        for (int i = 0; i < h.ticks; i++, ticks++) {
            EXPECT_FALSE(game_tick());
        }
        key[h.scancode] = 0;
    }
    save_recording();
    stop_recording();
    std::vector<int> recorded = world();

    start();
    load_recording();
    key[KEY_DOWN] = 1; // ignored while playing back
    for (int i = 0; i < ticks; i++) {
        game_tick();
    }
    key[KEY_DOWN] = 0;
    EXPECT_EQ(world(), recorded);
    EXPECT_NE(recorded[1], 40); // the recording did move the player
    key[KEY_ESC] = 1;
    EXPECT_TRUE(game_tick());
    key[KEY_ESC] = 0;
    stop_recording();
}

TEST_F(Recorder, PlaybackIsLittleEndianAndEndsAfterTheLastTick)
{
    std::string bytes(RECORDING_BYTES, '\0');
    bytes[0] = 0x10;            // word 0: jump
    bytes[4 * 7499 + 1] = 0x40; // last word: examine
    write_file("fledist.dat", bytes);
    load_recording();
    record_or_play_tick();
    EXPECT_EQ(action_latch, static_cast<uint32_t>(ACTION_JUMP));
    for (int tick = 1; tick < RECORDING_TICKS; tick++) {
        record_or_play_tick();
    }
    EXPECT_EQ(action_latch, static_cast<uint32_t>(ACTION_EXAMINE));
    EXPECT_FALSE(playback_on);
    EXPECT_FALSE(input_from_latch_only);
    action_latch = ACTION_LEFT;
    record_or_play_tick(); // neither mode: the word is left alone
    EXPECT_EQ(action_latch, static_cast<uint32_t>(ACTION_LEFT));
}

TEST_F(Recorder, ShortMissingFilesAndSavingWhenIdle)
{
    load_recording();
    EXPECT_FALSE(playback_on);
    std::filesystem::create_directory("fledist.dat"); // a folder is no recording
    load_recording();
    EXPECT_FALSE(playback_on);
    std::filesystem::remove("fledist.dat");

    write_file("fledist.dat", "\x01\x00\x00\x00\x02\x00"s); // one word and a half
    load_recording();
    record_or_play_tick();
    EXPECT_EQ(action_latch, 1u);
    record_or_play_tick();
    EXPECT_EQ(action_latch, 0u);
    stop_recording();

    std::filesystem::remove("fledist.dat");
    save_recording(); // not recording: nothing is written
    EXPECT_FALSE(std::filesystem::exists("fledist.dat"));

    start_recording();
    for (int tick = 0; tick < RECORDING_TICKS + 5; tick++) {
        record_or_play_tick();
    }
    EXPECT_FALSE(recording_on);
    EXPECT_EQ(recording_tick, RECORDING_TICKS);
}

} // namespace
