// The world dumper. Writes each room in the order an author reads it: the
// room's settings, its grids as rows, its side faces and polygons, then its
// objects by id, each with its id so that recompiling keeps it.
#include "world_dump.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "world/object_defs.h"
#include "world_compile.h"

constexpr int MAX_WHOLE_FLOAT = 1 << 24; // larger floats are written with an exponent
constexpr unsigned char FIRST_PRINTABLE = 0x20;
constexpr unsigned char DELETE_CHAR = 0x7F;
constexpr unsigned char FIRST_HIGH = 0x80;

static const char *const SIDE_KEYS[SIDE_COUNT] = {"low_y", "high_x", "high_y", "low_x"};

std::string room_file_name(int room)
{
    char name[32];
    snprintf(name, sizeof name, "room_%03d.toml", room);
    return name;
}

// A TOML basic string; the game's 8-bit characters above 127 become UTF-8.
static std::string quote(const std::string &text)
{
    std::string out = "\"";
    for (char ch : text) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += ch;
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c < FIRST_PRINTABLE || c == DELETE_CHAR) {
            char escape[8];
            snprintf(escape, sizeof escape, "\\u%04X", c);
            out += escape;
        } else if (c >= FIRST_HIGH) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += ch;
        }
    }
    return out + "\"";
}

// Whole values as integers; others with enough digits to come back exact.
static std::string format_float(float value)
{
    if (std::isnan(value)) {
        return "nan";
    }
    if (std::isinf(value)) {
        return value > 0 ? "inf" : "-inf";
    }
    if (value == 0.0f && std::signbit(value)) {
        return "-0.0";
    }
    if (value == std::trunc(value) && std::fabs(value) <= MAX_WHOLE_FLOAT) {
        return std::to_string(static_cast<long>(value));
    }
    char text[32];
    snprintf(text, sizeof text, "%.9g", static_cast<double>(value));
    std::string out = text;
    if (out.find_first_of(".e") == std::string::npos) {
        out += ".0";
    }
    return out;
}

static std::string definition_text(int def)
{
    if (def < 0 || def >= OBJECT_DEF_COUNT) {
        return std::to_string(def);
    }
    const std::string name = object_defs[def].name;
    if (!name.empty() && definitions_named(name).size() == 1) {
        return quote(name);
    }
    return std::to_string(def) + (name.empty() ? "" : "  # " + name);
}

static int room_is_cleared(const room_record &room)
{
    room_record cleared;
    clear_room_record(cleared);
    unsigned char a[ROOM_RECORD_SIZE], b[ROOM_RECORD_SIZE];
    encode_room(room, a);
    encode_room(cleared, b);
    return memcmp(a, b, sizeof a) == 0;
}

static void write_grid(std::string &out, const char *key, int size_x, int size_y,
                       const std::vector<int> &cells)
{
    size_t width = 1;
    for (int value : cells) {
        width = std::max(width, std::to_string(value).size());
    }
    out += std::string(key) + " = [\n";
    for (int cx = size_x - 1; cx >= 0; cx--) {
        out += "    [";
        for (int cy = 0; cy < size_y; cy++) {
            const std::string number = std::to_string(cells[static_cast<size_t>(cx * size_y + cy)]);
            out += std::string(width - number.size(), ' ') + number;
            out += cy + 1 < size_y ? ", " : "";
        }
        out += "],\n";
    }
    out += "]\n";
}

static std::string levels_text(int first, int last)
{
    if (first == last) {
        return std::to_string(first);
    }
    return "\"" + std::to_string(first) + "-" + std::to_string(last) + "\"";
}

