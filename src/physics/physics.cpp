// Sprite physics: one tick of support, rising and falling, room limits and
// exits, pushing, stepping up, carrying, contact events and damage. Every
// scan runs in slot order 0..159: which support wins, which obstacle decides
// and whether a pushed sprite moves in the same tick all follow from it.
#include "physics/physics.h"

#include "physics/player.h"
#include "physics/triggers.h"
#include "platform/random.h"
#include "runtime/room_setup.h"
#include "runtime/sprite_images.h"
#include "runtime/sprites.h"
#include "world/object_defs.h"
#include "world/rooms.h"

float energy = START_ENERGY;
int player_falling = 0;

static constexpr int SUPPORT_TEST_DEPTH = 1;
static constexpr int FALL_STEP = 1;
static constexpr int LIMIT_ALLOWANCE = 1; // the far edge may pass a high limit by this much
static constexpr int NO_EXIT = 0;         // adjacent room of a side that is a wall

// Stands in for the definition of a sprite whose obj_def is out of range: a
// harmless loose object that does not climb, hurt or animate.
static object_def make_no_def(void)
{
    object_def d{};
    d.category = CATEGORY_OBJECT;
    return d;
}
static const object_def no_def = make_no_def();

static int valid_slot(int slot)
{
    return slot >= 0 && slot < SPRITE_COUNT;
}

static const object_def &def_of(int def)
{
    return def >= 0 && def < OBJECT_DEF_COUNT ? object_defs[def] : no_def;
}

static const room_record *room_of(int room)
{
    return room >= 0 && room < ROOM_COUNT ? &rooms[room] : nullptr;
}

// Whether either end of a's height span lies inside b's (in floats against
// b's float z, as the boxes meet on whole units anyway).
static int span_end_inside(const sprite_record &a, const sprite_record &b)
{
    float lo = static_cast<float>(static_cast<int>(a.z));
    float hi = static_cast<float>(static_cast<int>(a.z + a.size_z - 1));
    float b_top = b.z + b.size_z;
    return (lo >= b.z && b_top > lo) || (hi >= b.z && b_top > hi);
}

int sprites_overlap(int a, int b)
{
    if (!valid_slot(a) || !valid_slot(b)) {
        return 0;
    }
    const sprite_record &sa = sprite_table[a];
    const sprite_record &sb = sprite_table[b];
    if (!rects_overlap(static_cast<int>(sa.x), static_cast<int>(sa.y), sa.size_x, sa.size_y,
                       static_cast<int>(sb.x), static_cast<int>(sb.y), sb.size_x, sb.size_y)) {
        return 0;
    }
    return span_end_inside(sa, sb) || span_end_inside(sb, sa);
}

int random_int(int n)
{
    return n <= 0 ? 0 : runtime_rand() % n;
}

int random_range(int lo, int hi)
{
    return hi <= lo ? lo : lo + random_int(hi - lo + 1);
}

// Another active sprite than i overlapping it, or -1; the scan starts at from.
static int first_overlap_from(int i, int from)
{
    for (int j = from; j < SPRITE_COUNT; j++) {
        if (j != i && sprite_table[j].active && sprites_overlap(i, j)) {
            return j;
        }
    }
    return -1;
}

static int world_object_of(int slot)
{
    const sprite_record &s = sprite_table[slot];
    return s.is_room_part ? NO_WORLD_OBJECT : s.world_object;
}

// A touch, told to the triggers both ways round; the player pays both
// sprites' damage (its own is 0).
static void report_contact(int i, int j)
{
    fire_triggers(world_object_of(i), world_object_of(j), EVENT_TOUCH);
    fire_triggers(world_object_of(j), world_object_of(i), EVENT_TOUCH);
    if (i == PLAYER_SLOT || j == PLAYER_SLOT) {
        energy -= def_of(sprite_table[i].obj_def).damage;
        energy -= def_of(sprite_table[j].obj_def).damage;
    }
}

// Pass 1 for one sprite: the last overlapping slot one unit below wins. A
// jumping player is not tested, so it stays on nothing until the jump ends.
static void find_support(int i)
{
    sprite_record &s = sprite_table[i];
    s.standing_on = STANDING_ON_NOTHING;
    s.z -= SUPPORT_TEST_DEPTH;
    if (i != PLAYER_SLOT || jump_counter == 0) {
        for (int j = 0; j < SPRITE_COUNT; j++) {
            if (j != i && sprite_table[j].active && sprites_overlap(i, j)) {
                s.standing_on = j;
            }
        }
    }
    s.z += SUPPORT_TEST_DEPTH;
}

