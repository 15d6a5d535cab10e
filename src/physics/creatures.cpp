// Creature behaviours, one slot at a time in slot order.
#include "physics/creatures.h"

#include <cmath>
#include <cstdlib>

#include "physics/player.h"
#include "runtime/sprites.h"
#include "world/object_defs.h"
#include "world/rooms.h"

// The one-unit step of each facing.
static const int facing_dx[SIDE_COUNT] = {0, 1, 0, -1};
static const int facing_dy[SIDE_COUNT] = {-1, 0, 1, 0};

int direction_to_player(int slot)
{
    const sprite_record &p = sprite_table[PLAYER_SLOT], &c = sprite_table[slot];
    int dx = static_cast<int>(p.x - c.x), dy = static_cast<int>(p.y - c.y);
    if (abs(dx) > abs(dy)) {
        return p.x > c.x ? SIDE_HIGH_X : SIDE_LOW_X;
    }
    return p.y > c.y ? SIDE_HIGH_Y : SIDE_LOW_Y;
}

int rounded_distance(int dx, int dy)
{
    double x = dx, y = dy; // in doubles: the squares of far-apart positions pass an int
    return static_cast<int>(std::floor(std::sqrt(x * x + y * y) + 0.5));
}

static void watch(int slot)
{
    sprite_table[slot].facing = direction_to_player(slot);
}

// Walks along one axis and turns about when the next step is blocked (the
// turn takes the whole tick). forward is the facing of the positive step.
static void patrol(int slot, int forward, int backward)
{
    sprite_record &s = sprite_table[slot];
    int going = s.facing == forward ? forward : backward;
    int dx = facing_dx[going], dy = facing_dy[going];
    if (probe_blocked(slot, dx, dy, 0)) {
        s.facing = going == forward ? backward : forward;
        return;
    }
    // Only this axis's request is written: the other keeps what it holds.
    if (dx != 0) {
        s.vx = static_cast<float>(dx);
    } else {
        s.vy = static_cast<float>(dy);
    }
}

// A patroller that comes near the player becomes an attacker; the change
// lives only in the sprite, so the room rebuilt brings the patrol back.
static void alert_if_near(int slot)
{
    const sprite_record &p = sprite_table[PLAYER_SLOT];
    sprite_record &s = sprite_table[slot];
    int dx = static_cast<int>(s.x - p.x), dy = static_cast<int>(s.y - p.y);
    if (rounded_distance(dx, dy) < PATROL_ALERT_DISTANCE) {
        s.obj_def = DEF_ATTACKING_TROLL;
    }
}

static void chase(int slot)
{
    sprite_record &s = sprite_table[slot];
    if (s.turn_timer > 0) {
        s.turn_timer--;
        s.vx = static_cast<float>(s.saved_vx);
        s.vy = static_cast<float>(s.saved_vy);
        return;
    }
    int direction = direction_to_player(slot);
    s.facing = direction;
    if (facing_dx[direction] != 0) {
        s.vx = static_cast<float>(facing_dx[direction]);
    } else {
        s.vy = static_cast<float>(facing_dy[direction]);
    }
    s.saved_vx = static_cast<int>(s.vx);
    s.saved_vy = static_cast<int>(s.vy);
    s.turn_timer = CHASE_REPEAT_TICKS;
}

static int behaviour_of(int slot)
{
    int def = sprite_table[slot].obj_def;
    return def >= 0 && def < OBJECT_DEF_COUNT ? object_defs[def].behaviour : BEHAVIOUR_NONE;
}

void update_creatures(void)
{
    for (int i = 0; i < SPRITE_COUNT; i++) {
        const sprite_record &s = sprite_table[i];
        int behaviour = s.active ? behaviour_of(i) : BEHAVIOUR_NONE;
        if (behaviour == BEHAVIOUR_NONE || (s.standing_on == STANDING_ON_NOTHING && !s.fixed)) {
            continue;
        }
        switch (behaviour) {
        case BEHAVIOUR_WATCH:
            watch(i);
            break;
        case BEHAVIOUR_PATROL_X:
            patrol(i, SIDE_HIGH_X, SIDE_LOW_X);
            alert_if_near(i);
            break;
        case BEHAVIOUR_PATROL_Y:
            patrol(i, SIDE_HIGH_Y, SIDE_LOW_Y);
            alert_if_near(i);
            break;
        case BEHAVIOUR_CHASE:
            chase(i);
            break;
        default:
            break;
        }
    }
}
