// The world object table: loading wobjects.dat record by record, the file
// record layout, and handing out and freeing ids during play.
#include "world/world_objects.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "platform/data_file.h"
#include "shell/error_report.h"
#include "world/little_endian.h"

world_object world_objects[WORLD_OBJECT_COUNT];

static constexpr int FIRST_OBJECT_ID = 1; // 0 is the player's

// Offsets of the fields in a file record.
static constexpr int WOBJ_AT_USED = 0;
static constexpr int WOBJ_AT_OBJ_DEF = 4;
static constexpr int WOBJ_AT_ROOM = 8;
static constexpr int WOBJ_AT_X = 12;
static constexpr int WOBJ_AT_Y = 16;
static constexpr int WOBJ_AT_Z = 20;
static constexpr int WOBJ_AT_RESERVED0 = 24;
static constexpr int WOBJ_AT_DOOR = 28;
static constexpr int WOBJ_AT_DOOR_ROOM = 32;
static constexpr int WOBJ_AT_DOOR_X = 36;
static constexpr int WOBJ_AT_DOOR_Y = 40;
static constexpr int WOBJ_AT_DOOR_Z = 44;
static constexpr int WOBJ_AT_DOOR_KEY = 48;
static constexpr int WOBJ_AT_EXAMINE_TEXT = 52;
static constexpr int WOBJ_AT_VISIBLE = 54;
static constexpr int WOBJ_AT_TRANSPARENT = 55;
static constexpr int WOBJ_AT_FRAME = 56;
static constexpr int WOBJ_AT_ROOM_PART = 57;
static constexpr int WOBJ_AT_RESERVED1 = 58;
static_assert(WOBJ_AT_DOOR == WOBJ_AT_RESERVED0 + sizeof(world_object::reserved0));
static_assert(WOBJ_AT_RESERVED1 + sizeof(world_object::reserved1) == WORLD_OBJECT_RECORD_SIZE);

void encode_world_object(const world_object &w, unsigned char out[WORLD_OBJECT_RECORD_SIZE])
{
    put_i32(out + WOBJ_AT_USED, w.used);
    put_i32(out + WOBJ_AT_OBJ_DEF, w.obj_def);
    put_i32(out + WOBJ_AT_ROOM, w.room);
    put_f32(out + WOBJ_AT_X, w.x);
    put_f32(out + WOBJ_AT_Y, w.y);
    put_f32(out + WOBJ_AT_Z, w.z);
    memcpy(out + WOBJ_AT_RESERVED0, w.reserved0, sizeof w.reserved0);
    put_i32(out + WOBJ_AT_DOOR, w.door);
    put_i32(out + WOBJ_AT_DOOR_ROOM, w.door_room);
    put_i32(out + WOBJ_AT_DOOR_X, w.door_x);
    put_i32(out + WOBJ_AT_DOOR_Y, w.door_y);
    put_i32(out + WOBJ_AT_DOOR_Z, w.door_z);
    put_i32(out + WOBJ_AT_DOOR_KEY, w.door_key);
    put_i16(out + WOBJ_AT_EXAMINE_TEXT, w.examine_text);
    out[WOBJ_AT_VISIBLE] = w.visible;
    out[WOBJ_AT_TRANSPARENT] = w.transparent;
    out[WOBJ_AT_FRAME] = w.frame;
    out[WOBJ_AT_ROOM_PART] = w.room_part;
    memcpy(out + WOBJ_AT_RESERVED1, w.reserved1, sizeof w.reserved1);
}

void decode_world_object(const unsigned char in[WORLD_OBJECT_RECORD_SIZE], world_object &w)
{
    w.used = get_i32(in + WOBJ_AT_USED);
    w.obj_def = get_i32(in + WOBJ_AT_OBJ_DEF);
    w.room = get_i32(in + WOBJ_AT_ROOM);
    w.x = get_f32(in + WOBJ_AT_X);
    w.y = get_f32(in + WOBJ_AT_Y);
    w.z = get_f32(in + WOBJ_AT_Z);
    memcpy(w.reserved0, in + WOBJ_AT_RESERVED0, sizeof w.reserved0);
    w.door = get_i32(in + WOBJ_AT_DOOR);
    w.door_room = get_i32(in + WOBJ_AT_DOOR_ROOM);
    w.door_x = get_i32(in + WOBJ_AT_DOOR_X);
    w.door_y = get_i32(in + WOBJ_AT_DOOR_Y);
    w.door_z = get_i32(in + WOBJ_AT_DOOR_Z);
    w.door_key = get_i32(in + WOBJ_AT_DOOR_KEY);
    w.examine_text = get_i16(in + WOBJ_AT_EXAMINE_TEXT);
    w.visible = in[WOBJ_AT_VISIBLE];
    w.transparent = in[WOBJ_AT_TRANSPARENT];
    w.frame = in[WOBJ_AT_FRAME];
    w.room_part = in[WOBJ_AT_ROOM_PART];
    memcpy(w.reserved1, in + WOBJ_AT_RESERVED1, sizeof w.reserved1);
}

