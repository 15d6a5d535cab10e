// The room editor's editing operations over the world tables, with undo and
// redo kept as before- and after-images of the touched records.
#include "edit_ops.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "runtime/room_setup.h"
#include "world/object_defs.h"
#include "world_compile.h"

static const char *const RESULT_TEXTS[EDIT_RESULT_COUNT] = {
    "Done",
    "No such room, object or polygon",
    "Value out of range",
    "No free world object",
    "No free polygon",
    "A polygon holds at most 20 points",
    "A text holds at most 255 characters",
    "Nothing to undo",
    "Nothing to redo",
    "The room has no record yet: press New",
    "That room already has a record",
    "Give the door a room first",
    "That lies outside the room",
    "No room has that number yet",
};

// A fresh room: the middle of the view, a floor of plain tiles, lit.
constexpr int NEW_ROOM_TILE = 1;
constexpr int NEW_ROOM_FLOOR = 3; // a player standing on it rests on a column of some height
constexpr int NEW_ROOM_CEILING = 100;
constexpr int FULL_LIGHT = 7;
constexpr int WALL_FACE = 1; // the plain stone face, left and right
static const char NEW_ROOM_CAPTION[] = "A new room";
constexpr int MAX_BYTE = 255;
constexpr int MAX_ORIGIN = 1000;          // keeps a room's origin near the view
constexpr float HIGHEST_OBJECT = 2 * 255; // the compiler's limit: twice the highest floor

const char *edit_result_text(int result)
{
    return result >= 0 && result < EDIT_RESULT_COUNT ? RESULT_TEXTS[result] : "?";
}

static std::string record_bytes(const world_image &world, int kind, int index)
{
    std::string out;
    const size_t i = static_cast<size_t>(index);
    switch (kind) {
    case RECORD_ROOM:
        out.resize(ROOM_RECORD_SIZE);
        encode_room(world.rooms[i], reinterpret_cast<unsigned char *>(out.data()));
        break;
    case RECORD_POLYGON:
        out.resize(POLYGON_RECORD_SIZE);
        encode_polygon(world.polygons[i], reinterpret_cast<unsigned char *>(out.data()));
        break;
    case RECORD_OBJECT:
        out.resize(WORLD_OBJECT_RECORD_SIZE);
        encode_world_object(world.objects[i], reinterpret_cast<unsigned char *>(out.data()));
        break;
    case RECORD_MESSAGES:
        for (const std::string &text : world.messages) {
            out += text;
            out += '\0';
        }
        break;
    }
    return out;
}

static void set_record(world_image &world, int kind, int index, const std::string &bytes)
{
    const size_t i = static_cast<size_t>(index);
    const unsigned char *in = reinterpret_cast<const unsigned char *>(bytes.data());
    switch (kind) {
    case RECORD_ROOM:
        decode_room(in, world.rooms[i]);
        break;
    case RECORD_POLYGON:
        decode_polygon(in, world.polygons[i]);
        break;
    case RECORD_OBJECT:
        decode_world_object(in, world.objects[i]);
        break;
    case RECORD_MESSAGES:
        world.messages = split_messages(bytes);
        break;
    }
}

// Keeps the before-image of a record the pending step is about to change.
static void touch(const world_image &world, edit_history &history, int kind, int index)
{
    for (const record_change &change : history.pending.changes) {
        if (change.kind == kind && change.index == index) {
            return;
        }
    }
    history.pending.changes.push_back({kind, index, record_bytes(world, kind, index), ""});
}

// Ends the pending step: kept when it worked and changed something, undone
// when the operation was refused, so a refusal never leaves half a change.
static int finish(world_image &world, edit_history &history, int result)
{
    edit_step step;
    std::swap(step, history.pending);
    if (result != EDIT_OK) {
        for (auto change = step.changes.rbegin(); change != step.changes.rend(); ++change) {
            set_record(world, change->kind, change->index, change->before);
        }
        return result;
    }
    int changed = 0;
    for (record_change &change : step.changes) {
        change.after = record_bytes(world, change.kind, change.index);
        changed |= change.after != change.before;
    }
    if (!changed) {
        return EDIT_OK;
    }
    history.steps.resize(history.done);
    history.steps.push_back(std::move(step));
    if (history.steps.size() > UNDO_DEPTH) {
        history.steps.erase(history.steps.begin());
    }
    history.done = history.steps.size();
    return EDIT_OK;
}

void clear_history(edit_history &history)
{
    history.steps.clear();
    history.done = 0;
    history.pending.changes.clear();
}

int undo_step(world_image &world, edit_history &history)
{
    if (history.done == 0) {
        return EDIT_NOTHING_TO_UNDO;
    }
    const edit_step &step = history.steps[--history.done];
    for (auto change = step.changes.rbegin(); change != step.changes.rend(); ++change) {
        set_record(world, change->kind, change->index, change->before);
    }
    return EDIT_OK;
}

