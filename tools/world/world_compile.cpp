// The world compiler. Each content file describes one room (top-level keys)
// and the objects in it ([[object]] entries); a file without a room id holds
// only objects kept out of play. Every problem is reported with the file
// and line it comes from, and compilation goes on to find the rest.
#include "world_compile.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <map>
#include <toml++/toml.h>

#include "platform/data_file.h"
#include "world/object_defs.h"

namespace fs = std::filesystem;

constexpr int64_t BYTE_MAX = 255;
constexpr int64_t SBYTE_MIN = -128;
constexpr int64_t SBYTE_MAX = 127;
constexpr int64_t INT32_LOW = INT32_MIN;
constexpr int64_t INT32_HIGH = INT32_MAX;
constexpr int MAX_BRIGHTNESS = 7;
constexpr int MAX_FACE = 127;
constexpr int MAX_CODE_POINT = 255;
constexpr int UNKNOWN_LINE = 1; // for problems with no better place than the file
// The place of a problem with no better place than the whole file.
static const toml::source_region WHOLE_FILE{};

constexpr const char *TEMPLATE_KEY = "template";
constexpr const char *TEMPLATE_DIR = "templates"; // beside the room files
constexpr const char *TEMPLATE_NAME_CHARS = "abcdefghijklmnopqrstuvwxyz0123456789_";
// A room file is a few kilobytes; one far larger is not read.
constexpr long CONTENT_FILE_MAX_BYTES = 16L * 1024 * 1024;

static const char *const SIDE_KEYS[SIDE_COUNT] = {"low_y", "high_x", "high_y", "low_x"};

// Where problems go and which file they belong to.
struct source_file {
    std::string path;
    std::vector<std::string> *errors;
};

struct pending_room {
    std::string path;
    int id;
    int has_caption;
    std::string caption;
    room_record record;
    toml::source_region exit_places[SIDE_COUNT];
    std::vector<polygon_record> polygons;
    std::vector<toml::source_region> polygon_places;
};

static constexpr float OBJECT_HEIGHT_LIMIT = 2 * 255;

struct pending_object {
    std::string path;         // the room file
    toml::source_region line; // where the object is written (a template's or the room's)
    int fixed_id;             // -1: the compiler assigns one
    int id;
    std::string label;
    int has_examine;
    std::string examine;
    int has_key;
    int key_id; // -1 when the key is given by label
    std::string key_label;
    toml::source_region key_line;
    toml::source_region door_room_line;
    world_object record;
};

struct compile_state {
    std::string content_dir;
    std::vector<pending_room> rooms;
    std::vector<pending_object> objects;
    std::vector<std::string> *errors;
};

static int line_of(const toml::source_region &where)
{
    return where.begin.line > 0 ? static_cast<int>(where.begin.line) : UNKNOWN_LINE;
}

// "file:line" of a place. A room takes nodes from the template it names, and
// those keep the template's path, so their problems name the template.
static std::string place_of(const std::string &path, const toml::source_region &where)
{
    const std::string &file = where.path != nullptr ? *where.path : path;
    return file + ":" + std::to_string(line_of(where));
}

static void report(const source_file &src, const toml::source_region &where,
                   const std::string &text)
{
    std::string line = place_of(src.path, where) + ": " + text;
    if (where.path != nullptr && *where.path != src.path) {
        line += " (in the template of " + src.path + ")";
    }
    src.errors->push_back(line);
}

static void check_keys(const source_file &src, const toml::table &table,
                       std::initializer_list<const char *> allowed, const std::string &where)
{
    for (auto &&[key, node] : table) {
        (void)node;
        int known = 0;
        for (const char *name : allowed) {
            known |= key.str() == name;
        }
        if (!known) {
            report(src, key.source(), "unknown key \"" + std::string(key.str()) + "\" in " + where);
        }
    }
}

// Checks that node is an integer in lo..hi and stores it. Returns 1 when it is.
static int node_int(const source_file &src, const toml::node &node, const std::string &what,
                    int64_t lo, int64_t hi, int64_t &out)
{
    const toml::value<int64_t> *value = node.as_integer();
    if (value == nullptr) {
        report(src, node.source(), what + " must be a whole number");
        return 0;
    }
    if (value->get() < lo || value->get() > hi) {
        report(src, node.source(),
               what + " must be " + std::to_string(lo) + ".." + std::to_string(hi) + ", not " +
                   std::to_string(value->get()));
        return 0;
    }
    out = value->get();
    return 1;
}

// Reads table[key] as an integer in lo..hi. A missing key keeps out and is
// reported when required. Returns 1 when a valid value was read.
static int table_int(const source_file &src, const toml::table &table,
                     const toml::source_region &table_line, const char *key, int64_t lo, int64_t hi,
                     int required, int64_t &out)
{
    const toml::node *node = table.get(key);
    if (node == nullptr) {
        if (required) {
            report(src, table_line, std::string("missing key \"") + key + "\"");
        }
        return 0;
    }
    return node_int(src, *node, key, lo, hi, out);
}

