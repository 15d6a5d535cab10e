// The floor and side-face patterns. Every pattern is a colour as a function
// of the point on the surface (units along two axes), repeating every cell
// (15 units) and every level (20 units), so images laid side by side or
// stacked join without seams; only per-pixel grain depends on the pixel.
#include "surfaces.h"

#include <cmath>
#include <cstring>
#include <string>

#include "model.h"

static constexpr int SEED = 4242;

int tile_point(int k, int r, float *x, float *y)
{
    // The cell's near corner sits at (30, 30) of the image.
    float diff = (k + 0.5f - 30.0f) * 0.5f; // y - x
    float sum = 30.0f - (r + 0.5f);         // x + y
    *x = (sum - diff) * 0.5f;
    *y = (sum + diff) * 0.5f;
    return *x >= 0 && *x < CELL_UNITS && *y >= 0 && *y < CELL_UNITS;
}

int face_point(int side, int k, int r, float *along, float *depth)
{
    if (side == 0) {
        *along = (31.0f - (k + 0.5f)) * 0.5f; // x on the side facing smaller y
    } else {
        *along = (k + 0.5f - 1.0f) * 0.5f; // y on the side facing smaller x
    }
    *depth = r + 0.5f - 15.0f + *along;
    return *along >= 0 && *along < CELL_UNITS && *depth >= 0 && *depth < LEVEL_UNITS;
}

static float wrapf(float v, float period)
{
    float m = std::fmod(v, period);
    return m < 0 ? m + period : m;
}

static int wrapi(int v, int n)
{
    int m = v % n;
    return m < 0 ? m + n : m;
}

// Smooth noise repeating every pa along a and pb along b, with ca x cb cells
// in one repeat.
static float periodic_noise(float a, float b, float pa, float pb, int ca, int cb, int seed)
{
    float fa = wrapf(a, pa) / pa * ca, fb = wrapf(b, pb) / pb * cb;
    int ia = static_cast<int>(std::floor(fa)), ib = static_cast<int>(std::floor(fb));
    float ta = fa - ia, tb = fb - ib;
    ta = ta * ta * (3 - 2 * ta);
    tb = tb * tb * (3 - 2 * tb);
    float c00 = noise2(wrapi(ia, ca), wrapi(ib, cb), seed);
    float c10 = noise2(wrapi(ia + 1, ca), wrapi(ib, cb), seed);
    float c01 = noise2(wrapi(ia, ca), wrapi(ib + 1, cb), seed);
    float c11 = noise2(wrapi(ia + 1, ca), wrapi(ib + 1, cb), seed);
    float top = c00 + (c10 - c00) * ta, bottom = c01 + (c11 - c01) * ta;
    return top + (bottom - top) * tb;
}

static rgb mix(rgb a, rgb b, float t)
{
    return {static_cast<int>(a.r + (b.r - a.r) * t), static_cast<int>(a.g + (b.g - a.g) * t),
            static_cast<int>(a.b + (b.b - a.b) * t)};
}

// A running bond of blocks: courses of `course` units along b, blocks of
// `length` along a, each course shifted by `shift` of a block. Gives the
// colour of block or joint, each block with its own tint and a lit edge.
struct bond {
    float course, length, shift, joint;
    float period_a, period_b;
};

static rgb bond_colour(const bond &bd, float a, float b, rgb block, rgb joint, float grain,
                       int seed)
{
    int courses = static_cast<int>(std::lround(bd.period_b / bd.course));
    int row = static_cast<int>(std::floor(b / bd.course));
    float lb = b - row * bd.course;
    float offset = bd.shift * bd.length * wrapi(row, 2);
    float aa = a + offset;
    int col = static_cast<int>(std::floor(aa / bd.length));
    float la = aa - col * bd.length;
    int cols = static_cast<int>(std::lround(bd.period_a / bd.length));
    if (la < bd.joint || lb < bd.joint) {
        return joint;
    }
    float tint = noise2(wrapi(col, cols > 0 ? cols : 1), wrapi(row, courses), seed) - 0.5f;
    float f = 1.0f + tint * grain;
    if (la < bd.joint + 0.6f || lb < bd.joint + 0.6f) {
        f *= 1.12f; // the edge catching the light
    } else if (la > bd.length - 0.6f || lb > bd.course - 0.6f) {
        f *= 0.85f;
    }
    float blotch = periodic_noise(a, b, bd.period_a, bd.period_b, 10, 10, seed + 1) - 0.5f;
    return shade(block, f + blotch * 0.25f);
}

