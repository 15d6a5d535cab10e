// The world linter's visibility check: the player drawn at a room's
// entrances, lit as in play, must stand out from the dark.
#pragma once

#include <vector>

#include "lint_model.h"
#include "world_lint.h"

// The least mean luminance (0..255) of the player's visible pixels at an
// entrance; the choice is explained in lint_light.cpp.
constexpr int LEAST_PLAYER_LUMINANCE = 20;

void check_visibility(int room, const std::vector<player_spot> &entrances,
                      std::vector<lint_finding> &findings);

struct lit_entrance {
    player_spot at;
    int luminance; // -1: mostly hidden or off the view
};
// The player's luminance at one of the entrances per cell and height.
std::vector<lit_entrance> entrance_luminance(int room, const std::vector<player_spot> &entrances);

// Puts the player's sprite (and world object 0) at a spot of the room built
// in the tables, standing, facing towards smaller y.
void place_lint_player(const player_spot &at);

// The mean luminance of the player's visible pixels drawn at a spot of the
// room built in the tables, torches at their weakest; -1 when less than a
// quarter of the player shows on the view above the panel.
int player_luminance(int x, int y, int z);
// The same measure for any sprite of the room built in the tables, as it
// stands.
int sprite_luminance(int slot);