// A flag given as true/false or as a byte value.
static int table_flag(const source_file &src, const toml::table &table, const char *key,
                      int default_value)
{
    const toml::node *node = table.get(key);
    if (node == nullptr) {
        return default_value;
    }
    if (const toml::value<bool> *flag = node->as_boolean()) {
        return flag->get() ? 1 : 0;
    }
    int64_t value = default_value;
    if (node->as_integer() == nullptr) {
        report(src, node->source(), std::string(key) + " must be true, false or 0..255");
        return default_value;
    }
    node_int(src, *node, key, 0, BYTE_MAX, value);
    return static_cast<int>(value);
}

int text_to_latin1(const std::string &utf8, std::string &out, std::string &problem)
{
    constexpr unsigned char TWO_BYTE_LEAD = 0xC0, TWO_BYTE_MASK = 0xE0, CONTINUATION_BITS = 0x3F;
    constexpr unsigned char LEAD_BITS = 0x1F, ASCII_LIMIT = 0x80;
    out.clear();
    for (size_t i = 0; i < utf8.size(); i++) {
        unsigned char c = static_cast<unsigned char>(utf8[i]);
        int code;
        if (c < ASCII_LIMIT) {
            code = c;
        } else if ((c & TWO_BYTE_MASK) == TWO_BYTE_LEAD && i + 1 < utf8.size() &&
                   (static_cast<unsigned char>(utf8[i + 1]) & ~CONTINUATION_BITS) == ASCII_LIMIT) {
            code = ((c & LEAD_BITS) << 6) |
                   (static_cast<unsigned char>(utf8[i + 1]) & CONTINUATION_BITS);
            i++;
        } else {
            code = MAX_CODE_POINT + 1;
        }
        if (code == 0 || code > MAX_CODE_POINT) {
            problem = "holds a character the game cannot show (only codes 1..255 are allowed)";
            return 0;
        }
        out += static_cast<char>(code);
    }
    if (static_cast<int>(out.size()) > MAX_TEXT_LENGTH) {
        problem = "is " + std::to_string(out.size()) + " characters long, at most " +
                  std::to_string(MAX_TEXT_LENGTH) + " are allowed";
        return 0;
    }
    return 1;
}

// Reads table[key] as a message text. Returns 1 when present and valid.
static int table_text(const source_file &src, const toml::table &table, const char *key,
                      std::string &out)
{
    const toml::node *node = table.get(key);
    if (node == nullptr) {
        return 0;
    }
    const toml::value<std::string> *text = node->as_string();
    if (text == nullptr) {
        report(src, node->source(), std::string(key) + " must be a text in quotes");
        return 0;
    }
    std::string problem;
    if (!text_to_latin1(text->get(), out, problem)) {
        report(src, node->source(), std::string(key) + " " + problem);
        return 0;
    }
    return 1;
}

std::vector<int> definitions_named(const std::string &name)
{
    std::vector<int> found;
    for (int def = 0; def < OBJECT_DEF_COUNT; def++) {
        if (name == object_defs[def].name) {
            found.push_back(def);
        }
    }
    return found;
}

static int read_definition(const source_file &src, const toml::node &node, int &def)
{
    if (const toml::value<std::string> *name = node.as_string()) {
        std::vector<int> found = definitions_named(name->get());
        if (found.empty()) {
            report(src, node.source(), "no object definition is named \"" + name->get() + "\"");
            return 0;
        }
        if (found.size() > 1) {
            std::string list;
            for (int candidate : found) {
                list += (list.empty() ? "" : ", ") + std::to_string(candidate);
            }
            report(src, node.source(),
                   "the name \"" + name->get() + "\" is shared by definitions " + list +
                       "; give the index instead");
            return 0;
        }
        def = found[0];
        return 1;
    }
    int64_t index = 0;
    if (node.as_integer() == nullptr) {
        report(src, node.source(), "def must be a definition name in quotes or an index");
        return 0;
    }
    if (!node_int(src, node, "def", 0, OBJECT_DEF_COUNT - 1, index)) {
        return 0;
    }
    def = static_cast<int>(index);
    return 1;
}

// Reads a grid of size_x rows of size_y numbers: the first row is the
// largest x, the last row x 0; within a row y runs from 0.
static int read_grid(const source_file &src, const toml::table &room,
                     const toml::source_region &room_line, const char *key, int size_x, int size_y,
                     int64_t lo, int64_t hi, std::vector<int> &cells)
{
    const toml::node *node = room.get(key);
    if (node == nullptr) {
        report(src, room_line, std::string("missing key \"") + key + "\"");
        return 0;
    }
    const toml::array *rows = node->as_array();
    if (rows == nullptr || static_cast<int>(rows->size()) != size_x) {
        report(src, node->source(),
               std::string(key) + " must be a list of " + std::to_string(size_x) +
                   " rows (one per x, size_x)");
        return 0;
    }
    cells.assign(static_cast<size_t>(size_x * size_y), 0);
    int ok = 1;
    for (int r = 0; r < size_x; r++) {
        const toml::node &row_node = (*rows)[static_cast<size_t>(r)];
        const toml::array *row = row_node.as_array();
        if (row == nullptr || static_cast<int>(row->size()) != size_y) {
            report(src, row_node.source(),
                   std::string(key) + " row " + std::to_string(r + 1) + " must hold " +
                       std::to_string(size_y) + " numbers (one per y, size_y)");
            ok = 0;
            continue;
        }
        const int cx = size_x - 1 - r;
        for (int cy = 0; cy < size_y; cy++) {
            int64_t value = 0;
            if (node_int(src, (*row)[static_cast<size_t>(cy)], key, lo, hi, value)) {
                cells[static_cast<size_t>(cx * size_y + cy)] = static_cast<int>(value);
            } else {
                ok = 0;
            }
        }
    }
    return ok;
}