// Irregular cobbles: round stones on a jittered grid, dark gaps between.
static rgb cobble_colour(float a, float b, rgb stone, rgb gap, int seed)
{
    const float cell = 2.5f;
    const int n = 6; // cells per 15 units
    int ca = static_cast<int>(std::floor(a / cell)), cb = static_cast<int>(std::floor(b / cell));
    float best = 9.0f, second = 9.0f;
    int best_id = 0;
    for (int i = -1; i <= 1; i++) {
        for (int j = -1; j <= 1; j++) {
            int ga = ca + i, gb = cb + j;
            float ja = noise2(wrapi(ga, n), wrapi(gb, n), seed) * 0.8f + 0.1f;
            float jb = noise2(wrapi(ga, n), wrapi(gb, n), seed + 1) * 0.8f + 0.1f;
            float da = a - (ga + ja) * cell, db = b - (gb + jb) * cell;
            float d = std::sqrt(da * da + db * db);
            if (d < best) {
                second = best;
                best = d;
                best_id = wrapi(ga, n) * 16 + wrapi(gb, n);
            } else if (d < second) {
                second = d;
            }
        }
    }
    float edge = second - best;
    if (edge < 0.35f) {
        return gap;
    }
    float tint = noise2(best_id, 7, seed + 2) - 0.5f;
    float dome = 1.1f - best * 0.12f;
    return shade(stone, dome + tint * 0.3f);
}

static rgb grain_pixel(rgb c, int k, int r, float amount)
{
    return shade(c, 1.0f + (noise2(k, r, SEED + 9) - 0.5f) * amount);
}

