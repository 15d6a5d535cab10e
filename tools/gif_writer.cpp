// Animated GIF writer: a median-cut palette over every frame's colours, the
// changed rectangle of each frame with unchanged pixels clear, and the
// format's variable-width LZW codes.
#include "gif_writer.h"

#include <algorithm>
#include <fstream>
#include <unordered_map>

#include "file_replace.h"

constexpr int PALETTE_COLOURS = 255; // the 256th index is the clear one
constexpr uint8_t CLEAR_INDEX = 255;
constexpr int LZW_MIN_CODE_SIZE = 8;
constexpr int LZW_MOST_CODES = 4095;
constexpr int SUB_BLOCK = 255;
constexpr uint8_t DISPOSE_KEEP = 1 << 2; // graphic control: leave the frame in place
constexpr uint8_t HAS_CLEAR = 1;
constexpr uint8_t GLOBAL_TABLE_256 = 0xF7; // a global table of 2^(7+1) entries, 8-bit colour
constexpr int CHANNELS = 3;
constexpr char SIGNATURE[] = "GIF89a";
// Block introducers and the fixed parts of the blocks used.
constexpr char GRAPHIC_CONTROL[] = "\x21\xF9\x04";
constexpr char IMAGE_SEPARATOR = '\x2C';
constexpr char TRAILER = '\x3B';
constexpr char LOOP_FOREVER[] = "\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00";

void add_gif_frame(gif_animation &gif, BITMAP *picture, int delay_cs)
{
    gif.width = picture->w;
    gif.height = picture->h;
    gif_frame f;
    f.delay_cs = delay_cs;
    f.pixels.reserve(static_cast<size_t>(picture->w * picture->h));
    for (int y = 0; y < picture->h; y++) {
        for (int x = 0; x < picture->w; x++) {
            int c = getpixel(picture, x, y);
            f.pixels.push_back(static_cast<uint32_t>(getr32(c) << 16 | getg32(c) << 8 | getb32(c)));
        }
    }
    gif.frames.push_back(std::move(f));
}

static int channel(uint32_t c, int which)
{
    return static_cast<int>(c >> (16 - 8 * which) & 0xFF);
}

struct colour_count {
    uint32_t colour;
    uint64_t count;
};

// A run of the colour list, one box of the median cut.
struct colour_box {
    size_t begin, end;
};

// The box's widest channel (its range, and which channel in axis).
static int widest_channel(const std::vector<colour_count> &colours, const colour_box &b, int &axis)
{
    int best = -1;
    for (int a = 0; a < CHANNELS; a++) {
        int lo = UINT8_MAX, hi = 0;
        for (size_t i = b.begin; i < b.end; i++) {
            lo = std::min(lo, channel(colours[i].colour, a));
            hi = std::max(hi, channel(colours[i].colour, a));
        }
        if (hi - lo > best) {
            best = hi - lo, axis = a;
        }
    }
    return best;
}

// Sorts the box along axis (ties by colour, so the order is always the
// same) and returns where half of its pixels lie before.
static size_t median_split(std::vector<colour_count> &colours, const colour_box &b, int axis)
{
    std::sort(colours.begin() + static_cast<long>(b.begin),
              colours.begin() + static_cast<long>(b.end),
              [axis](const colour_count &p, const colour_count &q) {
                  int cp = channel(p.colour, axis), cq = channel(q.colour, axis);
                  return cp != cq ? cp < cq : p.colour < q.colour;
              });
    uint64_t total = 0, half = 0;
    for (size_t i = b.begin; i < b.end; i++) {
        total += colours[i].count;
    }
    size_t split = b.begin + 1;
    for (size_t i = b.begin; i + 1 < b.end && half * 2 < total; i++) {
        half += colours[i].count;
        split = i + 1;
    }
    return split;
}