int redo_step(world_image &world, edit_history &history)
{
    if (history.done == history.steps.size()) {
        return EDIT_NOTHING_TO_REDO;
    }
    for (const record_change &change : history.steps[history.done++].changes) {
        set_record(world, change.kind, change.index, change.after);
    }
    return EDIT_OK;
}

static int valid_room(int room)
{
    return room >= FIRST_CONTENT_ROOM && room < ROOM_COUNT;
}

static int valid_object(const world_image &world, int id)
{
    return id >= FIRST_OBJECT_ID && id < WORLD_OBJECT_COUNT &&
           world.objects[static_cast<size_t>(id)].used != WOBJ_FREE;
}

// Where the world compiler accepts an object of room: over its cells or the
// one cell around them, between the ground and twice the highest floor.
static int lies_in_room(const world_image &world, int room, float x, float y, float z)
{
    if (room == ROOM_CARRIED) {
        return std::isfinite(x) && std::isfinite(y) && std::isfinite(z);
    }
    if (room < 0 || room >= ROOM_COUNT) {
        return 0;
    }
    const room_record &rec = world.rooms[static_cast<size_t>(room)];
    const float margin = CELL_SIZE;
    return x >= -margin && x <= rec.size_x * CELL_SIZE + margin && y >= -margin &&
           y <= rec.size_y * CELL_SIZE + margin && z >= 0 && z <= HIGHEST_OBJECT;
}

int room_is_defined(const world_image &world, int room)
{
    if (!valid_room(room)) {
        return 0;
    }
    const room_record &rec = world.rooms[static_cast<size_t>(room)];
    return rec.size_x >= 1 && rec.size_x <= ROOM_CELLS && rec.size_y >= 1 &&
           rec.size_y <= ROOM_CELLS;
}

static void set_cell_floor(room_record &rec, int cx, int cy, int height, int tile)
{
    rec.floor_height[cx][cy] = static_cast<uint8_t>(height);
    rec.floor_tile[cx][cy] = static_cast<int8_t>(tile);
}

int room_field(const world_image &world, int room, int field)
{
    if (room < 0 || room >= ROOM_COUNT) {
        return 0;
    }
    const room_record &rec = world.rooms[static_cast<size_t>(room)];
    switch (field) {
    case ROOM_SIZE_X:
        return rec.size_x;
    case ROOM_SIZE_Y:
        return rec.size_y;
    case ROOM_CEILING:
        return rec.ceiling;
    case ROOM_LIMIT_SW:
    case ROOM_LIMIT_NW:
    case ROOM_LIMIT_NE:
    case ROOM_LIMIT_SE:
        return rec.limit[field - ROOM_LIMIT_SW];
    case ROOM_ADJ_SW:
    case ROOM_ADJ_NW:
    case ROOM_ADJ_NE:
    case ROOM_ADJ_SE:
        return rec.adjacent[field - ROOM_ADJ_SW];
    case ROOM_BACKCOL:
        return rec.backcol;
    case ROOM_LIGHT:
        return rec.brightness;
    case ROOM_OUTSIDE:
        return rec.outside;
    case ROOM_ORIGIN_X:
        return rec.origin_x;
    case ROOM_ORIGIN_Y:
        return rec.origin_y;
    }
    return 0;
}

// A cell past the room's size holds what a cleared room holds, as the world
// compiler leaves it; a cell the room grows into copies its nearest neighbour.
static void resize_cells(room_record &rec, int new_x, int new_y)
{
    for (int cx = 0; cx < ROOM_CELLS; cx++) {
        for (int cy = 0; cy < ROOM_CELLS; cy++) {
            const int inside_old = cx < rec.size_x && cy < rec.size_y;
            if (cx >= new_x || cy >= new_y) {
                set_cell_floor(rec, cx, cy, CLEARED_HEIGHT, TILE_NONE);
                memset(rec.wall_left[cx][cy], FACE_NONE, ROOM_LEVELS);
                memset(rec.wall_right[cx][cy], FACE_NONE, ROOM_LEVELS);
            } else if (!inside_old) {
                const int nx = std::min(cx, rec.size_x - 1), ny = std::min(cy, rec.size_y - 1);
                set_cell_floor(rec, cx, cy, rec.floor_height[nx][ny], rec.floor_tile[nx][ny]);
                memset(rec.wall_left[cx][cy], FACE_NONE, ROOM_LEVELS);
                memset(rec.wall_right[cx][cy], FACE_NONE, ROOM_LEVELS);
            }
        }
    }
}