// A pair or triple of numbers written as [a, b] or [a, b, c].
static int read_numbers(const source_file &src, const toml::node &node, const std::string &what,
                        size_t count, std::vector<const toml::node *> &items)
{
    const toml::array *list = node.as_array();
    if (list == nullptr || list->size() != count) {
        report(src, node.source(),
               what + " must be a list of " + std::to_string(count) + " numbers");
        return 0;
    }
    items.clear();
    for (const toml::node &item : *list) {
        items.push_back(&item);
    }
    return 1;
}

static int parse_levels(const toml::node &node, int &first, int &last)
{
    if (const toml::value<int64_t> *level = node.as_integer()) {
        first = last = static_cast<int>(std::clamp<int64_t>(level->get(), -1, ROOM_LEVELS));
        return 1;
    }
    const toml::value<std::string> *text = node.as_string();
    if (text == nullptr) {
        return 0;
    }
    int consumed = 0;
    const std::string &s = text->get();
    if (sscanf(s.c_str(), "%d-%d%n", &first, &last, &consumed) == 2 &&
        consumed == static_cast<int>(s.size())) {
        return 1;
    }
    if (sscanf(s.c_str(), "%d%n", &first, &consumed) == 1 &&
        consumed == static_cast<int>(s.size())) {
        last = first;
        return 1;
    }
    return 0;
}

static void read_faces(const source_file &src, const toml::table &room, pending_room &out)
{
    const toml::node *node = room.get("faces");
    if (node == nullptr) {
        return;
    }
    const toml::array *list = node->as_array();
    if (list == nullptr) {
        report(src, node->source(), "faces must be a list of { cell, side, levels, face }");
        return;
    }
    const int size_x = out.record.size_x, size_y = out.record.size_y;
    for (const toml::node &entry_node : *list) {
        const toml::table *entry = entry_node.as_table();
        const toml::source_region line = entry_node.source();
        if (entry == nullptr) {
            report(src, line, "each face must be a table { cell, side, levels, face }");
            continue;
        }
        check_keys(src, *entry, {"cell", "side", "levels", "face"}, "a face");
        const toml::node *cell = entry->get("cell");
        const toml::node *side = entry->get("side");
        const toml::node *levels = entry->get("levels");
        int64_t face = 0;
        if (cell == nullptr || side == nullptr || levels == nullptr ||
            entry->get("face") == nullptr) {
            report(src, line, "a face needs cell, side, levels and face");
            continue;
        }
        std::vector<const toml::node *> xy;
        int64_t cx = 0, cy = 0;
        int ok = table_int(src, *entry, line, "face", 0, MAX_FACE, 1, face);
        if (read_numbers(src, *cell, "cell", 2, xy)) {
            ok &= node_int(src, *xy[0], "cell x", 0, std::max(size_x - 1, 0), cx);
            ok &= node_int(src, *xy[1], "cell y", 0, std::max(size_y - 1, 0), cy);
        } else {
            ok = 0;
        }
        const toml::value<std::string> *side_name = side->as_string();
        int8_t(*walls)[ROOM_CELLS][ROOM_LEVELS] = nullptr;
        if (side_name != nullptr && side_name->get() == "left") {
            walls = out.record.wall_left;
        } else if (side_name != nullptr && side_name->get() == "right") {
            walls = out.record.wall_right;
        } else {
            report(src, side->source(), "side must be \"left\" or \"right\"");
            ok = 0;
        }
        int first = 0, last = 0;
        if (!parse_levels(*levels, first, last) || first < 0 || last >= ROOM_LEVELS ||
            first > last) {
            report(src, levels->source(),
                   "levels must be a level 0..11 or a range such as \"0-3\"");
            ok = 0;
        }
        if (!ok) {
            continue;
        }
        for (int level = first; level <= last; level++) {
            int8_t &slot = walls[cx][cy][level];
            if (slot != FACE_NONE) {
                report(src, line,
                       "the " + side_name->get() + " face of cell [" + std::to_string(cx) + ", " +
                           std::to_string(cy) + "] at level " + std::to_string(level) +
                           " is set twice");
                continue;
            }
            slot = static_cast<int8_t>(face);
        }
    }
}

