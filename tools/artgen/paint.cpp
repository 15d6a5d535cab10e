// Painting helpers for the art generator.
#include "paint.h"

float noise2(int x, int y, int seed)
{
    unsigned int h = static_cast<unsigned int>(x) * 374761393u +
                     static_cast<unsigned int>(y) * 668265263u +
                     static_cast<unsigned int>(seed) * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return static_cast<float>(h & 0xffff) / 65535.0f;
}

static int clamp_channel(float v)
{
    if (v < 0.0f) {
        return 0;
    }
    if (v > 255.0f) {
        return 255;
    }
    return static_cast<int>(v);
}

rgb shade(rgb c, float f)
{
    return rgb{clamp_channel(c.r * f), clamp_channel(c.g * f), clamp_channel(c.b * f)};
}

int to_pixel(rgb c)
{
    // Never produce the mask colour by accident.
    if (c.r == 255 && c.g == 0 && c.b == 255) {
        c.g = 1;
    }
    return makecol(c.r, c.g, c.b);
}

int mask_pixel(void)
{
    return makecol(255, 0, 255);
}

BITMAP *new_image(int w, int h)
{
    BITMAP *bmp = create_bitmap(w, h);
    clear_to_color(bmp, mask_pixel());
    return bmp;
}

void fill_textured(BITMAP *bmp, int x0, int y0, int x1, int y1, rgb c, float grain, int seed)
{
    for (int y = y0; y <= y1; y++) {
        for (int x = x0; x <= x1; x++) {
            float n = noise2(x, y, seed) * 0.7f + noise2(x / 3, y / 3, seed + 1) * 0.3f;
            putpixel(bmp, x, y, to_pixel(shade(c, 1.0f + (n - 0.5f) * 2.0f * grain)));
        }
    }
}

void bevel(BITMAP *bmp, int x0, int y0, int x1, int y1, rgb c, int depth)
{
    for (int i = 0; i < depth; i++) {
        int light = to_pixel(shade(c, 1.35f - 0.1f * i));
        int dark = to_pixel(shade(c, 0.55f + 0.1f * i));
        hline(bmp, x0 + i, y0 + i, x1 - i, light);
        vline(bmp, x0 + i, y0 + i, y1 - i, light);
        hline(bmp, x0 + i, y1 - i, x1 - i, dark);
        vline(bmp, x1 - i, y0 + i, y1 - i, dark);
    }
}