// Limits stay inside the room, and objects inside the limits.
static void fit_room_contents(world_image &world, edit_history &history, int room)
{
    room_record &rec = world.rooms[static_cast<size_t>(room)];
    const int high_x = rec.size_x * CELL_SIZE - 1, high_y = rec.size_y * CELL_SIZE - 1;
    rec.limit[SIDE_HIGH_X] = static_cast<uint8_t>(std::min<int>(rec.limit[SIDE_HIGH_X], high_x));
    rec.limit[SIDE_HIGH_Y] = static_cast<uint8_t>(std::min<int>(rec.limit[SIDE_HIGH_Y], high_y));
    rec.limit[SIDE_LOW_X] = std::min(rec.limit[SIDE_LOW_X], rec.limit[SIDE_HIGH_X]);
    rec.limit[SIDE_LOW_Y] = std::min(rec.limit[SIDE_LOW_Y], rec.limit[SIDE_HIGH_Y]);
    for (int id = FIRST_OBJECT_ID; id < WORLD_OBJECT_COUNT; id++) {
        world_object &w = world.objects[static_cast<size_t>(id)];
        if (w.used == WOBJ_FREE || w.room != room) {
            continue;
        }
        const object_def &d = object_defs[std::clamp(w.obj_def, 0, OBJECT_DEF_COUNT - 1)];
        const float x = std::clamp(w.x, static_cast<float>(rec.limit[SIDE_LOW_X]),
                                   static_cast<float>(rec.limit[SIDE_HIGH_X] + 1 - d.size_x));
        const float y = std::clamp(w.y, static_cast<float>(rec.limit[SIDE_LOW_Y]),
                                   static_cast<float>(rec.limit[SIDE_HIGH_Y] + 1 - d.size_y));
        if (x != w.x || y != w.y) {
            touch(world, history, RECORD_OBJECT, id);
            w.x = std::max(x, 0.0f);
            w.y = std::max(y, 0.0f);
        }
    }
}

// A high limit at the room's far edge stays there when the room grows.
static void grow_limit(uint8_t &limit, int old_cells, int new_cells)
{
    if (limit == old_cells * CELL_SIZE - 1 && new_cells > old_cells) {
        limit = static_cast<uint8_t>(new_cells * CELL_SIZE - 1);
    }
}

static int field_in_range(const world_image &world, int field, int value)
{
    switch (field) {
    case ROOM_ADJ_SW:
    case ROOM_ADJ_NW:
    case ROOM_ADJ_NE:
    case ROOM_ADJ_SE:
        return value == 0 || (value <= LAST_EXIT_ROOM && room_is_defined(world, value));
    }
    int low, high;
    room_field_range(field, &low, &high);
    return value >= low && value <= high;
}

int edit_room_field(world_image &world, edit_history &history, int room, int field, int value)
{
    if (!valid_room(room) || field < 0 || field >= ROOM_FIELD_COUNT) {
        return EDIT_BAD_ID;
    }
    if (!room_is_defined(world, room)) {
        return EDIT_NO_ROOM;
    }
    if (!field_in_range(world, field, value)) {
        return field >= ROOM_ADJ_SW && field <= ROOM_ADJ_SE && value > 0 && value <= LAST_EXIT_ROOM
                   ? EDIT_ROOM_UNDEFINED
                   : EDIT_BAD_VALUE;
    }
    touch(world, history, RECORD_ROOM, room);
    room_record &rec = world.rooms[static_cast<size_t>(room)];
    const uint8_t byte = static_cast<uint8_t>(value);
    switch (field) {
    case ROOM_SIZE_X:
        resize_cells(rec, value, rec.size_y);
        grow_limit(rec.limit[SIDE_HIGH_X], rec.size_x, value);
        rec.size_x = byte;
        break;
    case ROOM_SIZE_Y:
        resize_cells(rec, rec.size_x, value);
        grow_limit(rec.limit[SIDE_HIGH_Y], rec.size_y, value);
        rec.size_y = byte;
        break;
    case ROOM_CEILING:
        rec.ceiling = byte;
        break;
    case ROOM_LIMIT_SW:
    case ROOM_LIMIT_NW:
    case ROOM_LIMIT_NE:
    case ROOM_LIMIT_SE:
        rec.limit[field - ROOM_LIMIT_SW] = byte;
        break;
    case ROOM_ADJ_SW:
    case ROOM_ADJ_NW:
    case ROOM_ADJ_NE:
    case ROOM_ADJ_SE:
        rec.adjacent[field - ROOM_ADJ_SW] = byte;
        break;
    case ROOM_BACKCOL:
        rec.backcol = byte;
        break;
    case ROOM_LIGHT:
        rec.brightness = byte;
        break;
    case ROOM_OUTSIDE:
        rec.outside = byte;
        break;
    case ROOM_ORIGIN_X:
        rec.origin_x = value;
        break;
    case ROOM_ORIGIN_Y:
        rec.origin_y = value;
        break;
    }
    if (field == ROOM_SIZE_X || field == ROOM_SIZE_Y) {
        fit_room_contents(world, history, room);
    }
    return finish(world, history, EDIT_OK);
}

