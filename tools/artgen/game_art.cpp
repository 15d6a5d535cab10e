// The game's images: every object drawn from its model recipe (content/art)
// with the catalogue's boxes and draw offsets, characters in every facing and
// pose, mirrored twins from their source models with x and y exchanged, the
// floor tiles and side faces, the glow, the reveal and the blank marker.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "art.h"
#include "paint.h"
#include "recipes.h"
#include "sundry_art.h"
#include "surfaces.h"
#include "world/image_index.h"
#include "world/object_defs.h"

#ifndef QM_ART_RECIPES
#define QM_ART_RECIPES "content/art"
#endif

static constexpr int GAME_IMAGE_COUNT = 600;
static constexpr int IMAGE_GLOW = 135;
static constexpr int IMAGE_REVEAL = 278;
static constexpr int FIRST_LEFT_FACE = 372;
static constexpr int FIRST_RIGHT_FACE = 412;
static constexpr int FACE_COUNT = 40;
static constexpr int FIRST_TILE = 452;
static constexpr int TILE_COUNT = 44; // 0..43; tile 0 is a solid cell and never drawn

// A drawn object image and the model it came from (twins are drawn from it).
struct drawn_image {
    BITMAP *bmp = nullptr;
    std::vector<part> parts;
    int has_model = 0;
};

struct art_state {
    art_recipes recipes;
    std::vector<drawn_image> images;
    int errors = 0;
};

static void complain(art_state &st, const std::string &what)
{
    fprintf(stderr, "artgen: %s\n", what.c_str());
    st.errors++;
}

static void store(art_state &st, int index, BITMAP *bmp, const std::vector<part> *parts)
{
    drawn_image &d = st.images[static_cast<size_t>(index)];
    if (d.bmp != nullptr) {
        complain(st, "image " + std::to_string(index) + " is drawn twice");
        destroy_bitmap(d.bmp);
    }
    d.bmp = bmp;
    if (parts != nullptr) {
        d.parts = *parts;
        d.has_model = 1;
    }
}

// Where the box's origin lands in a definition's image: the image corner is
// draw_offset left of and above the origin's projected unit, and the model is
// placed so that a box drawn to the box rule fills its image exactly.
static view_anchor def_anchor(int def)
{
    const object_def &d = object_defs[def];
    return {d.draw_offset_x + 1.0f, d.draw_offset_y + 2.0f};
}

static void def_image_size(int def, int want_w, int want_h, int *w, int *h)
{
    object_image_box(def, w, h);
    if (want_w > 0) {
        *w = want_w;
        *h = want_h;
    }
}

// Flames change shape from frame to frame: taller, shorter, leaning.
static const float FLICKER_HEIGHT[] = {1.0f, 0.78f, 1.18f, 0.9f, 1.08f};
static const float FLICKER_LEAN[] = {0.0f, 0.35f, -0.3f, -0.15f, 0.3f};
static constexpr int FLICKER_STEPS = 5;

static std::vector<part> flickered(const std::vector<part> &parts, int frame)
{
    std::vector<part> out = parts;
    float hgt = FLICKER_HEIGHT[frame % FLICKER_STEPS], lean = FLICKER_LEAN[frame % FLICKER_STEPS];
    for (part &p : out) {
        if (!p.flicker) {
            continue;
        }
        if (p.shape == SHAPE_ELLIPSOID) {
            p.b.z *= hgt;
            p.a.x += lean * 0.5f;
            p.a.y -= lean * 0.5f;
        } else {
            p.b.z = p.a.z + (p.b.z - p.a.z) * hgt;
            p.b.x += lean;
            p.b.y -= lean;
        }
    }
    return out;
}

static void draw_models(art_state &st)
{
    for (const model_recipe &m : st.recipes.models) {
        for (size_t i = 0; i < m.images.size(); i++) {
            int image = m.images[i];
            if (image < 0 || image >= GAME_IMAGE_COUNT) {
                complain(st, "model " + m.name + ": image out of range");
                continue;
            }
            int def = m.def >= 0 ? m.def : image_owner(image);
            if (def < 0 || def >= OBJECT_DEF_COUNT) {
                complain(st, "model " + m.name + ": no definition frames image " +
                                 std::to_string(image));
                continue;
            }
            int w, h;
            def_image_size(def, m.width, m.height, &w, &h);
            std::vector<part> parts = flickered(m.parts, static_cast<int>(i));
            render_style style;
            style.seed = image;
            BITMAP *bmp = render_parts(parts, st.recipes.materials, w, h, def_anchor(def), style);
            store(st, image, bmp, &parts);
        }
    }
}

