// Reading the art recipes: every *.toml of the recipe folder, materials
// first (from all files), then models, characters, poses and surfaces.
#include "recipes.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <toml++/toml.h>

#include "platform/data_file.h"

namespace fs = std::filesystem;

// A recipe file is a few kilobytes; one far larger is not read.
static constexpr long RECIPE_FILE_MAX_BYTES = 16L * 1024 * 1024;

struct reader {
    std::string file;
    int ok = 1;
    void fail(const std::string &what)
    {
        fprintf(stderr, "%s: %s\n", file.c_str(), what.c_str());
        ok = 0;
    }
};

static const char *const TEXTURE_NAMES[TEX_KIND_COUNT] = {
    "plain", "stone", "wood", "cloth", "metal", "gold",   "foliage", "flame",
    "glass", "skin",  "fur",  "bark",  "smoke", "ashlar", "brick",   "glow"};

static int numbers(const toml::node_view<const toml::node> &node, std::vector<float> &out)
{
    const toml::array *a = node.as_array();
    if (a == nullptr) {
        return 0;
    }
    out.clear();
    for (const toml::node &n : *a) {
        std::optional<double> v = n.value<double>();
        if (!v) {
            return 0;
        }
        out.push_back(static_cast<float>(*v));
    }
    return 1;
}

static int read_rgb(reader &rd, const toml::node_view<const toml::node> &node, rgb &out,
                    const std::string &what)
{
    std::vector<float> v;
    if (!numbers(node, v) || v.size() != 3) {
        rd.fail(what + ": a colour is [red, green, blue]");
        return 0;
    }
    out = {static_cast<int>(v[0]), static_cast<int>(v[1]), static_cast<int>(v[2])};
    return 1;
}

