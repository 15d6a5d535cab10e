// The world linter's checks as its files share them (world_lint.h holds
// what callers use).
#pragma once

#include <string>
#include <vector>

#include "lint_model.h"
#include "world_lint.h"

// "x,y,z" of a spot, and the name of an object's definition, for messages.
std::string spot_text(const player_spot &s);
const char *def_name(int object);

// Why the player set down at a spot of room would be refused, or "".
std::string landing_problem(int room, const player_spot &at);

// The event script's objects a player must get to, and door keys.
int is_quest_object(int object);
// A carriable object whose text names a quest object.
int is_clue(int object);

void check_picture(int room, std::vector<lint_finding> &findings);
void check_quest_reach(int room, const std::vector<player_spot> &entrances,
                       std::vector<lint_finding> &findings);
void check_script_objects(std::vector<lint_finding> &findings);
void check_reachable_rooms(const castle_reach &reach, std::vector<lint_finding> &findings);
void check_clues(std::vector<lint_finding> &findings);
void check_definitions_used(std::vector<lint_finding> &findings);

void check_creatures(int room, std::vector<lint_finding> &findings);
void check_food(int room, std::vector<lint_finding> &findings);
void check_doorways(int room, std::vector<lint_finding> &findings);
void check_fittings(int room, std::vector<lint_finding> &findings);

// How near a creature comes to where the player arrives in its room: from
// where it starts, and anywhere along its beat.
struct creature_clearance {
    int object;
    double start, walked;
    player_spot at; // the arrival nearest its start
};
creature_clearance nearest_arrival(int room, const lint_box &creature);
// The visibility measure of a creature where it starts (-1: mostly hidden).
int creature_luminance(int room, int object);

void check_takeable(int room, const std::vector<player_spot> &entrances,
                    std::vector<lint_finding> &findings);
void check_relic_drops(int room, const std::vector<player_spot> &entrances,
                       std::vector<lint_finding> &findings);
