// The shared surfaces, datafiles and fonts, and the counted bitmap wrappers.
#include "shell/resources.h"

const char data_folder[] = "data1";
DATAFILE *general_datafile = nullptr;
DATAFILE *custom_datafile = nullptr;
BITMAP *backbuffer = nullptr;
BITMAP *room_background = nullptr;
BITMAP *light_map = nullptr;
FONT *font_0 = nullptr;
FONT *font_1 = nullptr;
int live_bitmaps = 0;
volatile int close_requested = 0;

BITMAP *make_bitmap(int width, int height)
{
    live_bitmaps++;
    return create_bitmap(width, height);
}

void free_bitmap(BITMAP *bitmap)
{
    live_bitmaps--;
    if (bitmap != nullptr) {
        destroy_bitmap(bitmap);
    }
}

int datafile_count(DATAFILE *data)
{
    int n = 0;
    if (data != nullptr) {
        while (data[n].type != DAT_END) {
            n++;
        }
    }
    return n;
}

BITMAP *datafile_bitmap(DATAFILE *data, int index)
{
    if (data == nullptr || index < 0) {
        return nullptr;
    }
    // Only the entries up to index are looked at: this runs for every
    // sprite image each tick, and the file's end lies far beyond most.
    for (int i = 0; i < index; i++) {
        if (data[i].type == DAT_END) {
            return nullptr;
        }
    }
    if (data[index].type != DAT_BITMAP) {
        return nullptr;
    }
    return static_cast<BITMAP *>(data[index].dat);
}

void close_button_callback(void)
{
    close_requested = 1;
}
