// Lighting on the 32-bit rows directly: one clear of the darkness map, one
// subtraction per torch glow, one subtraction of the map from the view. The
// inner loop is written for the vectoriser: whole rows, no calls, no early
// exits, a select instead of a branch for the skipped pixels.
#include "render/lighting.h"

#include <cstdint>

#include "physics/physics.h"
#include "runtime/room_setup.h"
#include "runtime/sprites.h"
#include "shell/startup.h"
#include "world/object_defs.h"
#include "world/rooms.h"
#include "world/world_objects.h"

const int darkness_table[BRIGHTNESS_LEVELS] = {224, 192, 160, 128, 96, 64, 32, 0};
int lighting_enabled = 1;

static constexpr uint32_t SKIPPED_SOURCE = 0x00FF00FFu; // the mask colour, fourth byte 0

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
static void subtract_row(uint32_t *__restrict dst, const uint32_t *__restrict src, int w,
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
            out[i] = from[i] == SKIPPED_SOURCE ? out[i] : (result[i] & 0x00FFFFFFu);
        }
    }
}

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
    if (bitmap_color_depth(dst) != 32 || bitmap_color_depth(src) != 32) {
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
    clear_to_color(light_map, makecol(d, d, d));
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
