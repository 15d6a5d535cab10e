// Action bits over Allegro's key-state array.
#include "shell/actions.h"

#include <allegro.h>

uint32_t action_latch = 0;
int joystick_present = 0;
int input_from_latch_only = 0;

// The fixed action table: bit and the key that drives it.
struct action_binding {
    int action;
    int scancode;
};

static const action_binding action_table[] = {
    {ACTION_UP, KEY_UP},       {ACTION_DOWN, KEY_DOWN},  {ACTION_LEFT, KEY_LEFT},
    {ACTION_RIGHT, KEY_RIGHT}, {ACTION_JUMP, KEY_SPACE}, {ACTION_LUNGE, KEY_M},
    {ACTION_PICK_UP, KEY_X},   {ACTION_DROP, KEY_Z},     {ACTION_SLOT_1, KEY_1},
    {ACTION_SLOT_2, KEY_2},    {ACTION_SLOT_3, KEY_3},   {ACTION_SLOT_4, KEY_4},
    {ACTION_SLOT_5, KEY_5},    {ACTION_USE, KEY_6},      {ACTION_EXAMINE, KEY_7},
    {ACTION_QUIT, KEY_ESC},
};

int action_scancode(int action)
{
    for (const action_binding &b : action_table) {
        if (b.action == action) {
            return b.scancode;
        }
    }
    return -1;
}

int check_action(int action)
{
    int scancode = action_scancode(action);
    if (scancode < 0) {
        return 0;
    }
    uint32_t bit = static_cast<uint32_t>(action);
    int active = (action_latch & bit) != 0;
    if (!input_from_latch_only && key[scancode] != 0) {
        active = 1;
    }
    if (active) {
        action_latch |= bit;
    }
    return active;
}

void latch_held_keys(void)
{
    for (const action_binding &b : action_table) {
        if (key[b.scancode] != 0) {
            action_latch |= static_cast<uint32_t>(b.action);
        }
    }
}

void reset_input(void)
{
    joystick_present = num_joysticks >= 1;
    action_latch = 0;
}