// Floor patterns, by name. (x, y) in units from the cell's near corner.
static int floor_colour(const surface_recipe &s, float x, float y, int k, int r, rgb *out)
{
    const std::string &p = s.pattern;
    rgb c = s.colour, d = s.second;
    int seed = SEED + s.number * 31;
    if (p == "flagstones") {
        bond bd = {7.5f, 7.5f, 0.5f, 0.45f, 15, 15};
        *out = bond_colour(bd, y, x, c, d, 0.25f, seed);
    } else if (p == "slab") {
        bond bd = {15.0f, 15.0f, 0.0f, 0.45f, 15, 15};
        *out = bond_colour(bd, y, x, c, d, 0.15f, seed);
    } else if (p == "cobbles") {
        *out = cobble_colour(x, y, c, d, seed);
    } else if (p == "planks") {
        float across = s.variant ? x : y, along = s.variant ? y : x;
        bond bd = {3.0f, 15.0f, 0.5f, 0.35f, 15, 15};
        rgb w = bond_colour(bd, along, across, c, d, 0.3f, seed);
        float ring = std::sin(
            (across * 4.1f + periodic_noise(along, across, 15, 15, 3, 15, seed) * 4.0f) * 1.7f);
        *out = shade(w, 1.0f + 0.07f * ring);
    } else if (p == "parquet") {
        int bx = static_cast<int>(std::floor(x / 3.75f)),
            by = static_cast<int>(std::floor(y / 3.75f));
        int flip = (bx + by) % 2;
        float across = flip ? wrapf(x, 3.75f) : wrapf(y, 3.75f);
        float lx = wrapf(x, 3.75f), ly = wrapf(y, 3.75f);
        if (lx < 0.3f || ly < 0.3f) {
            *out = d;
        } else {
            float strip = wrapf(across, 1.25f);
            *out = shade(c, strip < 0.2f ? 0.8f : 1.0f + (flip ? 0.06f : -0.06f));
        }
    } else if (p == "chequer") {
        int bx = static_cast<int>(std::floor(x / 7.5f)),
            by = static_cast<int>(std::floor(y / 7.5f));
        rgb base = (bx + by) % 2 ? d : c;
        float vein = periodic_noise(x + y * 0.3f, y, 15, 15, 5, 5, seed);
        vein = std::fabs(vein - 0.5f) < 0.03f ? 0.8f : 1.0f;
        *out = shade(base, vein);
    } else if (p == "rug") {
        // A woven runner: fringed stripes and a diamond in every cell.
        float cx = std::fabs(x - 7.5f), cy = std::fabs(y - 7.5f);
        float dm = cx + cy;
        rgb base = c;
        if (dm < 3.0f) {
            base = d;
        } else if (dm < 3.8f || (dm > 6.0f && dm < 6.7f)) {
            base = shade(d, 0.7f);
        } else if (x < 0.8f || y < 0.8f) {
            base = shade(c, 0.75f);
        }
        *out = shade(base, (k + r) % 2 ? 1.04f : 0.96f);
    } else if (p == "grass") {
        float clump = periodic_noise(x, y, 15, 15, 5, 5, seed);
        rgb g = shade(c, 0.8f + clump * 0.4f);
        float blade = noise2(k, r, seed + 3);
        if (blade > 0.8f) {
            g = shade(g, 1.25f);
        } else if (blade < 0.15f) {
            g = shade(g, 0.75f);
        }
        if (s.variant == 1 && noise2(k / 2, r, seed + 5) > 0.975f) {
            g = d; // flowers
        }
        *out = g;
    } else if (p == "earth") {
        float lump = periodic_noise(x, y, 15, 15, 6, 6, seed);
        rgb e = shade(c, 0.85f + lump * 0.3f);
        if (noise2(k / 2, r, seed + 7) > 0.95f) {
            e = d; // pebbles
        }
        *out = e;
    } else if (p == "gravel") {
        *out = cobble_colour(x * 2.5f, y * 2.5f, c, d, seed);
    } else if (p == "water") {
        float wave = std::sin((x + y) * 1.3f + periodic_noise(x, y, 15, 15, 3, 3, seed) * 6.0f);
        rgb w = shade(c, 0.92f + 0.1f * wave);
        if (wave > 0.93f) {
            w = d; // glints
        }
        *out = w;
    } else if (p == "water_edge") {
        // variant: the side the bank lies on: 0 low x, 1 high x, 2 low y, 3 high y.
        float dist = s.variant == 0 ? x : s.variant == 1 ? 15 - x : s.variant == 2 ? y : 15 - y;
        float along = s.variant < 2 ? y : x;
        if (dist < 3.5f) {
            bond bd = {3.5f, 5.0f, 0.5f, 0.35f, 15, 7};
            *out = bond_colour(bd, along, dist, d, shade(d, 0.5f), 0.25f, seed);
        } else {
            float wave = std::sin((x + y) * 1.3f + periodic_noise(x, y, 15, 15, 3, 3, seed) * 6.0f);
            rgb w = shade(c, (dist < 4.5f ? 0.75f : 0.92f) + 0.1f * wave);
            *out = wave > 0.93f ? shade(c, 1.5f) : w;
        }
    } else if (p == "grass_edge") {
        float dist = s.variant == 0 ? x : s.variant == 1 ? 15 - x : s.variant == 2 ? y : 15 - y;
        float along = s.variant < 2 ? y : x;
        float line = 4.0f + 1.5f * periodic_noise(along, 0, 15, 15, 5, 1, seed);
        if (dist < line) {
            float lump = periodic_noise(x, y, 15, 15, 6, 6, seed);
            *out = shade(d, 0.85f + lump * 0.3f);
        } else {
            float clump = periodic_noise(x, y, 15, 15, 5, 5, seed);
            *out = shade(c, 0.8f + clump * 0.4f + (noise2(k, r, seed) > 0.8f ? 0.25f : 0.0f));
        }
    } else if (p == "straw") {
        bond bd = {7.5f, 7.5f, 0.5f, 0.45f, 15, 15};
        rgb floor = bond_colour(bd, y, x, d, shade(d, 0.55f), 0.25f, seed);
        float strands = periodic_noise(x * 3.0f, y, 45, 15, 30, 10, seed + 3);
        *out = strands > 0.45f ? shade(c, 0.8f + strands * 0.4f) : floor;
    } else if (p == "bricks") {
        bond bd = {2.5f, 5.0f, 0.5f, 0.35f, 15, 15};
        *out = bond_colour(bd, y, x, c, d, 0.3f, seed);
    } else if (p == "tiles") {
        bond bd = {3.75f, 3.75f, 0.0f, 0.35f, 15, 15};
        *out = bond_colour(bd, y, x, c, d, 0.2f, seed);
    } else if (p == "moss") {
        bond bd = {7.5f, 7.5f, 0.5f, 0.45f, 15, 15};
        rgb stone = bond_colour(bd, y, x, c, shade(c, 0.5f), 0.25f, seed);
        float m = periodic_noise(x, y, 15, 15, 5, 5, seed + 2);
        *out = m > 0.55f ? mix(stone, d, std::min(1.0f, (m - 0.55f) * 5)) : stone;
    } else if (p == "threshold") {
        // A pale sill stone ringed by a glowing band: a way out must read
        // as one even where the room's darkness takes most of the colour.
        float edge = std::min(std::min(x, 15 - x), std::min(y, 15 - y));
        float worn = std::max(std::fabs(x - 7.5f), std::fabs(y - 7.5f)) / 7.5f;
        if (edge < 1.1f) {
            *out = d;
        } else if (edge < 1.7f) {
            *out = shade(c, 0.72f);
        } else {
            *out = shade(mix(d, c, worn), 0.95f + periodic_noise(x, y, 15, 15, 5, 5, seed) * 0.1f);
        }
    } else if (p == "plain") {
        *out = shade(c, 0.9f + periodic_noise(x, y, 15, 15, 5, 5, seed) * 0.2f);
    } else {
        return 0;
    }
    return 1;
}

