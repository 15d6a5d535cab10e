// The findings shown beside a room, from the world linter.
#pragma once

#include <string>
#include <vector>

#include "world_image.h"

// Sprite slots a room's parts and objects may fill: slot 0 is the player,
// and filling the last slot is already reported by room setup.
constexpr int ROOM_SPRITE_ROOM = 158;

// Whether room setup can hold the room's parts and objects.
int room_fits(const world_image &world, int room);

// The linter's findings for room, each cut into lines of at most width
// characters. The world must have been handed to the game's tables; the
// checks rebuild rooms there, so a view is drawn again afterwards.
void check_room(const world_image &world, int room, int width, std::vector<std::string> &lines);
