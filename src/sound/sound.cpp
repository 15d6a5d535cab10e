// Sound layer over the sound library's three calls.
#include "sound/sound.h"

#include "platform/fsound.h"
#include "shell/config.h"

int sound_init(void)
{
    if ((FSOUND_Init(SOUND_MIX_RATE, SOUND_CHANNELS, 0) & 0xff) == 0) {
        return 1;
    }
    FSOUND_SetSFXMasterVolume(soundvolume * SOUND_VOLUME_STEP);
    return 0;
}

void sound_close(void)
{
    FSOUND_Close();
}
