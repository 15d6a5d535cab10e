// Start and stop of the sound library. The game plays nothing; it only
// opens the library with the configured effects volume.
#pragma once

constexpr int SOUND_MIX_RATE = 44100;
constexpr int SOUND_CHANNELS = 64;
constexpr int SOUND_VOLUME_STEP = 32; // soundvolume setting -> master volume

// 0 when the library started, 1 when it failed.
int sound_init(void);
void sound_close(void);
