// The game images that are not objects: the torch glow, the opening reveal
// picture, the blank marker and the stand-in for indexes nothing shows.
#include "sundry_art.h"

#include <algorithm>
#include <cmath>

#include "paint.h"

// The glow is drawn 55 px left of and above a torch image's corner, and a
// torch image's corner is 4 px left of and 24 px above the torch's own
// point, so that point sits at (59, 79) in the glow. Torches hang on walls
// 13 units or so above the floor; the floor in front of a wall lies below
// the torch on screen, down-right for a wall at high x and down-left for
// one at high y. So the glow is mostly a tall soft ellipse centred well
// below the torch, reaching a cell or so into the room either way, plus a
// round halo on the wall around the flame. The picture cannot reach further
// left than 59 px from the torch, so the ellipse is as wide as that allows
// on both sides. Pixels hold how much darkness they take away, per channel.
static constexpr int GLOW_W = 119;
static constexpr int GLOW_H = 168;
static constexpr float GLOW_TORCH_X = 59.5f;
static constexpr float GLOW_TORCH_Y = 79.0f;
static constexpr float FLOOR_DROP = 32.0f;     // ellipse centre below the torch
static constexpr float FLOOR_RADIUS_X = 59.0f; // as far left as the glow reaches
static constexpr float FLOOR_RADIUS_Y = 56.0f;
static constexpr float HALO_RISE = 14.0f; // the flame above the torch's point
static constexpr float HALO_RADIUS = 26.0f;
static constexpr float FLOOR_ROUNDNESS = 3.0f;  // squarer than an ellipse: strong further out
static constexpr float GLOW_CORE = 0.5f;        // full strength out to this share of a radius
static const rgb GLOW_WARMTH = {255, 226, 178}; // red lifts most: a warm light

// Full strength inside the core, a smooth fall to nothing at distance 1.
static float glow_falloff(float d)
{
    if (d >= 1.0f) {
        return 0.0f;
    }
    float a = d <= GLOW_CORE ? 1.0f : (1.0f - d) / (1.0f - GLOW_CORE);
    return a * a * (3.0f - 2.0f * a);
}

BITMAP *paint_glow(void)
{
    BITMAP *bmp = new_image(GLOW_W, GLOW_H);
    for (int y = 0; y < GLOW_H; y++) {
        for (int x = 0; x < GLOW_W; x++) {
            float dx = x + 0.5f - GLOW_TORCH_X;
            float fy = (y + 0.5f - GLOW_TORCH_Y - FLOOR_DROP) / FLOOR_RADIUS_Y;
            float hy = (y + 0.5f - GLOW_TORCH_Y + HALO_RISE) / HALO_RADIUS;
            float fx = std::fabs(dx) / FLOOR_RADIUS_X;
            float on_floor = glow_falloff(
                std::pow(fx * fx * fx + std::fabs(fy * fy * fy), 1.0f / FLOOR_ROUNDNESS));
            float halo = glow_falloff(std::sqrt(dx * dx / (HALO_RADIUS * HALO_RADIUS) + hy * hy));
            float a = std::max(on_floor, halo);
            rgb c = {static_cast<int>(GLOW_WARMTH.r * a), static_cast<int>(GLOW_WARMTH.g * a),
                     static_cast<int>(GLOW_WARMTH.b * a)};
            if (c.r > 0) {
                putpixel(bmp, x, y, to_pixel(c));
            }
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
