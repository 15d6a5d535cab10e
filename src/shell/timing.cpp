// Frame timing. The callbacks run on Allegro's timer thread and touch only
// the atomic counters.
#include "shell/timing.h"

#include <allegro.h>
#include <cstdint>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "platform/window.h"
#include "shell/config.h"
#include "shell/resources.h"

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

#if defined(__SSE2__)
// Streamed stores write the window's rows without first reading them into
// the cache: the rows are only ever written here and read by the X server.
static inline void store_pixels(__m128i *to, __m128i p, bool stream)
{
    if (stream) {
        _mm_stream_si128(to, p);
    } else {
        _mm_storeu_si128(to, p);
    }
}
#endif

// One view row widened pixel by pixel. Zooms 1 to 4 take four pixels at a
// time in SSE2, each lane copied zoom times by shuffles. stream needs `to`
// on a 16-byte boundary.
static void widen_row(const uint32_t *from, uint32_t *to, int w, int zoom, bool stream)
{
    int x = 0;
#if defined(__SSE2__)
    for (; x + 4 <= w && zoom >= 1 && zoom <= 4; x += 4) {
        __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i *>(from + x));
        __m128i *out = reinterpret_cast<__m128i *>(to + x * zoom);
        if (zoom == 1) {
            store_pixels(out, p, stream);
        } else if (zoom == 2) {
            store_pixels(out, _mm_unpacklo_epi32(p, p), stream);
            store_pixels(out + 1, _mm_unpackhi_epi32(p, p), stream);
        } else if (zoom == 3) {
            store_pixels(out, _mm_shuffle_epi32(p, _MM_SHUFFLE(1, 0, 0, 0)), stream);
            store_pixels(out + 1, _mm_shuffle_epi32(p, _MM_SHUFFLE(2, 2, 1, 1)), stream);
            store_pixels(out + 2, _mm_shuffle_epi32(p, _MM_SHUFFLE(3, 3, 3, 2)), stream);
        } else {
            store_pixels(out, _mm_shuffle_epi32(p, _MM_SHUFFLE(0, 0, 0, 0)), stream);
            store_pixels(out + 1, _mm_shuffle_epi32(p, _MM_SHUFFLE(1, 1, 1, 1)), stream);
            store_pixels(out + 2, _mm_shuffle_epi32(p, _MM_SHUFFLE(2, 2, 2, 2)), stream);
            store_pixels(out + 3, _mm_shuffle_epi32(p, _MM_SHUFFLE(3, 3, 3, 3)), stream);
        }
    }
#else
    (void)stream;
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
                  reinterpret_cast<uint32_t *>(to->line[y * zoom]), view->w, zoom, false);
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
    if (zoomed_view == nullptr && bitmap_color_depth(view) == COLOUR_DEPTH) {
        zoomed_view = make_bitmap(w, h);
        if (zoomed_view == nullptr) {
            free_bitmap(zoomed_view); // keeps the count of live bitmaps
        } else {
            share_block_rows(zoomed_view, zoom);
        }
    }
    if (zoomed_view == nullptr || bitmap_color_depth(view) != COLOUR_DEPTH) {
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

// Streamed stores need rows on this boundary.
constexpr uintptr_t STREAM_ALIGNMENT = 16;

// The view as last written into the window's rows. The window keeps its
// picture between frames, so a view row that has not changed since needs no
// writing; and most frames change few rows (no tick ran, or only a sprite
// moved). Rows of zoom 0 are unknown: everything is written.
static uint32_t presented_view[VIEW_H][VIEW_W];
static int presented_zoom = 0;
static unsigned char **presented_rows = nullptr;
static bool presented_rows_aligned = false; // every row may take streamed stores

void forget_presented_view(void)
{
    presented_zoom = 0;
}

// A view row widened into every window row of its block, unless the window
// already shows it. Returns 1 when it wrote.
static int present_row(const uint32_t *from, unsigned char **rows, int y, int w, int zoom,
                       bool aligned)
{
    if (presented_zoom == zoom && memcmp(presented_view[y], from, sizeof(uint32_t) * w) == 0) {
        return 0;
    }
    for (int k = 0; k < zoom; k++) {
        widen_row(from, reinterpret_cast<uint32_t *>(rows[y * zoom + k]), w, zoom, aligned);
    }
    memcpy(presented_view[y], from, sizeof(uint32_t) * w);
    return 1;
}

// Each changed view row widened straight into the window's rows of its
// block: no buffer between, and the changed band sent as one image. Returns
// 0 when the screen's rows cannot be written directly.
static int present_into_screen(BITMAP *view, int zoom)
{
    if (zoom < 1 || bitmap_color_depth(view) != COLOUR_DEPTH || view->w > VIEW_W ||
        view->h > VIEW_H) {
        return 0;
    }
    int w = view->w * zoom, h = view->h * zoom;
    unsigned char **rows = platform_screen_rows(w, h, COLOUR_DEPTH);
    if (rows == nullptr) {
        return 0;
    }
    if (rows != presented_rows) {
        presented_rows = rows; // a new screen shows nothing of ours yet
        presented_zoom = 0;
        presented_rows_aligned = true;
        for (int y = 0; y < h; y++) {
            presented_rows_aligned = presented_rows_aligned &&
                                     reinterpret_cast<uintptr_t>(rows[y]) % STREAM_ALIGNMENT == 0;
        }
    }
    int first = view->h, last = -1;
    for (int y = 0; y < view->h; y++) {
        const uint32_t *from = reinterpret_cast<const uint32_t *>(view->line[y]);
        if (present_row(from, rows, y, view->w, zoom, presented_rows_aligned)) {
            first = y < first ? y : first;
            last = y;
        }
    }
    presented_zoom = zoom;
#if defined(__SSE2__)
    _mm_sfence(); // the streamed rows are complete before the image is sent
#endif
    if (last >= first) {
        platform_show_screen_rows(first * zoom, w, (last - first + 1) * zoom);
    }
    return 1;
}

void present_frame(void)
{
    if (screen != nullptr && backbuffer != nullptr) {
        acquire_screen();
        vsync();
        if (!present_into_screen(backbuffer, zoom)) {
            present_view(backbuffer, screen, zoom);
        }
        release_screen();
    }
    frame_counter.fetch_add(1);
    pace_frame();
}
