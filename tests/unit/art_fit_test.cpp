// The generated game images against the catalogue and the room drawing:
// every image a definition can show is there, as big as its first image,
// holds the projected footprint of the box and is not mostly empty; twins
// are their sources mirrored; tiles and side faces join without gaps or
// overlaps; the reveal picture has the shape the frame relies on. (The glow
// is checked in a lit golden room picture.)
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "test_support.h"
#include "world/image_index.h"
#include "world/object_defs.h"

namespace
{

constexpr int IMAGES_IN_FILE = 600;
constexpr int REVEAL = 278;
constexpr int FIRST_LEFT_FACE = 372, FIRST_RIGHT_FACE = 412, FACES = 40;
constexpr int FIRST_TILE = 452, TILES = 43;
constexpr int TILE_W = 60, TILE_H = 30, CELL_PIXELS = TILE_W * TILE_H / 2;
constexpr int FACE_W = 32, FACE_H = 35, FACE_COLUMNS = 30, LEVEL_PIXELS = 20;
// Rows whose offsets are fixed by the catalogue rather than the box rule may
// reach this far past their image (the monk's 5, 32 on a 4 x 4 box).
constexpr float FIXED_OFFSET_SLACK = 2.0f;
// At least this share of the pixels inside a box's outline must be drawn.
constexpr float MIN_FILL = 0.3f;
constexpr float MIN_TWIN_MATCH = 0.97f;

DATAFILE *data = nullptr;

BITMAP *image(int index)
{
    return datafile_bitmap(data, index);
}

int is_mask(BITMAP *bmp, int x, int y)
{
    int c = getpixel(bmp, x, y);
    return getr(c) == 255 && getg(c) == 0 && getb(c) == 255;
}

class GameArt : public ::testing::Test
{
  protected:
    static void SetUpTestSuite()
    {
        start_headless_allegro();
        data = load_datafile(QM_GAME_DATAFILE);
        ASSERT_NE(data, nullptr) << QM_GAME_DATAFILE;
        custom_datafile = data;
        load_object_defs(); // twins take their offsets from their images' widths
    }
    static void TearDownTestSuite()
    {
        custom_datafile = nullptr;
        if (data != nullptr) {
            unload_datafile(data);
            data = nullptr;
        }
        load_object_defs();
    }
};

// Where a world point of a definition's box (from its near-bottom corner)
// lands in its image, pixel edges counted from the image's corner.
void project(const object_def &d, float x, float y, float z, float *u, float *v)
{
    *u = d.draw_offset_x + 1.0f - 2.0f * x + 2.0f * y;
    *v = d.draw_offset_y + 2.0f - x - y - z;
}

int offsets_follow_box_rule(const object_def &d)
{
    int ox, oy;
    box_draw_offsets(d.size_x, d.size_y, d.size_z, &ox, &oy);
    return ox == d.draw_offset_x && oy == d.draw_offset_y;
}

// Does the view ray through pixel (k, r) meet the box? (The ray runs along
// (1, 1, -2) through every point that projects onto the pixel's centre.)
int ray_meets_box(const object_def &d, int k, int r)
{
    float diff = ((k + 0.5f) - (d.draw_offset_x + 1.0f)) * 0.5f; // y - x
    float sum = (d.draw_offset_y + 2.0f) - (r + 0.5f);           // x + y + z
    // Points: x = t, y = t + diff, z = sum - 2t - diff.
    float lo = -1e9f, hi = 1e9f;
    auto clip = [&](float a, float b, float min, float max) {
        // a + b t within [min, max]
        if (b == 0) {
            if (a < min || a > max) {
                lo = 1, hi = 0;
            }
            return;
        }
        float t0 = (min - a) / b, t1 = (max - a) / b;
        lo = std::max(lo, std::min(t0, t1));
        hi = std::min(hi, std::max(t0, t1));
    };
    clip(0, 1, 0, d.size_x);
    clip(diff, 1, 0, d.size_y);
    clip(sum - diff, -2, 0, d.size_z);
    return lo < hi;
}

struct shown {
    int def, image;
};

std::vector<shown> every_shown_image(void)
{
    std::vector<shown> out;
    for (int def = 0; def < OBJECT_DEF_COUNT; def++) {
        const object_def &d = object_defs[def];
        if (d.size_x == 0) {
            continue; // the blank definitions and the room part
        }
        int images[MAX_DEFINITION_IMAGES];
        int n = definition_images(def, images);
        for (int i = 0; i < n; i++) {
            out.push_back({def, images[i]});
        }
    }
    return out;
}

TEST_F(GameArt, EveryShownImageExistsWithTheSizeOfItsDefinitionsFirst)
{
    int count = 0;
    while (data[count].type != DAT_END) {
        count++;
    }
    EXPECT_EQ(count, IMAGES_IN_FILE);
    for (const shown &s : every_shown_image()) {
        SCOPED_TRACE(testing::Message() << "def " << s.def << " image " << s.image);
        BITMAP *first = image(object_defs[s.def].frames[0]);
        BITMAP *bmp = image(s.image);
        ASSERT_NE(bmp, nullptr);
        // The sprite's buffer is made at the size of frames[0] and every
        // other frame is copied into it.
        EXPECT_EQ(bmp->w, first->w);
        EXPECT_EQ(bmp->h, first->h);
    }
}

TEST_F(GameArt, TheFootprintOfEveryBoxLiesInsideItsImages)
{
    for (const shown &s : every_shown_image()) {
        const object_def &d = object_defs[s.def];
        BITMAP *bmp = image(s.image);
        SCOPED_TRACE(testing::Message() << "def " << s.def << " (" << d.name << ") image "
                                        << s.image << " " << bmp->w << "x" << bmp->h);
        int whole_box = offsets_follow_box_rule(d);
        float slack = whole_box ? 0.0f : FIXED_OFFSET_SLACK;
        // Box-rule images hold the whole box; the others at least its base.
        float top = whole_box ? d.size_z : 0.0f;
        for (float z : {0.0f, top}) {
            for (int corner = 0; corner < 4; corner++) {
                float u, v;
                project(d, corner & 1 ? d.size_x : 0, corner & 2 ? d.size_y : 0, z, &u, &v);
                EXPECT_GE(u, -slack);
                EXPECT_LE(u, bmp->w + slack);
                EXPECT_GE(v, -slack);
                EXPECT_LE(v, bmp->h + slack);
            }
        }
    }
}

TEST_F(GameArt, NoImageIsMostlyEmptyInsideItsBox)
{
    for (const shown &s : every_shown_image()) {
        const object_def &d = object_defs[s.def];
        BITMAP *bmp = image(s.image);
        SCOPED_TRACE(testing::Message()
                     << "def " << s.def << " (" << d.name << ") image " << s.image);
        int inside = 0, drawn = 0;
        for (int r = 0; r < bmp->h; r++) {
            for (int k = 0; k < bmp->w; k++) {
                if (ray_meets_box(d, k, r)) {
                    inside++;
                    drawn += !is_mask(bmp, k, r);
                }
            }
        }
        ASSERT_GT(inside, 0);
        EXPECT_GE(static_cast<float>(drawn) / inside, MIN_FILL) << drawn << " of " << inside;
    }
}

TEST_F(GameArt, TwinsAreTheirSourcesMirroredLeftToRight)
{
    for (int def = 0; def < OBJECT_DEF_COUNT; def++) {
        int src = object_mirror_source(def);
        if (src == NOT_MIRRORED) {
            continue;
        }
        for (int i = 0; i < object_defs[def].anim_frames; i++) {
            BITMAP *a = image(object_defs[src].frames[i]);
            BITMAP *b = image(object_defs[def].frames[i]);
            SCOPED_TRACE(testing::Message() << "twin " << def << " of " << src);
            ASSERT_EQ(a->w, b->w);
            ASSERT_EQ(a->h, b->h);
            int same = 0;
            for (int r = 0; r < a->h; r++) {
                for (int k = 0; k < a->w; k++) {
                    same += is_mask(a, k, r) == is_mask(b, a->w - 1 - k, r);
                }
            }
            EXPECT_GE(static_cast<float>(same) / (a->w * a->h), MIN_TWIN_MATCH);
        }
        // Its box is the source's turned a quarter, and its offset puts the
        // mirrored box where the source's box is.
        const object_def &s = object_defs[src], &t = object_defs[def];
        EXPECT_EQ(t.size_x, s.size_y);
        EXPECT_EQ(t.size_y, s.size_x);
        EXPECT_EQ(t.size_z, s.size_z);
        EXPECT_EQ(t.draw_offset_y, s.draw_offset_y);
        EXPECT_EQ(t.draw_offset_x, image(s.frames[0])->w - s.draw_offset_x - 2);
    }
}

// A cell drawn as room setup draws it: floor at (sx, sy + 2), left face at
// (sx - 1, sy + 17 + 20 * level), right face at (sx + 29, ...). Tiles and
// faces of one cell and its neighbours must cover the cell's column without
// gaps or overlaps.
TEST_F(GameArt, TilesAndFacesJoinWithoutGapsOrOverlaps)
{
    constexpr int W = 240, H = 160, SX = 90, SY = 40, LEVELS = 2;
    for (int tile = 1; tile <= TILES; tile++) {
        BITMAP *bmp = image(FIRST_TILE + tile);
        SCOPED_TRACE(testing::Message() << "tile " << tile);
        ASSERT_EQ(bmp->w, TILE_W);
        ASSERT_EQ(bmp->h, TILE_H);
        int drawn = 0;
        for (int r = 0; r < TILE_H; r++) {
            for (int k = 0; k < TILE_W; k++) {
                drawn += !is_mask(bmp, k, r);
            }
        }
        EXPECT_EQ(drawn, CELL_PIXELS); // the diamond of one cell, nothing more
    }
    for (int face = 0; face < FACES; face++) {
        SCOPED_TRACE(testing::Message() << "face " << face);
        std::vector<int> cover(W * H, 0);
        auto lay = [&](BITMAP *bmp, int x0, int y0) {
            for (int r = 0; r < bmp->h; r++) {
                for (int k = 0; k < bmp->w; k++) {
                    if (!is_mask(bmp, k, r)) {
                        cover[(y0 + r) * W + x0 + k]++;
                    }
                }
            }
        };
        BITMAP *left = image(FIRST_LEFT_FACE + face), *right = image(FIRST_RIGHT_FACE + face);
        ASSERT_EQ(left->w, FACE_W);
        ASSERT_EQ(left->h, FACE_H);
        ASSERT_EQ(right->w, FACE_W);
        ASSERT_EQ(right->h, FACE_H);
        // Cell A, its neighbour B along x (30 px left, 15 up) and C along y
        // (30 px right, 15 up), each with its floor; A and B show their left
        // faces, A and C their right faces, two levels each.
        const int dx[3] = {0, -30, 30};
        const int shows_left[3] = {1, 1, 0}, shows_right[3] = {1, 0, 1};
        for (int cell = 0; cell < 3; cell++) {
            int sx = SX + dx[cell], sy = SY - (cell ? 15 : 0);
            lay(image(FIRST_TILE + 1), sx, sy + 2);
            for (int level = 0; level < LEVELS; level++) {
                if (shows_left[cell]) {
                    lay(left, sx - 1, sy + 17 + LEVEL_PIXELS * level);
                }
                if (shows_right[cell]) {
                    lay(right, sx + 29, sy + 17 + LEVEL_PIXELS * level);
                }
            }
        }
        int total = 0;
        for (int c : cover) {
            EXPECT_LE(c, 1);
            total += c;
        }
        // Three floors and eight faces, each whole.
        EXPECT_EQ(total, 3 * CELL_PIXELS + 8 * FACE_COLUMNS * LEVEL_PIXELS);
        // No hole: under the near edge every column is covered from the
        // floor down through both levels.
        int sx = SX, sy = SY;
        for (int x = sx; x < sx + 60; x++) {
            int y = sy + 2;
            while (y < H && cover[y * W + x] == 0) {
                y++;
            }
            int run = 0;
            while (y < H && cover[y * W + x] == 1) {
                y++;
                run++;
            }
            EXPECT_GE(run, LEVEL_PIXELS * LEVELS) << "column " << x;
        }
    }
}

TEST_F(GameArt, TheRevealIsAnOpeningInBlackThatEndsFullyOpen)
{
    BITMAP *m = image(REVEAL);
    ASSERT_GE(m->w, 160);
    ASSERT_GE(m->h, 120);
    EXPECT_TRUE(is_mask(m, 80, 60));
    EXPECT_EQ(getpixel(m, 0, 0), makecol(0, 0, 0));
    EXPECT_EQ(getpixel(m, 159, 0), makecol(0, 0, 0));
    // At the last reveal frame the view shows the source rectangle
    // (49..111, 37..83), enlarged about 5.25 times: it must all be open.
    for (int y = 37; y <= 83; y++) {
        for (int x = 49; x <= 111; x++) {
            ASSERT_TRUE(is_mask(m, x, y)) << x << ", " << y;
        }
    }
}

} // namespace