static int valid_cell(const world_image &world, int room, int cx, int cy, int level)
{
    if (!room_is_defined(world, room)) {
        return 0;
    }
    const room_record &rec = world.rooms[static_cast<size_t>(room)];
    return cx >= 0 && cx < rec.size_x && cy >= 0 && cy < rec.size_y && level >= 0 &&
           level < ROOM_LEVELS;
}

int cell_field(const world_image &world, int room, int cx, int cy, int field, int level)
{
    if (!valid_cell(world, room, cx, cy, level)) {
        return 0;
    }
    const room_record &rec = world.rooms[static_cast<size_t>(room)];
    switch (field) {
    case CELL_HEIGHT:
        return rec.floor_height[cx][cy];
    case CELL_TILE:
        return rec.floor_tile[cx][cy];
    case CELL_LEFT:
        return rec.wall_left[cx][cy][level];
    case CELL_RIGHT:
        return rec.wall_right[cx][cy][level];
    }
    return 0;
}

int edit_cell(world_image &world, edit_history &history, int room, int cx, int cy, int field,
              int level, int value)
{
    if (!valid_cell(world, room, cx, cy, level) || field < 0 || field >= CELL_FIELD_COUNT) {
        return EDIT_BAD_ID;
    }
    const int low = field == CELL_HEIGHT ? 0 : FACE_NONE;
    const int high = field == CELL_HEIGHT ? MAX_BYTE : INT8_MAX;
    if (value < low || value > high) {
        return EDIT_BAD_VALUE;
    }
    touch(world, history, RECORD_ROOM, room);
    room_record &rec = world.rooms[static_cast<size_t>(room)];
    switch (field) {
    case CELL_HEIGHT:
        rec.floor_height[cx][cy] = static_cast<uint8_t>(value);
        break;
    case CELL_TILE:
        rec.floor_tile[cx][cy] = static_cast<int8_t>(value);
        break;
    case CELL_LEFT:
        rec.wall_left[cx][cy][level] = static_cast<int8_t>(value);
        break;
    case CELL_RIGHT:
        rec.wall_right[cx][cy][level] = static_cast<int8_t>(value);
        break;
    }
    return finish(world, history, EDIT_OK);
}

static const object_def &def_of(int def)
{
    return object_defs[std::clamp(def, 0, OBJECT_DEF_COUNT - 1)];
}

static int spans_overlap(float a, float a_size, float b, float b_size)
{
    return a < b + b_size && b < a + a_size;
}

int support_height(const world_image &world, int room, int def, float x, float y)
{
    const object_def &d = def_of(def);
    int top = 0;
    if (room_is_defined(world, room)) {
        const room_record &rec = world.rooms[static_cast<size_t>(room)];
        for (int cx = 0; cx < rec.size_x; cx++) {
            for (int cy = 0; cy < rec.size_y; cy++) {
                if (spans_overlap(x, d.size_x, cx * CELL_SIZE, CELL_SIZE) &&
                    spans_overlap(y, d.size_y, cy * CELL_SIZE, CELL_SIZE)) {
                    const int column = rec.floor_tile[cx][cy] == TILE_SOLID
                                           ? SOLID_COLUMN_HEIGHT
                                           : rec.floor_height[cx][cy];
                    top = std::max(top, column);
                }
            }
        }
    }
    for (const world_object &w : world.objects) {
        const object_def &o = def_of(w.obj_def);
        if (w.used != WOBJ_FREE && w.room == room && spans_overlap(x, d.size_x, w.x, o.size_x) &&
            spans_overlap(y, d.size_y, w.y, o.size_y)) {
            top = std::max(top, static_cast<int>(w.z) + o.size_z);
        }
    }
    return top;
}

static int free_object_id(const world_image &world)
{
    for (int id = FIRST_OBJECT_ID; id < WORLD_OBJECT_COUNT; id++) {
        if (world.objects[static_cast<size_t>(id)].used == WOBJ_FREE) {
            return id;
        }
    }
    return -1;
}

// A new record: the game's defaults, zeros in the reserved words.
static void new_object(world_object &w, int room, int def, float x, float y, float z)
{
    memset(&w, 0, sizeof w);
    set_new_world_object(w, room, def, x, y, z);
}

// Places the definition on whatever supports it at (x, y).
int edit_place_object(world_image &world, edit_history &history, int room, int def, int x, int y,
                      int *new_id)
{
    if (!valid_room(room) || def <= DEF_PLAYER || def >= OBJECT_DEF_COUNT) {
        return EDIT_BAD_ID;
    }
    const int z = support_height(world, room, def, static_cast<float>(x), static_cast<float>(y));
    return edit_place_object_at(world, history, room, def, x, y, z, new_id);
}