// A character's forward and right directions for each facing (0 towards
// smaller y, 1 larger x, 2 larger y, 3 smaller x).
static const vec3 FORWARD[FACING_COUNT] = {{0, -1, 0}, {1, 0, 0}, {0, 1, 0}, {-1, 0, 0}};
static const vec3 RIGHT[FACING_COUNT] = {{1, 0, 0}, {0, 1, 0}, {-1, 0, 0}, {0, -1, 0}};
static constexpr float DEGREES = 3.14159265f / 180.0f;

// Swings a local point (forward, right, up) about a pivot, forward positive.
static vec3 swing(vec3 p, vec3 pivot, float degrees)
{
    float c = std::cos(degrees * DEGREES), s = std::sin(degrees * DEGREES);
    float df = p.x - pivot.x, dz = p.z - pivot.z;
    return {pivot.x + df * c - dz * s, p.y, pivot.z + df * s + dz * c};
}

static vec3 to_world(vec3 local, vec3 centre, int facing)
{
    return centre + FORWARD[facing] * local.x + RIGHT[facing] * local.y + vec3{0, 0, local.z};
}

static std::vector<part> posed_character(const character_recipe &c, const pose_recipe &pose,
                                         const std::string &pose_name, int facing)
{
    const object_def &d = object_defs[c.def];
    vec3 centre = {d.size_x * 0.5f, d.size_y * 0.5f, 0.0f};
    std::vector<part> out;
    for (const part &src : c.parts) {
        if (!src.only.empty()) {
            int shown = 0;
            for (const std::string &o : src.only) {
                shown |= o == pose_name;
            }
            if (!shown) {
                continue;
            }
        }
        part p = src;
        auto angle = pose.angles.find(p.limb);
        auto pivot = c.pivots.find(p.limb);
        if (!p.limb.empty() && angle != pose.angles.end() && pivot != c.pivots.end()) {
            if (p.shape == SHAPE_BOX || p.shape == SHAPE_WEDGE) {
                // Boxes stay upright: they move with their middle.
                vec3 mid = (p.a + p.b) * 0.5f;
                vec3 d = swing(mid, pivot->second, angle->second) - mid;
                p.a = p.a + d;
                p.b = p.b + d;
            } else {
                p.a = swing(p.a, pivot->second, angle->second);
                if (p.shape != SHAPE_ELLIPSOID) {
                    p.b = swing(p.b, pivot->second, angle->second);
                }
            }
        }
        p.a = to_world(p.a, centre, facing);
        if (p.shape == SHAPE_ELLIPSOID) {
            if (facing % 2 == 0) {
                p.b = {p.b.y, p.b.x, p.b.z};
            }
        } else {
            p.b = to_world(p.b, centre, facing);
        }
        out.push_back(p);
    }
    return out;
}

static void draw_characters(art_state &st)
{
    for (const character_recipe &c : st.recipes.characters) {
        const object_def &d = object_defs[c.def];
        int facings = d.frames_per_facing != 0 ? FACING_COUNT : 1;
        int w, h;
        def_image_size(c.def, c.width, c.height, &w, &h);
        for (int facing = 0; facing < facings; facing++) {
            for (int i = 0; i < d.anim_frames; i++) {
                int image = facing * d.frames_per_facing + d.frames[i];
                if (st.images[static_cast<size_t>(image)].bmp != nullptr) {
                    continue; // a frame repeated in the cycle
                }
                std::string pose_name = i < static_cast<int>(c.poses.size())
                                            ? c.poses[static_cast<size_t>(i)]
                                            : "stand";
                auto pose = st.recipes.poses.find(pose_name);
                if (pose == st.recipes.poses.end()) {
                    complain(st, "character " + c.name + ": no pose " + pose_name);
                    continue;
                }
                std::vector<part> parts = posed_character(c, pose->second, pose_name, facing);
                render_style style;
                style.seed = image;
                BITMAP *bmp =
                    render_parts(parts, st.recipes.materials, w, h, def_anchor(c.def), style);
                store(st, image, bmp, &parts);
            }
        }
    }
}

