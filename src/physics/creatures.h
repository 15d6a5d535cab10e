// Creature behaviours: watch, patrol along x or y, chase. A creature only
// asks (facing, one unit on one axis); the physics moves it.
#pragma once

constexpr int CHASE_REPEAT_TICKS = 6;   // ticks each chase decision is repeated
constexpr int PATROL_ALERT_DISTANCE = 20; // a patroller nearer than this attacks

// One decision step for every creature in the sprite table.
void update_creatures(void);

// The facing that points from a slot towards the player (ties along y).
int direction_to_player(int slot);
// The patrol check's distance: sqrt(dx^2 + dy^2) rounded, halves up.
int rounded_distance(int dx, int dy);
