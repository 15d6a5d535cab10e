// Patching content text: the dumper's form of the world before and after an
// edit is compared key by key and object by object, and only the source
// lines of what differs are replaced, removed or added.
#include "world_patch.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <sstream>
#include <toml++/toml.h>

#include "world_dump.h"

constexpr const char *OBJECT_KEY = "object";
constexpr const char *ID_KEY = "id";
constexpr const char *TEMPLATE_KEY = "template";
constexpr const char *TEMPLATE_DIR = "templates";
constexpr const char *GRID_KEYS[] = {"floor_height", "floor_tile"};

// What a key written in a room file must say when the template gives the key
// but the room has no such thing.
struct neutral_value {
    const char *key;
    const char *text;
};
static const neutral_value NEUTRAL_VALUES[] = {
    {"backcol", "backcol = 0"},
    {"outside", "outside = 0"},
    {"exits", "exits = { low_y = 0, high_x = 0, high_y = 0, low_x = 0 }"},
    {"faces", "faces = []"},
    {"polygons", "polygons = []"},
};

// A change to the source lines: lines first..last (1-based) become lines;
// first = last + 1 inserts before first.
struct line_edit {
    int first, last;
    std::vector<std::string> lines;
};

struct parsed_text {
    std::vector<std::string> lines;
    toml::table root;
};

static std::vector<std::string> split_lines(const std::string &text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        lines.push_back(line);
    }
    return lines;
}

static int parse_text(const std::string &text, const std::string &path, parsed_text &out)
{
    out.lines = split_lines(text);
    try {
        out.root = toml::parse(text, path);
    } catch (const toml::parse_error &) {
        return 0;
    }
    return 1;
}

// The lines a key and its value take.
struct key_span {
    int first, last;
    int key_column, end_column; // 1-based; end is one past the value
};

static key_span span_of(const toml::key &key, const toml::node &value)
{
    return {static_cast<int>(key.source().begin.line), static_cast<int>(value.source().end.line),
            static_cast<int>(key.source().begin.column),
            static_cast<int>(value.source().end.column)};
}

// The text of a key's lines in a parsed text.
static std::vector<std::string> lines_of(const parsed_text &text, const key_span &span)
{
    return std::vector<std::string>(text.lines.begin() + span.first - 1,
                                    text.lines.begin() + span.last);
}

static const toml::key *find_key(const toml::table &table, const std::string &name)
{
    for (auto &&[key, node] : table) {
        (void)node;
        if (key.str() == name) {
            return &key;
        }
    }
    return nullptr;
}

// Each key of a table with its text, the way the dumper wrote it.
static std::map<std::string, std::vector<std::string>> key_texts(const parsed_text &text,
                                                                 const toml::table &table)
{
    std::map<std::string, std::vector<std::string>> out;
    for (auto &&[key, node] : table) {
        if (key.str() != OBJECT_KEY && key.str() != ID_KEY) {
            out[std::string(key.str())] = lines_of(text, span_of(key, node));
        }
    }
    return out;
}

// One line rewritten in place: the text before the key and after the value
// (a comment, a comma) stays.
static std::string splice(const std::string &line, const key_span &span,
                          const std::string &replacement)
{
    const size_t from = static_cast<size_t>(span.key_column - 1);
    const size_t to = std::min(line.size(), static_cast<size_t>(span.end_column - 1));
    return line.substr(0, from) + replacement + line.substr(to);
}

// A grid whose rows keep their count, each on a line of its own, is
// rewritten row by row, so the rows that did not change keep their comments.
static int rows_line_by_line(const toml::node &src_grid, const toml::node &old_grid,
                             const toml::node &new_grid)
{
    const toml::array *rows = src_grid.as_array();
    const toml::array *old_rows = old_grid.as_array();
    const toml::array *new_rows = new_grid.as_array();
    if (rows == nullptr || old_rows == nullptr || new_rows == nullptr ||
        rows->size() != new_rows->size() || old_rows->size() != new_rows->size()) {
        return 0;
    }
    int last_line = 0;
    for (const toml::node &row : *rows) {
        const toml::source_region &place = row.source();
        if (place.begin.line != place.end.line || static_cast<int>(place.begin.line) == last_line) {
            return 0;
        }
        last_line = static_cast<int>(place.begin.line);
    }
    return 1;
}

// The text of one row of a dumped grid.
static std::string row_text(const parsed_text &text, const toml::node &row)
{
    const toml::source_region &place = row.source();
    const std::string &line = text.lines[place.begin.line - 1];
    return line.substr(place.begin.column - 1, place.end.column - place.begin.column);
}

