// The 30 Hz world tick, the frame counter, presenting a finished frame and
// the sleep after it.
#pragma once

#include <allegro.h>
#include <atomic>

constexpr int TICKS_PER_SECOND = 30;
constexpr int CALIBRATION_FRAMES = 600;     // frames of automatic calibration
constexpr int CALIBRATION_CHECK_EVERY = 60; // countdown between checks

// cpu_usage settings and the sleep each one selects.
constexpr int CPU_USAGE_NO_SLEEP = 1;
constexpr int CPU_USAGE_LIGHT = 2;
constexpr int CPU_USAGE_MEDIUM = 3;
constexpr int CPU_USAGE_CALIBRATED = 4;
constexpr int REST_MS_LIGHT = 6;
constexpr int REST_MS_MEDIUM = 12;
constexpr int REST_MS_CALIBRATED = 15;

extern std::atomic<int> tick_counter;  // ticks raised and not yet run
extern std::atomic<int> frame_counter; // frames presented this second
extern int frames_per_second;          // frames presented in the last second
extern int rest_ms;                    // sleep after each presented frame
extern int lag_ticks;                  // ticks beyond one found at each frame
extern int calibration_frames;
extern int calibration_countdown;
extern int lag_at_last_check;

void tick_timer_callback(void);
void second_timer_callback(void);

// Sets rest_ms from cpu_usage and restarts the calibration.
void apply_cpu_usage(void);

// Puts view on target enlarged zoom times, as stretch_blit would: at zoom 1
// one blit, above it whole-number replication into a window-sized buffer and
// one blit of that.
void present_view(BITMAP *view, BITMAP *target, int zoom);
// Frees the window-sized buffer (teardown).
void release_present_buffer(void);

// Puts backbuffer on the screen enlarged by zoom, then paces the frame.
// Only the rows that changed since the last present are written.
void present_frame(void);

// Called after drawing straight on the screen: the next present writes
// every row again.
void forget_presented_view(void);

// The sleep and lag bookkeeping after a presented frame.
void pace_frame(void);

// The bookkeeping half of pace_frame, without the sleep: lag counting and
// the calibration of rest_ms.
void account_frame(void);
