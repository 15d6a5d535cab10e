// The player's settings, read once from "config.txt" at start-up.
#pragma once

// Default values of the settings (used when a key is missing).
constexpr int DEFAULT_ONLINE_SCORES = 1;
constexpr int DEFAULT_CPU_USAGE = 0;
constexpr int DEFAULT_WINDOWED = 0;
constexpr int DEFAULT_FORCERATE = 0;
constexpr int DEFAULT_ZOOM = 1;
constexpr int DEFAULT_SOUNDVOLUME = 8;
constexpr int DEFAULT_MUSICVOLUME = 8;
constexpr int DEFAULT_BIND_UP = 84;    // KEY_UP
constexpr int DEFAULT_BIND_DOWN = 85;  // KEY_DOWN
constexpr int DEFAULT_BIND_LEFT = 82;  // KEY_LEFT
constexpr int DEFAULT_BIND_RIGHT = 83; // KEY_RIGHT
constexpr int DEFAULT_BIND_FIRE = 75;  // KEY_SPACE
constexpr int DEFAULT_BIND_QUIT = 59;  // KEY_ESC

extern int online_scores; // kept, unused
extern int cpu_usage;     // selects the sleep after each frame
extern int windowed;      // kept; the game always opens a window
extern int forcerate;     // non-zero: ask for 60 Hz
extern int zoom;          // window is 320*zoom by 240*zoom, not clamped
extern int soundvolume;   // effects master volume / 32
extern int musicvolume;   // kept, unused
extern int bind_up;
extern int bind_down;
extern int bind_left;
extern int bind_right;
extern int bind_fire;
extern int bind_quit;

// Reads "config.txt" from the working directory. Returns 1 when read, 0 when
// the file does not exist (every global then keeps its value).
int read_config(void);

// Puts every setting back to its default (used before a fresh read, and by
// tests).
void reset_config_defaults(void);