static void write_faces(std::string &out, const room_record &rec, int size_x, int size_y,
                        const std::string &where, std::vector<std::string> &warnings)
{
    std::string lines;
    int odd_values = 0;
    for (int cx = 0; cx < size_x; cx++) {
        for (int cy = 0; cy < size_y; cy++) {
            for (int side = 0; side < 2; side++) {
                const int8_t *levels = side == 0 ? rec.wall_left[cx][cy] : rec.wall_right[cx][cy];
                int level = 0;
                while (level < ROOM_LEVELS) {
                    if (levels[level] < 0) {
                        odd_values |= levels[level] != FACE_NONE;
                        level++;
                        continue;
                    }
                    int last = level;
                    while (last + 1 < ROOM_LEVELS && levels[last + 1] == levels[level]) {
                        last++;
                    }
                    lines += "    { cell = [" + std::to_string(cx) + ", " + std::to_string(cy) +
                             "], side = \"" + (side == 0 ? "left" : "right") +
                             "\", levels = " + levels_text(level, last) +
                             ", face = " + std::to_string(levels[level]) + " },\n";
                    level = last + 1;
                }
            }
        }
    }
    if (odd_values) {
        warnings.push_back(where + ": side faces below -1 are written as no face");
    }
    if (!lines.empty()) {
        out += "\nfaces = [\n" + lines + "]\n";
    }
}

static void check_unused_cells(const room_record &rec, int size_x, int size_y,
                               const std::string &where, std::vector<std::string> &warnings)
{
    for (int cx = 0; cx < ROOM_CELLS; cx++) {
        for (int cy = 0; cy < ROOM_CELLS; cy++) {
            if (cx < size_x && cy < size_y) {
                continue;
            }
            int cleared =
                rec.floor_height[cx][cy] == CLEARED_HEIGHT && rec.floor_tile[cx][cy] == TILE_NONE;
            for (int level = 0; level < ROOM_LEVELS; level++) {
                cleared &= rec.wall_left[cx][cy][level] == FACE_NONE &&
                           rec.wall_right[cx][cy][level] == FACE_NONE;
            }
            if (!cleared) {
                warnings.push_back(where + ": cells outside the room's size hold data; not kept");
                return;
            }
        }
    }
}

static void write_room_settings(std::string &out, const world_image &world, int id,
                                std::vector<std::string> &warnings)
{
    const room_record &rec = world.rooms[static_cast<size_t>(id)];
    const std::string where = "room " + std::to_string(id);
    out += "id = " + std::to_string(id) + "\n";
    if (rec.description >= 0 && rec.description < static_cast<int>(world.messages.size())) {
        out += "caption = " + quote(world.messages[static_cast<size_t>(rec.description)]) + "\n";
    } else if (rec.description != NO_DESCRIPTION) {
        warnings.push_back(where + ": caption message " + std::to_string(rec.description) +
                           " does not exist; left out");
    }
    out += "size_x = " + std::to_string(rec.size_x) + "\n";
    out += "size_y = " + std::to_string(rec.size_y) + "\n";
    out += "origin_x = " + std::to_string(rec.origin_x) + "\n";
    out += "origin_y = " + std::to_string(rec.origin_y) + "\n";
    out += "ceiling = " + std::to_string(rec.ceiling) + "\n";
    out += "brightness = " + std::to_string(rec.brightness) + "\n";
    if (rec.backcol != 0) {
        out += "backcol = " + std::to_string(rec.backcol) + "\n";
    }
    if (rec.outside != 0) {
        out += "outside = " + std::to_string(rec.outside) + "\n";
    }
    out += "limits = { ";
    for (int side = 0; side < SIDE_COUNT; side++) {
        out += std::string(SIDE_KEYS[side]) + " = " + std::to_string(rec.limit[side]) +
               (side + 1 < SIDE_COUNT ? ", " : " }\n");
    }
    std::string exits;
    for (int side = 0; side < SIDE_COUNT; side++) {
        if (rec.adjacent[side] != 0) {
            exits += (exits.empty() ? "" : ", ") + std::string(SIDE_KEYS[side]) + " = " +
                     std::to_string(rec.adjacent[side]);
        }
    }
    if (!exits.empty()) {
        out += "exits = { " + exits + " }\n";
    }
    for (uint8_t byte : rec.reserved) {
        if (byte != 0) {
            warnings.push_back(where + ": reserved bytes are not zero; not kept");
            break;
        }
    }
}

