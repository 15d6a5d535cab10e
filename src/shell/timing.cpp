// Frame timing. The callbacks run on Allegro's timer thread and touch only
// the atomic counters.
#include "shell/timing.h"

#include <allegro.h>
#include <cstdint>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// The window-sized picture of the view at zooms above 1: made at the first
// such present and kept until teardown.
static BITMAP *zoomed_view = nullptr;

// One view row widened pixel by pixel. Zooms 2 to 4 take four pixels at a
// time in SSE2, each lane copied zoom times by shuffles.
static void widen_row(const uint32_t *from, uint32_t *to, int w, int zoom)
{
    int x = 0;
#if defined(__SSE2__)
    for (; x + 4 <= w && zoom >= 2 && zoom <= 4; x += 4) {
        __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i *>(from + x));
        __m128i *out = reinterpret_cast<__m128i *>(to + x * zoom);
        if (zoom == 2) {
            _mm_storeu_si128(out, _mm_unpacklo_epi32(p, p));
            _mm_storeu_si128(out + 1, _mm_unpackhi_epi32(p, p));
        } else if (zoom == 3) {
            _mm_storeu_si128(out, _mm_shuffle_epi32(p, _MM_SHUFFLE(1, 0, 0, 0)));
            _mm_storeu_si128(out + 1, _mm_shuffle_epi32(p, _MM_SHUFFLE(2, 2, 1, 1)));
            _mm_storeu_si128(out + 2, _mm_shuffle_epi32(p, _MM_SHUFFLE(3, 3, 3, 2)));
        } else {
            _mm_storeu_si128(out, _mm_shuffle_epi32(p, _MM_SHUFFLE(0, 0, 0, 0)));
            _mm_storeu_si128(out + 1, _mm_shuffle_epi32(p, _MM_SHUFFLE(1, 1, 1, 1)));
            _mm_storeu_si128(out + 2, _mm_shuffle_epi32(p, _MM_SHUFFLE(2, 2, 2, 2)));
            _mm_storeu_si128(out + 3, _mm_shuffle_epi32(p, _MM_SHUFFLE(3, 3, 3, 3)));
        }
    }
#endif
    for (; x < w; x++) {
        for (int k = 0; k < zoom; k++) {
            to[x * zoom + k] = from[x];
        }
    }
}

// Each view pixel becomes a zoom x zoom block: the first row of each block
// is the view row widened, and the block's other rows are that same row,
// since their line pointers are made to share it when the buffer is made.
// So the one blit reads every window row while only the view's rows are
// written. This is exactly what stretch_blit gives at whole-number zooms.
static void replicate_view(BITMAP *view, BITMAP *to, int zoom)
{
    for (int y = 0; y < view->h; y++) {
        widen_row(reinterpret_cast<const uint32_t *>(view->line[y]),
                  reinterpret_cast<uint32_t *>(to->line[y * zoom]), view->w, zoom);
    }
}

static void share_block_rows(BITMAP *b, int zoom)
{
    // The block rows point into the first view-height rows of the buffer,
    // one after another, so the written rows lie together in memory.
    unsigned char *first = b->line[0];
    size_t pitch = static_cast<size_t>(b->line[1] - b->line[0]);
    for (int y = 0; y < b->h; y++) {
        b->line[y] = first + static_cast<size_t>(y / zoom) * pitch;
    }
}

void present_view(BITMAP *view, BITMAP *target, int zoom)
{
    if (zoom < 1) {
        return;
    }
    int w = view->w * zoom, h = view->h * zoom;
    if (zoom == 1) {
        blit(view, target, 0, 0, 0, 0, w, h);
        return;
    }
    if (zoomed_view != nullptr && (zoomed_view->w != w || zoomed_view->h != h)) {
        release_present_buffer();
    }
    if (zoomed_view == nullptr && bitmap_color_depth(view) == PRESENT_DEPTH) {
        zoomed_view = make_bitmap(w, h);
        if (zoomed_view == nullptr) {
            free_bitmap(zoomed_view); // keeps the count of live bitmaps
        } else {
            share_block_rows(zoomed_view, zoom);
        }
    }
    if (zoomed_view == nullptr || bitmap_color_depth(view) != PRESENT_DEPTH) {
        // No room for the enlarged picture, or a view we do not replicate:
        // the library's own enlargement still shows the frame.
        stretch_blit(view, target, 0, 0, view->w, view->h, 0, 0, w, h);
        return;
    }
    replicate_view(view, zoomed_view, zoom);
    // One copy of the whole window, which the X11 driver sends as one image.
    blit(zoomed_view, target, 0, 0, 0, 0, w, h);
}

void release_present_buffer(void)
{
    if (zoomed_view != nullptr) {
        free_bitmap(zoomed_view);
        zoomed_view = nullptr;
    }
}

void present_frame(void)
{
    if (screen != nullptr && backbuffer != nullptr) {
        acquire_screen();
        vsync();
        present_view(backbuffer, screen, zoom);
        release_screen();
    }
    frame_counter.fetch_add(1);
    pace_frame();
}
