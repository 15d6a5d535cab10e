// The trigger table and its actions. An action that fails (no free sprite,
// a refused room change, every show request) stops its trigger, which then
// stays armed and runs again from its first action at the next match.
#include "physics/triggers.h"

#include "physics/player.h"
#include "physics/script_ids.h"
#include "runtime/room_setup.h"
#include "runtime/sprite_images.h"
#include "runtime/sprites.h"
#include "world/world_objects.h"

trigger_record triggers[TRIGGER_COUNT];
int trigger_counters[TRIGGER_COUNTERS];
show_request pending_show;

void clear_trigger(int index)
{
    trigger_record &t = triggers[index];
    t.active = 0;
    t.event = EVENT_NONE;
    t.fired = 0;
    t.subject = t.other = t.room = ANY;
    t.counter = -1;
    t.value = 0;
    for (trigger_action &a : t.actions) {
        a.active = 0;
        a.object = a.value = a.room = a.spare = a.param = -1;
        a.type = DO_NOTHING;
        a.x = a.y = a.z = 0;
    }
}

void rearm_triggers(void)
{
    for (trigger_record &t : triggers) {
        t.fired = 0;
    }
}

static int valid_object(int w)
{
    return w >= 1 && w < WORLD_OBJECT_COUNT;
}

static int do_place(int object, int x, int y, int z)
{
    int shown = find_world_object_sprite(object);
    if (shown >= 0) {
        sprite_table[shown].active = 0;
    }
    int slot = get_sprite_id();
    if (slot < 0) {
        return 0;
    }
    init_sprite(slot, object);
    sprite_record &s = sprite_table[slot];
    s.x = static_cast<float>(x);
    s.y = static_cast<float>(y);
    s.z = static_cast<float>(z);
    if (s.active) {
        place_sprite_on_view(slot);
        refresh_sprite_image(slot);
    }
    return 1;
}

static int do_remove(int object)
{
    int shown = find_world_object_sprite(object);
    if (shown >= 0) {
        sprite_table[shown].active = 0;
    }
    if (valid_object(object)) {
        world_objects[object].used = WOBJ_FREE;
    }
    for (int &slot : inventory) {
        if (slot == object) {
            slot = EMPTY_SLOT;
        }
    }
    return 1;
}

static int do_set_frame(int object, int frame)
{
    if (valid_object(object)) {
        world_objects[object].frame = static_cast<uint8_t>(frame);
    }
    int shown = find_world_object_sprite(object);
    if (shown >= 0) {
        sprite_table[shown].anim_frame = frame;
    }
    return 1;
}

static int do_move(int object, int dx, int dy, int dz)
{
    int shown = find_world_object_sprite(object);
    if (shown >= 0) {
        sprite_table[shown].x += dx;
        sprite_table[shown].y += dy;
        sprite_table[shown].z += dz;
    } else if (valid_object(object)) {
        world_objects[object].x += dx;
        world_objects[object].y += dy;
        world_objects[object].z += dz;
    }
    return 1;
}

static int do_count(int counter)
{
    if (counter >= 0 && counter < TRIGGER_COUNTERS) {
        trigger_counters[counter]++;
    }
    return 1;
}

// Puts the new object where the old one was (in the current room).
static int do_replace(int object, int replacement)
{
    int x = 0, y = 0, z = 0;
    int shown = find_world_object_sprite(object);
    if (shown >= 0) {
        x = static_cast<int>(sprite_table[shown].x);
        y = static_cast<int>(sprite_table[shown].y);
        z = static_cast<int>(sprite_table[shown].z);
    } else if (valid_object(object)) {
        x = static_cast<int>(world_objects[object].x);
        y = static_cast<int>(world_objects[object].y);
        z = static_cast<int>(world_objects[object].z);
    }
    do_remove(object);
    return do_place(replacement, x, y, z);
}

static int do_show(const trigger_action &a)
{
    if (!pending_show.pending) {
        pending_show = show_request{1, a.param, a.x, a.y, a.value};
    }
    return 0;
}

static int run_action(const trigger_action &a)
{
    switch (a.type) {
    case DO_PLACE:
        // Placed in the current room whatever room the action names: the
        // object is where the player is, and is written back to its world
        // object when the player leaves.
        return do_place(a.object, a.x, a.y, a.z);
    case DO_REMOVE:
        return do_remove(a.object);
    case DO_GO_TO_ROOM:
        return go_to_room(a.room, a.x, a.y, a.z);
    case DO_SET_FRAME:
        return do_set_frame(a.object, a.value);
    case DO_MOVE:
        return do_move(a.object, a.x, a.y, a.z);
    case DO_COUNT:
        return do_count(a.value);
    case DO_REPLACE:
        return do_replace(a.object, a.value);
    case DO_SHOW:
        return do_show(a);
    default:
        return 1;
    }
}

