// Lighting on the 32-bit rows directly: one clear of the darkness map, one
// subtraction per torch glow, one subtraction of the map from the view. The
// inner loop works on four pixels at once in SSE2 (a plain loop written for
// the vectoriser elsewhere and for row ends), with a select instead of a
// branch for the skipped pixels.
#include "render/lighting.h"

#include <cstdint>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "physics/physics.h"
#include "runtime/room_setup.h"
#include "runtime/sprites.h"
#include "shell/resources.h"
#include "world/object_defs.h"
#include "world/rooms.h"
#include "world/world_objects.h"

const int darkness_table[BRIGHTNESS_LEVELS] = {224, 192, 160, 128, 96, 64, 32, 0};
int lighting_enabled = 1;

int room_darkness(int brightness)
{
    // Brightness runs from 0 (darkest) to 7 (full light); a record holding
    // more than 7 is taken as full light rather than read past the table.
    if (brightness < 0 || brightness >= BRIGHTNESS_LEVELS) {
        return 0;
    }
    return darkness_table[brightness];
}

static constexpr int CHUNK_PIXELS = 256;

// One row, in chunks: first every byte of the chunk is darkened by its
// source byte scaled by factor / 256 (a byte loop the vectoriser turns into
// 16-byte operations), then each pixel takes that result with a zero fourth
// byte, or stays as it was where the source pixel is the skipped mask colour.
static void subtract_row_plain(uint32_t *__restrict dst, const uint32_t *__restrict src, int w,
                               uint32_t factor)
{
    uint32_t result[CHUNK_PIXELS];
    for (int start = 0; start < w; start += CHUNK_PIXELS) {
        int n = w - start < CHUNK_PIXELS ? w - start : CHUNK_PIXELS;
        const uint8_t *__restrict s = reinterpret_cast<const uint8_t *>(src + start);
        const uint8_t *__restrict d = reinterpret_cast<const uint8_t *>(dst + start);
        uint8_t *__restrict r = reinterpret_cast<uint8_t *>(result);
        if (factor == VIEW_DARKEN_FACTOR) {
            // For a byte m, (m * 255) >> 8 is exactly max(m - 1, 0): two
            // saturating subtractions, no products.
            for (int k = 0; k < 4 * n; k++) {
                uint8_t amount = s[k] > 0 ? static_cast<uint8_t>(s[k] - 1) : 0;
                r[k] = d[k] > amount ? static_cast<uint8_t>(d[k] - amount) : 0;
            }
        } else {
            // channel * factor fits 16 bits (255 * 256), so the products
            // stay 16-bit lanes and the subtraction saturates on bytes.
            const uint16_t f = static_cast<uint16_t>(factor);
            for (int k = 0; k < 4 * n; k++) {
                uint8_t amount = static_cast<uint8_t>(static_cast<uint16_t>(s[k] * f) >> 8);
                r[k] = d[k] > amount ? static_cast<uint8_t>(d[k] - amount) : 0;
            }
        }
        uint32_t *__restrict out = dst + start;
        const uint32_t *__restrict from = src + start;
        for (int i = 0; i < n; i++) {
            out[i] = from[i] == MASK_COLOUR ? out[i] : (result[i] & RGB_BITS);
        }
    }
}

