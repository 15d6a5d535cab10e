// Sprite physics: support, falling, rising, pushing, stepping up, carrying,
// room limits and exits, contact events and damage.
#pragma once

constexpr float START_ENERGY = 99.0f;
constexpr int MAX_STEP_UP = 6;      // a rise of 7 or more blocks
constexpr int FALL_STEPS_PER_TICK = 2;

extern float energy;        // the player's energy; the game ends at 0
extern int player_falling;  // set while the player falls

// One physics tick over all 160 slots.
void move_sprites(void);
// 1 when the two sprites' boxes share volume.
int sprites_overlap(int a, int b);
// 0 when n is 0, else the runtime's random number modulo n.
int random_int(int n);
// lo when hi <= lo, else lo .. hi inclusive.
int random_range(int lo, int hi);