static void write_room_cells(std::string &out, const room_record &rec, const std::string &where,
                             std::vector<std::string> &warnings)
{
    int size_x = rec.size_x, size_y = rec.size_y;
    if (size_x > ROOM_CELLS || size_y > ROOM_CELLS) {
        warnings.push_back(where + ": size is larger than 12 cells; grids cut to 12");
        size_x = std::min(size_x, ROOM_CELLS);
        size_y = std::min(size_y, ROOM_CELLS);
    }
    std::vector<int> heights, tiles;
    for (int cx = 0; cx < size_x; cx++) {
        for (int cy = 0; cy < size_y; cy++) {
            heights.push_back(rec.floor_height[cx][cy]);
            tiles.push_back(rec.floor_tile[cx][cy]);
        }
    }
    out += "\n# Rows run from the largest x (top) down to x 0; y runs from 0 along a row.\n";
    write_grid(out, "floor_height", size_x, size_y, heights);
    write_grid(out, "floor_tile", size_x, size_y, tiles);
    write_faces(out, rec, size_x, size_y, where, warnings);
    check_unused_cells(rec, size_x, size_y, where, warnings);
}

static void write_polygons(std::string &out, const world_image &world, int id)
{
    std::string lines;
    for (const polygon_record &poly : world.polygons) {
        if (poly.room != id) {
            continue;
        }
        const int count = std::clamp(static_cast<int>(poly.point_count), 0, POLYGON_MAX_POINTS);
        lines += "    [";
        for (int p = 0; p < count; p++) {
            lines += "[" + std::to_string(poly.points[p * 2]) + ", " +
                     std::to_string(poly.points[p * 2 + 1]) + "]" + (p + 1 < count ? ", " : "");
        }
        lines += "],\n";
    }
    if (!lines.empty()) {
        out += "\npolygons = [\n" + lines + "]\n";
    }
}

static std::string flag_text(int value)
{
    if (value == 0 || value == 1) {
        return value ? "true" : "false";
    }
    return std::to_string(value);
}

static void write_object(std::string &out, const world_image &world, int id,
                         std::vector<std::string> &warnings)
{
    const world_object &w = world.objects[static_cast<size_t>(id)];
    const std::string where = "object " + std::to_string(id);
    out += "\n[[object]]\n";
    out += "id = " + std::to_string(id) + "\n";
    out += "def = " + definition_text(w.obj_def) + "\n";
    out +=
        "at = [" + format_float(w.x) + ", " + format_float(w.y) + ", " + format_float(w.z) + "]\n";
    if (w.frame != 0) {
        out += "frame = " + std::to_string(w.frame) + "\n";
    }
    if (w.examine_text >= 0 && w.examine_text < static_cast<int>(world.messages.size())) {
        out += "examine = " + quote(world.messages[static_cast<size_t>(w.examine_text)]) + "\n";
    } else if (w.examine_text != NO_MESSAGE) {
        warnings.push_back(where + ": examine message " + std::to_string(w.examine_text) +
                           " does not exist; left out");
    }
    if (w.visible != 1) {
        out += "visible = " + flag_text(w.visible) + "\n";
    }
    if (w.transparent != 0) {
        out += "transparent = " + std::to_string(w.transparent) + "\n";
    }
    if (w.room_part != 0) {
        out += "room_part = " + flag_text(w.room_part) + "\n";
    }
    if (w.room == ROOM_CARRIED) {
        out += "out_of_play = true\n";
    }
    const int has_door = w.door != 0 || w.door_room != NO_ROOM || w.door_x != 0 || w.door_y != 0 ||
                         w.door_z != 0 || w.door_key != NO_KEY;
    if (has_door) {
        out += "door = { room = " + std::to_string(w.door_room) + ", at = [" +
               std::to_string(w.door_x) + ", " + std::to_string(w.door_y) + ", " +
               std::to_string(w.door_z) + "]";
        if (w.door_key != NO_KEY) {
            out += ", key = " + std::to_string(w.door_key);
        }
        if (w.door != 1) {
            out += ", active = " + flag_text(w.door);
        }
        out += " }\n";
    }
    int reserved = 0;
    for (uint8_t byte : w.reserved0) {
        reserved |= byte;
    }
    for (uint8_t byte : w.reserved1) {
        reserved |= byte;
    }
    if (reserved) {
        warnings.push_back(where + ": reserved bytes are not zero; not kept");
    }
    if (w.used != WOBJ_IN_USE) {
        warnings.push_back(where + ": in-use value " + std::to_string(w.used) +
                           " is written as in use");
    }
}