// A twin shows its source's model with x and y exchanged: the source image
// mirrored left to right, lit by the same light.
static void draw_twins(art_state &st)
{
    for (int def = 0; def < OBJECT_DEF_COUNT; def++) {
        int src = object_mirror_source(def);
        if (src == NOT_MIRRORED) {
            continue;
        }
        const object_def &s = object_defs[src];
        const object_def &d = object_defs[def];
        for (int i = 0; i < d.anim_frames; i++) {
            int from = s.frames[i], to = d.frames[i];
            const drawn_image &source = st.images[static_cast<size_t>(from)];
            if (st.images[static_cast<size_t>(to)].bmp != nullptr) {
                continue;
            }
            if (!source.has_model) {
                complain(st, "twin " + std::to_string(def) + ": source image " +
                                 std::to_string(from) + " has no model");
                continue;
            }
            int w = source.bmp->w, h = source.bmp->h;
            view_anchor a = {static_cast<float>(w - s.draw_offset_x - 1), s.draw_offset_y + 2.0f};
            std::vector<part> parts = swap_axes(source.parts);
            render_style style;
            style.seed = to;
            store(st, to, render_parts(parts, st.recipes.materials, w, h, a, style), &parts);
        }
    }
}

static void draw_surfaces(art_state &st)
{
    for (const surface_recipe &s : st.recipes.tiles) {
        if (s.number < 1 || s.number >= TILE_COUNT || !surface_pattern_known(s, 0)) {
            complain(st,
                     "tile " + std::to_string(s.number) + ": bad number or pattern " + s.pattern);
            continue;
        }
        store(st, FIRST_TILE + s.number, paint_tile(s), nullptr);
    }
    for (const surface_recipe &s : st.recipes.faces) {
        if (s.number < 0 || s.number >= FACE_COUNT || !surface_pattern_known(s, 1)) {
            complain(st,
                     "face " + std::to_string(s.number) + ": bad number or pattern " + s.pattern);
            continue;
        }
        store(st, FIRST_LEFT_FACE + s.number, paint_face(s, 0), nullptr);
        store(st, FIRST_RIGHT_FACE + s.number, paint_face(s, 1), nullptr);
    }
}

// Every image a definition can show, and every face and tile a room can
// name, must have been drawn.
static void check_complete(art_state &st)
{
    for (int def = 0; def < OBJECT_DEF_COUNT; def++) {
        int images[MAX_DEFINITION_IMAGES];
        int n = definition_images(def, images);
        for (int i = 0; i < n; i++) {
            if (st.images[static_cast<size_t>(images[i])].bmp == nullptr) {
                complain(st, "definition " + std::to_string(def) + " (" + object_defs[def].name +
                                 ") has no image " + std::to_string(images[i]));
            }
        }
    }
    for (int i = 0; i < FACE_COUNT; i++) {
        if (st.images[static_cast<size_t>(FIRST_LEFT_FACE + i)].bmp == nullptr) {
            complain(st, "face " + std::to_string(i) + " has no recipe");
        }
    }
    for (int i = 1; i < TILE_COUNT; i++) {
        if (st.images[static_cast<size_t>(FIRST_TILE + i)].bmp == nullptr) {
            complain(st, "tile " + std::to_string(i) + " has no recipe");
        }
    }
}

void make_game_entries(std::vector<datafile_entry> &out)
{
    art_state st;
    st.images.resize(GAME_IMAGE_COUNT);
    const char *dir = getenv("QM_ART_RECIPES");
    if (!load_art_recipes(dir != nullptr ? dir : QM_ART_RECIPES, st.recipes)) {
        fprintf(stderr, "artgen: the art recipes have mistakes\n");
        exit(1);
    }
    load_object_defs();
    store(st, IMAGE_GLOW, paint_glow(), nullptr);
    store(st, IMAGE_REVEAL, paint_reveal_mask(), nullptr);
    store(st, IMAGE_EMPTY, paint_blank_marker(), nullptr);
    draw_models(st);
    draw_characters(st);
    draw_twins(st);
    draw_surfaces(st);
    // QM_ART_PARTIAL lets an artist look at a half-finished set.
    int partial = getenv("QM_ART_PARTIAL") != nullptr;
    check_complete(st);
    if (partial) {
        st.errors = 0;
    }
    if (st.errors > 0) {
        fprintf(stderr, "artgen: %d problems with the game images\n", st.errors);
        exit(1);
    }
    for (int i = 0; i < GAME_IMAGE_COUNT; i++) {
        BITMAP *bmp = st.images[static_cast<size_t>(i)].bmp;
        out.push_back({"IMAGE_" + std::to_string(i), bmp != nullptr ? bmp : paint_unused()});
    }
}