static void read_polygons(const source_file &src, const toml::table &room, pending_room &out)
{
    const toml::node *node = room.get("polygons");
    if (node == nullptr) {
        return;
    }
    const toml::array *list = node->as_array();
    if (list == nullptr) {
        report(src, node->source(), "polygons must be a list of point lists");
        return;
    }
    for (const toml::node &poly_node : *list) {
        const toml::source_region line = poly_node.source();
        const toml::array *points = poly_node.as_array();
        if (points == nullptr || points->size() < MIN_POLYGON_POINTS ||
            points->size() > POLYGON_MAX_POINTS) {
            report(src, line,
                   "a polygon must be a list of " + std::to_string(MIN_POLYGON_POINTS) + " to " +
                       std::to_string(POLYGON_MAX_POINTS) + " points [x, y]");
            continue;
        }
        polygon_record poly;
        memset(&poly, 0, sizeof poly);
        poly.room = out.id;
        poly.point_count = static_cast<int32_t>(points->size());
        int ok = 1;
        for (size_t p = 0; p < points->size(); p++) {
            std::vector<const toml::node *> xy;
            int64_t x = 0, y = 0;
            if (!read_numbers(src, (*points)[p], "a polygon point", 2, xy) ||
                !node_int(src, *xy[0], "point x", INT32_LOW, INT32_HIGH, x) ||
                !node_int(src, *xy[1], "point y", INT32_LOW, INT32_HIGH, y)) {
                ok = 0;
                break;
            }
            poly.points[p * 2] = static_cast<int32_t>(x);
            poly.points[p * 2 + 1] = static_cast<int32_t>(y);
        }
        if (ok) {
            out.polygons.push_back(poly);
            out.polygon_places.push_back(line);
        }
    }
}

static void read_side_table(const source_file &src, const toml::table &room, const char *key,
                            int64_t hi, uint8_t values[SIDE_COUNT],
                            toml::source_region lines[SIDE_COUNT])
{
    const toml::node *node = room.get(key);
    if (node == nullptr) {
        return;
    }
    const toml::table *sides = node->as_table();
    if (sides == nullptr) {
        report(src, node->source(),
               std::string(key) + " must be a table { low_y, high_x, high_y, low_x }");
        return;
    }
    check_keys(src, *sides, {"low_y", "high_x", "high_y", "low_x"}, key);
    for (int side = 0; side < SIDE_COUNT; side++) {
        int64_t value = 0;
        const toml::node *item = sides->get(SIDE_KEYS[side]);
        if (item != nullptr &&
            node_int(src, *item, std::string(key) + " " + SIDE_KEYS[side], 0, hi, value)) {
            values[side] = static_cast<uint8_t>(value);
            if (lines != nullptr) {
                lines[side] = sides->get(SIDE_KEYS[side])->source();
            }
        }
    }
}

static void read_room(const source_file &src, const toml::table &root, compile_state &state)
{
    check_keys(src, root,
               {"id", "caption", "size_x", "size_y", "origin_x", "origin_y", "ceiling",
                "brightness", "backcol", "outside", "limits", "exits", "floor_height", "floor_tile",
                "faces", "polygons", "object"},
               "a room");
    pending_room room;
    room.path = src.path;
    room.id = -1;
    clear_room_record(room.record);
    memset(room.record.wall_left, FACE_NONE, sizeof room.record.wall_left);
    memset(room.record.wall_right, FACE_NONE, sizeof room.record.wall_right);
    int64_t value = 0;
    if (table_int(src, root, WHOLE_FILE, "id", FIRST_CONTENT_ROOM, ROOM_COUNT - 1, 1, value)) {
        room.id = static_cast<int>(value);
    }
    room.has_caption = table_text(src, root, "caption", room.caption);
    int64_t size_x = 0, size_y = 0;
    int sized = table_int(src, root, WHOLE_FILE, "size_x", 1, ROOM_CELLS, 1, size_x);
    sized &= table_int(src, root, WHOLE_FILE, "size_y", 1, ROOM_CELLS, 1, size_y);
    room_record &rec = room.record;
    if (table_int(src, root, WHOLE_FILE, "origin_x", INT32_LOW, INT32_HIGH, 1, value)) {
        rec.origin_x = static_cast<int32_t>(value);
    }
    if (table_int(src, root, WHOLE_FILE, "origin_y", INT32_LOW, INT32_HIGH, 1, value)) {
        rec.origin_y = static_cast<int32_t>(value);
    }
    if (table_int(src, root, WHOLE_FILE, "ceiling", 0, BYTE_MAX, 1, value)) {
        rec.ceiling = static_cast<uint8_t>(value);
    }
    if (table_int(src, root, WHOLE_FILE, "brightness", 0, MAX_BRIGHTNESS, 1, value)) {
        rec.brightness = static_cast<uint8_t>(value);
    }
    if (table_int(src, root, WHOLE_FILE, "backcol", 0, BYTE_MAX, 0, value)) {
        rec.backcol = static_cast<uint8_t>(value);
    }
    if (table_int(src, root, WHOLE_FILE, "outside", 0, BYTE_MAX, 0, value)) {
        rec.outside = static_cast<uint8_t>(value);
    }
    if (sized) {
        rec.size_x = static_cast<uint8_t>(size_x);
        rec.size_y = static_cast<uint8_t>(size_y);
        rec.limit[SIDE_LOW_Y] = 0;
        rec.limit[SIDE_LOW_X] = 0;
        rec.limit[SIDE_HIGH_X] = static_cast<uint8_t>(CELL_SIZE * size_x - 1);
        rec.limit[SIDE_HIGH_Y] = static_cast<uint8_t>(CELL_SIZE * size_y - 1);
        std::vector<int> cells;
        if (read_grid(src, root, WHOLE_FILE, "floor_height", rec.size_x, rec.size_y, 0, BYTE_MAX,
                      cells)) {
            for (int cx = 0; cx < rec.size_x; cx++) {
                for (int cy = 0; cy < rec.size_y; cy++) {
                    rec.floor_height[cx][cy] = static_cast<uint8_t>(cells[cx * rec.size_y + cy]);
                }
            }
        }
        if (read_grid(src, root, WHOLE_FILE, "floor_tile", rec.size_x, rec.size_y, SBYTE_MIN,
                      SBYTE_MAX, cells)) {
            for (int cx = 0; cx < rec.size_x; cx++) {
                for (int cy = 0; cy < rec.size_y; cy++) {
                    rec.floor_tile[cx][cy] = static_cast<int8_t>(cells[cx * rec.size_y + cy]);
                }
            }
        }
        read_faces(src, root, room);
    }
    read_side_table(src, root, "limits", BYTE_MAX, rec.limit, nullptr);
    read_side_table(src, root, "exits", LAST_EXIT_ROOM, rec.adjacent, room.exit_places);
    read_polygons(src, root, room);
    state.rooms.push_back(room);
}

