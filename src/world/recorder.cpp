// Recording and playing back the per-tick action word. While playing back,
// the action mapper reads only action_latch, so the keyboard is ignored.
#include "world/recorder.h"

#include <cstdio>
#include <cstring>

#include "platform/data_file.h"
#include "shell/actions.h"
#include "world/little_endian.h"

static const char RECORDING_FILE[] = "fledist.dat";
static constexpr int WORD_BYTES = 4;

uint32_t recording_words[RECORDING_TICKS];
int recording_tick = 0;
int recording_on = 0;
int playback_on = 0;

static void set_playback(int on)
{
    playback_on = on;
    input_from_latch_only = on;
}

// A file shorter than a whole recording plays what it holds and then
// no action at all for the rest of the 7500 ticks.
void load_recording_file(const char *path)
{
    const char *reason = nullptr;
    FILE *f = open_data_file(path, ANY_FILE_SIZE, nullptr, &reason);
    if (f == nullptr) {
        return;
    }
    static unsigned char bytes[RECORDING_BYTES];
    memset(bytes, 0, sizeof bytes);
    size_t got = fread(bytes, 1, sizeof bytes, f);
    fclose(f);
    size_t whole = got - got % WORD_BYTES;
    memset(bytes + whole, 0, sizeof bytes - whole);
    for (int i = 0; i < RECORDING_TICKS; i++) {
        recording_words[i] = get_u32(bytes + WORD_BYTES * i);
    }
    recording_on = 0;
    recording_tick = 0;
    set_playback(1);
}

void load_recording(void)
{
    load_recording_file(RECORDING_FILE);
}

// While recording, the keys are read once at the start of each tick and the
// tick answers from that word alone, so the stored word is exactly the one
// in force during the tick and playing it back repeats the tick.
void start_recording(void)
{
    set_playback(0);
    recording_tick = 0;
    recording_on = 1;
    input_from_latch_only = 1;
}

void record_or_play_tick(void)
{
    if (recording_on) {
        latch_held_keys();
        recording_words[recording_tick++] = action_latch;
        if (recording_tick >= RECORDING_TICKS) {
            recording_on = 0;
            input_from_latch_only = 0;
        }
    } else if (playback_on) {
        action_latch = recording_words[recording_tick++];
        if (recording_tick >= RECORDING_TICKS) {
            set_playback(0);
        }
    }
}

void stop_recording(void)
{
    recording_on = 0;
    set_playback(0);
}

void save_recording_file(const char *path)
{
    if (!recording_on) {
        return;
    }
    static unsigned char bytes[RECORDING_BYTES];
    for (int i = 0; i < RECORDING_TICKS; i++) {
        put_u32(bytes + WORD_BYTES * i, recording_words[i]);
    }
    FILE *f = fopen(path, "wb");
    if (f == nullptr) {
        return;
    }
    fwrite(bytes, 1, sizeof bytes, f);
    fclose(f);
}

void save_recording(void)
{
    save_recording_file(RECORDING_FILE);
}

void play_recorded_word(uint32_t word)
{
    recording_words[0] = word;
    recording_tick = 0;
    playback_on = 1;
    input_from_latch_only = 1;
}