// Face patterns, by name: `along` the side (0..15), `depth` below the level's
// top (0..20).
static int face_colour(const surface_recipe &s, float along, float depth, int k, int r, rgb *out)
{
    const std::string &p = s.pattern;
    rgb c = s.colour, d = s.second;
    int seed = SEED + 977 + s.number * 37;
    if (p == "ashlar") {
        bond bd = {5.0f, 7.5f, 0.5f, 0.5f, 15, 20};
        *out = bond_colour(bd, along, depth, c, d, 0.25f, seed);
    } else if (p == "quoins") {
        // Big corner stones in alternate courses of a whole and two halves.
        int row = static_cast<int>(depth / 10.0f);
        bond bd = {10.0f, row % 2 ? 7.5f : 15.0f, 0.0f, 0.55f, 15, 20};
        *out = bond_colour(bd, along, depth, shade(c, 1.08f), d, 0.2f, seed);
    } else if (p == "rubble") {
        *out = cobble_colour(along * 0.8f, depth * 0.75f, c, d, seed);
    } else if (p == "rim") {
        // The floor's lip over darker foundations.
        if (depth < 3.5f) {
            *out = shade(c, depth < 0.8f ? 1.15f : 1.0f);
        } else if (depth < 4.2f) {
            *out = shade(d, 0.4f);
        } else {
            bond bd = {4.0f, 5.0f, 0.5f, 0.5f, 15, 20};
            rgb stone = bond_colour(bd, along, depth - 4.0f, d, shade(d, 0.45f), 0.3f, seed);
            *out = shade(stone, 1.0f - (depth - 4.0f) / 24.0f);
        }
    } else if (p == "bricks") {
        bond bd = {2.5f, 5.0f, 0.5f, 0.4f, 15, 20};
        *out = bond_colour(bd, along, depth, c, d, 0.3f, seed);
        if (s.variant == 1) { // soot rising from below
            *out = shade(*out, 0.55f + 0.45f * (1.0f - depth / 20.0f) *
                                           periodic_noise(along, depth, 15, 20, 5, 4, seed));
        }
    } else if (p == "brick_plinth") {
        if (depth < 12.0f) {
            bond bd = {2.5f, 5.0f, 0.5f, 0.4f, 15, 20};
            *out = bond_colour(bd, along, depth, c, d, 0.3f, seed);
        } else {
            bond bd = {8.0f, 7.5f, 0.5f, 0.5f, 15, 20};
            *out =
                bond_colour(bd, along, depth - 12.0f, shade(d, 1.6f), shade(d, 0.7f), 0.2f, seed);
        }
    } else if (p == "planks_up") {
        bond bd = {3.0f, 20.0f, 0.0f, 0.35f, 20, 15};
        rgb w = bond_colour(bd, depth, along, c, d, 0.3f, seed);
        float ring =
            std::sin((along * 3.3f + periodic_noise(depth, along, 20, 15, 4, 15, seed) * 5.0f));
        *out = shade(w, 1.0f + 0.08f * ring);
    } else if (p == "boards") {
        bond bd = {4.0f, 15.0f, 0.5f, 0.35f, 15, 20};
        rgb w = bond_colour(bd, along, depth, c, d, 0.3f, seed);
        float ring =
            std::sin(depth * 3.0f + periodic_noise(along, depth, 15, 20, 3, 10, seed) * 5.0f);
        *out = shade(w, 1.0f + 0.08f * ring);
    } else if (p == "post") {
        float edge = std::fabs(along - 7.5f);
        float ring =
            std::sin(along * 2.5f + periodic_noise(along, depth, 15, 20, 5, 4, seed) * 4.0f);
        *out = shade(c, 1.0f + 0.08f * ring - (edge > 6.5f ? 0.25f : 0.0f));
    } else if (p == "panel") {
        float la = along, ld = depth;
        int frame = la < 1.5f || la > 13.5f || ld < 1.5f || ld > 18.5f;
        int bevel = !frame && (la < 2.3f || ld < 2.3f);
        int shadow = !frame && (la > 12.7f || ld > 17.7f);
        rgb w = frame ? shade(c, 1.1f) : c;
        w = bevel ? shade(w, 0.7f) : shadow ? shade(w, 1.2f) : w;
        if (!frame && !bevel && !shadow) {
            w = shade(d, 1.0f + 0.06f * std::sin(along * 2.0f + depth * 0.4f));
        }
        *out = w;
    } else if (p == "earth") {
        float lump = periodic_noise(along, depth, 15, 20, 5, 6, seed);
        rgb e = shade(c, 0.8f + lump * 0.35f);
        if (s.variant == 1) { // roots
            float root = std::fabs(std::sin(along * 0.9f + depth * 0.5f +
                                            periodic_noise(along, depth, 15, 20, 3, 4, seed) * 5));
            if (root < 0.08f) {
                e = d;
            }
        } else if (noise2(k / 2, r / 2, seed + 4) > 0.93f) {
            e = d; // stones
        }
        *out = e;
    } else if (p == "grass_lip") {
        float line = 3.0f + 2.0f * periodic_noise(along, 0, 15, 20, 5, 1, seed);
        if (depth < line) {
            *out = shade(c, 0.85f + (noise2(k, r, seed) > 0.7f ? 0.25f : 0.0f));
        } else {
            float lump = periodic_noise(along, depth, 15, 20, 5, 6, seed);
            *out = shade(d, 0.8f + lump * 0.35f);
        }
    } else if (p == "hedge") {
        float clump = periodic_noise(along, depth, 15, 20, 5, 7, seed);
        float leaf = noise2(k, r, seed + 3);
        *out = shade(c, 0.65f + clump * 0.5f + (leaf > 0.85f ? 0.3f : leaf < 0.1f ? -0.3f : 0.0f));
    } else if (p == "ivy") {
        bond bd = {5.0f, 7.5f, 0.5f, 0.5f, 15, 20};
        rgb stone = bond_colour(bd, along, depth, c, shade(c, 0.55f), 0.25f, seed);
        float leaf = periodic_noise(along, depth, 15, 20, 6, 8, seed + 5);
        *out = leaf > 0.55f ? shade(d, 0.7f + leaf * 0.5f + (noise2(k, r, seed) > 0.8f ? 0.2f : 0))
                            : stone;
    } else if (p == "wet") {
        bond bd = {5.0f, 7.5f, 0.5f, 0.5f, 15, 20};
        rgb stone = bond_colour(bd, along, depth, c, shade(c, 0.55f), 0.25f, seed);
        float wet = depth / 20.0f;
        *out = mix(stone, d, std::min(0.8f, wet * 0.9f));
    } else if (p == "waterfall") {
        float streak = periodic_noise(along * 2, depth * 0.3f, 30, 6, 15, 3, seed);
        *out = shade(c, 0.8f + streak * 0.5f);
        if (streak > 0.8f) {
            *out = d;
        }
    } else if (p == "plaster") {
        float m = periodic_noise(along, depth, 15, 20, 4, 5, seed);
        rgb w = shade(c, 0.92f + m * 0.14f);
        if (s.variant == 1) { // timber frame: a beam at the top and posts at the cell ends
            if (depth < 2.5f || along < 1.5f || along > 13.5f ||
                std::fabs((along - 7.5f) - (depth - 10.0f) * 0.6f) < 0.9f) {
                w = shade(d, 0.9f + 0.1f * std::sin(along * 3 + depth));
            }
        }
        *out = w;
    } else if (p == "tapestry") {
        if (depth < 1.5f) {
            *out = shade(s.second, 0.6f); // the rod
        } else {
            float stripe = wrapf(along, 5.0f);
            rgb w = stripe < 0.7f ? d : c;
            float dm = std::fabs(wrapf(along, 5.0f) - 2.5f) + std::fabs(wrapf(depth, 6.0f) - 3.0f);
            if (dm < 1.6f) {
                w = shade(d, 1.2f);
            }
            *out = shade(w, (k + r) % 2 ? 1.04f : 0.96f);
        }
    } else if (p == "plain") {
        *out = shade(c, 0.9f + periodic_noise(along, depth, 15, 20, 5, 5, seed) * 0.2f);
    } else {
        return 0;
    }
    return 1;
}

