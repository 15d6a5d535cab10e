// Animated GIF files from 32-bit pictures: one palette of 255 colours chosen
// for the whole animation, each frame stored as the rectangle that changed.
// The same pictures always give the same bytes.
#pragma once

#include <allegro.h>
#include <cstdint>
#include <string>
#include <vector>

struct gif_frame {
    std::vector<uint32_t> pixels; // 0xRRGGBB, row by row
    int delay_cs;                 // how long it shows, in hundredths of a second
};

struct gif_animation {
    int width = 0, height = 0;
    std::vector<gif_frame> frames;
};

// Appends a copy of a 32-bit picture as the next frame.
void add_gif_frame(gif_animation &gif, BITMAP *picture, int delay_cs);

// Writes the animation, looping forever, through a temporary beside the
// file. Returns 0 when it cannot be written.
int save_gif(const gif_animation &gif, const std::string &path);
