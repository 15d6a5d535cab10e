// One game: the player's arrival in the start room, then ticks at 30 a
// second and a frame after each burst of them, until Escape or no energy.
#pragma once

constexpr int START_ROOM = 84;
constexpr int START_X = 66;
constexpr int START_Y = 74;
constexpr int START_Z = 3;

// Readies the world tables, however they were filled, for a game: the
// trigger table built and re-armed, the sprite table empty. The game's
// start-up and the room editor's try both come through here.
void bring_up_world(void);

// Plays one game; returns 1 when it has ended.
int run_game(int room, int x, int y, int z);

// Sets up a game without running it: state, start room, the player.
void start_game(int room, int x, int y, int z);
// Frees what start_game made.
void end_game(void);

// One world tick in its fixed order; returns 1 when the quit action was seen.
int game_tick(void);