static int find_material(const art_recipes &r, const std::string &name)
{
    for (size_t i = 0; i < r.materials.size(); i++) {
        if (r.materials[i].name == name) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

static void read_materials(reader &rd, const toml::table &t, art_recipes &out)
{
    const toml::table *m = t["materials"].as_table();
    if (m == nullptr) {
        return;
    }
    for (const auto &[key, node] : *m) {
        material mat;
        mat.name = std::string(key.str());
        const toml::table *mt = node.as_table();
        if (mt == nullptr) {
            rd.fail("material " + mat.name + " must be a table");
            continue;
        }
        read_rgb(rd, (*mt)["colour"], mat.colour, "material " + mat.name);
        std::string tex = (*mt)["texture"].value_or(std::string("plain"));
        auto it = std::find(TEXTURE_NAMES, TEXTURE_NAMES + TEX_KIND_COUNT, tex);
        if (it == TEXTURE_NAMES + TEX_KIND_COUNT) {
            rd.fail("material " + mat.name + ": unknown texture " + tex);
        }
        mat.texture = static_cast<int>(it - TEXTURE_NAMES);
        if (find_material(out, mat.name) >= 0) {
            rd.fail("material " + mat.name + " defined twice");
            continue;
        }
        out.materials.push_back(mat);
    }
}

struct shape_key {
    const char *key;
    int shape;
    size_t count;
};

static const shape_key SHAPE_KEYS[] = {
    {"box", SHAPE_BOX, 6},           {"wedge", SHAPE_WEDGE, 6},
    {"ball", SHAPE_ELLIPSOID, 4},    {"ellipsoid", SHAPE_ELLIPSOID, 6},
    {"cylinder", SHAPE_CYLINDER, 7}, {"cone", SHAPE_CONE, 8},
    {"capsule", SHAPE_CAPSULE, 7},
};

static int read_part(reader &rd, const toml::table &t, const art_recipes &r, part &p,
                     const std::string &where)
{
    int found = 0;
    for (const shape_key &k : SHAPE_KEYS) {
        if (!t.contains(k.key)) {
            continue;
        }
        std::vector<float> v;
        if (!numbers(t[k.key], v) || v.size() != k.count) {
            rd.fail(where + ": " + k.key + " takes " + std::to_string(k.count) + " numbers");
            return 0;
        }
        found++;
        p.shape = k.shape;
        p.a = {v[0], v[1], v[2]};
        if (std::string(k.key) == "ball") {
            p.b = {v[3], v[3], v[3]};
        } else {
            p.b = {v[3], v[4], v[5]};
        }
        if (k.count >= 7) {
            p.r0 = p.r1 = v[6];
        }
        if (k.count == 8) {
            p.r1 = v[7];
        }
    }
    if (found != 1) {
        rd.fail(where + ": a part has exactly one shape (box, wedge, ball, ellipsoid, cylinder, "
                        "cone, capsule)");
        return 0;
    }
    std::string mat = t["mat"].value_or(std::string());
    p.material = find_material(r, mat);
    if (p.material < 0) {
        rd.fail(where + ": unknown material '" + mat + "'");
        return 0;
    }
    std::string low = t["low"].value_or(std::string("-x"));
    static const char *const SIDES[4] = {"-x", "+x", "-y", "+y"};
    auto it = std::find(SIDES, SIDES + 4, low);
    if (it == SIDES + 4) {
        rd.fail(where + ": low is one of -x, +x, -y, +y");
        return 0;
    }
    p.low = static_cast<int>(it - SIDES);
    std::string grain = t["grain"].value_or(std::string());
    p.grain = grain == "x" ? 0 : grain == "y" ? 1 : grain == "z" ? 2 : -1;
    p.flicker = t["flicker"].value_or(false) ? 1 : 0;
    p.limb = t["limb"].value_or(std::string());
    if (const toml::array *only = t["only"].as_array()) {
        for (const toml::node &n : *only) {
            p.only.push_back(n.value_or(std::string()));
        }
    }
    return 1;
}

static void read_parts(reader &rd, const toml::node_view<const toml::node> &node,
                       const art_recipes &r, std::vector<part> &out, const std::string &where)
{
    const toml::array *a = node.as_array();
    if (a == nullptr) {
        return;
    }
    int i = 0;
    for (const toml::node &n : *a) {
        const toml::table *pt = n.as_table();
        part p;
        std::string at = where + " part " + std::to_string(i++);
        if (pt == nullptr) {
            rd.fail(at + " must be a table");
            continue;
        }
        if (read_part(rd, *pt, r, p, at)) {
            out.push_back(p);
        }
    }
}

static void read_size(const toml::table &t, int &w, int &h)
{
    std::vector<float> v;
    if (numbers(t["size"], v) && v.size() == 2) {
        w = static_cast<int>(v[0]);
        h = static_cast<int>(v[1]);
    }
}

static void read_model(reader &rd, const toml::table &t, art_recipes &out)
{
    model_recipe m;
    m.name = t["name"].value_or(std::string());
    std::string where = "model " + m.name;
    if (std::optional<int64_t> one = t["image"].value<int64_t>()) {
        m.images.push_back(static_cast<int>(*one));
    }
    std::vector<float> list;
    if (numbers(t["images"], list)) {
        for (float f : list) {
            m.images.push_back(static_cast<int>(f));
        }
    }
    m.def = static_cast<int>(t["def"].value_or(int64_t{-1}));
    read_size(t, m.width, m.height);
    std::string like = t["like"].value_or(std::string());
    if (!like.empty()) {
        auto it = std::find_if(out.models.begin(), out.models.end(),
                               [&](const model_recipe &o) { return o.name == like; });
        if (it == out.models.end()) {
            rd.fail(where + ": like names no earlier model '" + like + "'");
            return;
        }
        m.parts = it->parts;
        if (m.def < 0) {
            m.def = it->def;
        }
        if (m.width == 0) {
            m.width = it->width;
            m.height = it->height;
        }
    }
    if (const toml::table *swap = t["swap"].as_table()) {
        for (const auto &[from, to] : *swap) {
            int a = find_material(out, std::string(from.str()));
            int b = find_material(out, to.value_or(std::string()));
            if (a < 0 || b < 0) {
                rd.fail(where + ": swap names an unknown material");
                continue;
            }
            for (part &p : m.parts) {
                if (p.material == a) {
                    p.material = b;
                }
            }
        }
    }
    read_parts(rd, t["parts"], out, m.parts, where);
    if (t["exchange_xy"].value_or(false)) {
        m.parts = swap_axes(m.parts); // the same thing turned to lie along the other axis
    }
    read_parts(rd, t["add"], out, m.parts, where);
    if (m.name.empty() || m.parts.empty()) {
        rd.fail(where + ": a model needs a name and parts");
        return;
    }
    out.models.push_back(m);
}

static void read_character(reader &rd, const toml::table &t, art_recipes &out)
{
    character_recipe c;
    c.name = t["name"].value_or(std::string());
    std::string where = "character " + c.name;
    c.def = static_cast<int>(t["def"].value_or(int64_t{-1}));
    read_size(t, c.width, c.height);
    if (const toml::array *poses = t["poses"].as_array()) {
        for (const toml::node &n : *poses) {
            c.poses.push_back(n.value_or(std::string("stand")));
        }
    }
    if (const toml::table *pivots = t["pivots"].as_table()) {
        for (const auto &[limb, node] : *pivots) {
            std::vector<float> v;
            if (!numbers(toml::node_view<const toml::node>(node), v) || v.size() != 3) {
                rd.fail(where + ": a pivot is [forward, right, up]");
                continue;
            }
            c.pivots[std::string(limb.str())] = {v[0], v[1], v[2]};
        }
    }
    read_parts(rd, t["parts"], out, c.parts, where);
    if (c.def < 0 || c.parts.empty()) {
        rd.fail(where + ": a character needs def and parts");
        return;
    }
    out.characters.push_back(c);
}

static void read_surfaces(reader &rd, const toml::table &t, const char *key,
                          std::vector<surface_recipe> &out)
{
    const toml::array *a = t[key].as_array();
    if (a == nullptr) {
        return;
    }
    for (const toml::node &n : *a) {
        const toml::table *st = n.as_table();
        if (st == nullptr) {
            rd.fail(std::string(key) + " entries must be tables");
            continue;
        }
        surface_recipe s;
        s.number = static_cast<int>((*st)["number"].value_or(int64_t{-1}));
        s.pattern = (*st)["pattern"].value_or(std::string());
        s.variant = static_cast<int>((*st)["variant"].value_or(int64_t{0}));
        s.note = (*st)["note"].value_or(std::string());
        std::string where = std::string(key) + " " + std::to_string(s.number);
        read_rgb(rd, (*st)["colour"], s.colour, where);
        if (st->contains("second")) {
            read_rgb(rd, (*st)["second"], s.second, where);
        }
        out.push_back(s);
    }
}

int load_art_recipes(const std::string &dir, art_recipes &out)
{
    std::vector<fs::path> files;
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        if (it->path().extension() == ".toml") {
            files.push_back(it->path());
        }
    }
    if (ec || files.empty()) {
        fprintf(stderr, "%s: no recipe files\n", dir.c_str());
        return 0;
    }
    std::sort(files.begin(), files.end());
    std::vector<toml::table> tables;
    int ok = 1;
    for (const fs::path &f : files) {
        if (const char *problem = data_file_problem(f.c_str(), RECIPE_FILE_MAX_BYTES)) {
            fprintf(stderr, "%s: %s\n", f.c_str(), problem);
            ok = 0;
            tables.emplace_back();
            continue;
        }
        try {
            tables.push_back(toml::parse_file(f.string()));
        } catch (const toml::parse_error &e) {
            fprintf(stderr, "%s:%d: %s\n", f.string().c_str(),
                    static_cast<int>(e.source().begin.line), std::string(e.description()).c_str());
            ok = 0;
            tables.emplace_back();
        }
    }
    for (size_t i = 0; i < files.size(); i++) {
        reader rd{files[i].filename().string()};
        read_materials(rd, tables[i], out);
        ok &= rd.ok;
    }
    for (size_t i = 0; i < files.size(); i++) {
        reader rd{files[i].filename().string()};
        const toml::table &t = tables[i];
        if (const toml::table *poses = t["pose"].as_table()) {
            for (const auto &[name, node] : *poses) {
                pose_recipe p;
                if (const toml::table *pt = node.as_table()) {
                    for (const auto &[limb, angle] : *pt) {
                        p.angles[std::string(limb.str())] = static_cast<float>(angle.value_or(0.0));
                    }
                }
                out.poses[std::string(name.str())] = p;
            }
        }
        if (const toml::array *models = t["model"].as_array()) {
            for (const toml::node &n : *models) {
                if (const toml::table *mt = n.as_table()) {
                    read_model(rd, *mt, out);
                }
            }
        }
        if (const toml::array *chars = t["character"].as_array()) {
            for (const toml::node &n : *chars) {
                if (const toml::table *ct = n.as_table()) {
                    read_character(rd, *ct, out);
                }
            }
        }
        read_surfaces(rd, t, "tile", out.tiles);
        read_surfaces(rd, t, "face", out.faces);
        ok &= rd.ok;
    }
    return ok;
}
