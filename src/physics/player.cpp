// The player's tick: what the keys ask for (walk, lunge, jump, drop, pick
// up), the walking frames, the doors, and after the physics the jump. Also
// the probes and the room change the rest of the game shares.
#include "physics/player.h"

#include <cstdio>

#include "physics/physics.h"
#include "physics/player_items.h"
#include "runtime/room_setup.h"
#include "runtime/sprites.h"
#include "shell/actions.h"
#include "shell/error_report.h"
#include "world/rooms.h"
#include "world/world_objects.h"

int inventory[INVENTORY_SLOTS];
int selected_slot = 0;
int examined_object = NO_EXAMINED_OBJECT;
BITMAP *item_picture = nullptr;
BITMAP *examine_picture = nullptr;
int jump_counter = 0;
int head_bumped = 0;
int walking = 0;
int pickup_pose = 0;
int lunge_counter = 0;
int drop_latch = 0;
int pickup_latch = 0;
int locked_latch = 0;
char notice_text[64];
int notice_timer = 0;
int examine_slide = 0;

// The player's frames (indexes into its definition's frames).
static constexpr int FRAME_STANDING = PLAYER_FRAME_STANDING;
static constexpr int FRAME_REACHING = 4;
static constexpr int FRAME_LUNGE_HOLD = 5;
static constexpr int FRAME_LUNGE_THRUST = 6;
static constexpr int WALK_CYCLE_FRAMES = 4; // frames 0..3
static constexpr int WALK_FRAME_TICKS = 3;

// The lunge: counted while held, moving only in its first ticks.
static constexpr int LUNGE_MAX = 9;
static constexpr int LUNGE_MOVING_BELOW = 5;

static constexpr int RISE_PER_TICK = 1;
static constexpr int DOOR_TEST_DEPTH = 1;

static const char NOTICE_BLOCKED[] = "Blocked!";
static const char NOTICE_LOCKED[] = "Locked!";

// The direction keys in the order they are asked, with the facing each
// walks towards; only the first held one moves the player.
struct walk_key {
    int action;
    int facing;
};
static const walk_key walk_keys[] = {
    {ACTION_LEFT, SIDE_HIGH_X},
    {ACTION_RIGHT, SIDE_LOW_X},
    {ACTION_UP, SIDE_HIGH_Y},
    {ACTION_DOWN, SIDE_LOW_Y},
};

static int valid_slot(int slot)
{
    return slot >= 0 && slot < SPRITE_COUNT;
}

static int valid_facing(int facing)
{
    return facing >= 0 && facing < FACING_COUNT;
}

void reset_player_state(void)
{
    for (int &slot : inventory) {
        slot = EMPTY_SLOT;
    }
    selected_slot = 0;
    examined_object = NO_EXAMINED_OBJECT;
    jump_counter = head_bumped = walking = pickup_pose = lunge_counter = 0;
    drop_latch = pickup_latch = locked_latch = 0;
    notice_timer = 0;
    notice_text[0] = '\0';
    examine_slide = 0;
    energy = START_ENERGY;
    player_falling = 0;
}

void set_notice(const char *text)
{
    snprintf(notice_text, sizeof notice_text, "%s", text);
    notice_timer = NOTICE_FRAMES;
}

// Asks for one unit of movement in the player's facing (set, not added).
static void request_facing_step(void)
{
    sprite_record &p = sprite_table[PLAYER_SLOT];
    if (!valid_facing(p.facing)) {
        return;
    }
    if (facing_step_x[p.facing] != 0) {
        p.vx = static_cast<float>(facing_step_x[p.facing]);
    }
    if (facing_step_y[p.facing] != 0) {
        p.vy = static_cast<float>(facing_step_y[p.facing]);
    }
}

static int any_direction_held(void)
{
    int held = 0;
    for (const walk_key &w : walk_keys) {
        held |= check_action(w.action);
    }
    return held;
}

static void drop_choice(void)
{
    if (selected_item() != EMPTY_SLOT) {
        drop_item(selected_slot);
        examined_object = NO_EXAMINED_OBJECT;
        drop_latch = 1;
    }
}

static void pick_up_choice(void)
{
    pickup_pose = 1;
    if (selected_item() == EMPTY_SLOT) {
        sprite_table[PLAYER_SLOT].anim_frame = FRAME_REACHING;
        examined_object = NO_EXAMINED_OBJECT;
    }
}

static void lunge_choice(void)
{
    if (lunge_counter < LUNGE_MAX) {
        lunge_counter++;
        if (lunge_counter < LUNGE_MOVING_BELOW) {
            request_facing_step();
        }
        examined_object = NO_EXAMINED_OBJECT;
    }
}

