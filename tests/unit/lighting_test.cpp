// Lighting: darkness by brightness, torch glows, clipping and the skipped
// mask colour, checked against the plain per-pixel rule.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "render/lighting.h"
#include "runtime/room_setup.h"
#include "runtime/sprites.h"
#include "test_support.h"
#include "shell/resources.h"
#include "world/object_defs.h"
#include "world/rooms.h"
#include "world/world_objects.h"

namespace
{

uint32_t &raw(BITMAP *b, int x, int y)
{
    return reinterpret_cast<uint32_t *>(b->line[y])[x];
}

// The rule written plainly, pixel by pixel, to compare against.
void plain_subtract(BITMAP *dst, BITMAP *src, int x, int y, int factor)
{
    for (int j = 0; j < src->h; j++) {
        for (int i = 0; i < src->w; i++) {
            int dx = x + i, dy = y + j;
            if (dx < 0 || dy < 0 || dx >= dst->w || dy >= dst->h) {
                continue;
            }
            uint32_t s = raw(src, i, j);
            if (s == MASK_COLOUR) {
                continue;
            }
            uint32_t d = raw(dst, dx, dy), out = 0;
            for (int shift = 0; shift < 24; shift += 8) {
                int a = static_cast<int>((s >> shift) & 0xff) * factor / 256;
                int c = static_cast<int>((d >> shift) & 0xff) - a;
                out |= static_cast<uint32_t>(c < 0 ? 0 : c) << shift;
            }
            raw(dst, dx, dy) = out;
        }
    }
}

struct Lighting : ::testing::Test {
    fake_datafile art{600};
    void SetUp() override
    {
        start_headless_allegro();
        reset_sprites();
        memset(world_objects, 0, sizeof world_objects);
        backbuffer = create_bitmap(VIEW_W, VIEW_H);
        light_map = create_bitmap(VIEW_W, VIEW_H);
        clear_to_color(backbuffer, makecol(255, 255, 255));
        current_room = 3;
        art.set_size(GLOW_IMAGE, 120, 120);
        clear_to_color(static_cast<BITMAP *>(art.entries[GLOW_IMAGE].dat), makecol(100, 100, 100));
    }
    void TearDown() override
    {
        reset_sprites();
        destroy_bitmap(backbuffer);
        destroy_bitmap(light_map);
        backbuffer = light_map = nullptr;
        rooms[3].brightness = 0;
    }
    void torch(int slot, int wobj, int def, int sx, int sy)
    {
        sprite_table[slot].active = 1;
        sprite_table[slot].world_object = wobj;
        sprite_table[slot].screen_x = sx;
        sprite_table[slot].screen_y = sy;
        world_objects[wobj].obj_def = def;
    }
};

struct darkness_case {
    int brightness, red_left; // what a white pixel far from the torch keeps
};

struct RoomDarkness : Lighting, ::testing::WithParamInterface<darkness_case> {
};

// Full light (and any brightness beyond the table) changes nothing, torches
// or not; the darkest room leaves white at 32.
TEST_P(RoomDarkness, DarkensWhiteByTheRoomsBrightness)
{
    rooms[3].brightness = static_cast<uint8_t>(GetParam().brightness);
    torch(2, 10, DEF_TORCH, 100, 100);
    apply_lighting();
    const int left = GetParam().red_left;
    EXPECT_EQ(getpixel(backbuffer, 300, 230), makecol(left, left, left));
    EXPECT_GE(getr(getpixel(backbuffer, 160, 120)), left); // in the torch's glow
}

INSTANTIATE_TEST_SUITE_P(Brightness, RoomDarkness,
                         ::testing::Values(darkness_case{7, 255}, darkness_case{200, 255},
                                           darkness_case{0, 32}, darkness_case{4, 160}));

TEST_F(Lighting, TorchesLightTheirPatchAndTwoGlowsAddUp)
{
    rooms[3].brightness = 1; // darkness 192
    torch(2, 10, DEF_TORCH, 100, 100);
    torch(3, 11, DEF_TORCH_2, 130, 100);
    torch(4, 12, 50, 10, 10);
    apply_lighting();
    // One glow (100 * 210..255 / 256 taken from 192) at (50, 50); two where
    // both reach (at least 164 taken).
    int one = getr(getpixel(backbuffer, 50, 50));
    EXPECT_GE(one, 255 - 191 + 82);
    EXPECT_LE(one, 255 - 191 + 100);
    EXPECT_GE(getr(getpixel(backbuffer, 100, 60)), 255 - 191 + 164);
    // Far from every torch: plain darkness.
    EXPECT_EQ(getr(getpixel(backbuffer, 300, 230)), 255 - 191);
}

// Every byte value against the plain rule, clipped at each edge, at a glow's
// factor, the view's 255 (taken as max(m - 1, 0)) and the whole 256.
TEST_F(Lighting, SubtractionMatchesThePlainRuleAndClips)
{
    BITMAP *glow = create_bitmap(100, 100);
    srand(3);
    for (int y = 0; y < 100; y++) {
        for (int x = 0; x < 100; x++) {
            raw(glow, x, y) = (x + y) % 11 == 0 ? MASK_COLOUR : rand();
        }
    }
    for (int factor : {230, 255, 256}) {
        for (int pos : {-45, 250}) {
            BITMAP *mine = create_bitmap(VIEW_W, VIEW_H), *plain = create_bitmap(VIEW_W, VIEW_H);
            for (int y = 0; y < VIEW_H; y++) {
                for (int x = 0; x < VIEW_W; x++) {
                    raw(mine, x, y) = raw(plain, x, y) = rand();
                }
            }
            subtract_blit(mine, glow, pos, pos - 100, factor);
            plain_subtract(plain, glow, pos, pos - 100, factor);
            for (int y = 0; y < VIEW_H; y++) {
                ASSERT_EQ(memcmp(mine->line[y], plain->line[y], VIEW_W * 4), 0)
                    << "factor " << factor << " row " << y;
            }
            destroy_bitmap(mine);
            destroy_bitmap(plain);
        }
    }
    destroy_bitmap(glow);
}

TEST_F(Lighting, MaskColourIsSkippedOnlyWithAZeroFourthByte)
{
    BITMAP *src = create_bitmap(2, 1), *dst = create_bitmap(4, 4);
    clear_to_color(dst, makecol(100, 100, 100));
    raw(src, 0, 0) = MASK_COLOUR;
    raw(src, 1, 0) = 0x01FF00FFu;
    subtract_blit(dst, src, 1, 1, 256);
    EXPECT_EQ(getpixel(dst, 1, 1), makecol(100, 100, 100));
    EXPECT_EQ(raw(dst, 2, 1) & 0x00FFFFFFu, 0x00006400u); // red and blue taken, green kept
    EXPECT_EQ(raw(dst, 2, 1) >> 24, 0u);
    // Nothing for a factor below 1 or a source entirely off the destination.
    subtract_blit(dst, src, 0, 0, 0);
    subtract_blit(dst, src, 10, 10, 256);
    subtract_blit(dst, src, -5, 0, 256);
    EXPECT_EQ(getpixel(dst, 0, 0), makecol(100, 100, 100));
    destroy_bitmap(src);
    destroy_bitmap(dst);
}

} // namespace