int edit_delete_object(world_image &world, edit_history &history, int id)
{
    if (!valid_object(world, id)) {
        return EDIT_BAD_ID;
    }
    for (size_t door = 0; door < world.objects.size(); door++) {
        if (world.objects[door].used != WOBJ_FREE && world.objects[door].door_key == id) {
            touch(world, history, RECORD_OBJECT, static_cast<int>(door));
            world.objects[door].door_key = NO_KEY;
        }
    }
    touch(world, history, RECORD_OBJECT, id);
    memset(&world.objects[static_cast<size_t>(id)], 0, sizeof(world_object));
    return finish(world, history, EDIT_OK);
}

int edit_duplicate_object(world_image &world, edit_history &history, int id, int *new_id)
{
    if (!valid_object(world, id)) {
        return EDIT_BAD_ID;
    }
    const int copy = free_object_id(world);
    if (copy < 0) {
        return EDIT_NO_FREE_OBJECT;
    }
    const world_object &original = world.objects[static_cast<size_t>(id)];
    const float z = original.z + def_of(original.obj_def).size_z;
    if (!lies_in_room(world, original.room, original.x, original.y, z)) {
        return EDIT_OUTSIDE_ROOM;
    }
    touch(world, history, RECORD_OBJECT, copy);
    world_object &w = world.objects[static_cast<size_t>(copy)];
    w = original;
    w.z = z;
    *new_id = copy;
    return finish(world, history, EDIT_OK);
}

int edit_move_object(world_image &world, edit_history &history, int id, float dx, float dy,
                     float dz)
{
    if (!valid_object(world, id)) {
        return EDIT_BAD_ID;
    }
    world_object &w = world.objects[static_cast<size_t>(id)];
    if (!std::isfinite(dx) || !std::isfinite(dy) || !std::isfinite(dz)) {
        return EDIT_BAD_VALUE;
    }
    if (!lies_in_room(world, w.room, w.x + dx, w.y + dy, w.z + dz)) {
        return EDIT_OUTSIDE_ROOM;
    }
    touch(world, history, RECORD_OBJECT, id);
    w.x += dx;
    w.y += dy;
    w.z += dz;
    return finish(world, history, EDIT_OK);
}

float snap_to_cell(float value)
{
    return std::round(value / CELL_SIZE) * CELL_SIZE;
}

int object_clashes(const world_image &world, int id, std::vector<int> *others)
{
    if (!valid_object(world, id)) {
        return 0;
    }
    const world_object &a = world.objects[static_cast<size_t>(id)];
    const object_def &da = def_of(a.obj_def);
    int clash = 0;
    for (int other = FIRST_OBJECT_ID; other < WORLD_OBJECT_COUNT; other++) {
        const world_object &b = world.objects[static_cast<size_t>(other)];
        const object_def &db = def_of(b.obj_def);
        if (other != id && b.used != WOBJ_FREE && b.room == a.room &&
            spans_overlap(a.x, da.size_x, b.x, db.size_x) &&
            spans_overlap(a.y, da.size_y, b.y, db.size_y) &&
            spans_overlap(a.z, da.size_z, b.z, db.size_z)) {
            clash |= CLASH_OBJECT;
            if (others != nullptr) {
                others->push_back(other);
            }
        }
    }
    if (valid_room(a.room)) {
        const room_record &rec = world.rooms[static_cast<size_t>(a.room)];
        if (a.x < rec.limit[SIDE_LOW_X] || a.y < rec.limit[SIDE_LOW_Y] ||
            a.x + da.size_x > rec.limit[SIDE_HIGH_X] + 1 ||
            a.y + da.size_y > rec.limit[SIDE_HIGH_Y] + 1) {
            clash |= CLASH_LIMIT;
        }
    }
    return clash;
}

int object_field(const world_image &world, int id, int field)
{
    if (!valid_object(world, id)) {
        return 0;
    }
    const world_object &w = world.objects[static_cast<size_t>(id)];
    switch (field) {
    case OBJECT_DOOR:
        return w.door;
    case OBJECT_DOOR_ROOM:
        return w.door_room;
    case OBJECT_DOOR_X:
        return w.door_x;
    case OBJECT_DOOR_Y:
        return w.door_y;
    case OBJECT_DOOR_Z:
        return w.door_z;
    case OBJECT_DOOR_KEY:
        return w.door_key;
    case OBJECT_EXAMINE_TEXT:
        return w.examine_text;
    case OBJECT_VISIBLE:
        return w.visible;
    case OBJECT_TRANSPARENT:
        return w.transparent;
    case OBJECT_FRAME:
        return w.frame;
    case OBJECT_ROOM_PART:
        return w.room_part;
    }
    return 0;
}

