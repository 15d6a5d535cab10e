// The event triggers that script the castle's puzzles.
#pragma once

constexpr int EVENT_TOUCH = 1;
constexpr int EVENT_USE = 2;
constexpr int EVENT_DROP = 3;
constexpr int EVENT_PICK_UP = 4;
constexpr int EVENT_COUNTER = 5;

// Matches an event against the trigger table and runs what matches.
void fire_triggers(int a, int b, int kind);
