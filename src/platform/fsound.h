// The three calls of the closed sound library the game relies on, as a
// stand-in that plays nothing, records what it was given, and can be told to
// fail so that start-up's sound failure can be exercised.
#pragma once

signed char FSOUND_Init(int mixrate, int maxsoftwarechannels, unsigned int flags);
signed char FSOUND_SetSFXMasterVolume(int volume);
void FSOUND_Close(void);

// What the stand-in was given (for tests and for a curious developer).
struct fsound_record {
    int init_calls;
    int mixrate;
    int channels;
    unsigned int flags;
    int volume_calls;
    int volume;
    int close_calls;
    int open;
};
extern fsound_record fsound_log;

// When non-zero, FSOUND_Init reports failure. Also set at the first
// FSOUND_Init when the environment variable QUILLMERE_SOUND_FAIL is "1",
// which is how the end-to-end tests make the real program fail there.
extern int fsound_fail_init;
