// The model renderer: ray casting of boxes, wedges, ellipsoids, cylinders,
// cones and capsules through every pixel centre, per-face shading under one
// light, procedural textures by surface kind, and a dark outline.
#include "model.h"

#include <algorithm>
#include <cmath>

vec3 operator+(vec3 a, vec3 b)
{
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}

vec3 operator-(vec3 a, vec3 b)
{
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}

vec3 operator*(vec3 a, float s)
{
    return {a.x * s, a.y * s, a.z * s};
}

float dot(vec3 a, vec3 b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

vec3 normalised(vec3 a)
{
    float l = std::sqrt(dot(a, a));
    return l > 0 ? a * (1.0f / l) : a;
}

static const vec3 RAY_DIR = {1.0f, 1.0f, -2.0f}; // away from the viewer
static const vec3 TO_VIEWER = {-0.408f, -0.408f, 0.816f};
static const vec3 LIGHT = normalised({-0.35f, -0.65f, 1.0f}); // towards the light
static constexpr float RAY_START_Z = 600.0f;
static constexpr float NO_HIT = 1e30f;
static constexpr float AMBIENT = 0.42f;
static constexpr float DIFFUSE = 0.58f;
static constexpr float BRIGHTNESS = 1.12f;
static constexpr float OUTLINE_DARK = 0.28f;
static constexpr float FLAME_OUTLINE_DARK = 0.6f;
static constexpr float INNER_LINE_DARK = 0.62f;
static constexpr float INNER_LINE_DEPTH = 0.6f; // ray parameter gap that draws a line

float light_factor(vec3 normal)
{
    return (AMBIENT + DIFFUSE * std::max(0.0f, dot(normalised(normal), LIGHT))) * BRIGHTNESS;
}

struct hit {
    float s = NO_HIT;
    vec3 normal = {0, 0, 1};
};

// Convex solid as the meet of half-spaces n . p <= d.
struct plane {
    vec3 n;
    float d;
};

static void clip_convex(const plane *planes, int count, vec3 o, vec3 dir, hit &best)
{
    float enter = -NO_HIT, leave = NO_HIT;
    vec3 enter_normal = {0, 0, 1};
    for (int i = 0; i < count; i++) {
        float denom = dot(planes[i].n, dir);
        float dist = planes[i].d - dot(planes[i].n, o);
        if (std::fabs(denom) < 1e-9f) {
            if (dist < 0) {
                return;
            }
            continue;
        }
        float s = dist / denom;
        if (denom < 0) {
            if (s > enter) {
                enter = s;
                enter_normal = planes[i].n;
            }
        } else if (s < leave) {
            leave = s;
        }
    }
    if (enter <= leave && enter > 0 && enter < best.s) {
        best.s = enter;
        best.normal = normalised(enter_normal);
    }
}

static int box_planes(const part &p, plane *out)
{
    vec3 lo = {std::min(p.a.x, p.b.x), std::min(p.a.y, p.b.y), std::min(p.a.z, p.b.z)};
    vec3 hi = {std::max(p.a.x, p.b.x), std::max(p.a.y, p.b.y), std::max(p.a.z, p.b.z)};
    out[0] = {{-1, 0, 0}, -lo.x};
    out[1] = {{1, 0, 0}, hi.x};
    out[2] = {{0, -1, 0}, -lo.y};
    out[3] = {{0, 1, 0}, hi.y};
    out[4] = {{0, 0, -1}, -lo.z};
    out[5] = {{0, 0, 1}, hi.z};
    if (p.shape != SHAPE_WEDGE) {
        return 6;
    }
    // The top slopes from full height down to the bottom at the low side.
    float h = hi.z - lo.z;
    vec3 n;
    vec3 on; // a point on the slope: the bottom edge of the low side
    switch (p.low) {
    case LOW_MINUS_X:
        n = {-h, 0, hi.x - lo.x};
        on = {lo.x, lo.y, lo.z};
        break;
    case LOW_PLUS_X:
        n = {h, 0, hi.x - lo.x};
        on = {hi.x, lo.y, lo.z};
        break;
    case LOW_MINUS_Y:
        n = {0, -h, hi.y - lo.y};
        on = {lo.x, lo.y, lo.z};
        break;
    default:
        n = {0, h, hi.y - lo.y};
        on = {lo.x, hi.y, lo.z};
        break;
    }
    n = normalised(n);
    out[6] = {n, dot(n, on)};
    return 7;
}

static void hit_ellipsoid(const part &p, vec3 o, vec3 dir, hit &best)
{
    vec3 r = p.b;
    if (r.x <= 0 || r.y <= 0 || r.z <= 0) {
        return;
    }
    vec3 oc = o - p.a;
    vec3 o2 = {oc.x / r.x, oc.y / r.y, oc.z / r.z};
    vec3 d2 = {dir.x / r.x, dir.y / r.y, dir.z / r.z};
    float A = dot(d2, d2), B = 2 * dot(o2, d2), C = dot(o2, o2) - 1;
    float disc = B * B - 4 * A * C;
    if (disc < 0) {
        return;
    }
    float s = (-B - std::sqrt(disc)) / (2 * A);
    if (s <= 0 || s >= best.s) {
        return;
    }
    vec3 q = oc + dir * s;
    best.s = s;
    best.normal = normalised({q.x / (r.x * r.x), q.y / (r.y * r.y), q.z / (r.z * r.z)});
}

// A frustum (or cylinder when r0 = r1) round the axis a..b, with flat caps.
static void hit_frustum(vec3 a, vec3 b, float r0, float r1, vec3 o, vec3 dir, hit &best)
{
    vec3 axis = b - a;
    float len = std::sqrt(dot(axis, axis));
    if (len < 1e-6f) {
        return;
    }
    vec3 w = axis * (1.0f / len);
    float k = (r1 - r0) / len;
    vec3 q = o - a;
    float tq = dot(q, w), td = dot(dir, w);
    vec3 qp = q - w * tq, dp = dir - w * td;
    float rq = r0 + k * tq;
    float A = dot(dp, dp) - k * k * td * td;
    float B = 2 * (dot(qp, dp) - k * rq * td);
    float C = dot(qp, qp) - rq * rq;
    float disc = B * B - 4 * A * C;
    if (std::fabs(A) > 1e-9f && disc >= 0) {
        float sq = std::sqrt(disc);
        float roots[2] = {(-B - sq) / (2 * A), (-B + sq) / (2 * A)};
        for (float s : roots) {
            float t = tq + s * td;
            if (s > 0 && s < best.s && t >= 0 && t <= len && r0 + k * t >= 0) {
                vec3 radial = qp + dp * s;
                best.s = s;
                best.normal = normalised(normalised(radial) - w * k);
                break;
            }
        }
    }
    if (std::fabs(td) > 1e-9f) {
        float caps[2] = {0.0f, len};
        float radius[2] = {r0, r1};
        for (int i = 0; i < 2; i++) {
            float s = (caps[i] - tq) / td;
            if (s <= 0 || s >= best.s) {
                continue;
            }
            vec3 radial = qp + dp * s;
            if (dot(radial, radial) <= radius[i] * radius[i]) {
                best.s = s;
                best.normal = i == 0 ? w * -1.0f : w;
            }
        }
    }
}

static void hit_part(const part &p, vec3 o, vec3 dir, hit &best)
{
    switch (p.shape) {
    case SHAPE_BOX:
    case SHAPE_WEDGE: {
        plane planes[7];
        int n = box_planes(p, planes);
        clip_convex(planes, n, o, dir, best);
        break;
    }
    case SHAPE_ELLIPSOID:
        hit_ellipsoid(p, o, dir, best);
        break;
    case SHAPE_CYLINDER:
        hit_frustum(p.a, p.b, p.r0, p.r0, o, dir, best);
        break;
    case SHAPE_CONE:
        hit_frustum(p.a, p.b, p.r0, p.r1, o, dir, best);
        break;
    case SHAPE_CAPSULE: {
        hit_frustum(p.a, p.b, p.r0, p.r0, o, dir, best);
        part ball;
        ball.a = p.a;
        ball.b = {p.r0, p.r0, p.r0};
        hit_ellipsoid(ball, o, dir, best);
        ball.a = p.b;
        hit_ellipsoid(ball, o, dir, best);
        break;
    }
    }
}

// Smooth repeatable noise in 0..1 over 3D space.
static float lattice(int x, int y, int z, int seed)
{
    return noise2(x * 7919 + z * 104729, y * 3 + z * 13, seed);
}

static float smooth_noise(vec3 p, int seed)
{
    float fx = std::floor(p.x), fy = std::floor(p.y), fz = std::floor(p.z);
    int x = static_cast<int>(fx), y = static_cast<int>(fy), z = static_cast<int>(fz);
    float tx = p.x - fx, ty = p.y - fy, tz = p.z - fz;
    tx = tx * tx * (3 - 2 * tx);
    ty = ty * ty * (3 - 2 * ty);
    tz = tz * tz * (3 - 2 * tz);
    float c[2][2][2];
    for (int i = 0; i < 2; i++) {
        for (int j = 0; j < 2; j++) {
            for (int k = 0; k < 2; k++) {
                c[i][j][k] = lattice(x + i, y + j, z + k, seed);
            }
        }
    }
    float x00 = c[0][0][0] + (c[1][0][0] - c[0][0][0]) * tx;
    float x10 = c[0][1][0] + (c[1][1][0] - c[0][1][0]) * tx;
    float x01 = c[0][0][1] + (c[1][0][1] - c[0][0][1]) * tx;
    float x11 = c[0][1][1] + (c[1][1][1] - c[0][1][1]) * tx;
    float y0 = x00 + (x10 - x00) * ty, y1 = x01 + (x11 - x01) * ty;
    return y0 + (y1 - y0) * tz;
}

static int longest_axis(const part &p)
{
    vec3 e = p.b - p.a;
    float ax = std::fabs(e.x), ay = std::fabs(e.y), az = std::fabs(e.z);
    if (p.shape == SHAPE_ELLIPSOID) {
        ax = p.b.x;
        ay = p.b.y;
        az = p.b.z;
    }
    if (ax >= ay && ax >= az) {
        return 0;
    }
    return ay >= az ? 1 : 2;
}

static float axis_of(vec3 v, int axis)
{
    return axis == 0 ? v.x : (axis == 1 ? v.y : v.z);
}

// Brightness factor of a texture at world point q (pixel px, py for fine grain).
// Courses of blocks on whichever face the point lies: joints darken, each
// block has its own tint.
static float coursed(vec3 q, vec3 n, float course, float length, int seed)
{
    float a, b;
    if (std::fabs(n.z) > 0.7f) {
        a = q.x;
        b = q.y;
    } else {
        a = std::fabs(n.x) > std::fabs(n.y) ? q.y : q.x;
        b = q.z;
    }
    int row = static_cast<int>(std::floor(b / course));
    float shifted = a + (row % 2 ? length * 0.5f : 0.0f);
    int col = static_cast<int>(std::floor(shifted / length));
    float la = shifted - col * length, lb = b - row * course;
    if (la < 0.45f || lb < 0.45f) {
        return 0.62f;
    }
    float tint = noise2(col, row, seed + 29) - 0.5f;
    return 1.0f + tint * 0.22f + (lb > course - 0.6f ? -0.1f : 0.0f);
}

static float texture_factor(const part &p, int texture, vec3 q, vec3 n, int px, int py, int seed)
{
    float fine = noise2(px, py, seed) - 0.5f;
    switch (texture) {
    case TEX_ASHLAR:
        return coursed(q, n, 5.0f, 7.5f, seed) + 0.1f * fine +
               0.15f * (smooth_noise(q * 0.8f, seed) - 0.5f);
    case TEX_BRICK:
        return coursed(q, n, 2.5f, 5.0f, seed) + 0.12f * fine;
    case TEX_STONE: {
        float blotch = smooth_noise(q * 0.8f, seed + 3) - 0.5f;
        float speck = noise2(px, py, seed + 5) > 0.93f ? -0.18f : 0.0f;
        return 1.0f + 0.3f * blotch + 0.12f * fine + speck;
    }
    case TEX_WOOD: {
        int g = p.grain >= 0 ? p.grain : longest_axis(p);
        float u = axis_of(q, (g + 1) % 3), w = axis_of(q, (g + 2) % 3);
        float along = axis_of(q, g);
        float ring = std::sin((u * 1.7f + w * 1.1f + smooth_noise(q * 0.5f, seed) * 3.0f) * 2.2f +
                              along * 0.15f);
        return 1.0f + 0.11f * ring + 0.07f * fine;
    }
    case TEX_BARK: {
        float stripe = smooth_noise({(q.x - q.y) * 1.6f, q.z * 0.22f, 0.0f}, seed + 7) - 0.5f;
        return 0.95f + 0.55f * stripe + 0.1f * fine;
    }
    case TEX_CLOTH:
        return 1.0f + ((px + py) % 2 ? 0.04f : -0.04f) + 0.08f * fine +
               0.12f * (smooth_noise(q * 0.6f, seed) - 0.5f);
    case TEX_FOLIAGE: {
        float clump = smooth_noise(q * 0.9f, seed + 11);
        float leaf = noise2(px, py, seed + 13);
        float f = 0.7f + 0.6f * clump;
        if (leaf > 0.86f) {
            f += 0.3f;
        } else if (leaf < 0.1f) {
            f -= 0.3f;
        }
        return f;
    }
    case TEX_FUR: {
        float strand = noise2(px, py / 2, seed + 17) - 0.5f;
        return 1.0f + 0.22f * strand;
    }
    case TEX_SMOKE:
        return 0.85f + 0.3f * smooth_noise(q * 0.7f, seed + 19) + 0.05f * fine;
    case TEX_METAL:
    case TEX_GOLD:
    case TEX_GLASS:
        return 1.0f + 0.05f * fine;
    default:
        return 1.0f + 0.06f * fine;
    }
}

// Flames glow by themselves: white-yellow at the root, orange, red at the tip.
static rgb flame_colour(const part &p, vec3 q, int px, int py, int seed)
{
    float z0 = std::min(p.a.z, p.b.z), z1 = std::max(p.a.z, p.b.z);
    if (p.shape == SHAPE_ELLIPSOID) {
        z0 = p.a.z - p.b.z;
        z1 = p.a.z + p.b.z;
    }
    float t = z1 > z0 ? (q.z - z0) / (z1 - z0) : 0.5f;
    t += (noise2(px, py, seed + 23) - 0.5f) * 0.2f;
    rgb c;
    if (t < 0.35f) {
        c = {255, 246, 190};
    } else if (t < 0.65f) {
        c = {255, 196, 60};
    } else if (t < 0.85f) {
        c = {240, 120, 30};
    } else {
        c = {200, 60, 20};
    }
    return c;
}

static float highlight(int texture, vec3 n)
{
    if (texture != TEX_METAL && texture != TEX_GOLD && texture != TEX_GLASS) {
        return 0.0f;
    }
    vec3 r = n * (2.0f * dot(n, LIGHT)) - LIGHT;
    float s = std::max(0.0f, dot(r, TO_VIEWER));
    return std::pow(s, texture == TEX_GLASS ? 20.0f : 10.0f) * 0.75f;
}

struct sample {
    int hit = 0;
    int part = -1;
    float s = NO_HIT;
    rgb colour = {0, 0, 0};
    int flame = 0;
    int soft = 0; // no outline (smoke)
};

BITMAP *render_parts(const std::vector<part> &parts, const std::vector<material> &materials, int w,
                     int h, view_anchor anchor, const render_style &style)
{
    std::vector<sample> px(static_cast<size_t>(w * h));
    for (int r = 0; r < h; r++) {
        for (int k = 0; k < w; k++) {
            float u = k + 0.5f, v = r + 0.5f;
            float diff = (u - anchor.u) * 0.5f;     // y - x along the ray
            float sum = anchor.v - v - RAY_START_Z; // x + y at the start height
            vec3 o = {(sum - diff) * 0.5f, (sum + diff) * 0.5f, RAY_START_Z};
            hit best;
            int which = -1;
            for (size_t i = 0; i < parts.size(); i++) {
                float before = best.s;
                hit_part(parts[i], o, RAY_DIR, best);
                if (best.s < before) {
                    which = static_cast<int>(i);
                }
            }
            if (which < 0) {
                continue;
            }
            const part &p = parts[static_cast<size_t>(which)];
            const material &m = materials[static_cast<size_t>(p.material)];
            vec3 q = o + RAY_DIR * best.s;
            sample &out = px[static_cast<size_t>(r * w + k)];
            out.hit = 1;
            out.part = which;
            out.s = best.s;
            if (m.texture == TEX_GLOW) {
                out.colour = shade(m.colour, 1.0f + 0.1f * (noise2(k, r, style.seed) - 0.5f));
                out.flame = 1;
                continue;
            }
            if (m.texture == TEX_FLAME) {
                out.colour = flame_colour(p, q, k, r, style.seed);
                out.flame = 1;
                continue;
            }
            float lit = AMBIENT + DIFFUSE * std::max(0.0f, dot(best.normal, LIGHT));
            float f =
                lit * BRIGHTNESS * texture_factor(p, m.texture, q, best.normal, k, r, style.seed);
            rgb c = shade(m.colour, f);
            float shine = highlight(m.texture, best.normal);
            c = {std::min(255, c.r + static_cast<int>(shine * 255)),
                 std::min(255, c.g + static_cast<int>(shine * 255)),
                 std::min(255, c.b + static_cast<int>(shine * 230))};
            out.colour = c;
            out.soft = m.texture == TEX_SMOKE;
        }
    }
    BITMAP *bmp = new_image(w, h);
    const int dx[4] = {1, -1, 0, 0}, dy[4] = {0, 0, 1, -1};
    for (int r = 0; r < h; r++) {
        for (int k = 0; k < w; k++) {
            const sample &s = px[static_cast<size_t>(r * w + k)];
            if (s.hit) {
                rgb c = s.colour;
                if (style.inner_lines && !s.flame && !s.soft) {
                    for (int i = 0; i < 4; i++) {
                        int nx = k + dx[i], ny = r + dy[i];
                        if (nx < 0 || ny < 0 || nx >= w || ny >= h) {
                            continue;
                        }
                        const sample &n = px[static_cast<size_t>(ny * w + nx)];
                        if (n.hit && n.part != s.part && n.s < s.s - INNER_LINE_DEPTH) {
                            c = shade(c, INNER_LINE_DARK);
                            break;
                        }
                    }
                }
                putpixel(bmp, k, r, to_pixel(c));
                continue;
            }
            if (!style.outline) {
                continue;
            }
            // An empty pixel next to the model takes the darkened colour of its
            // darkest neighbour.
            int found = 0;
            rgb dark = {0, 0, 0};
            float best_lum = 1e9f;
            for (int i = 0; i < 4; i++) {
                int nx = k + dx[i], ny = r + dy[i];
                if (nx < 0 || ny < 0 || nx >= w || ny >= h) {
                    continue;
                }
                const sample &n = px[static_cast<size_t>(ny * w + nx)];
                if (!n.hit || n.soft) {
                    continue;
                }
                float lum = n.colour.r * 0.3f + n.colour.g * 0.59f + n.colour.b * 0.11f;
                if (lum < best_lum) {
                    best_lum = lum;
                    dark = shade(n.colour, n.flame ? FLAME_OUTLINE_DARK : OUTLINE_DARK);
                    found = 1;
                }
            }
            if (found) {
                putpixel(bmp, k, r, to_pixel(dark));
            }
        }
    }
    return bmp;
}

static vec3 swap_xy(vec3 v)
{
    return {v.y, v.x, v.z};
}

std::vector<part> swap_axes(const std::vector<part> &parts)
{
    static const int swapped_side[4] = {LOW_MINUS_Y, LOW_PLUS_Y, LOW_MINUS_X, LOW_PLUS_X};
    std::vector<part> out = parts;
    for (part &p : out) {
        p.a = swap_xy(p.a);
        p.b = swap_xy(p.b);
        p.low = swapped_side[p.low];
        if (p.grain == 0 || p.grain == 1) {
            p.grain = 1 - p.grain;
        }
    }
    return out;
}

std::vector<part> moved(const std::vector<part> &parts, vec3 d)
{
    std::vector<part> out = parts;
    for (part &p : out) {
        p.a = p.a + d;
        if (p.shape != SHAPE_ELLIPSOID) {
            p.b = p.b + d;
        }
    }
    return out;
}
