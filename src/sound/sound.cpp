// Sound layer over the sound library's three calls.
#include "sound/sound.h"

#include <climits>

#include "platform/fsound.h"
#include "shell/config.h"

// The setting times the step, held inside an int: a huge setting gives the
// loudest (or quietest) volume rather than a wrapped one.
static int master_volume(void)
{
    long long volume = static_cast<long long>(soundvolume) * SOUND_VOLUME_STEP;
    return volume > INT_MAX ? INT_MAX : (volume < INT_MIN ? INT_MIN : static_cast<int>(volume));
}

int sound_init(void)
{
    if ((FSOUND_Init(SOUND_MIX_RATE, SOUND_CHANNELS, 0) & 0xff) == 0) {
        return 1;
    }
    FSOUND_SetSFXMasterVolume(master_volume());
    return 0;
}

void sound_close(void)
{
    FSOUND_Close();
}
