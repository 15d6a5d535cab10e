// Tests of the room editor without a window: each editing operation and its
// exact undo, and saving the shipped castle unchanged and changed.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <unistd.h>

#include "edit_ops.h"
#include "editor_files.h"
#include "game/game_loop.h"
#include "runtime/room_setup.h"
#include "world/object_defs.h"
#include "world_compile.h"

namespace fs = std::filesystem;

namespace
{

constexpr int ROOM = 10;

std::string world_bytes(const world_image &world)
{
    std::string out;
    unsigned char room[ROOM_RECORD_SIZE], poly[POLYGON_RECORD_SIZE],
        object[WORLD_OBJECT_RECORD_SIZE];
    for (const room_record &r : world.rooms) {
        encode_room(r, room);
        out.append(reinterpret_cast<char *>(room), sizeof room);
    }
    for (const polygon_record &p : world.polygons) {
        encode_polygon(p, poly);
        out.append(reinterpret_cast<char *>(poly), sizeof poly);
    }
    for (const world_object &w : world.objects) {
        encode_world_object(w, object);
        out.append(reinterpret_cast<char *>(object), sizeof object);
    }
    for (const std::string &text : world.messages) {
        out += text + '\0';
    }
    return out;
}

int place(world_image &world, edit_history &history, int def, int x, int y)
{
    int id = -1;
    EXPECT_EQ(edit_place_object(world, history, ROOM, def, x, y, &id), EDIT_OK);
    return id;
}

// An operation on a 4 x 4 room and what must hold after it.
struct op_case {
    const char *name;
    void (*run)(world_image &world, edit_history &history);
};

const op_case OP_CASES[] = {
    {"PlaceOnTopOfAStack",
     [](world_image &world, edit_history &history) {
         const int box = place(world, history, DEF_BOX, 20, 20);
         const int top = place(world, history, DEF_BOX, 21, 20);
         const int barrel = place(world, history, DEF_BARREL, 22, 21);
         EXPECT_EQ(world.objects[top].z, object_defs[DEF_BOX].size_z);
         EXPECT_EQ(world.objects[barrel].z, 2 * object_defs[DEF_BOX].size_z);
         EXPECT_EQ(object_clashes(world, box, nullptr), 0);
     }},
    {"MoveIntoAnOverlapIsFlagged",
     [](world_image &world, edit_history &history) {
         const int a = place(world, history, DEF_BOX, 5, 5);
         const int b = place(world, history, DEF_BOX, 30, 5);
         EXPECT_EQ(object_clashes(world, b, nullptr), 0);
         EXPECT_EQ(edit_move_object(world, history, b, -23, 0, 0), EDIT_OK);
         std::vector<int> others;
         EXPECT_EQ(object_clashes(world, b, &others), CLASH_OBJECT);
         EXPECT_EQ(others, std::vector<int>{a});
         EXPECT_EQ(edit_move_object(world, history, a, 0, 55, 0), EDIT_OK);
         EXPECT_EQ(object_clashes(world, a, nullptr), CLASH_LIMIT);
     }},
    {"ResizeWithObjectsOutsideTheNewLimits",
     [](world_image &world, edit_history &history) {
         const int far = place(world, history, DEF_BOX, 50, 40);
         ASSERT_EQ(edit_room_field(world, history, ROOM, ROOM_SIZE_X, 2), EDIT_OK);
         const room_record &rec = world.rooms[ROOM];
         EXPECT_EQ(rec.limit[SIDE_HIGH_X], 29);
         EXPECT_EQ(rec.floor_tile[3][0], TILE_NONE);
         EXPECT_EQ(rec.wall_left[0][0][0], FACE_NONE);
         EXPECT_EQ(object_clashes(world, far, nullptr), 0);
         EXPECT_EQ(world.objects[far].y, 40);
         EXPECT_EQ(edit_room_field(world, history, ROOM, ROOM_SIZE_X, 13), EDIT_BAD_VALUE);
     }},
    {"DeleteAnObjectADoorsKeyNames",
     [](world_image &world, edit_history &history) {
         const int key = place(world, history, DEF_BOX, 5, 5);
         const int door = place(world, history, DEF_BARREL, 30, 30);
         ASSERT_EQ(edit_object_field(world, history, door, OBJECT_DOOR_KEY, key), EDIT_OK);
         ASSERT_EQ(edit_delete_object(world, history, key), EDIT_OK);
         EXPECT_EQ(world.objects[key].used, WOBJ_FREE);
         EXPECT_EQ(world.objects[door].door_key, NO_KEY);
         EXPECT_EQ(edit_delete_object(world, history, key), EDIT_BAD_ID);
     }},
    {"PolygonPointLimit",
     [](world_image &world, edit_history &history) {
         int poly = -1;
         ASSERT_EQ(edit_add_polygon(world, history, ROOM, &poly), EDIT_OK);
         for (int p = 0; p < POLYGON_MAX_POINTS; p++) {
             ASSERT_EQ(edit_add_point(world, history, poly, p, 2 * p), EDIT_OK);
         }
         const std::string full = world_bytes(world);
         EXPECT_EQ(edit_add_point(world, history, poly, 1, 1), EDIT_POLYGON_FULL);
         EXPECT_EQ(world_bytes(world), full);
         ASSERT_EQ(edit_delete_point(world, history, poly, 0), EDIT_OK);
         EXPECT_EQ(world.polygons[poly].points[0], 1);
         EXPECT_EQ(world.polygons[poly].point_count, POLYGON_MAX_POINTS - 1);
     }},
    {"NewMessageAdded",
     [](world_image &world, edit_history &history) {
         const int jug = place(world, history, DEF_BOX, 5, 5);
         const size_t before = world.messages.size();
         ASSERT_EQ(edit_set_text(world, history, TEXT_EXAMINE, jug, "A box."), EDIT_OK);
         EXPECT_EQ(world.messages.size(), before + 1);
         EXPECT_EQ(world.objects[jug].examine_text, static_cast<int>(before));
         EXPECT_EQ(edit_text(world, TEXT_EXAMINE, jug), "A box.");
         EXPECT_EQ(edit_set_text(world, history, TEXT_EXAMINE, jug, std::string(256, 'a')),
                   EDIT_TEXT_TOO_LONG);
     }},
    {"NewRoomOnlyInAFreeSlotWithWallsAndAHungTorch",
     [](world_image &world, edit_history &history) {
         const std::string before = world_bytes(world);
         EXPECT_EQ(edit_create_room(world, history, ROOM), EDIT_ROOM_TAKEN);
         EXPECT_EQ(edit_create_room(world, history, 0), EDIT_BAD_ID);
         EXPECT_EQ(world_bytes(world), before);
         const int room = first_free_room(world);
         ASSERT_EQ(room, FIRST_CONTENT_ROOM);
         ASSERT_EQ(edit_create_room(world, history, room), EDIT_OK);
         EXPECT_EQ(first_free_room(world), room + 1);
         EXPECT_FALSE(edit_text(world, TEXT_CAPTION, room).empty());
         ASSERT_EQ(edit_make_wall(world, history, room, 3, 0), EDIT_OK);
         const room_record &rec = world.rooms[static_cast<size_t>(room)];
         EXPECT_EQ(rec.floor_height[3][0], WALL_HEIGHT);
         EXPECT_NE(rec.wall_right[3][0][WALL_HEIGHT / FACE_LEVEL_HEIGHT], FACE_NONE);
         EXPECT_EQ(rec.wall_right[3][0][WALL_HEIGHT / FACE_LEVEL_HEIGHT + 1], FACE_NONE);
         int torch = -1;
         ASSERT_EQ(edit_place_object_at(world, history, room, DEF_TORCH, 43, 5, 20, &torch),
                   EDIT_OK);
         EXPECT_EQ(world.objects[torch].z, 20);
     }},
};

void PrintTo(const op_case &c, std::ostream *out)
{
    *out << c.name;
}

class EditOperation : public testing::TestWithParam<op_case>
{
};

// Every operation is undone exactly, step by step, and redone exactly.
TEST_P(EditOperation, WorksAndIsUndoneExactly)
{
    load_object_defs();
    world_image world;
    clear_world_image(world);
    world.messages = {"The hall"};
    edit_history history;
    ASSERT_EQ(edit_new_room(world, history, ROOM), EDIT_OK);
    clear_history(history);
    const std::string start = world_bytes(world);
    GetParam().run(world, history);
    const std::string done = world_bytes(world);
    ASSERT_NE(done, start);
    while (undo_step(world, history) == EDIT_OK) {
    }
    EXPECT_EQ(world_bytes(world), start);
    while (redo_step(world, history) == EDIT_OK) {
    }
    EXPECT_EQ(world_bytes(world), done);
}

INSTANTIATE_TEST_SUITE_P(RoomEditor, EditOperation, testing::ValuesIn(OP_CASES),
                         [](const testing::TestParamInfo<op_case> &info) {
                             return std::string(info.param.name);
                         });

std::string read_bytes(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::map<std::string, std::string> folder_files(const fs::path &dir)
{
    std::map<std::string, std::string> out;
    for (const fs::directory_entry &entry : fs::recursive_directory_iterator(dir)) {
        if (entry.is_regular_file()) {
            out[fs::relative(entry.path(), dir).string()] = read_bytes(entry.path());
        }
    }
    return out;
}

} // namespace

// The shipped castle saved unchanged keeps its text and gives the compiler's
// bytes; a placed barrel with a text rewrites only its room's file.
TEST(RoomEditorSave, ShippedCastleRoundTrips)
{
    const fs::path dir = fs::temp_directory_path() / ("roomedit_" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir / "worldc");
    fs::copy(QM_CONTENT_WORLD, dir / "world", fs::copy_options::recursive);
    const editor_paths paths{(dir / "world").string(), (dir / "data").string(), 1};
    world_image world, compiled;
    std::vector<std::string> errors;
    ASSERT_TRUE(load_editor_world(paths, world, errors));
    ASSERT_TRUE(compile_world(QM_CONTENT_WORLD, compiled, errors));
    std::string error;
    ASSERT_TRUE(write_world_files((dir / "worldc").string(), compiled, error)) << error;
    saved_texts texts;
    take_saved_texts(world, texts);
    const auto shipped = folder_files(dir / "world");
    ASSERT_TRUE(save_editor_world(paths, world, texts, errors)) << errors[0];
    EXPECT_EQ(folder_files(dir / "world"), shipped);
    EXPECT_EQ(folder_files(dir / "data"), folder_files(dir / "worldc"));

    edit_history history;
    int barrel = -1;
    ASSERT_EQ(edit_place_object(world, history, START_ROOM, DEF_BARREL, 40, 40, &barrel), EDIT_OK);
    ASSERT_EQ(edit_set_text(world, history, TEXT_EXAMINE, barrel, "A new barrel."), EDIT_OK);
    ASSERT_TRUE(save_editor_world(paths, world, texts, errors)) << errors[0];
    ASSERT_TRUE(compile_world(paths.content_dir, compiled, errors));
    ASSERT_TRUE(write_world_files((dir / "worldc").string(), compiled, error)) << error;
    EXPECT_EQ(folder_files(dir / "data"), folder_files(dir / "worldc"));
    EXPECT_EQ(edit_text(world, TEXT_EXAMINE, barrel), "A new barrel.");
    int changed = 0;
    for (const auto &[name, text] : folder_files(dir / "world")) {
        changed += shipped.count(name) == 0 || shipped.at(name) != text;
    }
    EXPECT_EQ(changed, 1);
    fs::remove_all(dir);
}