static float clamp_position(float v)
{
    if (std::isnan(v)) {
        return 0.0f;
    }
    const float limit = static_cast<float>(WORLD_POSITION_LIMIT);
    return v < -limit ? -limit : (v > limit ? limit : v);
}

static int32_t clamp_door_position(int32_t v)
{
    return v < -WORLD_POSITION_LIMIT ? -WORLD_POSITION_LIMIT
                                     : (v > WORLD_POSITION_LIMIT ? WORLD_POSITION_LIMIT : v);
}

static void clamp_positions(world_object &w)
{
    w.x = clamp_position(w.x);
    w.y = clamp_position(w.y);
    w.z = clamp_position(w.z);
    w.door_x = clamp_door_position(w.door_x);
    w.door_y = clamp_door_position(w.door_y);
    w.door_z = clamp_door_position(w.door_z);
}

// Records are stored as they are, positions held inside their limits. Users
// must validate: obj_def outside 0..193 (init_sprite refuses it), room ids,
// door_room and door_key, frame beyond the definition's frames, examine_text
// (get_message answers null for a number it does not have), and positions
// outside the room.
void load_world_objects(const char *path)
{
    const char *reason = nullptr;
    FILE *f = open_data_file(path, ANY_FILE_SIZE, nullptr, &reason);
    if (f == nullptr) {
        report_skipped_file(path, reason); // every object stays free
        return;
    }
    unsigned char record[WORLD_OBJECT_RECORD_SIZE];
    for (world_object &w : world_objects) {
        if (fread(record, sizeof record, 1, f) != 1) {
            break;
        }
        decode_world_object(record, w);
        clamp_positions(w);
        // Saved as carried: out of play for the whole run (the inventory
        // starts empty, so nothing can ever hold it).
        if (w.room == ROOM_CARRIED) {
            w.used = WOBJ_OUT_OF_PLAY;
        }
    }
    fclose(f);
}

void set_new_world_object(world_object &w, int room, int obj_def, float x, float y, float z)
{
    w.used = WOBJ_IN_USE;
    w.obj_def = obj_def;
    w.room = room;
    w.x = x;
    w.y = y;
    w.z = z;
    w.door = 0;
    w.door_room = NO_ROOM;
    w.door_x = 0;
    w.door_y = 0;
    w.door_z = 0;
    w.door_key = NO_KEY;
    w.visible = 1;
    w.examine_text = NO_MESSAGE;
    w.transparent = 0;
    w.frame = 0;
    w.room_part = 0;
}

void create_world_object(int id, int room, int obj_def, int x, int y, int z)
{
    if (id < 0 || id >= WORLD_OBJECT_COUNT) {
        return; // callers pass ids they own; a stray one must not write elsewhere
    }
    set_new_world_object(world_objects[id], room, obj_def, static_cast<float>(x),
                         static_cast<float>(y), static_cast<float>(z));
}

int get_world_object_id(void)
{
    for (int id = FIRST_OBJECT_ID; id < WORLD_OBJECT_COUNT; id++) {
        if (world_objects[id].used == WOBJ_FREE) {
            return id;
        }
    }
    report_error("get_world_object_id : no free objects");
    return -1;
}

void remove_world_object(int id)
{
    if (id < FIRST_OBJECT_ID || id >= WORLD_OBJECT_COUNT) {
        char text[80];
        snprintf(text, sizeof text, "remove_world_object : %i is an invalid world object ID", id);
        report_error(text);
        return;
    }
    world_objects[id].used = WOBJ_FREE;
}