static void patch_grid(const parsed_text &src, const toml::node &src_grid,
                       const parsed_text &old_dump, const toml::node &old_grid,
                       const parsed_text &new_dump, const toml::node &new_grid,
                       std::vector<line_edit> &edits)
{
    const toml::array &rows = *src_grid.as_array();
    for (size_t r = 0; r < rows.size(); r++) {
        const std::string before = row_text(old_dump, (*old_grid.as_array())[r]);
        const std::string after = row_text(new_dump, (*new_grid.as_array())[r]);
        if (before == after) {
            continue;
        }
        const toml::source_region &place = rows[r].source();
        const int line = static_cast<int>(place.begin.line);
        const key_span span{line, line, static_cast<int>(place.begin.column),
                            static_cast<int>(place.end.column)};
        edits.push_back({line, line, {splice(src.lines[line - 1], span, after)}});
    }
}

static const char *neutral_text(const std::string &key)
{
    for (const neutral_value &n : NEUTRAL_VALUES) {
        if (key == n.key) {
            return n.text;
        }
    }
    return nullptr;
}

// Writes the change of one key into the source table: replaced where the
// source gives it, added after insert_after where it does not, removed (or
// given its neutral value over the template's) where the world no longer
// has it. Returns 0 when the source cannot say it.
static int patch_key(const parsed_text &src, const toml::table &table, const std::string &key,
                     const std::vector<std::string> *after, int template_gives, int insert_after,
                     std::vector<line_edit> &edits)
{
    const toml::key *src_key = find_key(table, key);
    std::vector<std::string> lines;
    if (after != nullptr) {
        lines = *after;
    } else if (template_gives) {
        if (neutral_text(key) == nullptr) {
            return 0;
        }
        lines = {neutral_text(key)};
    }
    if (src_key == nullptr) {
        if (!lines.empty()) {
            edits.push_back({insert_after + 1, insert_after, lines});
        }
        return 1;
    }
    const key_span span = span_of(*src_key, *table.get(key));
    if (lines.size() == 1 && span.first == span.last) {
        lines[0] = splice(src.lines[span.first - 1], span, lines[0]);
    }
    edits.push_back({span.first, span.last, lines});
    return 1;
}

// The last line a table's keys take (objects aside).
static int last_key_line(const toml::table &table, int floor)
{
    int last = floor;
    for (auto &&[key, node] : table) {
        if (key.str() != OBJECT_KEY) {
            last = std::max(last, static_cast<int>(node.source().end.line));
        }
    }
    return last;
}

static std::vector<std::string> template_keys(const std::string &content_dir,
                                              const toml::table &root)
{
    std::vector<std::string> keys;
    const toml::value<std::string> *name = root[TEMPLATE_KEY].as_string();
    if (name == nullptr) {
        return keys;
    }
    try {
        const toml::table t =
            toml::parse_file(content_dir + "/" + TEMPLATE_DIR + "/" + name->get() + ".toml");
        for (auto &&[key, node] : t) {
            (void)node;
            keys.emplace_back(key.str());
        }
    } catch (const toml::parse_error &) {
    }
    return keys;
}

static int patch_room_keys(const std::string &content_dir, const parsed_text &src,
                           const world_image &before, const world_image &after, int room,
                           std::vector<line_edit> &edits)
{
    std::vector<std::string> warnings;
    parsed_text old_dump, new_dump;
    if (!parse_text(dump_room(before, room, warnings), "", old_dump) ||
        !parse_text(dump_room(after, room, warnings), "", new_dump)) {
        return 0;
    }
    const auto old_keys = key_texts(old_dump, old_dump.root);
    const auto new_keys = key_texts(new_dump, new_dump.root);
    const std::vector<std::string> from_template = template_keys(content_dir, src.root);
    std::vector<std::string> names;
    for (const auto &[key, text] : old_keys) {
        names.push_back(key);
    }
    for (const auto &[key, text] : new_keys) {
        names.push_back(key);
    }
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    const int insert_after = last_key_line(src.root, 0);
    for (const std::string &key : names) {
        const auto old_text = old_keys.find(key), new_text = new_keys.find(key);
        if (old_text != old_keys.end() && new_text != new_keys.end() &&
            old_text->second == new_text->second) {
            continue;
        }
        const toml::node *src_grid = src.root.get(key);
        const int is_grid =
            std::find(std::begin(GRID_KEYS), std::end(GRID_KEYS), key) != std::end(GRID_KEYS);
        if (is_grid && src_grid != nullptr && old_text != old_keys.end() &&
            new_text != new_keys.end() &&
            rows_line_by_line(*src_grid, *old_dump.root.get(key), *new_dump.root.get(key))) {
            patch_grid(src, *src_grid, old_dump, *old_dump.root.get(key), new_dump,
                       *new_dump.root.get(key), edits);
            continue;
        }
        const int template_gives =
            std::find(from_template.begin(), from_template.end(), key) != from_template.end();
        if (!patch_key(src, src.root, key, new_text == new_keys.end() ? nullptr : &new_text->second,
                       template_gives, insert_after, edits)) {
            return 0;
        }
    }
    return 1;
}