static void walk_choice(void)
{
    pickup_pose = 0;
    lunge_counter = 0;
    for (const walk_key &w : walk_keys) {
        if (check_action(w.action)) {
            sprite_table[PLAYER_SLOT].facing = w.facing;
            request_facing_step();
            walking = 1;
            examined_object = NO_EXAMINED_OBJECT;
            return;
        }
    }
    locked_latch = 0;
}

// Only on firm ground and not mid-jump; the first choice that applies.
static void movement_choices(void)
{
    if (check_action(ACTION_DROP) && drop_latch == 0) {
        drop_choice();
    } else if (check_action(ACTION_PICK_UP)) {
        pick_up_choice();
    } else if (check_action(ACTION_LUNGE) && !any_direction_held()) {
        lunge_choice();
    } else {
        walk_choice();
    }
    if (check_action(ACTION_JUMP)) {
        jump_counter = JUMP_TICKS;
        head_bumped = 0;
        examined_object = NO_EXAMINED_OBJECT;
    }
}

static int lunge_frame(void)
{
    if (lunge_counter < LUNGE_MOVING_BELOW) {
        return FRAME_LUNGE_THRUST;
    }
    return lunge_counter == LUNGE_MAX ? FRAME_STANDING : FRAME_LUNGE_HOLD;
}

// The walk cycle runs 1, 2, 3, 0 at one frame per WALK_FRAME_TICKS ticks.
static void animate_player(void)
{
    sprite_record &p = sprite_table[PLAYER_SLOT];
    if (walking) {
        p.anim_tick++;
        if (p.anim_tick >= WALK_FRAME_TICKS) {
            p.anim_tick = 0;
            if (p.anim_frame >= WALK_CYCLE_FRAMES) {
                p.anim_frame = 0;
            }
            p.anim_frame++;
            if (p.anim_frame >= WALK_CYCLE_FRAMES) {
                p.anim_frame = 0;
            }
        }
    } else {
        p.anim_tick = 0;
        if (!pickup_pose) {
            p.anim_frame = FRAME_STANDING;
        }
    }
    if (lunge_counter > 0) {
        p.anim_frame = lunge_frame();
    }
}

// The K key opens any door; it is a key, not an action, so a run fed only
// through the latch never presses it.
static int door_opens(const sprite_record &door)
{
    if (door.door_key == NO_KEY || selected_item() == door.door_key) {
        return 1;
    }
    return !input_from_latch_only && key[KEY_K];
}

static void door_step(void)
{
    int k = find_touched_door();
    if (k < 0) {
        return;
    }
    const sprite_record &door = sprite_table[k];
    if (door_opens(door)) {
        go_to_room(door.door_room, door.door_x, door.door_y, door.door_z);
    } else if (locked_latch == 0) {
        set_notice(NOTICE_LOCKED);
        locked_latch = 1;
    }
}

void player_actions(void)
{
    slot_selection_step();
    use_step();
    examine_step();
    if (!check_action(ACTION_DROP)) {
        drop_latch = 0;
    }
    walking = 0;
    if (!check_action(ACTION_PICK_UP)) {
        pickup_latch = 0;
    }
    if (jump_counter == 0 && sprite_table[PLAYER_SLOT].standing_on >= 0) {
        movement_choices();
    }
    animate_player();
    door_step();
    pick_up_step();
}

void jump_step(int z_before)
{
    sprite_record &p = sprite_table[PLAYER_SLOT];
    if (jump_counter > 0 && jump_counter < JUMP_TICKS && static_cast<int>(p.z) == z_before) {
        head_bumped = 1;
    }
    if (player_falling || head_bumped) {
        jump_counter = 0;
    }
    if (jump_counter > 0) {
        jump_counter--;
        if (valid_facing(p.facing)) {
            p.vx += facing_step_x[p.facing];
            p.vy += facing_step_y[p.facing];
        }
        p.vz = RISE_PER_TICK;
        if (jump_counter == 0) {
            p.standing_on = STANDING_ON_NOTHING;
        }
    }
}

// Moves a sprite's box, asks the question, and puts the box back exactly.
struct box_position {
    float x, y, z;
};

static box_position shift_sprite(int slot, float dx, float dy, float dz)
{
    sprite_record &s = sprite_table[slot];
    box_position kept = {s.x, s.y, s.z};
    s.x += dx;
    s.y += dy;
    s.z += dz;
    return kept;
}

static void restore_sprite(int slot, box_position kept)
{
    sprite_record &s = sprite_table[slot];
    s.x = kept.x;
    s.y = kept.y;
    s.z = kept.z;
}