static void read_door(const source_file &src, const toml::node &node, pending_object &object)
{
    const toml::table *door = node.as_table();
    const toml::source_region line = node.source();
    if (door == nullptr) {
        report(src, line, "door must be a table { room, at, key }");
        return;
    }
    check_keys(src, *door, {"room", "at", "key", "active"}, "a door");
    world_object &rec = object.record;
    rec.door = table_flag(src, *door, "active", 1);
    int64_t value = 0;
    if (table_int(src, *door, line, "room", FIRST_CONTENT_ROOM, ROOM_COUNT - 1, 1, value)) {
        rec.door_room = static_cast<int32_t>(value);
        object.door_room_line = door->get("room")->source();
    }
    const toml::node *at = door->get("at");
    std::vector<const toml::node *> xyz;
    if (at == nullptr) {
        report(src, line, "missing key \"at\" in a door");
    } else if (read_numbers(src, *at, "door at", 3, xyz)) {
        int32_t *targets[3] = {&rec.door_x, &rec.door_y, &rec.door_z};
        for (int i = 0; i < 3; i++) {
            if (node_int(src, *xyz[static_cast<size_t>(i)], "door at", INT32_LOW, INT32_HIGH,
                         value)) {
                *targets[i] = static_cast<int32_t>(value);
            }
        }
    }
    const toml::node *key = door->get("key");
    if (key != nullptr) {
        object.key_line = key->source();
        if (const toml::value<std::string> *label = key->as_string()) {
            object.has_key = 1;
            object.key_label = label->get();
        } else if (node_int(src, *key, "key", FIRST_OBJECT_ID, WORLD_OBJECT_COUNT - 1, value)) {
            object.has_key = 1;
            object.key_id = static_cast<int>(value);
        }
    }
}

static int read_position(const source_file &src, const toml::node &node, world_object &rec)
{
    std::vector<const toml::node *> xyz;
    if (!read_numbers(src, node, "at", 3, xyz)) {
        return 0;
    }
    float *targets[3] = {&rec.x, &rec.y, &rec.z};
    for (int i = 0; i < 3; i++) {
        const toml::node &item = *xyz[static_cast<size_t>(i)];
        double value;
        if (const toml::value<int64_t> *whole = item.as_integer()) {
            value = static_cast<double>(whole->get());
        } else if (const toml::value<double> *real = item.as_floating_point()) {
            value = real->get();
        } else {
            report(src, item.source(), "at must hold numbers");
            return 0;
        }
        if (!std::isfinite(value)) {
            report(src, item.source(), "position must be a finite number");
            return 0;
        }
        if (value > FLT_MAX || value < -FLT_MAX) {
            report(src, item.source(), "position is too large");
            return 0;
        }
        *targets[i] = static_cast<float>(value);
    }
    return 1;
}

