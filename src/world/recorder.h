// The action-word recorder: records the action word of every tick into a
// buffer of 7500 words, or plays such a recording back in place of the
// keyboard. "fledist.dat" in the working folder holds a recording. The game
// never switches it on; tests use it to feed action words.
#pragma once

#include <cstdint>

constexpr int RECORDING_TICKS = 7500;
constexpr int RECORDING_BYTES = RECORDING_TICKS * 4;

extern uint32_t recording_words[RECORDING_TICKS];
extern int recording_tick; // index of the next word
extern int recording_on;   // storing the action word every tick
extern int playback_on;    // replacing the action word every tick

// Reads "fledist.dat" and starts playback from tick 0 (nothing happens when
// the file is missing).
void load_recording(void);
// The same from an explicit path.
void load_recording_file(const char *path);
void start_recording(void);
// Once per tick: records action_latch, or replaces it by the recorded word.
void record_or_play_tick(void);
void stop_recording(void);
// Writes "fledist.dat" while a recording is running.
void save_recording(void);
void save_recording_file(const char *path);
// Makes the next tick's action word `word`, whatever the keyboard holds (a
// one-word playback: tools and tests drive the game with it).
void play_recorded_word(uint32_t word);