int run_trigger(int index)
{
    int result = 1;
    for (int i = 0; i < TRIGGER_ACTIONS && result == 1; i++) {
        const trigger_action &a = triggers[index].actions[i];
        if (a.active) {
            result = run_action(a);
        }
    }
    return result;
}

static int matches(const trigger_record &t, int a, int b, int kind)
{
    if (!t.active || t.fired || t.event != kind) {
        return 0;
    }
    if (kind == EVENT_COUNTER) {
        return t.counter >= 0 && t.counter < TRIGGER_COUNTERS &&
               trigger_counters[t.counter] == t.value;
    }
    return (t.subject == ANY || t.subject == a) && (t.room == ANY || t.room == current_room) &&
           (t.other == ANY || t.other == b);
}

void fire_triggers(int a, int b, int kind)
{
    for (int i = 0; i < TRIGGER_COUNT; i++) {
        if (matches(triggers[i], a, b, kind) && run_trigger(i) == 1) {
            triggers[i].fired = 1;
        }
    }
}

// Table-building helpers: a trigger and its actions in one line each.
static void on_event(int index, int event, int subject, int other)
{
    triggers[index].active = 1;
    triggers[index].event = event;
    triggers[index].subject = subject;
    triggers[index].other = other;
}

static void on_counter(int index, int counter, int value)
{
    triggers[index].active = 1;
    triggers[index].event = EVENT_COUNTER;
    triggers[index].counter = counter;
    triggers[index].value = value;
}

static trigger_action &add_action(int index, int slot, int type, int object)
{
    trigger_action &a = triggers[index].actions[slot];
    a.active = 1;
    a.type = type;
    a.object = object;
    return a;
}

// One offering brought to the altar: its marker changes, the offering is
// taken, and the count of offerings goes up.
static void offering_trigger(int index, int offering, int marker, int frame)
{
    on_event(index, EVENT_TOUCH, offering, SCRIPT_ALTAR);
    add_action(index, 0, DO_SET_FRAME, marker).value = frame;
    add_action(index, 1, DO_REMOVE, offering);
    add_action(index, 2, DO_COUNT, -1).value = SCRIPT_OFFERING_COUNTER;
}

void build_trigger_table(void)
{
    pending_show = show_request{};
    for (int i = 0; i < TRIGGER_COUNT; i++) {
        clear_trigger(i);
    }
    for (int &c : trigger_counters) {
        c = 0;
    }
    offering_trigger(0, SCRIPT_OFFERING_1, SCRIPT_MARKER_1, SCRIPT_MARKER_1_FRAME);
    offering_trigger(1, SCRIPT_OFFERING_2, SCRIPT_MARKER_2, SCRIPT_MARKER_2_FRAME);
    offering_trigger(2, SCRIPT_OFFERING_3, SCRIPT_MARKER_3, SCRIPT_MARKER_3_FRAME);
    offering_trigger(3, SCRIPT_OFFERING_4, SCRIPT_MARKER_4, SCRIPT_MARKER_4_FRAME);

    on_counter(4, SCRIPT_OFFERING_COUNTER, SCRIPT_OFFERINGS_NEEDED);
    trigger_action &reward = add_action(4, 0, DO_PLACE, SCRIPT_REWARD);
    reward.room = SCRIPT_REWARD_ROOM;
    reward.x = SCRIPT_REWARD_X;
    reward.y = SCRIPT_REWARD_Y;
    reward.z = SCRIPT_REWARD_Z;

    on_event(5, EVENT_TOUCH, SCRIPT_CHARM, SCRIPT_CHARMED_THING);
    add_action(5, 0, DO_REPLACE, SCRIPT_CHARMED_THING).value = SCRIPT_CHARM_RESULT;

    on_event(6, EVENT_TOUCH, SCRIPT_CHARM_RESULT, SCRIPT_BARRIER);
    add_action(6, 0, DO_REMOVE, SCRIPT_BARRIER);
    add_action(6, 1, DO_REMOVE, SCRIPT_CHARM_RESULT);

    on_event(7, EVENT_USE, SCRIPT_USABLE, ANY);
    trigger_action &show = add_action(7, 0, DO_SHOW, -1);
    show.param = SCRIPT_SHOW_PARAM;
    show.x = SCRIPT_SHOW_X;
    show.y = SCRIPT_SHOW_Y;
    show.value = SCRIPT_SHOW_VALUE;
}