#if defined(__SSE2__)
// Four pixels at a time in SSE2, the rest by the plain loop. The view's
// factor 255 takes max(m - 1, 0) by a saturating subtraction of 1; other
// factors multiply in 16-bit lanes. The skipped source pixels keep the
// destination through a compare and a select.
static void subtract_row(uint32_t *dst, const uint32_t *src, int w, uint32_t factor)
{
    const __m128i zero = _mm_setzero_si128(), one = _mm_set1_epi8(1);
    const __m128i f = _mm_set1_epi16(static_cast<short>(factor));
    const __m128i skipped = _mm_set1_epi32(static_cast<int>(MASK_COLOUR));
    const __m128i colour = _mm_set1_epi32(static_cast<int>(RGB_BITS));
    int k = 0;
    for (; k + 4 <= w; k += 4) {
        __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i *>(src + k));
        __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i *>(dst + k));
        __m128i amount;
        if (factor == VIEW_DARKEN_FACTOR) {
            amount = _mm_subs_epu8(s, one);
        } else {
            __m128i lo = _mm_srli_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(s, zero), f), 8);
            __m128i hi = _mm_srli_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(s, zero), f), 8);
            amount = _mm_packus_epi16(lo, hi);
        }
        // A skipped pixel takes nothing away and keeps its fourth byte.
        __m128i keep = _mm_cmpeq_epi32(s, skipped);
        __m128i out = _mm_subs_epu8(d, _mm_andnot_si128(keep, amount));
        out = _mm_and_si128(out, _mm_or_si128(colour, keep));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(dst + k), out);
    }
    subtract_row_plain(dst + k, src + k, w - k, factor);
}
#else
static void subtract_row(uint32_t *dst, const uint32_t *src, int w, uint32_t factor)
{
    subtract_row_plain(dst, src, w, factor);
}
#endif

void subtract_blit(BITMAP *dst, BITMAP *src, int x, int y, int factor)
{
    if (dst == nullptr || src == nullptr) {
        return;
    }
    int sx = 0, sy = 0, w = src->w, h = src->h;
    if (x < 0) {
        w += x;
        sx -= x;
        x = 0;
    }
    if (y < 0) {
        h += y;
        sy -= y;
        y = 0;
    }
    if (x + w >= dst->w) {
        w = dst->w - x;
    }
    if (y + h >= dst->h) {
        h = dst->h - y;
    }
    if (w < 1 || h < 1 || factor < 1) {
        return;
    }
    if (bitmap_color_depth(dst) != COLOUR_DEPTH || bitmap_color_depth(src) != COLOUR_DEPTH) {
        return;
    }
    acquire_bitmap(dst);
    for (int row = 0; row < h; row++) {
        uint32_t *to = reinterpret_cast<uint32_t *>(bmp_write_line(dst, y + row)) + x;
        const uint32_t *from = reinterpret_cast<const uint32_t *>(src->line[sy + row]) + sx;
        subtract_row(to, from, w, static_cast<uint32_t>(factor));
    }
    bmp_unwrite_line(dst);
    release_bitmap(dst);
}

// clear_to_color of a 32-bit memory map as whole-row fills, which the
// compiler turns into 16-byte stores.
static void fill_map(BITMAP *map, uint32_t colour)
{
    if (!is_memory_bitmap(map) || bitmap_color_depth(map) != COLOUR_DEPTH) {
        clear_to_color(map, static_cast<int>(colour));
        return;
    }
    const int w = map->w, h = map->h; // held here, as rows could alias the bitmap
    for (int y = 0; y < h; y++) {
        uint32_t *row = reinterpret_cast<uint32_t *>(map->line[y]);
        for (int x = 0; x < w; x++) {
            row[x] = colour;
        }
    }
}

static int is_torch(int slot)
{
    const world_object *w = sprite_world_object(slot);
    return w != nullptr && (w->obj_def == DEF_TORCH || w->obj_def == DEF_TORCH_2);
}

void apply_lighting(void)
{
    if (!lighting_enabled || light_map == nullptr || current_room < 0 ||
        current_room >= ROOM_COUNT) {
        return;
    }
    int d = room_darkness(rooms[current_room].brightness);
    // A fully lit room is left as it is: its map is all zero, and nothing a
    // torch adds can take it below zero.
    if (d == 0) {
        return;
    }
    fill_map(light_map, static_cast<uint32_t>(makecol(d, d, d)));
    BITMAP *glow = datafile_bitmap(custom_datafile, GLOW_IMAGE);
    for (int i = 0; i < SPRITE_COUNT; i++) {
        if (is_torch(i)) {
            int f = random_range(GLOW_FLICKER_LOW, GLOW_FLICKER_HIGH);
            subtract_blit(light_map, glow, sprite_table[i].screen_x - GLOW_OFFSET,
                          sprite_table[i].screen_y - GLOW_OFFSET, f);
        }
    }
    subtract_blit(backbuffer, light_map, 0, 0, VIEW_DARKEN_FACTOR);
}
