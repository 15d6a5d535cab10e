// The game's images. Until every object has its drawing, each index holds a
// small marker so the datafile loads and every index resolves to an image.
#include <string>

#include "art.h"
#include "paint.h"

static constexpr int GAME_IMAGE_COUNT = 600;

void make_game_entries(std::vector<datafile_entry> &out)
{
    for (int i = 0; i < GAME_IMAGE_COUNT; i++) {
        BITMAP *bmp = new_image(8, 8);
        rect(bmp, 0, 0, 7, 7, to_pixel({120, 120, 120}));
        out.push_back({"IMAGE_" + std::to_string(i), bmp});
    }
}
