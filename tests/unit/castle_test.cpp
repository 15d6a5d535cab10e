// The castle as compiled from content/world: rooms captioned and joined by
// exits that line up, doors that land on clear floor, a clear start spot, the
// event script's objects in place, creatures kept out of the start room, and
// both puzzles solved from a fresh game with action words alone.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "game/game_loop.h"
#include "physics/physics.h"
#include "physics/player.h"
#include "physics/script_ids.h"
#include "physics/triggers.h"
#include "runtime/room_setup.h"
#include "runtime/sprites.h"
#include "shell/actions.h"
#include "tick_harness.h"
#include "world/messages.h"
#include "world/object_defs.h"
#include "world/world_objects.h"

namespace
{

constexpr int PLAYER_SIZE = 3;       // the player's box is 3 x 3 along the floor
constexpr int PLAYER_HEIGHT = 28;    // and 28 high
constexpr int HIGHEST_STANDING = 29; // floors at least this high are walls
constexpr int FIRST_EXIT_ROOM = 1;
constexpr int LAST_EXIT_ROOM = 255;
constexpr int FEWEST_ROOMS = 12;
constexpr int MOST_ROOMS = 18;
constexpr int DARKEST_DIM_ROOM = 2;
constexpr int MARKER_FRAMES_NEEDED = 8;

std::string data_file(const char *name)
{
    return std::string(QM_DATA_DIR_BUILT) + "/" + name;
}

int room_in_use(int room)
{
    return room >= 0 && room < ROOM_COUNT && rooms[room].size_x != 0 && rooms[room].size_y != 0;
}

int object_in_room(int w, int room)
{
    const world_object &o = world_objects[w];
    return o.used == WOBJ_IN_USE && o.room == room;
}

// The world compiled from content/world, on top of the clean harness.
struct Castle : tick_world {
    void SetUp() override
    {
        tick_world::SetUp();
        load_map_files(data_file("map.dat").c_str(), data_file("poly.dat").c_str());
        load_world_objects(data_file("wobjects.dat").c_str());
        load_messages_file(data_file("messages.dat").c_str());
        build_trigger_table();
        rearm_triggers();
    }
    void TearDown() override
    {
        build_trigger_table();
        tick_world::TearDown();
    }
};

// Highest floor under a footprint, or -1 when part of it is solid or off the
// room's grid.
int floor_under(int room, int x, int y, int size_x, int size_y)
{
    const room_record &r = rooms[room];
    int highest = 0;
    for (int cx = x / CELL_SIZE; cx <= (x + size_x - 1) / CELL_SIZE; cx++) {
        for (int cy = y / CELL_SIZE; cy <= (y + size_y - 1) / CELL_SIZE; cy++) {
            if (x < 0 || y < 0 || cx >= r.size_x || cy >= r.size_y ||
                r.floor_tile[cx][cy] == TILE_SOLID) {
                return -1;
            }
            if (r.floor_height[cx][cy] > highest) {
                highest = r.floor_height[cx][cy];
            }
        }
    }
    return highest;
}

int inside_limits(int room, int x, int y)
{
    const room_record &r = rooms[room];
    return x >= r.limit[SIDE_LOW_X] && x + PLAYER_SIZE <= r.limit[SIDE_HIGH_X] + 1 &&
           y >= r.limit[SIDE_LOW_Y] && y + PLAYER_SIZE <= r.limit[SIDE_HIGH_Y] + 1;
}

// The first world object of the room whose box meets the player's box at
// (x, y, z), or -1. With movers_too 0 only things that never move count.
int object_in_the_way(int room, int x, int y, int z, int movers_too)
{
    for (int w = 1; w < WORLD_OBJECT_COUNT; w++) {
        if (!object_in_room(w, room)) {
            continue;
        }
        const world_object &o = world_objects[w];
        const object_def &d = object_defs[o.obj_def];
        if (!movers_too && !d.fixed) {
            continue;
        }
        int ox = static_cast<int>(o.x), oy = static_cast<int>(o.y), oz = static_cast<int>(o.z);
        if (ox < x + PLAYER_SIZE && x < ox + d.size_x && oy < y + PLAYER_SIZE &&
            y < oy + d.size_y && oz < z + PLAYER_HEIGHT && z < oz + d.size_z) {
            return w;
        }
    }
    return -1;
}

// Why the player could not arrive at (x, y, z) of room, or "" when it can.
std::string arrival_problem(int room, int x, int y, int z, int movers_too)
{
    char text[128];
    if (!inside_limits(room, x, y)) {
        snprintf(text, sizeof text, "(%d, %d) is outside the limits of room %d", x, y, room);
        return text;
    }
    int floor = floor_under(room, x, y, PLAYER_SIZE, PLAYER_SIZE);
    if (floor != z) {
        snprintf(text, sizeof text, "the floor under (%d, %d) in room %d is %d, not %d", x, y, room,
                 floor, z);
        return text;
    }
    int w = object_in_the_way(room, x, y, z, movers_too);
    if (w >= 0) {
        snprintf(text, sizeof text, "object %d stands on (%d, %d, %d) in room %d", w, x, y, z,
                 room);
        return text;
    }
    return "";
}

TEST_F(Castle, EveryRoomHasACaptionAndTheCastleIsWorthExploring)
{
    int count = 0;
    for (int room = 0; room < ROOM_COUNT; room++) {
        if (!room_in_use(room)) {
            continue;
        }
        count++;
        ASSERT_NE(rooms[room].description, NO_DESCRIPTION) << "room " << room;
        const char *caption = get_message(rooms[room].description);
        ASSERT_NE(caption, nullptr) << "room " << room;
        EXPECT_GT(strlen(caption), 0u) << "room " << room;
        EXPECT_LE(rooms[room].brightness, 7) << "room " << room;
    }
    EXPECT_GE(count, FEWEST_ROOMS);
    EXPECT_LE(count, MOST_ROOMS);
}

// Every place along a side with an exit where the player can stand at the
// limit leads to a place in the neighbour that is inside its limits, on its
// floor at the same height, and not inside anything fixed.
TEST_F(Castle, EveryExitLinesUpWithItsNeighbour)
{
    int exits = 0;
    for (int room = FIRST_EXIT_ROOM; room <= LAST_EXIT_ROOM; room++) {
        if (!room_in_use(room)) {
            continue;
        }
        const room_record &r = rooms[room];
        for (int side = 0; side < SIDE_COUNT; side++) {
            int next = r.adjacent[side];
            if (next == 0) {
                continue;
            }
            exits++;
            ASSERT_TRUE(room_in_use(next)) << "room " << room << " side " << side;
            const room_record &n = rooms[next];
            int along_x = side == SIDE_LOW_Y || side == SIDE_HIGH_Y;
            int first = along_x ? r.limit[SIDE_LOW_X] : r.limit[SIDE_LOW_Y];
            int last = (along_x ? r.limit[SIDE_HIGH_X] : r.limit[SIDE_HIGH_Y]) + 1 - PLAYER_SIZE;
            int walkable = 0;
            for (int v = first; v <= last; v++) {
                int x = 0, y = 0, to_x = 0, to_y = 0;
                switch (side) {
                case SIDE_LOW_Y:
                    x = to_x = v;
                    y = r.limit[SIDE_LOW_Y];
                    to_y = n.limit[SIDE_HIGH_Y] - 1 - PLAYER_SIZE;
                    break;
                case SIDE_HIGH_Y:
                    x = to_x = v;
                    y = r.limit[SIDE_HIGH_Y] + 1 - PLAYER_SIZE;
                    to_y = n.limit[SIDE_LOW_Y] + 1;
                    break;
                case SIDE_HIGH_X:
                    y = to_y = v;
                    x = r.limit[SIDE_HIGH_X] + 1 - PLAYER_SIZE;
                    to_x = n.limit[SIDE_LOW_X] + 1;
                    break;
                default:
                    y = to_y = v;
                    x = r.limit[SIDE_LOW_X];
                    to_x = n.limit[SIDE_HIGH_X] - 1 - PLAYER_SIZE;
                    break;
                }
                int z = floor_under(room, x, y, PLAYER_SIZE, PLAYER_SIZE);
                if (z < 0 || z >= HIGHEST_STANDING) {
                    continue; // a wall or solid ground: nobody stands here
                }
                walkable++;
                EXPECT_EQ(arrival_problem(next, to_x, to_y, z, 0), "")
                    << "leaving room " << room << " by side " << side << " at (" << x << ", " << y
                    << ")";
            }
            EXPECT_GT(walkable, 0) << "room " << room << " side " << side << " cannot be reached";
        }
    }
    EXPECT_GT(exits, 0);
}

TEST_F(Castle, EveryDoorLandsOnClearFloor)
{
    int doors = 0;
    for (int w = 1; w < WORLD_OBJECT_COUNT; w++) {
        const world_object &o = world_objects[w];
        if (o.used == WOBJ_FREE || !o.door) {
            continue;
        }
        doors++;
        ASSERT_TRUE(room_in_use(o.door_room)) << "door " << w;
        EXPECT_EQ(arrival_problem(o.door_room, o.door_x, o.door_y, o.door_z, 1), "")
            << "door " << w << " in room " << o.room;
        if (o.door_key != NO_KEY) {
            ASSERT_GT(o.door_key, 0);
            EXPECT_EQ(world_objects[o.door_key].used, WOBJ_IN_USE) << "key of door " << w;
        }
    }
    EXPECT_GT(doors, 0);
}

TEST_F(Castle, TheStartSpotIsClearFloor)
{
    ASSERT_TRUE(room_in_use(START_ROOM));
    EXPECT_EQ(arrival_problem(START_ROOM, START_X, START_Y, START_Z, 1), "");
}

TEST_F(Castle, TheScriptsObjectsAreInPlace)
{
    const int placed[] = {SCRIPT_ALTAR,      SCRIPT_OFFERING_1,    SCRIPT_OFFERING_2,
                          SCRIPT_OFFERING_3, SCRIPT_OFFERING_4,    SCRIPT_MARKER_1,
                          SCRIPT_MARKER_2,   SCRIPT_MARKER_3,      SCRIPT_MARKER_4,
                          SCRIPT_CHARM,      SCRIPT_CHARMED_THING, SCRIPT_BARRIER,
                          SCRIPT_USABLE};
    for (int w : placed) {
        EXPECT_EQ(world_objects[w].used, WOBJ_IN_USE) << "object " << w;
        EXPECT_TRUE(room_in_use(world_objects[w].room)) << "object " << w;
        EXPECT_NE(world_objects[w].examine_text, NO_MESSAGE) << "object " << w;
    }
    for (int w : {SCRIPT_REWARD, SCRIPT_CHARM_RESULT}) {
        EXPECT_EQ(world_objects[w].used, WOBJ_OUT_OF_PLAY) << "object " << w;
        EXPECT_NE(world_objects[w].examine_text, NO_MESSAGE) << "object " << w;
    }
    // The altar is in the room the reward is named for, and the reward's
    // spot there is on top of something (the altar) or a floor of that height.
    EXPECT_EQ(world_objects[SCRIPT_ALTAR].room, SCRIPT_REWARD_ROOM);
    // The markers show a different picture once their frame is set.
    const int markers[] = {SCRIPT_MARKER_1, SCRIPT_MARKER_2, SCRIPT_MARKER_3, SCRIPT_MARKER_4};
    const int frames[] = {SCRIPT_MARKER_1_FRAME, SCRIPT_MARKER_2_FRAME, SCRIPT_MARKER_3_FRAME,
                          SCRIPT_MARKER_4_FRAME};
    for (int i = 0; i < 4; i++) {
        const world_object &m = world_objects[markers[i]];
        const object_def &d = object_defs[m.obj_def];
        EXPECT_GE(d.anim_frames, MARKER_FRAMES_NEEDED) << "marker " << markers[i];
        EXPECT_EQ(d.anim_delay, 0) << "marker " << markers[i];
        EXPECT_NE(d.frames[m.frame], d.frames[frames[i]]) << "marker " << markers[i];
    }
}

TEST_F(Castle, TheRewardAppearsOnSomethingSolid)
{
    const int room = SCRIPT_REWARD_ROOM;
    const object_def &reward = object_defs[world_objects[SCRIPT_REWARD].obj_def];
    int floor = floor_under(room, SCRIPT_REWARD_X, SCRIPT_REWARD_Y, reward.size_x, reward.size_y);
    int resting = floor == SCRIPT_REWARD_Z;
    for (int w = 1; w < WORLD_OBJECT_COUNT && !resting; w++) {
        if (!object_in_room(w, room)) {
            continue;
        }
        const world_object &o = world_objects[w];
        const object_def &d = object_defs[o.obj_def];
        int ox = static_cast<int>(o.x), oy = static_cast<int>(o.y);
        resting = d.fixed && static_cast<int>(o.z) + d.size_z == SCRIPT_REWARD_Z &&
                  ox < SCRIPT_REWARD_X + reward.size_x && SCRIPT_REWARD_X < ox + d.size_x &&
                  oy < SCRIPT_REWARD_Y + reward.size_y && SCRIPT_REWARD_Y < oy + d.size_y;
    }
    EXPECT_TRUE(resting);
}

// Creatures live where the player meets them, never in the start room, each
// with food in its room; near the start a dark room is lit by torches.
TEST_F(Castle, CreaturesFoodAndDarkness)
{
    const int creatures[] = {60, 62, 63, 73, 103};
    for (int def : creatures) {
        int found = 0;
        for (int w = 1; w < WORLD_OBJECT_COUNT; w++) {
            const world_object &o = world_objects[w];
            if (o.used != WOBJ_IN_USE || o.obj_def != def) {
                continue;
            }
            found++;
            EXPECT_NE(o.room, START_ROOM) << "creature " << w;
            int food = 0;
            for (int f = 1; f < WORLD_OBJECT_COUNT; f++) {
                int fd = world_objects[f].obj_def;
                food += object_in_room(f, o.room) &&
                        (fd == DEF_JUG_OF_WATER || fd == DEF_LOAF_OF_BREAD ||
                         fd == DEF_PIECE_OF_CHICKEN);
            }
            EXPECT_GT(food, 0) << "no food near creature " << w;
        }
        EXPECT_GT(found, 0) << "no creature of definition " << def;
    }
    int lit_dark_rooms = 0;
    for (int side = 0; side < SIDE_COUNT; side++) {
        int next = rooms[START_ROOM].adjacent[side];
        if (next == 0 || rooms[next].brightness > DARKEST_DIM_ROOM) {
            continue;
        }
        for (int w = 1; w < WORLD_OBJECT_COUNT; w++) {
            int d = world_objects[w].obj_def;
            if (object_in_room(w, next) && (d == DEF_TORCH || d == DEF_TORCH_2)) {
                lit_dark_rooms++;
                break;
            }
        }
    }
    EXPECT_GT(lit_dark_rooms, 0);
}

// One line of the solving script: hold these actions for so many ticks.
struct script_step {
    uint32_t actions;
    int ticks;
    int room_after; // the room the player must be in afterwards, -1 any
    const char *what;
};

constexpr uint32_t NONE = 0;

// clang-format off
const script_step solving_script[] = {
    {NONE, 1, 84, "look round the entrance hall"},
    {ACTION_RIGHT, 17, 84, "walk towards smaller x, in front of the pile of stones"},
    {ACTION_DOWN, 19, 84, "climb the pile: block, stone, slab"},
    {ACTION_PICK_UP, 1, 84, "take the candle (slot 1)"},
    {NONE, 1, 84, "let go"},
    {ACTION_RIGHT, 9, 84, "step across onto the dais"},
    {ACTION_DOWN, 5, 84, "walk up to the key"},
    {ACTION_SLOT_2, 1, 84, "select slot 2"},
    {ACTION_PICK_UP, 1, 84, "take the kitchen key"},
    {NONE, 1, 84, "let go"},
    {ACTION_LEFT, 40, 85, "down from the dais and through the kitchen door"},
    {ACTION_DOWN, 10, 85, "along the cook's table"},
    {ACTION_LEFT, 14, 85, "step up onto the hearth"},
    {ACTION_SLOT_3, 1, 85, "select slot 3"},
    {ACTION_DOWN, 1, 85, "turn to the purse (it gives a little)"},
    {ACTION_PICK_UP, 1, 85, "take the purse"},
    {NONE, 1, 85, "let go"},
    {ACTION_SLOT_4, 1, 85, "select slot 4"},
    {ACTION_DOWN, 9, 85, "walk along the hearth to the wand"},
    {ACTION_PICK_UP, 1, 85, "take the wand"},
    {NONE, 1, 85, "let go"},
    {ACTION_RIGHT, 15, 85, "down from the hearth"},
    {ACTION_UP, 25, 84, "through the door back to the hall"},
    {ACTION_UP, 42, 86, "along the north wall into the long gallery"},
    {ACTION_UP, 16, 86, "to the library door"},
    {ACTION_LEFT, 6, 88, "through the library door"},
    {ACTION_LEFT, 14, 88, "along the bookshelf"},
    {ACTION_DOWN, 21, 88, "walk up to the spellbook"},
    {ACTION_DROP, 1, 88, "drop the wand (slot 4) onto the spellbook"},
    {NONE, 6, 88, "the wand falls on it: the book becomes the scroll"},
    {ACTION_RIGHT, 4, 88, "step aside from the fallen wand"},
    {ACTION_DOWN, 4, 88, "level with the scroll"},
    {ACTION_LEFT, 1, 88, "turn to the scroll"},
    {ACTION_PICK_UP, 1, 88, "take the scroll (slot 4)"},
    {NONE, 1, 88, "let go"},
    {ACTION_LEFT, 18, 88, "towards the window seat"},
    {ACTION_UP, 19, 88, "step up onto the window seat"},
    {ACTION_SLOT_5, 1, 88, "select slot 5"},
    {ACTION_PICK_UP, 1, 88, "take the hourglass"},
    {NONE, 1, 88, "let go"},
    {ACTION_SLOT_2, 1, 88, "select slot 2"},
    {ACTION_DROP, 1, 88, "drop the key, no longer needed"},
    {NONE, 6, 88, "it falls onto the seat"},
    {ACTION_RIGHT, 4, 88, "along the seat"},
    {ACTION_UP, 6, 88, "up to the potion"},
    {ACTION_PICK_UP, 1, 88, "take the potion (slot 2)"},
    {NONE, 1, 88, "let go"},
    {ACTION_USE, 1, 88, "drink the potion: its use is noticed"},
    {NONE, 1, 88, "let go"},
    {ACTION_RIGHT, 29, 88, "down from the seat, across to the gallery door"},
    {ACTION_UP, 6, 86, "through the door back to the long gallery"},
    {ACTION_SLOT_4, 1, 86, "select the scroll"},
    {ACTION_RIGHT, 18, 86, "along the north wall to the middle of the gallery"},
    {ACTION_UP, 20, 86, "up to the rune-bound door"},
    {ACTION_DROP, 1, 86, "drop the scroll in front of it"},
    {NONE, 6, 86, "the scroll falls to the floor"},
    {ACTION_UP, 12, 86, "push the scroll into the door: both vanish"},
    {ACTION_UP, 9, 91, "through the opened way into the armoury"},
    {ACTION_UP, 8, 91, "up to the dagger"},
    {ACTION_PICK_UP, 1, 91, "take the dagger (slot 4)"},
    {NONE, 1, 91, "let go"},
    {ACTION_DOWN, 10, 86, "back into the long gallery"},
    {ACTION_DOWN, 37, 86, "back along the gallery"},
    {ACTION_LEFT, 22, 88, "through the library door again"},
    {ACTION_DOWN, 31, 88, "along the library's west side"},
    {ACTION_LEFT, 35, 57, "through the chapel door"},
    {ACTION_RIGHT, 20, 57, "across the chapel"},
    {ACTION_UP, 30, 57, "up to the saint's tomb"},
    {ACTION_SLOT_1, 1, 57, "select the candle"},
    {ACTION_DROP, 1, 57, "lay it on the tomb"},
    {NONE, 3, 57, "it lands: the first door lights, the candle is gone"},
    {ACTION_SLOT_3, 1, 57, "select the purse"},
    {ACTION_DROP, 1, 57, "lay it on the tomb"},
    {NONE, 3, 57, "it lands: the third door lights"},
    {ACTION_SLOT_4, 1, 57, "select the dagger"},
    {ACTION_DROP, 1, 57, "lay it on the tomb"},
    {NONE, 3, 57, "it lands: the fourth door lights"},
    {ACTION_SLOT_5, 1, 57, "select the hourglass"},
    {ACTION_DROP, 1, 57, "lay it on the tomb"},
    {NONE, 3, 57, "it lands: the second door lights, the crown appears"},
};
// clang-format on

void trace(const char *what)
{
    if (getenv("QM_CASTLE_TRACE") == nullptr) {
        return;
    }
    const sprite_record &p = sprite_table[PLAYER_SLOT];
    printf("%-60s room %d at %g %g %g slots %d %d %d %d %d sel %d energy %g\n", what, current_room,
           p.x, p.y, p.z, inventory[0], inventory[1], inventory[2], inventory[3], inventory[4],
           selected_slot, energy);
}

TEST_F(Castle, BothPuzzlesAreSolvedWithActionWordsAlone)
{
    start_game(START_ROOM, START_X, START_Y, START_Z);
    for (const script_step &s : solving_script) {
        run_ticks(s.actions, s.ticks);
        trace(s.what);
        if (s.room_after >= 0) {
            ASSERT_EQ(current_room, s.room_after) << "after: " << s.what;
        }
    }
    // The charm: the spellbook became the scroll, which took the door with it.
    EXPECT_EQ(world_objects[SCRIPT_CHARMED_THING].used, WOBJ_FREE);
    EXPECT_EQ(world_objects[SCRIPT_CHARM_RESULT].used, WOBJ_FREE);
    EXPECT_EQ(world_objects[SCRIPT_BARRIER].used, WOBJ_FREE);
    EXPECT_TRUE(triggers[5].fired);
    EXPECT_TRUE(triggers[6].fired);
    // The potion's use was noticed.
    EXPECT_EQ(pending_show.pending, 1);
    EXPECT_EQ(pending_show.param, SCRIPT_SHOW_PARAM);
    EXPECT_EQ(pending_show.x, SCRIPT_SHOW_X);
    EXPECT_EQ(pending_show.y, SCRIPT_SHOW_Y);
    EXPECT_EQ(pending_show.value, SCRIPT_SHOW_VALUE);
    // The offerings: all four gone, every marker lit, the reward on the tomb.
    for (int w : {SCRIPT_OFFERING_1, SCRIPT_OFFERING_2, SCRIPT_OFFERING_3, SCRIPT_OFFERING_4}) {
        EXPECT_EQ(world_objects[w].used, WOBJ_FREE) << "offering " << w;
    }
    EXPECT_EQ(world_objects[SCRIPT_MARKER_1].frame, SCRIPT_MARKER_1_FRAME);
    EXPECT_EQ(world_objects[SCRIPT_MARKER_2].frame, SCRIPT_MARKER_2_FRAME);
    EXPECT_EQ(world_objects[SCRIPT_MARKER_3].frame, SCRIPT_MARKER_3_FRAME);
    EXPECT_EQ(world_objects[SCRIPT_MARKER_4].frame, SCRIPT_MARKER_4_FRAME);
    EXPECT_EQ(trigger_counters[SCRIPT_OFFERING_COUNTER], SCRIPT_OFFERINGS_NEEDED);
    int reward = slot_of(SCRIPT_REWARD);
    ASSERT_GE(reward, 0);
    EXPECT_EQ(sx(reward), SCRIPT_REWARD_X);
    EXPECT_EQ(sy(reward), SCRIPT_REWARD_Y);
    EXPECT_EQ(sz(reward), SCRIPT_REWARD_Z);
    // It rests there, and the player can take it home.
    run_ticks(NONE, 5);
    EXPECT_EQ(sz(reward), SCRIPT_REWARD_Z);
    EXPECT_GT(energy, 90.0f);
}

} // namespace
