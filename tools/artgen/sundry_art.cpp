// The game images that are not objects: the torch glow, the opening reveal
// picture, the blank marker and the stand-in for indexes nothing shows.
#include "sundry_art.h"

#include <cmath>

#include "paint.h"

// The glow is drawn 55 px left of and above a torch image's corner; the
// torch's flame sits about 4 px in and 4 px down, so the glow's middle is
// there. Pixels hold how much darkness they take away, per channel.
static constexpr int GLOW_SIZE = 120;
static constexpr float GLOW_CENTRE_X = 59.5f;
static constexpr float GLOW_CENTRE_Y = 59.0f;
static constexpr float GLOW_RADIUS = 58.0f;
static const rgb GLOW_WARMTH = {255, 212, 150}; // red lifts most: a warm light

BITMAP *paint_glow(void)
{
    BITMAP *bmp = new_image(GLOW_SIZE, GLOW_SIZE);
    for (int y = 0; y < GLOW_SIZE; y++) {
        for (int x = 0; x < GLOW_SIZE; x++) {
            float dx = x + 0.5f - GLOW_CENTRE_X, dy = y + 0.5f - GLOW_CENTRE_Y;
            float d = std::sqrt(dx * dx + dy * dy) / GLOW_RADIUS;
            if (d >= 1.0f) {
                continue;
            }
            // Full strength in the middle, a long soft fall to nothing at the rim.
            float a = 1.0f - d;
            a = a * a * (3.0f - 2.0f * a);
            rgb c = {static_cast<int>(GLOW_WARMTH.r * a), static_cast<int>(GLOW_WARMTH.g * a),
                     static_cast<int>(GLOW_WARMTH.b * a)};
            putpixel(bmp, x, y, to_pixel(c));
        }
    }
    return bmp;
}

// The reveal: an arched doorway, open (mask colour) inside and black
// outside, with a rim of dark stone. At its largest the picture is
// enlarged about 5.25 times round the middle of the view, so the opening
// must cover the source rectangle (49..111, 37..83) that the whole view
// then shows.
static constexpr int REVEAL_W = 160, REVEAL_H = 120;
static constexpr float ARCH_LEFT = 38.0f, ARCH_RIGHT = 122.0f;
static constexpr float ARCH_SPRING = 62.0f; // where the round top starts
static constexpr float ARCH_RIM = 3.0f;

static float arch_distance(float x, float y)
{
    // Negative inside the opening, positive outside, in pixels.
    float cx = (ARCH_LEFT + ARCH_RIGHT) * 0.5f, r = (ARCH_RIGHT - ARCH_LEFT) * 0.5f;
    if (y >= ARCH_SPRING) {
        return std::fabs(x - cx) - r;
    }
    float dx = x - cx, dy = y - ARCH_SPRING;
    return std::sqrt(dx * dx + dy * dy) - r;
}

BITMAP *paint_reveal_mask(void)
{
    BITMAP *bmp = new_image(REVEAL_W, REVEAL_H);
    for (int y = 0; y < REVEAL_H; y++) {
        for (int x = 0; x < REVEAL_W; x++) {
            float d = arch_distance(x + 0.5f, y + 0.5f);
            if (d < 0) {
                continue;
            }
            rgb c = {0, 0, 0};
            if (d < ARCH_RIM) {
                // Dressed stone round the opening, lit from the upper left.
                float f = 0.8f + 0.4f * noise2(x / 2, y / 2, 99);
                c = shade({84, 76, 70}, f * (d < 1.0f ? 1.3f : 1.0f));
            }
            putpixel(bmp, x, y, to_pixel(c));
        }
    }
    return bmp;
}

static constexpr int BLANK_SIZE = 5;

BITMAP *paint_blank_marker(void)
{
    BITMAP *bmp = new_image(BLANK_SIZE, BLANK_SIZE);
    int grey = to_pixel({128, 128, 128});
    int c = BLANK_SIZE / 2;
    putpixel(bmp, c, 0, grey);
    putpixel(bmp, 0, c, grey);
    putpixel(bmp, BLANK_SIZE - 1, c, grey);
    putpixel(bmp, c, BLANK_SIZE - 1, grey);
    putpixel(bmp, c, c, grey);
    return bmp;
}

static constexpr int UNUSED_SIZE = 8;

BITMAP *paint_unused(void)
{
    return new_image(UNUSED_SIZE, UNUSED_SIZE);
}
