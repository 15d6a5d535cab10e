// Datafile structure check, read through the library's packfile layer so
// compressed and plain files are walked the same way.
#include "shell/datafile_check.h"

#include <allegro.h>
#include <vector>

#include "platform/data_file.h"

static constexpr int MAX_OBJECTS = 100000;
static constexpr long MAX_OBJECT_BYTES = 64L * 1024 * 1024;
static constexpr int BITMAP_HEADER_BYTES = 6;
// The library sizes an image's memory in an int: far larger sides than any
// of ours are refused before they can overflow it.
static constexpr long MAX_IMAGE_SIDE = 4096;

// Bytes per pixel of a stored image of the given depth, 0 when unknown.
static long stored_pixel_bytes(int bits)
{
    switch (bits) {
    case 8:
        return 1;
    case 15:
    case 16:
        return 2;
    case 24:
    case 32:
        return 3;
    case -32:
        return 4;
    default:
        return 0;
    }
}

// Reads exactly n bytes (or fails).
static int read_bytes(PACKFILE *f, std::vector<unsigned char> &buffer, long n)
{
    buffer.resize(static_cast<size_t>(n));
    return n == 0 || pack_fread(buffer.data(), n, f) == n;
}

static int bitmap_is_whole(const std::vector<unsigned char> &data)
{
    if (data.size() < BITMAP_HEADER_BYTES) {
        return 0;
    }
    int bits = static_cast<short>((data[0] << 8) | data[1]);
    long w = (data[2] << 8) | data[3];
    long h = (data[4] << 8) | data[5];
    long per_pixel = stored_pixel_bytes(bits);
    return per_pixel > 0 && w <= MAX_IMAGE_SIDE && h <= MAX_IMAGE_SIDE &&
           static_cast<long>(data.size()) >= BITMAP_HEADER_BYTES + w * h * per_pixel;
}

// One object: its properties, its type and its data chunk.
static int object_is_whole(PACKFILE *f, std::vector<unsigned char> &buffer)
{
    long type = pack_mgetl(f);
    while (type == DAT_PROPERTY) {
        pack_mgetl(f); // property type
        long size = pack_mgetl(f);
        if (pack_feof(f) || size < 0 || size > MAX_OBJECT_BYTES || !read_bytes(f, buffer, size)) {
            return 0;
        }
        type = pack_mgetl(f);
    }
    long stored = pack_mgetl(f);
    long expanded = pack_mgetl(f);
    if (pack_feof(f) || stored < 0 || stored > MAX_OBJECT_BYTES) {
        return 0;
    }
    if (!read_bytes(f, buffer, stored)) {
        return 0;
    }
    // The game addresses every entry as an image. Any other type would go
    // to a reader of its own that trusts the body it is given (one typed as
    // a run-length sprite over a bitmap's body crashes the loader), so
    // nothing else passes.
    // Objects packed one by one are not made by our tools either, and their
    // bodies could not be checked.
    if (type != DAT_BITMAP || expanded != stored) {
        return 0;
    }
    return bitmap_is_whole(buffer);
}

int datafile_is_whole(const char *path)
{
    // The packfile layer opens a folder and blocks on a pipe.
    if (data_file_problem(path, ANY_FILE_SIZE) != nullptr) {
        return 0;
    }
    PACKFILE *f = pack_fopen(path, F_READ_PACKED);
    if (f == nullptr) {
        return 0;
    }
    int whole = pack_mgetl(f) == DAT_MAGIC;
    long count = whole ? pack_mgetl(f) : 0;
    if (count < 0 || count > MAX_OBJECTS) {
        whole = 0;
    }
    std::vector<unsigned char> buffer;
    for (long i = 0; whole && i < count; i++) {
        whole = object_is_whole(f, buffer);
    }
    pack_fclose(f);
    return whole;
}
