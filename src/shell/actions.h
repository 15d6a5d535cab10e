// Play actions: one bit each, read from fixed keys with a per-tick latch.
#pragma once

#include <cstdint>

constexpr int ACTION_UP = 0x1;
constexpr int ACTION_DOWN = 0x2;
constexpr int ACTION_LEFT = 0x4;
constexpr int ACTION_RIGHT = 0x8;
constexpr int ACTION_JUMP = 0x10;
constexpr int ACTION_LUNGE = 0x20;
constexpr int ACTION_PICK_UP = 0x40;
constexpr int ACTION_DROP = 0x80;
constexpr int ACTION_SLOT_1 = 0x100;
constexpr int ACTION_SLOT_2 = 0x200;
constexpr int ACTION_SLOT_3 = 0x400;
constexpr int ACTION_SLOT_4 = 0x800;
constexpr int ACTION_SLOT_5 = 0x1000;
constexpr int ACTION_USE = 0x2000;
constexpr int ACTION_EXAMINE = 0x4000;
constexpr int ACTION_QUIT = 0x8000;

// Bits of the actions seen active during the current tick; the game loop
// clears it at the start of every tick.
extern uint32_t action_latch;
// 1 when a joystick was found at start-up (nothing in the game reads it).
extern int joystick_present;
// While non-zero the keyboard is not consulted: the action word comes only
// from action_latch (recorder playback, and the tick harness of the tests).
extern int input_from_latch_only;

// 1 if the action (one bit of the table) is active now or was seen active in
// this tick; any other value answers 0 and changes nothing.
int check_action(int action);

// Records whether a joystick is present and clears the input state.
void reset_input(void);

// The scancode an action is bound to, or -1 for a value that is no action.
int action_scancode(int action);
// Sets the latch bit of every action whose key is down now.
void latch_held_keys(void);
