// Action bits: the per-tick latch, combined bits, values that are no action.
#include <gtest/gtest.h>

#include "render/title.h"
#include "shell/actions.h"
#include "test_support.h"

namespace {

struct ActionsTest : ::testing::Test {
    void SetUp() override
    {
        start_headless_allegro();
        action_latch = 0;
        input_from_latch_only = 0;
        for (int i = 0; i < KEY_MAX; i++) {
            key[i] = 0;
        }
    }
    void TearDown() override
    {
        SetUp();
    }
};

TEST_F(ActionsTest, EveryActionReadsItsKey)
{
    const int table[][2] = {
        {ACTION_UP, KEY_UP},       {ACTION_DOWN, KEY_DOWN},  {ACTION_LEFT, KEY_LEFT},
        {ACTION_RIGHT, KEY_RIGHT}, {ACTION_JUMP, KEY_SPACE}, {ACTION_LUNGE, KEY_M},
        {ACTION_PICK_UP, KEY_X},   {ACTION_DROP, KEY_Z},     {ACTION_SLOT_1, KEY_1},
        {ACTION_SLOT_2, KEY_2},    {ACTION_SLOT_3, KEY_3},   {ACTION_SLOT_4, KEY_4},
        {ACTION_SLOT_5, KEY_5},    {ACTION_USE, KEY_6},      {ACTION_EXAMINE, KEY_7},
        {ACTION_QUIT, KEY_ESC},
    };
    for (const auto &row : table) {
        action_latch = 0;
        EXPECT_EQ(check_action(row[0]), 0);
        key[row[1]] = 1;
        EXPECT_EQ(check_action(row[0]), 1) << "action " << row[0];
        key[row[1]] = 0;
    }
}

TEST_F(ActionsTest, KeySeenOnceStaysActiveForTheRestOfTheTick)
{
    key[KEY_X] = 1;
    EXPECT_EQ(check_action(ACTION_PICK_UP), 1);
    key[KEY_X] = 0;
    EXPECT_EQ(check_action(ACTION_PICK_UP), 1);
    EXPECT_EQ(action_latch, static_cast<uint32_t>(ACTION_PICK_UP));
    action_latch = 0; // the next tick
    EXPECT_EQ(check_action(ACTION_PICK_UP), 0);
}

TEST_F(ActionsTest, CombinedBitsZeroAndUnknownValuesAreNoAction)
{
    key[KEY_UP] = 1;
    key[KEY_DOWN] = 1;
    EXPECT_EQ(check_action(0x3), 0);
    EXPECT_EQ(check_action(0), 0);
    EXPECT_EQ(check_action(0x10000), 0);
    EXPECT_EQ(check_action(-1), 0);
    EXPECT_EQ(action_latch, 0u);
}

TEST_F(ActionsTest, SeveralActionsInOneTick)
{
    key[KEY_ESC] = 1;
    key[KEY_SPACE] = 1;
    EXPECT_EQ(check_action(ACTION_QUIT), 1);
    EXPECT_EQ(check_action(ACTION_JUMP), 1);
}

TEST_F(ActionsTest, LatchOnlyModeIgnoresTheKeyboard)
{
    input_from_latch_only = 1;
    key[KEY_LEFT] = 1;
    EXPECT_EQ(check_action(ACTION_LEFT), 0);
    action_latch = ACTION_UP;
    EXPECT_EQ(check_action(ACTION_UP), 1);
}

TEST_F(ActionsTest, TitleChoiceFavoursSpace)
{
    EXPECT_EQ(read_title_choice(), TITLE_NO_CHOICE);
    key[KEY_ESC] = 1;
    EXPECT_EQ(read_title_choice(), TITLE_QUIT);
    key[KEY_SPACE] = 1;
    EXPECT_EQ(read_title_choice(), TITLE_BEGIN);
    key[KEY_ESC] = 0;
    EXPECT_EQ(read_title_choice(), TITLE_BEGIN);
}

} // namespace