// The box's colour: the mean of its pixels.
static uint32_t box_mean(const std::vector<colour_count> &colours, const colour_box &b)
{
    uint64_t sum[CHANNELS] = {0, 0, 0}, n = 0;
    for (size_t i = b.begin; i < b.end; i++) {
        for (int a = 0; a < CHANNELS; a++) {
            sum[a] += static_cast<uint64_t>(channel(colours[i].colour, a)) * colours[i].count;
        }
        n += colours[i].count;
    }
    uint32_t mean = 0;
    for (int a = 0; a < CHANNELS; a++) {
        mean = mean << 8 | static_cast<uint32_t>((sum[a] + n / 2) / n);
    }
    return mean;
}

// Median cut: split the box with the widest channel at its pixel median
// until there are enough boxes.
static std::vector<uint32_t> choose_palette(std::vector<colour_count> colours)
{
    std::vector<colour_box> boxes{{0, colours.size()}};
    while (static_cast<int>(boxes.size()) < PALETTE_COLOURS) {
        int pick = -1, pick_axis = 0, pick_range = 0;
        for (size_t i = 0; i < boxes.size(); i++) {
            int axis = 0, range = widest_channel(colours, boxes[i], axis);
            if (boxes[i].end - boxes[i].begin > 1 && range > pick_range) {
                pick = static_cast<int>(i), pick_axis = axis, pick_range = range;
            }
        }
        if (pick < 0) {
            break;
        }
        colour_box b = boxes[static_cast<size_t>(pick)];
        size_t split = median_split(colours, b, pick_axis);
        boxes[static_cast<size_t>(pick)] = {b.begin, split};
        boxes.push_back({split, b.end});
    }
    std::vector<uint32_t> palette;
    for (const colour_box &b : boxes) {
        palette.push_back(box_mean(colours, b));
    }
    return palette;
}

static uint8_t nearest(const std::vector<uint32_t> &palette, uint32_t c,
                       std::unordered_map<uint32_t, uint8_t> &known)
{
    auto found = known.find(c);
    if (found != known.end()) {
        return found->second;
    }
    int best = 0, best_distance = 1 << 30;
    for (size_t i = 0; i < palette.size(); i++) {
        int d = 0;
        for (int a = 0; a < CHANNELS; a++) {
            int e = channel(palette[i], a) - channel(c, a);
            d += e * e;
        }
        if (d < best_distance) {
            best_distance = d, best = static_cast<int>(i);
        }
    }
    return known[c] = static_cast<uint8_t>(best);
}

// Codes packed from the low bit up, in sub-blocks of at most 255 bytes.
struct code_packer {
    std::string &out;
    std::string block;
    uint32_t bits = 0;
    int held = 0;
    void put(int code, int width)
    {
        bits |= static_cast<uint32_t>(code) << held;
        held += width;
        while (held >= 8) {
            byte(static_cast<char>(bits & 0xFF));
            bits >>= 8, held -= 8;
        }
    }
    void byte(char b)
    {
        block += b;
        if (block.size() == SUB_BLOCK) {
            flush();
        }
    }
    void flush()
    {
        if (!block.empty()) {
            out += static_cast<char>(block.size());
            out += block;
            block.clear();
        }
    }
    void finish()
    {
        if (held > 0) {
            byte(static_cast<char>(bits & 0xFF));
        }
        flush();
        out += '\0';
    }
};

static void lzw(const std::vector<uint8_t> &indexes, std::string &out)
{
    const int clear = 1 << LZW_MIN_CODE_SIZE, end = clear + 1;
    out += static_cast<char>(LZW_MIN_CODE_SIZE);
    code_packer packer{out, {}};
    std::unordered_map<int, int> table;
    int width = LZW_MIN_CODE_SIZE + 1, last = end;
    packer.put(clear, width);
    int prefix = indexes[0];
    for (size_t i = 1; i < indexes.size(); i++) {
        int key = prefix << 8 | indexes[i];
        auto found = table.find(key);
        if (found != table.end()) {
            prefix = found->second;
            continue;
        }
        packer.put(prefix, width);
        table[key] = ++last;
        if (last >= 1 << width) {
            width++;
        }
        if (last == LZW_MOST_CODES) {
            packer.put(clear, width);
            table.clear();
            width = LZW_MIN_CODE_SIZE + 1, last = end;
        }
        prefix = indexes[i];
    }
    packer.put(prefix, width);
    packer.put(end, width);
    packer.finish();
}