static int object_value_ok(const world_image &world, int field, int value)
{
    switch (field) {
    case OBJECT_DOOR_ROOM:
        return value == NO_ROOM || valid_room(value);
    case OBJECT_DOOR_KEY:
        return value == NO_KEY || valid_object(world, value);
    case OBJECT_EXAMINE_TEXT:
        return value == NO_MESSAGE ||
               (value >= 0 && value < static_cast<int>(world.messages.size()));
    case OBJECT_DOOR:
    case OBJECT_VISIBLE:
    case OBJECT_TRANSPARENT:
    case OBJECT_FRAME:
    case OBJECT_ROOM_PART:
        return value >= 0 && value <= MAX_BYTE;
    }
    return value >= -MAX_ORIGIN && value <= MAX_ORIGIN; // door x, y, z
}

static int is_door_field(int field)
{
    return field == OBJECT_DOOR || field == OBJECT_DOOR_X || field == OBJECT_DOOR_Y ||
           field == OBJECT_DOOR_Z || field == OBJECT_DOOR_KEY;
}

int edit_object_field(world_image &world, edit_history &history, int id, int field, int value)
{
    if (!valid_object(world, id) || field < 0 || field >= OBJECT_FIELD_COUNT) {
        return EDIT_BAD_ID;
    }
    if (!object_value_ok(world, field, value)) {
        return EDIT_BAD_VALUE;
    }
    world_object &w = world.objects[static_cast<size_t>(id)];
    if (field == OBJECT_DOOR_ROOM && value != NO_ROOM && !room_is_defined(world, value)) {
        return EDIT_ROOM_UNDEFINED;
    }
    // A door is written with the room it leads to; without one it has no
    // other door field.
    const int door_default = field == OBJECT_DOOR_KEY ? NO_KEY : 0;
    if (is_door_field(field) && w.door_room == NO_ROOM && value != door_default) {
        return EDIT_NO_DOOR_ROOM;
    }
    touch(world, history, RECORD_OBJECT, id);
    const uint8_t byte = static_cast<uint8_t>(value);
    switch (field) {
    case OBJECT_DOOR:
        w.door = value;
        break;
    case OBJECT_DOOR_ROOM:
        w.door_room = value;
        if (value == NO_ROOM) {
            w.door = w.door_x = w.door_y = w.door_z = 0;
            w.door_key = NO_KEY;
        }
        break;
    case OBJECT_DOOR_X:
        w.door_x = value;
        break;
    case OBJECT_DOOR_Y:
        w.door_y = value;
        break;
    case OBJECT_DOOR_Z:
        w.door_z = value;
        break;
    case OBJECT_DOOR_KEY:
        w.door_key = value;
        break;
    case OBJECT_EXAMINE_TEXT:
        w.examine_text = static_cast<int16_t>(value);
        break;
    case OBJECT_VISIBLE:
        w.visible = byte;
        break;
    case OBJECT_TRANSPARENT:
        w.transparent = byte;
        break;
    case OBJECT_FRAME:
        w.frame = byte;
        break;
    case OBJECT_ROOM_PART:
        w.room_part = byte;
        break;
    }
    return finish(world, history, EDIT_OK);
}

// Where the message number of a text target is kept, or null.
static const int16_t *text_slot(const world_image &world, int target, int id)
{
    if (target == TEXT_CAPTION && room_is_defined(world, id)) {
        return &world.rooms[static_cast<size_t>(id)].description;
    }
    if (target == TEXT_EXAMINE && valid_object(world, id)) {
        return &world.objects[static_cast<size_t>(id)].examine_text;
    }
    return nullptr;
}

std::string edit_text(const world_image &world, int target, int id)
{
    const int16_t *slot = text_slot(world, target, id);
    if (slot == nullptr || *slot < 0 || *slot >= static_cast<int>(world.messages.size())) {
        return "";
    }
    return world.messages[static_cast<size_t>(*slot)];
}

static int message_users(const world_image &world, int message)
{
    int users = 0;
    for (const room_record &rec : world.rooms) {
        users += rec.description == message;
    }
    for (const world_object &w : world.objects) {
        users += w.used != WOBJ_FREE && w.examine_text == message;
    }
    return users;
}

