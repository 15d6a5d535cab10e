// The world linter on hand-made castles: each fault put into a clean
// two-room castle is found, with its kind, and the clean castle has none.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>
#include <functional>

#include "game/game_loop.h"
#include "physics/script_ids.h"
#include "physics/triggers.h"
#include "render/lighting.h"
#include "runtime/sprites.h"
#include "tick_harness.h"
#include "shell/resources.h"
#include "world/messages.h"
#include "world/object_defs.h"
#include "world_lint.h"

namespace
{

constexpr int SECOND_ROOM = 85;
constexpr int LONELY_ROOM = 86;
constexpr int DEF_STONE_BLOCK = 121; // fixed, 15 high
constexpr int DEF_DOOR_FACE = 168;
constexpr int DEF_HATCH = 110;
constexpr int DEF_TOMB = 107; // 12 x 6 x 9
constexpr int DEF_SLAB = 55;
constexpr int GREY = 100; // seen in full light, lost in the darkest room
constexpr int FLOOR = 3;
constexpr int HIGH = 80;

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

// Makes object w a door to the second room's middle.
int make_door(int w, int room, int def, int x, int y)
{
    place_object(w, room, def, x, y, FLOOR);
    world_objects[w].door = 1;
    world_objects[w].door_room = SECOND_ROOM;
    world_objects[w].door_x = 60, world_objects[w].door_y = 30, world_objects[w].door_z = FLOOR;
    return w;
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
    {"MonkByTheStart", LINT_CREATURE_AT_ARRIVAL,
     [] { place_object(1, START_ROOM, DEF_CHASING_MONK, 60, 60, FLOOR); }},
    {"MonkWithNoFoodNear", LINT_FOOD_MISSING,
     [] { place_object(1, SECOND_ROOM, DEF_CHASING_MONK, 80, 50, FLOOR); }},
    {"StoneBeforeADoor", LINT_DOOR_FRONT,
     [] {
         make_door(1, START_ROOM, DEF_DOOR_FACE, 89, 40);
         place_object(2, START_ROOM, DEF_STONE_BLOCK, 70, 36, FLOOR);
     }},
    {"HatchByTheStart", LINT_DROP_AT_ARRIVAL, [] { make_door(1, START_ROOM, DEF_HATCH, 60, 70); }},
    {"TorchOverTheFloor", LINT_FITTING_IN_THE_WAY,
     [] { place_object(1, START_ROOM, DEF_TORCH, 40, 80, FLOOR + 13); }},
    {"RelicOnACarriableTable", LINT_NOT_TAKEABLE,
     [] {
         place_object(1, START_ROOM, DEF_TABLE, 40, 40, FLOOR);
         place_object(SCRIPT_OFFERING_1, START_ROOM, DEF_SCROLL, 41, 44, FLOOR + 15);
     }},
    {"SlabOverTheTomb", LINT_RELIC_DROP,
     [] {
         build_trigger_table();
         place_object(SCRIPT_ALTAR, SECOND_ROOM, DEF_TOMB, 50, 54, FLOOR);
         place_object(1, SECOND_ROOM, DEF_SLAB, 51, 54, FLOOR + 9);
         place_object(SCRIPT_OFFERING_1, START_ROOM, DEF_SCROLL, 40, 40, FLOOR);
     }},
    {"ThresholdLeftPlain", LINT_EXIT_MARK, [] { rooms[START_ROOM].floor_tile[3][5] = 1; }},
    {"ThresholdToNowhereBeforeAWallDoor", LINT_EXIT_MARK,
     [] {
         make_door(1, START_ROOM, DEF_DOOR_FACE, 89, 40);
         rooms[START_ROOM].floor_tile[5][2] = EXIT_MARK_TILE;
     }},
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
        for (int cx = 2; cx < 6; cx++) { // the lit thresholds of the shared side
            start.floor_tile[cx][5] = second.floor_tile[cx][0] = EXIT_MARK_TILE;
        }
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

using LintOutput = WorldLint;

// A heap of objects gives one finding per object, with a count, and each
// kind of finding in a room is cut short with a count of what was left out.
// A room whose origin is near the end of an int is measured as it stands.
TEST_F(LintOutput, HeapsAreCountedAndFarOriginsMeasured)
{
    for (int w = 1; w <= 300; w++) {
        place_object(w, START_ROOM, DEF_BLOCK, 40, 40, FLOOR);
    }
    rooms[SECOND_ROOM].origin_x = rooms[SECOND_ROOM].origin_y = INT_MAX;
    std::vector<lint_finding> findings;
    lint_world(findings);
    std::vector<std::string> inside;
    for (const lint_finding &f : findings) {
        EXPECT_EQ(f.text.find("view -"), std::string::npos) << f.text; // no wrapping round
        if (f.kind == LINT_OBJECT_INSIDE) {
            inside.push_back(f.text);
        }
    }
    ASSERT_EQ(inside.size(), LINT_FINDINGS_SHOWN + 1u);
    EXPECT_EQ(inside[2], "starts inside object 1 (a block) and 2 more");
    EXPECT_EQ(inside.back(), "289 more findings of this kind left out");
}

int count_kind(const std::vector<lint_finding> &findings, int kind)
{
    return static_cast<int>(std::count_if(findings.begin(), findings.end(),
                                          [&](const lint_finding &f) { return f.kind == kind; }));
}

// The light checks draw the rooms with grey pictures: in lit rooms a monk
// and the player walked over the exit by a script are seen; with the second
// room dark, neither is.
TEST_F(WorldLint, CreaturesAndTheWalkedPlayerMustBeLit)
{
    for (DATAFILE &d : art.entries) {
        if (d.type == DAT_BITMAP) {
            clear_to_color(static_cast<BITMAP *>(d.dat), makecol(GREY, GREY, GREY));
        }
    }
    backbuffer = create_bitmap(VIEW_W, VIEW_H);
    light_map = create_bitmap(VIEW_W, VIEW_H);
    rooms[START_ROOM].brightness = rooms[SECOND_ROOM].brightness = BRIGHTNESS_LEVELS - 1;
    place_object(1, SECOND_ROOM, DEF_CHASING_MONK, 80, 50, FLOOR);
    scratch_dir dir;
    write_file("walk.txt", "up*24");
    for (int dark = 0; dark <= 1; dark++) {
        rooms[SECOND_ROOM].brightness = dark ? 0 : BRIGHTNESS_LEVELS - 1;
        std::vector<lint_finding> lit, walked;
        lint_world(lit);
        check_walkthrough_sight(dir.path, walked);
        EXPECT_EQ(count_kind(lit, LINT_CREATURE_UNSEEN) > 0, dark == 1);
        EXPECT_EQ(count_kind(walked, LINT_PLAYER_UNSEEN) > 0, dark == 1);
    }
    destroy_bitmap(backbuffer);
    destroy_bitmap(light_map);
    backbuffer = light_map = nullptr;
}

INSTANTIATE_TEST_SUITE_P(Faults, WorldLint, ::testing::ValuesIn(faults),
                         [](const auto &info) { return std::string(info.param.name); });

} // namespace