// An object's keys as the dumper writes them (its id left out).
static int object_texts(const world_image &world, int id,
                        std::map<std::string, std::vector<std::string>> &out, std::string &whole)
{
    std::vector<std::string> warnings;
    whole = dump_object(world, id, warnings);
    parsed_text dumped;
    if (!parse_text(whole, "", dumped) || dumped.root[OBJECT_KEY].as_array() == nullptr) {
        return 0;
    }
    out = key_texts(dumped, *(*dumped.root[OBJECT_KEY].as_array())[0].as_table());
    return 1;
}

static const toml::table *source_object(const parsed_text &src, int line)
{
    const toml::array *objects = src.root[OBJECT_KEY].as_array();
    if (objects == nullptr) {
        return nullptr;
    }
    for (const toml::node &node : *objects) {
        if (static_cast<int>(node.source().begin.line) == line && node.as_table() != nullptr) {
            return node.as_table();
        }
    }
    return nullptr;
}

// An object removed with its lines and the comment lines right above it.
static void remove_object(const parsed_text &src, const toml::table &object,
                          std::vector<line_edit> &edits)
{
    int first = static_cast<int>(object.source().begin.line);
    while (first > 1 && !src.lines[first - 2].empty() && src.lines[first - 2][0] == '#') {
        first--;
    }
    edits.push_back(
        {first, last_key_line(object, static_cast<int>(object.source().begin.line)), {}});
}

static int patch_object(const parsed_text &src, const std::string &path, const world_image &before,
                        const world_image &after, const world_sources &sources, int id,
                        int in_before, int in_after, std::vector<line_edit> &appended,
                        std::vector<line_edit> &edits)
{
    std::map<std::string, std::vector<std::string>> old_keys, new_keys;
    std::string old_whole, new_whole;
    if ((in_before && !object_texts(before, id, old_keys, old_whole)) ||
        (in_after && !object_texts(after, id, new_keys, new_whole))) {
        return 0;
    }
    if (in_before && in_after && old_keys == new_keys) {
        return 1;
    }
    if (!in_before) {
        const std::vector<std::string> lines = split_lines(without_object_ids(new_whole));
        appended.push_back({0, -1, lines});
        return 1;
    }
    if (sources.object_file[static_cast<size_t>(id)] != path) {
        return 0; // written in a template (or another file)
    }
    const toml::table *object = source_object(src, sources.object_line[static_cast<size_t>(id)]);
    if (object == nullptr) {
        return 0;
    }
    if (!in_after) {
        remove_object(src, *object, edits);
        return 1;
    }
    const int insert_after = last_key_line(*object, static_cast<int>(object->source().begin.line));
    for (auto &[key, text] : old_keys) {
        if (!new_keys.count(key) &&
            !patch_key(src, *object, key, nullptr, 0, insert_after, edits)) {
            return 0;
        }
    }
    for (auto &[key, text] : new_keys) {
        const auto old_text = old_keys.find(key);
        if ((old_text == old_keys.end() || old_text->second != text) &&
            !patch_key(src, *object, key, &text, 0, insert_after, edits)) {
            return 0;
        }
    }
    return 1;
}

static int in_room(const world_image &world, int id, int room)
{
    const world_object &w = world.objects[static_cast<size_t>(id)];
    return w.used != WOBJ_FREE && w.room == room;
}

// Applies edits that do not overlap, from the end of the text back.
static int apply_edits(std::vector<std::string> &lines, std::vector<line_edit> edits)
{
    std::sort(edits.begin(), edits.end(), [](const line_edit &a, const line_edit &b) {
        return a.first != b.first ? a.first > b.first : a.last > b.last;
    });
    int floor = static_cast<int>(lines.size()) + 1;
    for (const line_edit &edit : edits) {
        if (edit.last >= floor || edit.first < 1) {
            return 0;
        }
        floor = edit.first;
        lines.erase(lines.begin() + edit.first - 1, lines.begin() + edit.last);
        lines.insert(lines.begin() + edit.first - 1, edit.lines.begin(), edit.lines.end());
    }
    return 1;
}