static void read_object(const source_file &src, const toml::node &node, int room,
                        compile_state &state)
{
    const toml::table *table = node.as_table();
    const toml::source_region line = node.source();
    if (table == nullptr) {
        report(src, line, "objects must be written as [[object]] tables");
        return;
    }
    check_keys(src, *table,
               {"def", "id", "label", "at", "frame", "examine", "visible", "transparent",
                "room_part", "out_of_play", "door"},
               "an object");
    pending_object object;
    object.path = src.path;
    object.line = line;
    object.fixed_id = -1;
    object.id = -1;
    object.has_key = 0;
    object.key_id = -1;
    object.key_line = line;
    object.door_room_line = line;
    world_object &rec = object.record;
    memset(&rec, 0, sizeof rec);
    set_new_world_object(rec, room, 0, 0, 0, 0);
    const toml::node *def = table->get("def");
    int index = 0;
    if (def == nullptr) {
        report(src, line, "missing key \"def\" (a definition name or index)");
    } else if (read_definition(src, *def, index)) {
        rec.obj_def = index;
    }
    int64_t value = 0;
    if (table_int(src, *table, line, "id", FIRST_OBJECT_ID, WORLD_OBJECT_COUNT - 1, 0, value)) {
        object.fixed_id = static_cast<int>(value);
    }
    if (const toml::node *label = table->get("label")) {
        if (label->as_string() == nullptr || label->as_string()->get().empty()) {
            report(src, label->source(), "label must be a text in quotes");
        } else {
            object.label = label->as_string()->get();
        }
    }
    const toml::node *at = table->get("at");
    if (at == nullptr) {
        report(src, line, "missing key \"at\" (the position [x, y, z])");
    } else {
        read_position(src, *at, rec);
    }
    if (table_int(src, *table, line, "frame", 0, BYTE_MAX, 0, value)) {
        rec.frame = static_cast<uint8_t>(value);
    }
    object.has_examine = table_text(src, *table, "examine", object.examine);
    rec.visible = static_cast<uint8_t>(table_flag(src, *table, "visible", 1));
    if (table_int(src, *table, line, "transparent", 0, BYTE_MAX, 0, value)) {
        rec.transparent = static_cast<uint8_t>(value);
    }
    rec.room_part = static_cast<uint8_t>(table_flag(src, *table, "room_part", 0));
    int out_of_play = 0;
    if (const toml::node *flag = table->get("out_of_play")) {
        if (flag->as_boolean() == nullptr) {
            report(src, flag->source(), "out_of_play must be true or false");
        } else {
            out_of_play = flag->as_boolean()->get();
        }
    }
    if (out_of_play) {
        rec.room = ROOM_CARRIED;
    } else if (room == ROOM_CARRIED) {
        report(src, line, "an object in a file without a room id must say out_of_play = true");
    }
    if (const toml::node *door = table->get("door")) {
        read_door(src, *door, object);
    }
    state.objects.push_back(object);
}

// A room may name a template in templates/: the room is the template's keys
// with the room's own keys laid over them. A side table (limits, exits) is
// merged side by side; any other key the room gives replaces the template's;
// the template's objects come first, then the room's. Moving the nodes keeps
// their source places, so a problem in a template names the template.
static int apply_template(const source_file &src, const std::string &content_dir, toml::table &root)
{
    const toml::node &name_node = *root.get(TEMPLATE_KEY);
    const toml::value<std::string> *name = name_node.as_string();
    if (name == nullptr || name->get().empty() ||
        name->get().find_first_not_of(TEMPLATE_NAME_CHARS) != std::string::npos) {
        report(src, name_node.source(),
               "template must be a name in quotes of letters, digits and _");
        return 0;
    }
    const std::string path = content_dir + "/" + TEMPLATE_DIR + "/" + name->get() + ".toml";
    if (const char *problem = data_file_problem(path.c_str(), CONTENT_FILE_MAX_BYTES)) {
        report(src, name_node.source(), "no template file " + path + ": " + problem);
        return 0;
    }
    toml::table merged;
    try {
        merged = toml::parse_file(path);
    } catch (const toml::parse_error &e) {
        report(src, e.source(), std::string(e.description()));
        return 0;
    }
    int ok = 1;
    for (const char *key : {"id", TEMPLATE_KEY}) {
        if (const toml::node *node = merged.get(key)) {
            report(src, node->source(), std::string("a template may not give \"") + key + "\"");
            ok = 0;
        }
    }
    toml::array *template_objects = merged["object"].as_array();
    for (auto &&[key, node] : root) {
        toml::table *mine = node.as_table();
        toml::table *theirs = merged[key].as_table();
        if (key.str() == "object" && template_objects != nullptr && node.as_array() != nullptr) {
            for (toml::node &object : *node.as_array()) {
                template_objects->push_back(std::move(object));
            }
        } else if (mine != nullptr && theirs != nullptr) {
            for (auto &&[side, value] : *mine) {
                theirs->insert_or_assign(side, std::move(value));
            }
        } else if (key.str() != TEMPLATE_KEY) {
            merged.insert_or_assign(key, std::move(node));
        }
    }
    root = std::move(merged);
    return ok;
}

static void read_file(const std::string &path, compile_state &state)
{
    source_file src{path, state.errors};
    toml::table root;
    try {
        root = toml::parse_file(path);
    } catch (const toml::parse_error &e) {
        report(src, e.source(), std::string(e.description()));
        return;
    }
    if (root.get(TEMPLATE_KEY) != nullptr && !apply_template(src, state.content_dir, root)) {
        return;
    }
    int room = ROOM_CARRIED;
    int is_room = 0;
    for (auto &&[key, node] : root) {
        (void)node;
        is_room |= key.str() != "object";
    }
    if (is_room) {
        const size_t before = state.rooms.size();
        read_room(src, root, state);
        // A room whose id was rejected still owns its objects (for checking).
        room =
            state.rooms.size() > before && state.rooms.back().id >= 0 ? state.rooms.back().id : 0;
    }
    const toml::node *objects = root.get("object");
    if (objects == nullptr) {
        return;
    }
    const toml::array *list = objects->as_array();
    if (list == nullptr) {
        report(src, objects->source(), "objects must be written as [[object]] tables");
        return;
    }
    for (const toml::node &node : *list) {
        read_object(src, node, room, state);
    }
}