static int outside_limits(const sprite_record &s)
{
    if (current_room < 0 || current_room >= ROOM_COUNT) {
        return 0;
    }
    const uint8_t *limit = rooms[current_room].limit;
    return s.x < limit[SIDE_LOW_X] || s.x + s.size_x > limit[SIDE_HIGH_X] ||
           s.y < limit[SIDE_LOW_Y] || s.y + s.size_y > limit[SIDE_HIGH_Y];
}

int probe_blocked(int slot, int dx, int dy, int dz)
{
    if (!valid_slot(slot)) {
        return 1;
    }
    box_position kept =
        shift_sprite(slot, static_cast<float>(dx), static_cast<float>(dy), static_cast<float>(dz));
    int blocked = 0;
    for (int j = 0; j < SPRITE_COUNT && !blocked; j++) {
        blocked = j != slot && sprite_table[j].active && sprites_overlap(slot, j);
    }
    if (!blocked) {
        blocked = outside_limits(sprite_table[slot]);
    }
    restore_sprite(slot, kept);
    return blocked;
}

static void place_player(int x, int y, int z)
{
    sprite_record &p = sprite_table[PLAYER_SLOT];
    p.x = static_cast<float>(x);
    p.y = static_cast<float>(y);
    p.z = static_cast<float>(z);
}

// An unknown destination is refused before anything moves, so the old room
// stays exactly as it was.
int go_to_room(int room, int x, int y, int z)
{
    if (room < 0 || room >= ROOM_COUNT) {
        report_error("go_to_room : invalid room id");
        return 0;
    }
    sprite_record &p = sprite_table[PLAYER_SLOT];
    int old_x = static_cast<int>(p.x);
    int old_y = static_cast<int>(p.y);
    int old_z = static_cast<int>(p.z);
    int old_room = current_room;
    place_player(x, y, z);
    p.vx = p.vy = p.vz = 0;
    store_sprite_positions();
    build_room(room);
    if (probe_blocked(PLAYER_SLOT, 0, 0, 0)) {
        place_player(old_x, old_y, old_z);
        store_sprite_positions();
        build_room(old_room);
        set_notice(NOTICE_BLOCKED);
        return 0;
    }
    jump_counter = 0;
    return 1;
}

void store_sprite_positions(void)
{
    for (int slot = FIRST_ROOM_PART_SLOT; slot < SPRITE_COUNT; slot++) {
        const sprite_record &s = sprite_table[slot];
        if (!s.active || s.fixed || !valid_world_object(s.world_object)) {
            continue;
        }
        world_object &w = world_objects[s.world_object];
        w.x = s.x;
        w.y = s.y;
        w.z = s.z;
        w.room = current_room;
    }
}

// The first active door from slot 1 on that the player's box overlaps now.
static int first_door_overlapping_player(void)
{
    for (int j = FIRST_ROOM_PART_SLOT; j < SPRITE_COUNT; j++) {
        const sprite_record &s = sprite_table[j];
        if (s.active && s.door && sprites_overlap(PLAYER_SLOT, j)) {
            return j;
        }
    }
    return -1;
}

// A door is walked (or jumped) into, or stood on.
int find_touched_door(void)
{
    const sprite_record &p = sprite_table[PLAYER_SLOT];
    int found = -1;
    if (p.vx != 0 || p.vy != 0 || p.vz > 0) {
        box_position kept = shift_sprite(PLAYER_SLOT, p.vx, p.vy, p.vz);
        found = first_door_overlapping_player();
        restore_sprite(PLAYER_SLOT, kept);
    }
    if (found < 0) {
        box_position kept = shift_sprite(PLAYER_SLOT, 0, 0, -DOOR_TEST_DEPTH);
        found = first_door_overlapping_player();
        restore_sprite(PLAYER_SLOT, kept);
    }
    return found;
}

static int first_object_overlapping(int slot)
{
    for (int j = 0; j < SPRITE_COUNT; j++) {
        const sprite_record &s = sprite_table[j];
        if (j != slot && s.active && !s.is_room_part && sprites_overlap(slot, j)) {
            return j;
        }
    }
    return -1;
}

int find_sprite_ahead(int slot, int reach)
{
    if (!valid_slot(slot) || !valid_facing(sprite_table[slot].facing)) {
        return -1;
    }
    int facing = sprite_table[slot].facing;
    for (int step = 1; step <= reach + 1; step++) {
        box_position kept = shift_sprite(slot, static_cast<float>(step * facing_step_x[facing]),
                                         static_cast<float>(step * facing_step_y[facing]), 0);
        int found = first_object_overlapping(slot);
        restore_sprite(slot, kept);
        if (found >= 0) {
            return found;
        }
    }
    return -1;
}
