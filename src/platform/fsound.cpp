// Sound library stand-in: the game plays no sound, so opening and closing
// the library only has to succeed (or fail on request) and remember.
#include "platform/fsound.h"

#include <cstdlib>
#include <cstring>

fsound_record fsound_log;
int fsound_fail_init = 0;

static int failure_requested(void)
{
    const char *env = getenv("QUILLMERE_SOUND_FAIL");
    return fsound_fail_init || (env != nullptr && strcmp(env, "1") == 0);
}

signed char FSOUND_Init(int mixrate, int maxsoftwarechannels, unsigned int flags)
{
    fsound_log.init_calls++;
    fsound_log.mixrate = mixrate;
    fsound_log.channels = maxsoftwarechannels;
    fsound_log.flags = flags;
    if (failure_requested()) {
        return 0;
    }
    fsound_log.open = 1;
    return 1;
}

signed char FSOUND_SetSFXMasterVolume(int volume)
{
    // The real library takes 0..255; 256 (the default setting 8 x 32) is
    // kept as given, since nothing is played at any volume.
    fsound_log.volume_calls++;
    fsound_log.volume = volume;
    return 1;
}

void FSOUND_Close(void)
{
    fsound_log.close_calls++;
    fsound_log.open = 0;
}