// A rise undone by whatever it ran into; that sprite, if movable, is
// handed the same rise for its own step.
static void rise(int i)
{
    sprite_record &s = sprite_table[i];
    s.z += s.vz;
    for (int j = 0; j < SPRITE_COUNT; j++) {
        if (j != i && sprite_table[j].active && sprites_overlap(i, j)) {
            s.z -= s.vz;
            if (!sprite_table[j].fixed) {
                sprite_table[j].vz = s.vz;
            }
        }
    }
    s.vz = 0;
}

static void fall_one_step(int i)
{
    sprite_record &s = sprite_table[i];
    s.z -= FALL_STEP;
    for (int j = 0; j < SPRITE_COUNT; j++) {
        if (j != i && sprite_table[j].active && sprites_overlap(i, j)) {
            s.z += FALL_STEP;
            if (i == PLAYER_SLOT) {
                player_falling = 0;
            }
            report_contact(i, j);
        }
    }
}

// Where a sprite has no floor column under it, the fall stops at 0: the
// room's floor plane is the lowest a sprite can go, so nothing sinks out of
// the world one tick at a time.
static void fall(int i)
{
    if (i == PLAYER_SLOT) {
        player_falling = 1;
    }
    for (int step = 0; step < FALL_STEPS_PER_TICK && sprite_table[i].z > 0; step++) {
        fall_one_step(i);
    }
    sprite_table[i].vz = 0;
}

static void vertical_step(int i)
{
    sprite_record &s = sprite_table[i];
    if (s.vz > 0) {
        rise(i);
    } else if (s.z > 0) {
        fall(i);
    } else if (i == PLAYER_SLOT) {
        player_falling = 0;
    }
}

// One side of the room: whether the sprite is past it, the neighbour's
// entry position, and where a sprite that stays is clamped to.
static int past_side(int side, const sprite_record &s, const room_record &r)
{
    switch (side) {
    case SIDE_LOW_X:
        return s.x < r.limit[SIDE_LOW_X];
    case SIDE_HIGH_X:
        return s.x + s.size_x > r.limit[SIDE_HIGH_X] + LIMIT_ALLOWANCE;
    case SIDE_LOW_Y:
        return s.y < r.limit[SIDE_LOW_Y];
    default:
        return s.y + s.size_y > r.limit[SIDE_HIGH_Y] + LIMIT_ALLOWANCE;
    }
}

static int enter_through_side(int side, const sprite_record &s, int next_room)
{
    const room_record &n = rooms[next_room];
    int x = static_cast<int>(s.x);
    int y = static_cast<int>(s.y);
    int z = static_cast<int>(s.z);
    switch (side) {
    case SIDE_LOW_X:
        x = n.limit[SIDE_HIGH_X] - LIMIT_ALLOWANCE - s.size_x;
        break;
    case SIDE_HIGH_X:
        x = n.limit[SIDE_LOW_X] + LIMIT_ALLOWANCE;
        break;
    case SIDE_LOW_Y:
        y = n.limit[SIDE_HIGH_Y] - LIMIT_ALLOWANCE - s.size_y;
        break;
    default:
        y = n.limit[SIDE_LOW_Y] + LIMIT_ALLOWANCE;
        break;
    }
    return go_to_room(next_room, x, y, z);
}

static void clamp_to_side(int side, sprite_record &s, const room_record &r)
{
    switch (side) {
    case SIDE_LOW_X:
        s.x = r.limit[SIDE_LOW_X];
        break;
    case SIDE_HIGH_X:
        s.x = r.limit[SIDE_HIGH_X] - s.size_x;
        break;
    case SIDE_LOW_Y:
        s.y = r.limit[SIDE_LOW_Y];
        break;
    default:
        s.y = r.limit[SIDE_HIGH_Y] - s.size_y;
        break;
    }
}

// The sides in the order they are tested; only the first one passed counts.
static const int sides_in_test_order[SIDE_COUNT] = {SIDE_LOW_X, SIDE_HIGH_X, SIDE_LOW_Y,
                                                    SIDE_HIGH_Y};

// 1 when the sprite went over a limit: it is then either in the next room
// (the player through an exit) or clamped back inside, and this tick has no
// collision for it.
static int apply_room_limits(int i)
{
    const room_record *r = room_of(current_room);
    if (r == nullptr) {
        return 0;
    }
    for (int side : sides_in_test_order) {
        sprite_record &s = sprite_table[i];
        if (!past_side(side, s, *r)) {
            continue;
        }
        int next_room = r->adjacent[side];
        int moved = 0;
        if (i == PLAYER_SLOT && next_room != NO_EXIT) {
            moved = enter_through_side(side, s, next_room);
        }
        if (!moved) {
            clamp_to_side(side, sprite_table[i], *r);
        }
        return 1;
    }
    return 0;
}

