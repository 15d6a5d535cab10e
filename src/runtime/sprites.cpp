// The sprite table and the operations that claim, fill, find and clear its
// slots. Every slot owns the bitmap of its image.
#include "runtime/sprites.h"

#include "runtime/sprite_images.h"
#include "shell/error_report.h"
#include "shell/resources.h"
#include "world/object_defs.h"
#include "world/world_objects.h"

sprite_record sprite_table[SPRITE_COUNT];

// Size of the stand-in image of a definition whose frame has no picture.
static constexpr int STAND_IN_IMAGE_SIZE = 1;

static int valid_slot(int slot)
{
    return slot >= 0 && slot < SPRITE_COUNT;
}

static int valid_def(int def)
{
    return def >= 0 && def < OBJECT_DEF_COUNT;
}

void reset_sprites(void)
{
    for (int slot = 0; slot < SPRITE_COUNT; slot++) {
        forget_sprite_extent(slot);
    }
    for (sprite_record &s : sprite_table) {
        if (s.image != nullptr) {
            destroy_bitmap(s.image);
        }
        s = sprite_record{};
        s.image = nullptr;
        s.standing_on = STANDING_ON_NOTHING;
        s.world_object = NO_WORLD_OBJECT;
        s.door_room = NO_ROOM;
        s.door_key = NO_KEY;
        s.obj_def = NO_OBJ_DEF;
    }
}

int get_sprite_id(void)
{
    for (int slot = FIRST_FREE_SLOT; slot < SPRITE_COUNT; slot++) {
        if (!sprite_table[slot].active) {
            return slot;
        }
    }
    report_error("get_sprite_id : no free sprites");
    return -1;
}

void copy_object_def_to_sprite(int slot, int def)
{
    if (!valid_slot(slot) || !valid_def(def)) {
        return;
    }
    sprite_record &s = sprite_table[slot];
    const object_def &d = object_defs[def];
    s.size_x = d.size_x;
    s.size_y = d.size_y;
    s.size_z = d.size_z;
    s.draw_offset_x = d.draw_offset_x;
    s.draw_offset_y = d.draw_offset_y;
    s.fixed = d.fixed;
}

// A new image buffer the size of the definition's first frame. Without that
// picture (no datafile yet, or an index past its end) the sprite gets a
// 1 x 1 stand-in, so play and tests go on without the art.
static void replace_image(sprite_record &s, int def)
{
    BITMAP *frame = datafile_bitmap(custom_datafile, object_defs[def].frames[0]);
    int w = frame != nullptr ? frame->w : STAND_IN_IMAGE_SIZE;
    int h = frame != nullptr ? frame->h : STAND_IN_IMAGE_SIZE;
    if (s.image != nullptr) {
        destroy_bitmap(s.image);
    }
    s.image = create_bitmap(w, h);
    if (s.image != nullptr) {
        clear_to_color(s.image, bitmap_mask_color(s.image));
    }
    s.image_w = s.image != nullptr ? w : 0;
    s.image_h = s.image != nullptr ? h : 0;
}

void init_sprite(int slot, int def, int x, int y, int z)
{
    if (!valid_slot(slot)) {
        report_error("init_sprite : invalid sprite id");
        return;
    }
    if (!valid_def(def)) {
        report_error("init_sprite : invalid obj def id");
        return;
    }
    copy_object_def_to_sprite(slot, def);
    sprite_record &s = sprite_table[slot];
    replace_image(s, def);
    forget_sprite_extent(slot);
    s.x = static_cast<float>(x);
    s.y = static_cast<float>(y);
    s.z = static_cast<float>(z);
    s.active = 1;
    s.is_room_part = 0;
    s.anim_frame = 0;
    s.anim_tick = 0;
}

// Positions are truncated towards zero, so a sprite starts on whole units.
// A world object naming no definition is refused by the definition form;
// the slot then stays as it was.
void init_sprite(int slot, int wobj)
{
    if (!valid_slot(slot)) {
        report_error("init_sprite : invalid sprite id");
        return;
    }
    if (wobj < 1 || wobj >= WORLD_OBJECT_COUNT) {
        report_error("init_sprite : invalid world object id");
        return;
    }
    const world_object &w = world_objects[wobj];
    if (!valid_def(w.obj_def)) {
        report_error("init_sprite : invalid obj def id");
        return;
    }
    init_sprite(slot, w.obj_def, static_cast<int>(w.x), static_cast<int>(w.y),
                static_cast<int>(w.z));
    sprite_record &s = sprite_table[slot];
    const object_def &d = object_defs[w.obj_def];
    s.world_object = wobj;
    s.door = w.door;
    s.door_room = w.door_room;
    s.door_x = w.door_x;
    s.door_y = w.door_y;
    s.door_z = w.door_z;
    s.door_key = w.door_key;
    s.weight = d.weight;
    s.obj_def = w.obj_def;
    s.facing = d.initial_facing;
    s.anim_frame = w.frame;
    s.standing_on = STANDING_ON_UNTESTED;
}

void init_room_sprite(int slot, int x, int y, int z, int size_x, int size_y, int size_z)
{
    if (!valid_slot(slot)) {
        report_error("init_room_sprite : invalid sprite id");
        return;
    }
    sprite_record &s = sprite_table[slot];
    s.x = static_cast<float>(x);
    s.y = static_cast<float>(y);
    s.z = static_cast<float>(z);
    s.size_x = size_x;
    s.size_y = size_y;
    s.size_z = size_z;
    s.is_room_part = 1;
    s.fixed = 1;
    s.active = 1;
    s.door = 0;
    s.obj_def = DEF_ROOM_PART;
    s.world_object = NO_WORLD_OBJECT;
}

int find_world_object_sprite(int wobj)
{
    for (int slot = 0; slot < SPRITE_COUNT; slot++) {
        if (sprite_table[slot].active && sprite_table[slot].world_object == wobj) {
            return slot;
        }
    }
    return -1;
}

// The images are destroyed and the pointers cleared, so a later fill or
// reset never destroys a bitmap twice.
void free_sprite_images(void)
{
    for (int slot = 0; slot < SPRITE_COUNT; slot++) {
        forget_sprite_extent(slot);
    }
    for (sprite_record &s : sprite_table) {
        if (s.image != nullptr) {
            destroy_bitmap(s.image);
            s.image = nullptr;
        }
    }
}

const world_object *sprite_world_object(int slot)
{
    if (!valid_slot(slot)) {
        return nullptr;
    }
    const sprite_record &s = sprite_table[slot];
    if (!s.active || s.is_room_part || s.world_object < 0 || s.world_object >= WORLD_OBJECT_COUNT) {
        return nullptr;
    }
    return &world_objects[s.world_object];
}