// Rooms must be unique; exits and doors must lead to rooms of the content.
// An object must lie in its room: over the room's cells or the one cell
// around them (where walls and their doors stand), between the ground and
// twice the highest floor.
static void check_inside_room(const pending_object &object,
                              const std::map<int, const pending_room *> &rooms,
                              compile_state &state)
{
    auto room = rooms.find(object.record.room);
    if (room == rooms.end()) {
        return;
    }
    const room_record &r = room->second->record;
    const world_object &w = object.record;
    const float margin = CELL_SIZE;
    if (w.x < -margin || w.x > r.size_x * CELL_SIZE + margin || w.y < -margin ||
        w.y > r.size_y * CELL_SIZE + margin || w.z < 0 || w.z > OBJECT_HEIGHT_LIMIT) {
        report({object.path, state.errors}, object.line,
               "the object lies outside room " + std::to_string(object.record.room));
    }
}

static void check_rooms(compile_state &state, int defined[ROOM_COUNT])
{
    std::map<int, const pending_room *> seen;
    for (const pending_room &room : state.rooms) {
        if (room.id < 0) {
            continue;
        }
        auto earlier = seen.find(room.id);
        if (earlier != seen.end()) {
            report({room.path, state.errors}, WHOLE_FILE,
                   "room " + std::to_string(room.id) + " is also defined in " +
                       earlier->second->path);
            continue;
        }
        seen[room.id] = &room;
        defined[room.id] = 1;
    }
    for (const pending_room &room : state.rooms) {
        for (int side = 0; side < SIDE_COUNT; side++) {
            const int exit = room.record.adjacent[side];
            if (exit != 0 && !defined[exit]) {
                report({room.path, state.errors}, room.exit_places[side],
                       std::string("exit ") + SIDE_KEYS[side] + " leads to room " +
                           std::to_string(exit) + ", which no content file defines");
            }
        }
    }
    for (const pending_object &object : state.objects) {
        check_inside_room(object, seen, state);
        const int target = object.record.door_room;
        if (target != NO_ROOM && !defined[target]) {
            report({object.path, state.errors}, object.door_room_line,
                   "the door leads to room " + std::to_string(target) +
                       ", which no content file defines");
        }
    }
}

// Fixed ids are reserved first; the others take the first free id from 1
// in file order, then object order within the file.
static void assign_object_ids(compile_state &state)
{
    std::vector<const pending_object *> owner(WORLD_OBJECT_COUNT, nullptr);
    for (pending_object &object : state.objects) {
        if (object.fixed_id < 0) {
            continue;
        }
        if (owner[object.fixed_id] != nullptr) {
            report({object.path, state.errors}, object.line,
                   "object id " + std::to_string(object.fixed_id) + " is already used at " +
                       place_of(owner[object.fixed_id]->path, owner[object.fixed_id]->line));
            continue;
        }
        owner[object.fixed_id] = &object;
        object.id = object.fixed_id;
    }
    int next = FIRST_OBJECT_ID;
    for (pending_object &object : state.objects) {
        if (object.fixed_id >= 0) {
            continue;
        }
        while (next < WORLD_OBJECT_COUNT && owner[next] != nullptr) {
            next++;
        }
        if (next >= WORLD_OBJECT_COUNT) {
            report({object.path, state.errors}, object.line, "no free world object id is left");
            return;
        }
        owner[next] = &object;
        object.id = next;
    }
}

static void resolve_keys(compile_state &state)
{
    std::map<std::string, const pending_object *> labels;
    std::vector<int> used(WORLD_OBJECT_COUNT, 0);
    for (const pending_object &object : state.objects) {
        if (object.id >= 0) {
            used[object.id] = 1;
        }
        if (object.label.empty()) {
            continue;
        }
        auto earlier = labels.find(object.label);
        if (earlier != labels.end()) {
            report({object.path, state.errors}, object.line,
                   "label \"" + object.label + "\" is already used at " +
                       place_of(earlier->second->path, earlier->second->line));
            continue;
        }
        labels[object.label] = &object;
    }
    for (pending_object &object : state.objects) {
        if (!object.has_key) {
            continue;
        }
        if (!object.key_label.empty()) {
            auto found = labels.find(object.key_label);
            if (found == labels.end()) {
                report({object.path, state.errors}, object.key_line,
                       "no object has the label \"" + object.key_label + "\"");
                continue;
            }
            object.record.door_key = found->second->id;
        } else if (!used[object.key_id]) {
            report({object.path, state.errors}, object.key_line,
                   "the key " + std::to_string(object.key_id) + " is not an object of the content");
        } else {
            object.record.door_key = object.key_id;
        }
    }
}