int surface_pattern_known(const surface_recipe &s, int is_face)
{
    rgb c;
    return is_face ? face_colour(s, 1, 1, 0, 0, &c) : floor_colour(s, 1, 1, 0, 0, &c);
}

BITMAP *paint_tile(const surface_recipe &s)
{
    BITMAP *bmp = new_image(TILE_W, TILE_H);
    float lit = light_factor({0, 0, 1});
    for (int r = 0; r < TILE_H; r++) {
        for (int k = 0; k < TILE_W; k++) {
            float x, y;
            if (!tile_point(k, r, &x, &y)) {
                continue;
            }
            rgb c;
            floor_colour(s, x, y, k, r, &c);
            putpixel(bmp, k, r, to_pixel(grain_pixel(shade(c, lit), k, r, 0.08f)));
        }
    }
    return bmp;
}

BITMAP *paint_face(const surface_recipe &s, int side)
{
    BITMAP *bmp = new_image(FACE_W, FACE_H);
    float lit = light_factor(side == 0 ? vec3{0, -1, 0} : vec3{-1, 0, 0});
    for (int r = 0; r < FACE_H; r++) {
        for (int k = 0; k < FACE_W; k++) {
            float along, depth;
            if (!face_point(side, k, r, &along, &depth)) {
                continue;
            }
            rgb c;
            face_colour(s, along, depth, k, r, &c);
            putpixel(bmp, k, r, to_pixel(grain_pixel(shade(c, lit), k + side * 7, r, 0.08f)));
        }
    }
    return bmp;
}
