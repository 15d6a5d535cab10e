// Small 3D models in world units and the renderer that draws them with the
// game's own projection: one unit along x or y is 2 px across and 1 down,
// z is 1 px up. Each pixel centre casts a ray along (1, 1, -2) (away from
// the viewer); the nearest surface gives the colour, shaded by one light.
#pragma once

#include <allegro.h>
#include <string>
#include <vector>

#include "paint.h"

struct vec3 {
    float x, y, z;
};

vec3 operator+(vec3 a, vec3 b);
vec3 operator-(vec3 a, vec3 b);
vec3 operator*(vec3 a, float s);
float dot(vec3 a, vec3 b);
vec3 normalised(vec3 a);

// Surface kinds: each gives its own texture and highlight.
enum texture_kind {
    TEX_PLAIN,
    TEX_STONE,
    TEX_WOOD,
    TEX_CLOTH,
    TEX_METAL,
    TEX_GOLD,
    TEX_FOLIAGE,
    TEX_FLAME,
    TEX_GLASS,
    TEX_SKIN,
    TEX_FUR,
    TEX_BARK,
    TEX_SMOKE,
    TEX_ASHLAR, // stone laid in blocks
    TEX_BRICK,
    TEX_GLOW, // lit from within: not shaded
    TEX_KIND_COUNT
};

struct material {
    std::string name;
    rgb colour;
    int texture;
};

enum shape_kind {
    SHAPE_BOX,       // a = low corner, b = high corner
    SHAPE_WEDGE,     // a box whose top slopes down to zero height towards side `low`
    SHAPE_ELLIPSOID, // a = centre, b = radii
    SHAPE_CYLINDER,  // a, b = axis ends, r0 = radius
    SHAPE_CONE,      // a, b = axis ends, r0 at a, r1 at b
    SHAPE_CAPSULE,   // a, b = segment ends, r0 = radius
};

// Sides a wedge can slope down to.
enum wedge_side { LOW_MINUS_X, LOW_PLUS_X, LOW_MINUS_Y, LOW_PLUS_Y };

struct part {
    int shape = SHAPE_BOX;
    vec3 a = {0, 0, 0}, b = {0, 0, 0};
    float r0 = 0, r1 = 0;
    int low = LOW_MINUS_X;
    int material = 0;              // index into the material list
    int grain = -1;                // wood grain axis 0..2, or -1 for the part's longest
    int flicker = 0;               // flames: reshaped per animation frame
    std::string limb;              // characters: the limb the part swings with
    std::vector<std::string> only; // characters: shown only in these poses
};

// Where the world origin lands in the image, in pixel-edge coordinates
// (pixel k covers [k, k+1)).
struct view_anchor {
    float u, v;
};

struct render_style {
    int outline = 1;     // dark ring round the silhouette
    int inner_lines = 1; // dark lines where a nearer part overlaps
    int seed = 1;        // texture noise seed
};

// Draws parts into a new w x h image (mask colour where nothing is hit).
BITMAP *render_parts(const std::vector<part> &parts, const std::vector<material> &materials, int w,
                     int h, view_anchor anchor, const render_style &style);

// The same model with the x and y axes exchanged (a quarter turn mirrored):
// what a twin definition shows.
std::vector<part> swap_axes(const std::vector<part> &parts);
// Brightness of a surface with the given normal under the one light (about
// 1.0 for a floor, less for the sides).
float light_factor(vec3 normal);
// The model moved by d.
std::vector<part> moved(const std::vector<part> &parts, vec3 d);
