// The world linter's own picture of a room, shared by its checks: the boxes
// the player meets (floor columns, the ceiling, objects), the spots where a
// player can stand along an open edge, and where the player can get to by
// walking, climbing and jumping.
#pragma once

#include <vector>

// What a box is, for the player moving among them.
constexpr int BOX_COLUMN = 0;   // a floor column (a solid cell is a tall one)
constexpr int BOX_CEILING = 1;  // the ceiling slab
constexpr int BOX_FIXED = 2;    // an object physics never moves
constexpr int BOX_MOVABLE = 3;  // an object that can be pushed or carried
constexpr int BOX_CREATURE = 4; // a creature: it moves and gives way

constexpr int NOT_AN_OBJECT = -1;

struct lint_box {
    int x, y, z;
    int size_x, size_y, size_z;
    int kind;
    int object;         // world object id, NOT_AN_OBJECT for columns and ceiling
    int cell_x, cell_y; // of a column
};

struct player_spot {
    int x, y, z;
};

// 1 for a room the content defines (its grid is not empty).
int room_in_use(int room);

// The boxes of a room as room setup makes them from the tables: a column
// per cell, the ceiling, a box per world object lying in the room.
std::vector<lint_box> room_boxes(int room);

// 1 when two boxes share volume (touching faces do not).
int boxes_meet(const lint_box &a, const lint_box &b);

// The player's box at a spot.
lint_box player_box(const player_spot &at);

// Where a player standing at the limit of a side can stand (on a column or
// an object, clear of everything but creatures), along the whole side.
std::vector<player_spot> edge_spots(int room, int side);

// Of the room's reachable spots, those along a side.
std::vector<player_spot> reachable_edge_spots(int room, int side,
                                              const std::vector<player_spot> &reachable);

// Where the player leaving room by side from spot appears in the room
// beyond, by the physics' exit rule.
player_spot arrival_spot(int room, int side, const player_spot &from);

// Every spot where the player might enter room, found without searching the
// other rooms: the game's start, door destinations, the event script's room
// changes, and arrivals from wherever one can stand along the open sides of
// other rooms. Arrivals are as given: they may be blocked or in the air.
std::vector<player_spot> room_entrances(int room);

// Where the player enters each room in play from the game's start, found by
// searching room after room: arrivals over the sides from spots reached
// along them, door destinations from doors reached, the event script's room
// changes. A room no search enters has none.
struct castle_reach {
    std::vector<std::vector<player_spot>> entrances; // ROOM_COUNT lists
};
castle_reach explore_castle(void);

// The castle search's entrances of room, or, for a room it never enters,
// room_entrances (so that its own checks still have somewhere to start).
std::vector<player_spot> entrances_of(const castle_reach &reach, int room);

// Spots the player can reach in room from the entrances.
std::vector<player_spot> reachable_spots(int room, const std::vector<player_spot> &entrances);

// 1 when a player at one of spots can touch the box: the player's box moved
// one or two units towards a side meets it (as picking up looks ahead).
int spots_touch(const std::vector<player_spot> &spots, const lint_box &target);

// The highest spot at or below at where the player's box is clear of
// everything but creatures and stands on a top; 0 when there is none.
int settle_spot(int room, player_spot &at);

// 1 when the player can walk steps units from a clear spot towards side,
// pushing nothing and climbing or stepping down no more than a character
// climbs.
int clear_walk(int room, const player_spot &from, int side, int steps);
