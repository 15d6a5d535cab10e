// Tests of the room editor without a window: each editing operation and its
// exact undo, refusals of what could not be saved, and saves of the shipped
// castle: unchanged, changed, failing at each file step and killed.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <chrono>
#include <map>
#include <random>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "edit_ops.h"
#include "editor_files.h"
#include "file_replace.h"
#include "game/game_loop.h"
#include "runtime/room_setup.h"
#include "world/object_defs.h"
#include "world_compile.h"
#include "world_dump.h"
#include "world_patch.h"

namespace fs = std::filesystem;

namespace
{

constexpr int ROOM = 10;

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
         const float floor = world.objects[box].z;
         EXPECT_EQ(world.objects[top].z, floor + object_defs[DEF_BOX].size_z);
         EXPECT_EQ(world.objects[barrel].z, floor + 2 * object_defs[DEF_BOX].size_z);
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
         ASSERT_EQ(edit_object_field(world, history, door, OBJECT_DOOR_ROOM, ROOM), EDIT_OK);
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
         const std::string full = world_image_bytes(world);
         EXPECT_EQ(edit_add_point(world, history, poly, 1, 1), EDIT_POLYGON_FULL);
         EXPECT_EQ(world_image_bytes(world), full);
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
         const std::string before = world_image_bytes(world);
         EXPECT_EQ(edit_create_room(world, history, ROOM), EDIT_ROOM_TAKEN);
         EXPECT_EQ(edit_create_room(world, history, 0), EDIT_BAD_ID);
         EXPECT_EQ(world_image_bytes(world), before);
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
    ASSERT_EQ(edit_create_room(world, history, ROOM), EDIT_OK);
    clear_history(history);
    const std::string start = world_image_bytes(world);
    GetParam().run(world, history);
    const std::string done = world_image_bytes(world);
    ASSERT_NE(done, start);
    while (undo_step(world, history) == EDIT_OK) {
    }
    EXPECT_EQ(world_image_bytes(world), start);
    while (redo_step(world, history) == EDIT_OK) {
    }
    EXPECT_EQ(world_image_bytes(world), done);
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

void write_folder(const fs::path &dir, const std::map<std::string, std::string> &files)
{
    fs::remove_all(dir);
    for (const auto &[name, bytes] : files) {
        fs::create_directories((dir / name).parent_path());
        std::ofstream(dir / name, std::ios::binary) << bytes;
    }
}

std::vector<std::string> lines_of(const std::string &text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

// Lines of a that b does not hold, as a multiset.
int lines_gone(const std::string &a, const std::string &b)
{
    const std::vector<std::string> kept = lines_of(b);
    std::multiset<std::string> left(kept.begin(), kept.end());
    int gone = 0;
    for (const std::string &line : lines_of(a)) {
        auto found = left.find(line);
        gone += found == left.end();
        if (found != left.end()) {
            left.erase(found);
        }
    }
    return gone;
}

// A copy of the shipped content and its compiled world files in a folder of
// its own, loaded in the editor.
struct castle_copy {
    fs::path dir;
    editor_paths paths;
    world_image world;
    saved_texts saved;
    explicit castle_copy(const char *name)
        : dir(fs::temp_directory_path() / (name + std::to_string(getpid())))
    {
        fs::remove_all(dir);
        fs::create_directories(dir);
        fs::copy(QM_CONTENT_WORLD, dir / "world", fs::copy_options::recursive);
        paths = {(dir / "world").string(), (dir / "data").string(), 1};
        std::vector<std::string> errors;
        EXPECT_TRUE(load_editor_world(paths, world, errors));
        take_saved_texts(world, saved);
        EXPECT_TRUE(save_editor_world(paths, world, saved, errors));
    }
    ~castle_copy()
    {
        fs::remove_all(dir);
    }
    std::map<std::string, std::string> text() const
    {
        return folder_files(paths.content_dir);
    }
    std::map<std::string, std::string> data() const
    {
        return folder_files(paths.data_dir);
    }
};

constexpr int TEMPLATED_ROOM = 123;

int first_object_in(const world_image &world, int room)
{
    for (int id = FIRST_OBJECT_ID; id < WORLD_OBJECT_COUNT; id++) {
        if (world.objects[id].used != WOBJ_FREE && world.objects[id].room == room) {
            return id;
        }
    }
    return -1;
}

// The edits every save test makes: an object moved and a new one with a
// text in the start room, a templated room made darker.
void make_edits(world_image &world)
{
    edit_history history;
    int barrel = -1;
    ASSERT_EQ(edit_move_object(world, history, first_object_in(world, START_ROOM), 1, 0, 0),
              EDIT_OK);
    ASSERT_EQ(edit_place_object(world, history, START_ROOM, DEF_BARREL, 40, 40, &barrel), EDIT_OK);
    ASSERT_EQ(edit_set_text(world, history, TEXT_EXAMINE, barrel, "A new barrel."), EDIT_OK);
    ASSERT_EQ(edit_room_field(world, history, TEMPLATED_ROOM, ROOM_LIGHT,
                              room_field(world, TEMPLATED_ROOM, ROOM_LIGHT) - 1),
              EDIT_OK);
}

} // namespace

// The shipped castle saved unchanged keeps its text byte for byte and gives
// the compiler's bytes; saved changed, only the lines of what changed are
// written: the moved object's line, the new object at the end of its room
// (numbered by the compiler), the templated room's one new line.
TEST(RoomEditorSave, KeepsTheTextAsWritten)
{
    castle_copy castle("roomedit_text_");
    const auto shipped = castle.text();
    EXPECT_EQ(folder_files(QM_CONTENT_WORLD), shipped);
    world_image compiled;
    std::vector<std::string> errors;
    ASSERT_TRUE(compile_world(QM_CONTENT_WORLD, compiled, errors));
    EXPECT_EQ(world_image_bytes(castle.world), world_image_bytes(compiled));
    make_edits(castle.world);
    ASSERT_TRUE(save_editor_world(castle.paths, castle.world, castle.saved, errors)) << errors[0];
    const auto saved = castle.text();
    for (const auto &[name, text] : saved) {
        const std::string &old = shipped.at(name);
        if (name == room_file_name(START_ROOM)) {
            EXPECT_EQ(lines_gone(old, text), 1) << text;
            EXPECT_EQ(lines_gone(text, old), 6) << text; // the moved line, the new object
            EXPECT_EQ(text.find("\nid = ", old.size()), std::string::npos);
            EXPECT_NE(text.find("examine = \"A new barrel.\""), std::string::npos);
        } else if (name == room_file_name(TEMPLATED_ROOM)) {
            EXPECT_EQ(lines_gone(old, text), 0);
            EXPECT_EQ(lines_gone(text, old), 1);
        } else {
            EXPECT_EQ(text, old) << name;
        }
    }
    ASSERT_TRUE(compile_world(castle.paths.content_dir, compiled, errors));
    EXPECT_TRUE(worlds_match(compiled, castle.world));
    std::string error;
    fs::create_directories(castle.dir / "worldc");
    ASSERT_TRUE(write_world_files((castle.dir / "worldc").string(), compiled, error));
    EXPECT_EQ(castle.data(), folder_files(castle.dir / "worldc"));
}

// Whichever file step of a save fails, and wherever a save is killed, the
// text and the world files agree afterwards (both old, both new, or only
// the text new), and the next start leaves nothing of the save behind.
TEST(RoomEditorSave, NeverSplitsTheWorld)
{
    castle_copy castle("roomedit_split_");
    const auto old_text = castle.text(), old_data = castle.data();
    world_image edited = castle.world;
    make_edits(edited);
    world_image world = edited;
    saved_texts saved = castle.saved;
    std::vector<std::string> errors;
    const auto started = std::chrono::steady_clock::now();
    ASSERT_TRUE(save_editor_world(castle.paths, world, saved, errors));
    const auto took = std::chrono::steady_clock::now() - started;
    const auto new_text = castle.text(), new_data = castle.data();
    auto expect_agreeing = [&](const std::string &when) {
        recover_editor_files(castle.paths);
        const auto text = castle.text(), data = castle.data();
        EXPECT_TRUE(text == old_text || text == new_text) << when;
        EXPECT_TRUE(data == old_data || (data == new_data && text == new_text)) << when;
        EXPECT_FALSE(fs::exists(castle.paths.content_dir + ".saving")) << when;
        write_folder(castle.paths.content_dir, old_text);
        write_folder(castle.paths.data_dir, old_data);
    };
    expect_agreeing("after the save");
    int step = 1;
    for (;; step++) {
        world = edited;
        saved = castle.saved;
        failing_file_step = step;
        file_steps_taken = 0;
        const int ok = save_editor_world(castle.paths, world, saved, errors);
        failing_file_step = 0;
        if (ok) {
            break;
        }
        ASSERT_EQ(errors.size(), 1u);
        EXPECT_NE(errors[0].find(": Input/output error"), std::string::npos) << errors[0];
        expect_agreeing("failing step " + std::to_string(step));
    }
    EXPECT_GT(step, 10);
    std::mt19937 random(7);
    for (int kill_number = 0; kill_number < 12; kill_number++) {
        const auto delay = std::uniform_int_distribution<long>(
            0, std::chrono::duration_cast<std::chrono::microseconds>(took).count())(random);
        const pid_t child = fork();
        if (child == 0) {
            world = edited;
            saved = castle.saved;
            _exit(save_editor_world(castle.paths, world, saved, errors) ? 0 : 1);
        }
        usleep(static_cast<useconds_t>(delay));
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        expect_agreeing("killed after " + std::to_string(delay) + " us");
    }
}

// The editor knows its world differs from the saved one however the
// history went: past the undo depth too.
TEST(RoomEditorSave, UnsavedPastTheUndoDepth)
{
    load_object_defs();
    world_image world;
    clear_world_image(world);
    edit_history history;
    ASSERT_EQ(edit_create_room(world, history, ROOM), EDIT_OK);
    saved_texts saved;
    take_saved_texts(world, saved);
    for (int i = 0; i <= UNDO_DEPTH; i++) {
        ASSERT_EQ(edit_room_field(world, history, ROOM, ROOM_CEILING, i % 2 ? 99 : 98), EDIT_OK);
    }
    while (undo_step(world, history) == EDIT_OK) {
    }
    EXPECT_TRUE(editor_unsaved(world, saved));
    ASSERT_EQ(edit_room_field(world, history, ROOM, ROOM_CEILING,
                              room_field(saved.world, ROOM, ROOM_CEILING)),
              EDIT_OK);
    EXPECT_FALSE(editor_unsaved(world, saved));
}

// Operations a save could not write are refused with their reason, and ids
// out of range are refused, never read past a table.
TEST(RoomEditor, RefusesWhatCannotBeSaved)
{
    load_object_defs();
    world_image world;
    clear_world_image(world);
    edit_history history;
    int out = -1;
    ASSERT_EQ(edit_create_room(world, history, ROOM), EDIT_OK);
    EXPECT_EQ(edit_add_polygon(world, history, ROOM + 1, &out), EDIT_NO_ROOM);
    EXPECT_EQ(room_field(world, -1, ROOM_SIZE_X), 0);
    EXPECT_EQ(room_field(world, ROOM_COUNT, ROOM_SIZE_X), 0);
    EXPECT_EQ(edit_room_field(world, history, ROOM, ROOM_ADJ_SW, ROOM + 1), EDIT_ROOM_UNDEFINED);
    const int box = place(world, history, DEF_BOX, 20, 20);
    EXPECT_EQ(edit_object_field(world, history, box, OBJECT_DOOR, 1), EDIT_NO_DOOR_ROOM);
    EXPECT_EQ(edit_object_field(world, history, box, OBJECT_DOOR_ROOM, ROOM + 1),
              EDIT_ROOM_UNDEFINED);
    EXPECT_EQ(edit_move_object(world, history, box, 0, 0, 1000), EDIT_OUTSIDE_ROOM);
    EXPECT_STREQ(edit_result_text(EDIT_NO_DOOR_ROOM), "Give the door a room first");
}

// Random operations with random arguments, out of range ones among them:
// each leaves a world that saves and compiles to itself, and undoing all
// then redoing all gives back each world exactly.
TEST(RoomEditor, RandomEditsAlwaysSave)
{
    castle_copy castle("roomedit_random_");
    world_image &world = castle.world;
    edit_history history;
    std::mt19937 random(11);
    auto any = [&random](int lo, int hi) {
        return std::uniform_int_distribution<int>(lo, hi)(random);
    };
    const int rooms[] = {-1, 0, START_ROOM, TEMPLATED_ROOM, 2, ROOM_COUNT};
    std::vector<std::string> states = {world_image_bytes(world)};
    int object = first_object_in(world, START_ROOM), poly = -1;
    for (int op = 0; op < 40; op++) {
        const int room = rooms[any(0, 5)];
        int made = -1;
        const int kind = any(0, 13);
        switch (kind) {
        case 0:
            edit_create_room(world, history, any(0, 1) ? room : first_free_room(world));
            break;
        case 1:
            edit_room_field(world, history, room, any(-1, ROOM_FIELD_COUNT), any(-5, 300));
            break;
        case 2:
            edit_cell(world, history, room, any(-1, 12), any(-1, 12), any(-1, CELL_FIELD_COUNT),
                      any(-1, 12), any(-130, 300));
            break;
        case 3:
            edit_place_object(world, history, room, any(-1, OBJECT_DEF_COUNT), any(-30, 200),
                              any(-30, 200), &made);
            break;
        case 4:
            edit_delete_object(world, history, any(0, 1) ? object : any(-1, WORLD_OBJECT_COUNT));
            break;
        case 5:
            edit_duplicate_object(world, history, object, &made);
            break;
        case 6:
            edit_move_object(world, history, object, any(-60, 60), any(-60, 60), any(-60, 60));
            break;
        case 7:
            edit_object_field(world, history, object, any(-1, OBJECT_FIELD_COUNT), any(-3, 300));
            break;
        case 8:
            edit_set_text(world, history, any(0, 1), any(0, 1) ? room : object,
                          std::string(static_cast<size_t>(any(0, 260)), 'a'));
            break;
        case 9:
            edit_add_polygon(world, history, room, &poly);
            break;
        case 10:
            edit_add_point(world, history, poly, any(-50, 200), any(-50, 200));
            break;
        case 11:
            edit_place_object_at(world, history, room, any(-1, OBJECT_DEF_COUNT), any(-30, 200),
                                 any(-30, 200), any(-30, 600), &made);
            break;
        case 12:
            edit_make_wall(world, history, room, any(-1, 12), any(-1, 12));
            break;
        default:
            edit_delete_point(world, history, poly, any(-1, 3));
            break;
        }
        object = made > 0 ? made : object;
        states.push_back(world_image_bytes(world));
        world_image copy = world;
        saved_texts saved = castle.saved;
        std::vector<std::string> errors;
        ASSERT_TRUE(save_editor_world(castle.paths, copy, saved, errors))
            << "after operation " << op << " (" << kind << "): " << errors[0];
        castle.saved = saved;
    }
    while (undo_step(world, history) == EDIT_OK) {
    }
    EXPECT_EQ(world_image_bytes(world), states.front());
    while (redo_step(world, history) == EDIT_OK) {
    }
    EXPECT_EQ(world_image_bytes(world), states.back());
}