int patch_content_file(const std::string &content_dir, const std::string &path,
                       const std::string &text, const world_image &before, const world_image &after,
                       const world_sources &sources, int room, std::string &out)
{
    parsed_text src;
    if (!parse_text(text, path, src)) {
        return 0;
    }
    std::vector<line_edit> edits, appended;
    if (room != ROOM_CARRIED && !patch_room_keys(content_dir, src, before, after, room, edits)) {
        return 0;
    }
    for (int id = FIRST_OBJECT_ID; id < WORLD_OBJECT_COUNT; id++) {
        const int was = in_room(before, id, room), is = in_room(after, id, room);
        if ((was || is) &&
            !patch_object(src, path, before, after, sources, id, was, is, appended, edits)) {
            return 0;
        }
    }
    std::vector<std::string> lines = src.lines;
    if (!apply_edits(lines, edits)) {
        return 0;
    }
    for (const line_edit &object : appended) {
        lines.insert(lines.end(), object.lines.begin(), object.lines.end());
    }
    out.clear();
    for (const std::string &line : lines) {
        out += line + "\n";
    }
    return 1;
}

std::string without_object_ids(const std::string &text)
{
    std::string out;
    int in_object = 0;
    for (const std::string &line : split_lines(text)) {
        in_object |= line == "[[object]]";
        if (!(in_object && line.compare(0, 5, "id = ") == 0)) {
            out += line + "\n";
        }
    }
    return out;
}

// What an object is, whatever its id: its record with its text in place of
// its message number and its key's own description in place of the key's id.
static std::string object_identity(const world_image &world, int id, int depth)
{
    world_object w = world.objects[static_cast<size_t>(id)];
    std::string text;
    if (w.examine_text >= 0 && w.examine_text < static_cast<int>(world.messages.size())) {
        text = world.messages[static_cast<size_t>(w.examine_text)];
    }
    std::string key;
    if (depth > 0 && w.door_key > 0 && w.door_key < WORLD_OBJECT_COUNT &&
        world.objects[static_cast<size_t>(w.door_key)].used != WOBJ_FREE) {
        key = object_identity(world, w.door_key, depth - 1);
        w.door_key = 0;
    }
    w.examine_text = 0;
    unsigned char bytes[WORLD_OBJECT_RECORD_SIZE];
    encode_world_object(w, bytes);
    return std::string(reinterpret_cast<char *>(bytes), sizeof bytes) + text + '\0' + key;
}

// Everything a world holds, each room and object by what it is.
static std::vector<std::string> world_identity(const world_image &world)
{
    std::vector<std::string> out;
    for (size_t r = 0; r < world.rooms.size(); r++) {
        room_record rec = world.rooms[r];
        std::string caption;
        // A room nothing defines has no caption, whatever its number says.
        const int defined = rec.size_x != 0 && rec.size_y != 0;
        if (defined && rec.description >= 0 &&
            rec.description < static_cast<int>(world.messages.size())) {
            caption = world.messages[static_cast<size_t>(rec.description)];
            rec.description = 0;
        }
        unsigned char bytes[ROOM_RECORD_SIZE];
        encode_room(rec, bytes);
        std::string room(reinterpret_cast<char *>(bytes), sizeof bytes);
        for (const polygon_record &poly : world.polygons) {
            if (poly.room == static_cast<int>(r)) {
                unsigned char p[POLYGON_RECORD_SIZE];
                encode_polygon(poly, p);
                room.append(reinterpret_cast<char *>(p), sizeof p);
            }
        }
        out.push_back("R" + std::to_string(r) + room + caption);
    }
    constexpr int KEY_DEPTH = 2; // a key's own key is told apart too
    for (int id = FIRST_OBJECT_ID; id < WORLD_OBJECT_COUNT; id++) {
        if (world.objects[static_cast<size_t>(id)].used != WOBJ_FREE) {
            out.push_back("O" + object_identity(world, id, KEY_DEPTH));
        }
    }
    std::sort(out.begin(), out.end());
    return out;
}

int worlds_match(const world_image &a, const world_image &b)
{
    return world_identity(a) == world_identity(b);
}