static int message_number(std::vector<std::string> &messages, std::map<std::string, int> &numbers,
                          const std::string &text)
{
    auto found = numbers.find(text);
    if (found != numbers.end()) {
        return found->second;
    }
    const int number = static_cast<int>(messages.size());
    messages.push_back(text);
    numbers[text] = number;
    return number;
}

// Messages are numbered in a fixed order that depends only on the compiled
// world, not on file names: room captions by room id, then examine texts by
// object id; identical texts share one number.
static void build_world(compile_state &state, world_image &world)
{
    clear_world_image(world);
    std::vector<pending_room *> rooms;
    for (pending_room &room : state.rooms) {
        rooms.push_back(&room);
    }
    std::stable_sort(rooms.begin(), rooms.end(),
                     [](const pending_room *a, const pending_room *b) { return a->id < b->id; });
    std::vector<pending_object *> objects;
    for (pending_object &object : state.objects) {
        objects.push_back(&object);
    }
    std::sort(objects.begin(), objects.end(),
              [](const pending_object *a, const pending_object *b) { return a->id < b->id; });
    std::map<std::string, int> numbers;
    for (pending_room *room : rooms) {
        room->record.description =
            room->has_caption
                ? static_cast<int16_t>(message_number(world.messages, numbers, room->caption))
                : NO_DESCRIPTION;
    }
    for (pending_object *object : objects) {
        if (object->has_examine) {
            object->record.examine_text =
                static_cast<int16_t>(message_number(world.messages, numbers, object->examine));
        }
    }
    if (static_cast<int>(world.messages.size()) > MAX_MESSAGES) {
        state.errors->push_back("content holds " + std::to_string(world.messages.size()) +
                                " different texts; message numbers stop at " +
                                std::to_string(MAX_MESSAGES - 1));
    }
    int slot = 0;
    for (pending_room *room : rooms) {
        for (size_t p = 0; p < room->polygons.size(); p++) {
            if (slot >= POLYGON_COUNT) {
                report({room->path, state.errors}, room->polygon_places[p],
                       "more than " + std::to_string(POLYGON_COUNT) +
                           " polygons in the whole content");
                break;
            }
            world.polygons[static_cast<size_t>(slot++)] = room->polygons[p];
        }
        world.rooms[static_cast<size_t>(room->id)] = room->record;
    }
    for (pending_object *object : objects) {
        world.objects[static_cast<size_t>(object->id)] = object->record;
    }
}

static void note_sources(const compile_state &state, world_sources &sources)
{
    sources.room_file.assign(ROOM_COUNT, "");
    sources.object_file.assign(WORLD_OBJECT_COUNT, "");
    sources.object_line.assign(WORLD_OBJECT_COUNT, 0);
    for (const pending_room &room : state.rooms) {
        if (room.id >= 0 && room.id < ROOM_COUNT) {
            sources.room_file[static_cast<size_t>(room.id)] = room.path;
        }
    }
    for (const pending_object &object : state.objects) {
        if (object.id >= 0 && object.id < WORLD_OBJECT_COUNT) {
            // An object a template gives is written in the template's file.
            const std::string *file = object.line.path.get();
            sources.object_file[static_cast<size_t>(object.id)] =
                file != nullptr ? *file : object.path;
            sources.object_line[static_cast<size_t>(object.id)] = line_of(object.line);
        }
    }
}

// The *.toml paths of the folder. One that is no readable file (a folder, a
// loop of links) is reported as "path: reason"; 0 when the folder itself
// cannot be read.
static int content_files(const std::string &content_dir, std::vector<std::string> &paths,
                         std::vector<std::string> &errors)
{
    std::error_code failure;
    for (fs::directory_iterator it(content_dir, failure), end; !failure && it != end;
         it.increment(failure)) {
        const std::string path = it->path().string();
        if (it->path().extension() != ".toml") {
            continue;
        }
        if (const char *problem = data_file_problem(path.c_str(), CONTENT_FILE_MAX_BYTES)) {
            errors.push_back(path + ": " + problem);
        } else {
            paths.push_back(path);
        }
    }
    if (failure) {
        errors.push_back(content_dir + ": cannot read the folder (" + failure.message() + ")");
        return 0;
    }
    return 1;
}

int compile_world(const std::string &content_dir, world_image &world,
                  std::vector<std::string> &errors, world_sources *sources)
{
    load_object_defs();
    errors.clear();
    std::vector<std::string> paths;
    if (!content_files(content_dir, paths, errors)) {
        return 0;
    }
    std::sort(paths.begin(), paths.end());
    compile_state state{content_dir, {}, {}, &errors};
    for (const std::string &path : paths) {
        read_file(path, state);
    }
    int defined[ROOM_COUNT] = {};
    check_rooms(state, defined);
    assign_object_ids(state);
    if (errors.empty()) {
        resolve_keys(state);
    }
    if (errors.empty()) {
        build_world(state, world);
    }
    if (errors.empty() && sources != nullptr) {
        note_sources(state, *sources);
    }
    return errors.empty() ? 1 : 0;
}
