// Action bits: the per-tick latch, combined bits, values that are no action.
#include <gtest/gtest.h>

#include "render/title.h"
#include "shell/actions.h"
#include "test_support.h"

namespace
{

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

} // namespace