int edit_set_text(world_image &world, edit_history &history, int target, int id,
                  const std::string &text)
{
    const int16_t *slot = text_slot(world, target, id);
    if (slot == nullptr) {
        return EDIT_BAD_ID;
    }
    if (static_cast<int>(text.size()) > MAX_TEXT_LENGTH || text.find('\0') != std::string::npos) {
        return EDIT_TEXT_TOO_LONG;
    }
    int message = *slot;
    const int count = static_cast<int>(world.messages.size());
    const int own = message >= 0 && message < count && message_users(world, message) == 1;
    if (!text.empty() && !own && count >= MAX_MESSAGES) {
        return EDIT_BAD_VALUE;
    }
    touch(world, history, target == TEXT_CAPTION ? RECORD_ROOM : RECORD_OBJECT, id);
    touch(world, history, RECORD_MESSAGES, 0);
    if (text.empty()) {
        message = NO_MESSAGE;
    } else if (own) {
        world.messages[static_cast<size_t>(message)] = text;
    } else {
        message = count;
        world.messages.push_back(text);
    }
    *const_cast<int16_t *>(slot) = static_cast<int16_t>(message);
    return finish(world, history, EDIT_OK);
}

static int valid_polygon(const world_image &world, int poly)
{
    return poly >= 0 && poly < POLYGON_COUNT &&
           world.polygons[static_cast<size_t>(poly)].room != POLYGON_FREE;
}

int edit_add_polygon(world_image &world, edit_history &history, int room, int *poly)
{
    if (!valid_room(room)) {
        return EDIT_BAD_ID;
    }
    if (!room_is_defined(world, room)) {
        return EDIT_NO_ROOM;
    }
    for (int p = 0; p < POLYGON_COUNT; p++) {
        polygon_record &rec = world.polygons[static_cast<size_t>(p)];
        if (rec.room == POLYGON_FREE) {
            touch(world, history, RECORD_POLYGON, p);
            memset(&rec, 0, sizeof rec);
            rec.room = room;
            *poly = p;
            return finish(world, history, EDIT_OK);
        }
    }
    return EDIT_NO_FREE_POLYGON;
}

int edit_delete_polygon(world_image &world, edit_history &history, int poly)
{
    if (!valid_polygon(world, poly)) {
        return EDIT_BAD_ID;
    }
    touch(world, history, RECORD_POLYGON, poly);
    polygon_record &rec = world.polygons[static_cast<size_t>(poly)];
    memset(&rec, 0, sizeof rec);
    rec.room = POLYGON_FREE;
    return finish(world, history, EDIT_OK);
}

int edit_add_point(world_image &world, edit_history &history, int poly, int x, int y)
{
    if (!valid_polygon(world, poly)) {
        return EDIT_BAD_ID;
    }
    polygon_record &rec = world.polygons[static_cast<size_t>(poly)];
    if (rec.point_count < 0 || rec.point_count >= POLYGON_MAX_POINTS) {
        return EDIT_POLYGON_FULL;
    }
    touch(world, history, RECORD_POLYGON, poly);
    rec.points[rec.point_count * 2] = x;
    rec.points[rec.point_count * 2 + 1] = y;
    rec.point_count++;
    return finish(world, history, EDIT_OK);
}

static int valid_point(const world_image &world, int poly, int point)
{
    return valid_polygon(world, poly) && point >= 0 &&
           point < world.polygons[static_cast<size_t>(poly)].point_count &&
           point < POLYGON_MAX_POINTS;
}

int edit_move_point(world_image &world, edit_history &history, int poly, int point, int x, int y)
{
    if (!valid_point(world, poly, point)) {
        return EDIT_BAD_ID;
    }
    touch(world, history, RECORD_POLYGON, poly);
    polygon_record &rec = world.polygons[static_cast<size_t>(poly)];
    rec.points[point * 2] = x;
    rec.points[point * 2 + 1] = y;
    return finish(world, history, EDIT_OK);
}

int edit_delete_point(world_image &world, edit_history &history, int poly, int point)
{
    if (!valid_point(world, poly, point)) {
        return EDIT_BAD_ID;
    }
    touch(world, history, RECORD_POLYGON, poly);
    polygon_record &rec = world.polygons[static_cast<size_t>(poly)];
    for (int p = point; p + 1 < rec.point_count; p++) {
        rec.points[p * 2] = rec.points[p * 2 + 2];
        rec.points[p * 2 + 1] = rec.points[p * 2 + 3];
    }
    rec.point_count--;
    rec.points[rec.point_count * 2] = rec.points[rec.point_count * 2 + 1] = 0;
    return finish(world, history, EDIT_OK);
}

int first_free_room(const world_image &world)
{
    for (int room = FIRST_CONTENT_ROOM; room < ROOM_COUNT; room++) {
        if (!room_is_defined(world, room)) {
            return room;
        }
    }
    return -1;
}

