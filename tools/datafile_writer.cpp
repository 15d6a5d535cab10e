// Datafile writing: big-endian words, no compression, one BMP object per
// entry preceded by its NAME property. Pixels are read through getr32 and
// friends so the channel order of the memory bitmap does not matter.
#include "datafile_writer.h"

#include "file_replace.h"

#include <cstdio>

static void put32(std::vector<unsigned char> &out, unsigned int v)
{
    out.push_back(static_cast<unsigned char>(v >> 24));
    out.push_back(static_cast<unsigned char>(v >> 16));
    out.push_back(static_cast<unsigned char>(v >> 8));
    out.push_back(static_cast<unsigned char>(v));
}

static void put16(std::vector<unsigned char> &out, unsigned int v)
{
    out.push_back(static_cast<unsigned char>(v >> 8));
    out.push_back(static_cast<unsigned char>(v));
}

static void put_bitmap(std::vector<unsigned char> &out, BITMAP *bmp)
{
    std::vector<unsigned char> body;
    put16(body, 32);
    put16(body, static_cast<unsigned int>(bmp->w));
    put16(body, static_cast<unsigned int>(bmp->h));
    for (int y = 0; y < bmp->h; y++) {
        for (int x = 0; x < bmp->w; x++) {
            int c = getpixel(bmp, x, y);
            body.push_back(static_cast<unsigned char>(getr32(c)));
            body.push_back(static_cast<unsigned char>(getg32(c)));
            body.push_back(static_cast<unsigned char>(getb32(c)));
        }
    }
    put32(out, DAT_ID('B', 'M', 'P', ' '));
    put32(out, static_cast<unsigned int>(body.size()));
    put32(out, static_cast<unsigned int>(body.size()));
    out.insert(out.end(), body.begin(), body.end());
}

int write_datafile(const char *path, const std::vector<datafile_entry> &entries)
{
    std::vector<unsigned char> out;
    put32(out, static_cast<unsigned int>(F_NOPACK_MAGIC));
    put32(out, DAT_MAGIC);
    put32(out, static_cast<unsigned int>(entries.size()));
    for (const datafile_entry &e : entries) {
        put32(out, DAT_ID('p', 'r', 'o', 'p'));
        put32(out, DAT_ID('N', 'A', 'M', 'E'));
        put32(out, static_cast<unsigned int>(e.name.size()));
        out.insert(out.end(), e.name.begin(), e.name.end());
        put_bitmap(out, e.image);
    }
    std::string error;
    return replace_files({{path, std::string(out.begin(), out.end())}}, error);
}
