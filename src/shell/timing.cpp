// Frame timing. The callbacks run on Allegro's timer thread and touch only
// the atomic counters.
#include "shell/timing.h"

#include <allegro.h>

#include "shell/config.h"
#include "shell/startup.h"

std::atomic<int> tick_counter{0};
std::atomic<int> frame_counter{0};
int frames_per_second = 0;
int rest_ms = 0;
int lag_ticks = 0;
int calibration_frames = CALIBRATION_FRAMES;
int calibration_countdown = 0;
int lag_at_last_check = 0;

void tick_timer_callback(void)
{
    tick_counter.fetch_add(1);
}

void second_timer_callback(void)
{
    frames_per_second = frame_counter.exchange(0);
}

void apply_cpu_usage(void)
{
    switch (cpu_usage) {
    case CPU_USAGE_LIGHT:
        rest_ms = REST_MS_LIGHT;
        break;
    case CPU_USAGE_MEDIUM:
        rest_ms = REST_MS_MEDIUM;
        break;
    case CPU_USAGE_CALIBRATED:
        rest_ms = REST_MS_CALIBRATED;
        break;
    default: // CPU_USAGE_NO_SLEEP and every other value
        rest_ms = 0;
        break;
    }
    lag_ticks = 0;
    calibration_frames = CALIBRATION_FRAMES;
    calibration_countdown = 0;
    lag_at_last_check = 0;
}

static void calibrate(void)
{
    if (calibration_countdown == 0) {
        if (lag_ticks - lag_at_last_check > 2 && rest_ms > 0) {
            rest_ms--;
        }
        lag_at_last_check = lag_ticks;
        calibration_countdown = CALIBRATION_CHECK_EVERY;
    } else {
        calibration_countdown--;
    }
    calibration_frames--;
    if (calibration_frames == 0) {
        rest_ms -= 2;
        if (rest_ms < 0) {
            rest_ms = 0;
        }
    }
}

void pace_frame(void)
{
    if (rest_ms > 0) {
        rest(rest_ms);
    }
    account_frame();
}

void account_frame(void)
{
    int pending = tick_counter.load();
    if (pending > 1) {
        lag_ticks += pending - 1;
    }
    if (calibration_frames > 0 && cpu_usage == CPU_USAGE_CALIBRATED) {
        calibrate();
    }
}

void present_frame(void)
{
    if (screen != nullptr && backbuffer != nullptr) {
        acquire_screen();
        vsync();
        stretch_blit(backbuffer, screen, 0, 0, VIEW_W, VIEW_H, 0, 0, VIEW_W * zoom, VIEW_H * zoom);
        release_screen();
    }
    frame_counter.fetch_add(1);
    pace_frame();
}