static void put16(std::string &out, int v)
{
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>(v >> 8 & 0xFF);
}

// One frame: the rectangle that differs from the shown picture, its
// unchanged pixels clear. A frame that changes nothing lengthens the last.
static void put_frame(std::string &out, const std::vector<uint8_t> &now,
                      std::vector<uint8_t> &shown, int w, int h, int delay_cs,
                      size_t &last_delay_at)
{
    int x0 = w, y0 = h, x1 = -1, y1 = -1;
    for (int y = 0; y < h; y++) {
        for (int x = 0; x < w; x++) {
            size_t i = static_cast<size_t>(y * w + x);
            if (now[i] != shown[i] || shown[i] == CLEAR_INDEX) {
                x0 = std::min(x0, x), x1 = std::max(x1, x), y0 = std::min(y0, y),
                y1 = std::max(y1, y);
            }
        }
    }
    if (x1 < 0) {
        int total = static_cast<uint8_t>(out[last_delay_at]) |
                    static_cast<uint8_t>(out[last_delay_at + 1]) << 8;
        total += delay_cs;
        out[last_delay_at] = static_cast<char>(total & 0xFF);
        out[last_delay_at + 1] = static_cast<char>(total >> 8);
        return;
    }
    std::vector<uint8_t> part;
    for (int y = y0; y <= y1; y++) {
        for (int x = x0; x <= x1; x++) {
            size_t i = static_cast<size_t>(y * w + x);
            part.push_back(now[i] == shown[i] ? CLEAR_INDEX : now[i]);
            shown[i] = now[i];
        }
    }
    out += GRAPHIC_CONTROL;
    out += static_cast<char>(DISPOSE_KEEP | HAS_CLEAR);
    last_delay_at = out.size();
    put16(out, delay_cs);
    out += static_cast<char>(CLEAR_INDEX);
    out += '\0';
    out += IMAGE_SEPARATOR;
    put16(out, x0), put16(out, y0), put16(out, x1 - x0 + 1), put16(out, y1 - y0 + 1);
    out += '\0';
    lzw(part, out);
}

int save_gif(const gif_animation &gif, const std::string &path)
{
    std::unordered_map<uint32_t, uint64_t> counts;
    for (const gif_frame &f : gif.frames) {
        for (uint32_t c : f.pixels) {
            counts[c]++;
        }
    }
    std::vector<colour_count> colours;
    for (const auto &[c, n] : counts) {
        colours.push_back({c, n});
    }
    std::sort(colours.begin(), colours.end(),
              [](const colour_count &p, const colour_count &q) { return p.colour < q.colour; });
    const std::vector<uint32_t> palette = choose_palette(colours);
    std::vector<uint32_t> table = palette;
    table.resize(PALETTE_COLOURS + 1, 0);

    std::string out = SIGNATURE;
    put16(out, gif.width), put16(out, gif.height);
    out += static_cast<char>(GLOBAL_TABLE_256);
    out += '\0', out += '\0';
    for (uint32_t c : table) {
        for (int a = 0; a < CHANNELS; a++) {
            out += static_cast<char>(channel(c, a));
        }
    }
    out += std::string(LOOP_FOREVER, sizeof LOOP_FOREVER - 1);
    std::unordered_map<uint32_t, uint8_t> known;
    std::vector<uint8_t> shown(static_cast<size_t>(gif.width * gif.height), CLEAR_INDEX);
    size_t last_delay_at = 0;
    for (const gif_frame &f : gif.frames) {
        std::vector<uint8_t> now;
        now.reserve(f.pixels.size());
        for (uint32_t c : f.pixels) {
            now.push_back(nearest(palette, c, known));
        }
        put_frame(out, now, shown, gif.width, gif.height, f.delay_cs, last_delay_at);
    }
    out += TRAILER;
    std::ofstream file(temporary_beside(path), std::ios::binary);
    file << out;
    file.close();
    return commit_temporary(path, file.good() ? 1 : 0);
}
