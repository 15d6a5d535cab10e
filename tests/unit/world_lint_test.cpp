// The world linter on hand-made castles: each fault put into a clean
// two-room castle is found, with its kind, and the clean castle has none.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>

#include "game/game_loop.h"
#include "physics/script_ids.h"
#include "runtime/sprites.h"
#include "tick_harness.h"
#include "world/messages.h"
#include "world_lint.h"

namespace
{

constexpr int SECOND_ROOM = 85;
constexpr int LONELY_ROOM = 86;
constexpr int DEF_TABLE = 31; // fixed, 8 x 15 x 15
constexpr int DEF_BLOCK = 87;
constexpr int FLOOR = 3;
constexpr int HIGH = 80;
constexpr int DEF_SCROLL = 56;

// A message file of one text, loaded as the game's messages.
void load_one_message(const char *text)
{
    const char *path = "lint_one_message.dat";
    FILE *f = fopen(path, "wb");
    fwrite(text, 1, strlen(text) + 1, f);
    fclose(f);
    load_messages_file(path);
    remove(path);
}

struct planted_fault {
    const char *name;
    int kind;
    std::function<void(void)> plant;
};

const planted_fault faults[] = {
    {"TableOnTheArrival", LINT_EXIT_BLOCKED,
     [] { place_object(1, SECOND_ROOM, DEF_TABLE, 60, 1, FLOOR); }},
    {"RoomWithNoWayIn", LINT_UNREACHABLE_ROOM, [] { make_flat_room(LONELY_ROOM, 2, 2, FLOOR); }},
    {"RelicOnAPillar", LINT_QUEST_UNREACHABLE,
     [] {
         set_floor(SECOND_ROOM, 2, 2, HIGH);
         place_object(SCRIPT_OFFERING_1, SECOND_ROOM, DEF_BLOCK, 31, 31, HIGH);
     }},
    {"BlocksInsideEachOther", LINT_OBJECT_INSIDE,
     [] {
         place_object(1, START_ROOM, DEF_BLOCK, 40, 40, FLOOR);
         place_object(2, START_ROOM, DEF_BLOCK, 42, 42, FLOOR);
     }},
    {"DoorIntoAWall", LINT_DOOR_BLOCKED,
     [] {
         int door = place_object(1, START_ROOM, DEF_BLOCK, 40, 40, FLOOR);
         world_objects[door].door = 1;
         world_objects[door].door_room = SECOND_ROOM;
         world_objects[door].door_x = 31, world_objects[door].door_y = 31;
         set_floor(SECOND_ROOM, 2, 2, HIGH);
     }},
    {"NoteLongerThanTheSheet", LINT_TEXT_TOO_LONG,
     [] {
         load_one_message("A note that goes on and on about the castle, its towers, its cellars, "
                          "its ghosts and its cooks, far past the foot of the examine sheet.");
         world_objects[place_object(1, START_ROOM, DEF_SCROLL, 40, 40, FLOOR)].examine_text = 0;
     }},
    {"RoomBelowThePanel", LINT_FLOOR_HIDDEN, [] { rooms[SECOND_ROOM].origin_y = 230; }},
    {"TooManyThings", LINT_TOO_MANY_SPRITES,
     [] {
         make_flat_room(SECOND_ROOM, ROOM_CELLS, ROOM_CELLS, FLOOR);
         for (int w = 1; w <= SPRITE_COUNT - ROOM_CELLS * ROOM_CELLS; w++) {
             place_object(w, SECOND_ROOM, DEF_BLOCK, 10 * (w % 15), 10 * (w / 15), FLOOR);
         }
     }},
};

struct WorldLint : tick_world, ::testing::WithParamInterface<planted_fault> {
    std::vector<int> kinds_found(void)
    {
        std::vector<lint_finding> findings;
        lint_world(findings);
        std::vector<int> kinds;
        for (const lint_finding &f : findings) {
            kinds.push_back(f.kind);
        }
        return kinds;
    }
    // The start room and a room beyond its high-y side, both whole on the
    // view, walls of a cell round the start room's floor.
    void SetUp() override
    {
        tick_world::SetUp();
        memset(rooms, 0, sizeof rooms); // no room of an earlier case stays
        room_record &start = make_flat_room(START_ROOM, 6, 6, FLOOR);
        start.limit[SIDE_LOW_X] = start.limit[SIDE_LOW_Y] = CELL_SIZE * 2;
        start.origin_y = 214;
        start.adjacent[SIDE_HIGH_Y] = SECOND_ROOM;
        room_record &second = make_flat_room(SECOND_ROOM, 6, 4, FLOOR);
        second.limit[SIDE_LOW_X] = CELL_SIZE * 2;
        second.origin_x = 180;
        second.origin_y = 160;
        second.adjacent[SIDE_LOW_Y] = START_ROOM;
    }
};

TEST_P(WorldLint, FindsThePlantedFaultAndOnlyThere)
{
    std::vector<int> clean = kinds_found();
    EXPECT_EQ(std::count(clean.begin(), clean.end(), GetParam().kind), 0);
    GetParam().plant();
    std::vector<int> faulty = kinds_found();
    EXPECT_GT(std::count(faulty.begin(), faulty.end(), GetParam().kind), 0);
}

// A room's own findings name what blocks the arrival into it, though the
// exit belongs to the room next door.
TEST_F(WorldLint, RoomFindingsIncludeArrivalsBlockedThere)
{
    faults[0].plant();
    std::vector<lint_finding> findings;
    lint_room_findings(SECOND_ROOM, explore_castle(), findings);
    EXPECT_TRUE(std::any_of(findings.begin(), findings.end(), [](const lint_finding &f) {
        return f.kind == LINT_EXIT_BLOCKED && f.room == START_ROOM;
    }));
}

INSTANTIATE_TEST_SUITE_P(Faults, WorldLint, ::testing::ValuesIn(faults),
                         [](const auto &info) { return std::string(info.param.name); });

} // namespace