// Whether j makes way for a pusher: fixed sprites never do, creatures only
// when random_int of their weight draws 0 (and then lose their rise), loose
// objects always.
static int gives_way(int j)
{
    sprite_record &s = sprite_table[j];
    if (s.fixed) {
        return 0;
    }
    if (def_of(s.obj_def).behaviour != BEHAVIOUR_NONE) {
        if (random_int(s.weight) != 0) {
            return 0;
        }
        s.vz = 0;
    }
    return 1;
}

// A character's try to climb onto j: 1 when it now stands on j's top and
// fits there. The player climbs only from something it stands on.
static int step_up_onto(int i, int j)
{
    sprite_record &s = sprite_table[i];
    const sprite_record &o = sprite_table[j];
    int rise_needed = static_cast<int>(o.z + o.size_z - s.z);
    if (rise_needed > MAX_STEP_UP) {
        return 0;
    }
    if (i == PLAYER_SLOT && s.standing_on == STANDING_ON_NOTHING) {
        return 0;
    }
    int kept_z = static_cast<int>(s.z);
    s.z = o.z + o.size_z;
    if (first_overlap_from(i, 0) >= 0) {
        s.z = static_cast<float>(kept_z);
        return 0;
    }
    return 1;
}

// The obstacles in slot order; the scan stops at the first that pushes or
// stops the sprite. Returns 1 when the sprite is blocked.
static int resolve_collisions(int i, int category)
{
    for (int j = 0; j < SPRITE_COUNT; j++) {
        if (j == i || !sprite_table[j].active || !sprites_overlap(i, j)) {
            continue;
        }
        int blocked;
        if (gives_way(j)) {
            sprite_table[j].vx = sprite_table[i].vx;
            sprite_table[j].vy = sprite_table[i].vy;
            blocked = 1;
        } else if (category != CATEGORY_CHARACTER) {
            blocked = 1;
        } else {
            blocked = !step_up_onto(i, j);
        }
        report_contact(i, j);
        if (blocked) {
            return 1;
        }
    }
    return 0;
}

// What stands on a sprite that moved is asked to move the same way.
static void carry_riders(int i)
{
    const sprite_record &s = sprite_table[i];
    for (int k = 0; k < SPRITE_COUNT; k++) {
        sprite_record &rider = sprite_table[k];
        if (k != i && rider.active && !rider.fixed && rider.standing_on == i) {
            rider.vx = s.vx;
            rider.vy = s.vy;
        }
    }
}

static void horizontal_step(int i, int category)
{
    sprite_record &s = sprite_table[i];
    if (s.vx == 0 && s.vy == 0) {
        return;
    }
    if (i == PLAYER_SLOT && player_falling) {
        return;
    }
    s.x += s.vx;
    s.y += s.vy;
    if (!apply_room_limits(i)) {
        if (resolve_collisions(i, category)) {
            sprite_table[i].x -= sprite_table[i].vx;
            sprite_table[i].y -= sprite_table[i].vy;
        } else {
            carry_riders(i);
        }
    }
    sprite_table[i].vx = 0;
    sprite_table[i].vy = 0;
}

// Characters in the air hold their frame; the player's frames belong to the
// player rules.
static void animate(int i, const object_def &d)
{
    sprite_record &s = sprite_table[i];
    if (d.anim_frames < 2 || d.anim_delay < 1 || i == PLAYER_SLOT) {
        return;
    }
    if (s.standing_on == STANDING_ON_NOTHING && d.category == CATEGORY_CHARACTER) {
        return;
    }
    s.anim_tick++;
    if (s.anim_tick > d.anim_delay) {
        s.anim_tick = 0;
        s.anim_frame++;
        if (s.anim_frame >= d.anim_frames) {
            s.anim_frame = 0;
        }
    }
}

// Pass 2 for one sprite. The definition is taken before anything moves: a
// trigger run from a contact may refill the slot with something else.
static void move_one_sprite(int i)
{
    const object_def &d = def_of(sprite_table[i].obj_def);
    if (!sprite_table[i].fixed) {
        vertical_step(i);
    }
    horizontal_step(i, d.category);
    place_sprite_on_view(i);
    animate(i, d);
    refresh_sprite_image(i);
}

void move_sprites(void)
{
    for (int i = 0; i < SPRITE_COUNT; i++) {
        const sprite_record &s = sprite_table[i];
        if (s.active && !s.fixed && s.vz == 0) {
            find_support(i);
        }
    }
    for (int i = 0; i < SPRITE_COUNT; i++) {
        const sprite_record &s = sprite_table[i];
        if (s.active && !s.is_room_part) {
            move_one_sprite(i);
        }
    }
}
