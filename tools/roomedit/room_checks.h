// The findings shown beside a room: clear landing spots, overlaps, limits
// and the sprite count, for one room at a time.
#pragma once

#include <string>
#include <vector>

#include "world_image.h"

// Sprite slots a room's parts and objects may fill: slot 0 is the player,
// and filling the last slot is already reported by room setup.
constexpr int ROOM_SPRITE_ROOM = 158;

// One line per problem found in room; none when it is clean.
void check_room(const world_image &world, int room, std::vector<std::string> &findings);
