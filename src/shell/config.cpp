// Settings file reader. Values are taken as they are: a zoom the system
// refuses is the graphics mode's failure to report, not ours to clamp.
#include "shell/config.h"

#include <allegro.h>

#include "platform/data_file.h"

static const char CONFIG_FILE[] = "config.txt";
// The library reads the whole file into memory; a settings file is a few
// hundred bytes, so anything near this is not one.
static constexpr long CONFIG_MAX_BYTES = 1024L * 1024;

int online_scores = DEFAULT_ONLINE_SCORES;
int cpu_usage = DEFAULT_CPU_USAGE;
int windowed = DEFAULT_WINDOWED;
int forcerate = DEFAULT_FORCERATE;
int zoom = DEFAULT_ZOOM;
int soundvolume = DEFAULT_SOUNDVOLUME;
int musicvolume = DEFAULT_MUSICVOLUME;
int bind_up = DEFAULT_BIND_UP;
int bind_down = DEFAULT_BIND_DOWN;
int bind_left = DEFAULT_BIND_LEFT;
int bind_right = DEFAULT_BIND_RIGHT;
int bind_fire = DEFAULT_BIND_FIRE;
int bind_quit = DEFAULT_BIND_QUIT;

// One row per setting, in the order they are read.
struct config_key {
    const char *section;
    const char *key;
    int *value;
    int default_value;
};

static const config_key config_keys[] = {
    {"general", "online_scores", &online_scores, DEFAULT_ONLINE_SCORES},
    {"general", "cpu_usage", &cpu_usage, DEFAULT_CPU_USAGE},
    {"graphics", "windowed", &windowed, DEFAULT_WINDOWED},
    {"graphics", "forcerate", &forcerate, DEFAULT_FORCERATE},
    {"graphics", "zoom", &zoom, DEFAULT_ZOOM},
    {"sound", "soundvolume", &soundvolume, DEFAULT_SOUNDVOLUME},
    {"sound", "musicvolume", &musicvolume, DEFAULT_MUSICVOLUME},
    {"controls", "up", &bind_up, DEFAULT_BIND_UP},
    {"controls", "down", &bind_down, DEFAULT_BIND_DOWN},
    {"controls", "left", &bind_left, DEFAULT_BIND_LEFT},
    {"controls", "right", &bind_right, DEFAULT_BIND_RIGHT},
    {"controls", "fire", &bind_fire, DEFAULT_BIND_FIRE},
    {"controls", "quit", &bind_quit, DEFAULT_BIND_QUIT},
};

void reset_config_defaults(void)
{
    for (const config_key &k : config_keys) {
        *k.value = k.default_value;
    }
}

int read_config(void)
{
    // A folder or a pipe by that name cannot be read: it counts as missing.
    if (!exists(CONFIG_FILE) || data_file_problem(CONFIG_FILE, CONFIG_MAX_BYTES) != nullptr) {
        return 0;
    }
    set_config_file(CONFIG_FILE);
    for (const config_key &k : config_keys) {
        *k.value = get_config_int(k.section, k.key, k.default_value);
    }
    return 1;
}