int edit_create_room(world_image &world, edit_history &history, int room)
{
    if (room < FIRST_CONTENT_ROOM || room >= ROOM_COUNT) {
        return EDIT_BAD_ID;
    }
    if (room_is_defined(world, room)) {
        return EDIT_ROOM_TAKEN;
    }
    if (static_cast<int>(world.messages.size()) >= MAX_MESSAGES) {
        return EDIT_BAD_VALUE;
    }
    touch(world, history, RECORD_ROOM, room);
    touch(world, history, RECORD_MESSAGES, 0);
    room_record &rec = world.rooms[static_cast<size_t>(room)];
    clear_room_record(rec);
    memset(rec.wall_left, FACE_NONE, sizeof rec.wall_left);
    memset(rec.wall_right, FACE_NONE, sizeof rec.wall_right);
    rec.size_x = rec.size_y = NEW_ROOM_CELLS;
    for (int cx = 0; cx < NEW_ROOM_CELLS; cx++) {
        for (int cy = 0; cy < NEW_ROOM_CELLS; cy++) {
            set_cell_floor(rec, cx, cy, NEW_ROOM_FLOOR, NEW_ROOM_TILE);
        }
    }
    rec.limit[SIDE_HIGH_X] = rec.limit[SIDE_HIGH_Y] = NEW_ROOM_CELLS * CELL_SIZE - 1;
    rec.ceiling = NEW_ROOM_CEILING;
    rec.brightness = FULL_LIGHT;
    rec.origin_x = NEW_ROOM_ORIGIN_X;
    rec.origin_y = NEW_ROOM_ORIGIN_Y;
    rec.description = static_cast<int16_t>(world.messages.size());
    world.messages.push_back(NEW_ROOM_CAPTION);
    return finish(world, history, EDIT_OK);
}

void room_field_range(int field, int *low, int *high)
{
    *low = 0;
    *high = MAX_BYTE;
    if (field == ROOM_SIZE_X || field == ROOM_SIZE_Y) {
        *low = 1;
        *high = ROOM_CELLS;
    } else if (field == ROOM_LIGHT) {
        *high = FULL_LIGHT;
    } else if (field == ROOM_ORIGIN_X || field == ROOM_ORIGIN_Y) {
        *low = -MAX_ORIGIN;
        *high = MAX_ORIGIN;
    }
}

void cell_field_range(int field, int *low, int *high)
{
    *low = field == CELL_HEIGHT ? 0 : FACE_NONE;
    *high = field == CELL_HEIGHT ? MAX_BYTE : INT8_MAX;
}

void object_field_range(const world_image &world, int field, int *low, int *high)
{
    *low = 0;
    *high = MAX_BYTE;
    switch (field) {
    case OBJECT_DOOR_ROOM:
        *low = NO_ROOM;
        *high = ROOM_COUNT - 1;
        break;
    case OBJECT_DOOR_KEY:
        *low = NO_KEY;
        *high = WORLD_OBJECT_COUNT - 1;
        break;
    case OBJECT_EXAMINE_TEXT:
        *low = NO_MESSAGE;
        *high = static_cast<int>(world.messages.size()) - 1;
        break;
    case OBJECT_DOOR_X:
    case OBJECT_DOOR_Y:
    case OBJECT_DOOR_Z:
        *low = -MAX_ORIGIN;
        *high = MAX_ORIGIN;
        break;
    }
}

int edit_place_object_at(world_image &world, edit_history &history, int room, int def, int x, int y,
                         int z, int *new_id)
{
    if (!valid_room(room) || def <= DEF_PLAYER || def >= OBJECT_DEF_COUNT) {
        return EDIT_BAD_ID;
    }
    if (!room_is_defined(world, room)) {
        return EDIT_NO_ROOM;
    }
    const int id = free_object_id(world);
    if (id < 0) {
        return EDIT_NO_FREE_OBJECT;
    }
    if (!lies_in_room(world, room, static_cast<float>(x), static_cast<float>(y),
                      static_cast<float>(std::max(0, z)))) {
        return EDIT_OUTSIDE_ROOM;
    }
    touch(world, history, RECORD_OBJECT, id);
    new_object(world.objects[static_cast<size_t>(id)], room, def, static_cast<float>(x),
               static_cast<float>(y), static_cast<float>(std::max(0, z)));
    *new_id = id;
    return finish(world, history, EDIT_OK);
}

int edit_make_wall(world_image &world, edit_history &history, int room, int cx, int cy)
{
    if (!valid_cell(world, room, cx, cy, 0)) {
        return EDIT_BAD_ID;
    }
    touch(world, history, RECORD_ROOM, room);
    room_record &rec = world.rooms[static_cast<size_t>(room)];
    rec.floor_height[cx][cy] = WALL_HEIGHT;
    if (rec.floor_tile[cx][cy] == TILE_SOLID) {
        rec.floor_tile[cx][cy] = NEW_ROOM_TILE;
    }
    for (int level = 0; level < ROOM_LEVELS; level++) {
        const int8_t face = level * FACE_LEVEL_HEIGHT < WALL_HEIGHT ? WALL_FACE : FACE_NONE;
        rec.wall_left[cx][cy][level] = rec.wall_right[cx][cy][level] = face;
    }
    return finish(world, history, EDIT_OK);
}