std::string dump_object(const world_image &world, int id, std::vector<std::string> &warnings)
{
    load_object_defs();
    std::string out;
    write_object(out, world, id, warnings);
    return out;
}

static int room_has_polygons(const world_image &world, int id)
{
    for (const polygon_record &poly : world.polygons) {
        if (poly.room == id) {
            return 1;
        }
    }
    return 0;
}

std::string dump_room(const world_image &world, int room, std::vector<std::string> &warnings)
{
    load_object_defs();
    const room_record &rec = world.rooms[static_cast<size_t>(room)];
    const std::string where = "room " + std::to_string(room);
    std::string out;
    write_room_settings(out, world, room, warnings);
    if (room_is_cleared(rec)) {
        warnings.push_back(where + ": holds objects or polygons but has no room record");
    }
    write_room_cells(out, rec, where, warnings);
    write_polygons(out, world, room);
    for (int id = FIRST_OBJECT_ID; id < WORLD_OBJECT_COUNT; id++) {
        const world_object &w = world.objects[static_cast<size_t>(id)];
        if (w.used != WOBJ_FREE && w.room == room) {
            write_object(out, world, id, warnings);
        }
    }
    return out;
}

void dump_world(const world_image &world, std::vector<dump_file> &files,
                std::vector<std::string> &warnings)
{
    load_object_defs();
    files.clear();
    std::vector<int> has_objects(ROOM_COUNT, 0);
    std::string out_of_play;
    for (int id = 0; id < WORLD_OBJECT_COUNT; id++) {
        const world_object &w = world.objects[static_cast<size_t>(id)];
        if (w.used == WOBJ_FREE) {
            continue;
        }
        if (id == PLAYER_WORLD_OBJECT) {
            warnings.push_back("object 0 belongs to the player; not kept");
        } else if (w.room == ROOM_CARRIED) {
            write_object(out_of_play, world, id, warnings);
        } else if (w.room < 0 || w.room >= ROOM_COUNT) {
            warnings.push_back("object " + std::to_string(id) + " lies in room " +
                               std::to_string(w.room) + ", which does not exist; not kept");
        } else {
            has_objects[static_cast<size_t>(w.room)] = 1;
        }
    }
    for (int room = 0; room < ROOM_COUNT; room++) {
        if (has_objects[static_cast<size_t>(room)] || room_has_polygons(world, room) ||
            !room_is_cleared(world.rooms[static_cast<size_t>(room)])) {
            files.push_back({room_file_name(room), dump_room(world, room, warnings)});
        }
    }
    for (const polygon_record &poly : world.polygons) {
        if (poly.room != POLYGON_FREE && (poly.room < 0 || poly.room >= ROOM_COUNT)) {
            warnings.push_back("a polygon belongs to room " + std::to_string(poly.room) +
                               ", which does not exist; not kept");
        }
    }
    // Messages only survive through the rooms and objects that were written.
    std::vector<int> referenced(world.messages.size(), 0);
    auto refer = [&referenced](int message) {
        if (message >= 0 && message < static_cast<int>(referenced.size())) {
            referenced[static_cast<size_t>(message)] = 1;
        }
    };
    for (const dump_file &file : files) {
        int room = 0;
        if (sscanf(file.name.c_str(), "room_%d.toml", &room) == 1) {
            refer(world.rooms[static_cast<size_t>(room)].description);
        }
    }
    for (int id = FIRST_OBJECT_ID; id < WORLD_OBJECT_COUNT; id++) {
        const world_object &w = world.objects[static_cast<size_t>(id)];
        if (w.used != WOBJ_FREE && w.room >= ROOM_CARRIED && w.room < ROOM_COUNT) {
            refer(w.examine_text);
        }
    }
    const long unused = std::count(referenced.begin(), referenced.end(), 0);
    if (unused > 0) {
        warnings.push_back(std::to_string(unused) +
                           " messages that no room or object uses are not kept");
    }
    if (!out_of_play.empty()) {
        files.push_back({OUT_OF_PLAY_FILE, "# Objects kept out of play until the game places "
                                           "them.\n" +
                                               out_of_play});
    }
}
