// Tests of the world compiler and dumper: compiled files and fields, the
// dump/compile round trip, the dump's text, every class of content error,
// and the repository's own content.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sys/wait.h>

#include "editor_files.h"
#include "world_compile.h"
#include "file_replace.h"
#include "world_dump.h"

namespace fs = std::filesystem;

namespace
{

constexpr size_t MAP_BYTES = 1510400;
constexpr size_t POLY_BYTES = 33600;
constexpr size_t WOBJECTS_BYTES = 880000;

// A room written exactly as the dumper writes it.
const char *const HALL_TEXT = R"(id = 10
caption = "The Test Hall"
size_x = 3
size_y = 2
origin_x = 160
origin_y = 150
ceiling = 90
brightness = 4
limits = { low_y = 0, high_x = 44, high_y = 29, low_x = 0 }
exits = { high_y = 11 }

# Rows run from the largest x (top) down to x 0; y runs from 0 along a row.
floor_height = [
    [43, 43],
    [ 3,  3],
    [ 3,  0],
]
floor_tile = [
    [ 2,  2],
    [ 1,  1],
    [ 1, -1],
]

faces = [
    { cell = [0, 0], side = "left", levels = 0, face = 3 },
    { cell = [2, 0], side = "right", levels = "0-1", face = 1 },
    { cell = [2, 1], side = "right", levels = "0-1", face = 1 },
]

polygons = [
    [[0, 0], [40, 0], [0, 30]],
]

[[object]]
id = 1
def = 31  # a table
at = [5, 10, 3]

[[object]]
id = 2
def = "a jug of water"
at = [7, 15, 18]
examine = "A jug of cold water."

[[object]]
id = 602
def = "a key"
at = [20, 5, 3.5]
frame = 1
visible = false
transparent = 128
room_part = true
door = { room = 11, at = [10, 20, 3], key = 2 }
)";

// The neighbour, written the way an author might: defaults, labels, no ids.
const char *const YARD_TEXT = R"(id = 11
caption = "The Yard"
size_x = 2
size_y = 2
origin_x = 150
origin_y = 140
ceiling = 200
brightness = 7
exits = { low_y = 10 }
floor_height = [[3, 3], [3, 3]]
floor_tile = [[1, 1], [1, 1]]

[[object]]
label = "gate key"
def = "a key"
at = [4, 4, 3]
examine = "A jug of cold water."

[[object]]
def = "a barrel"
at = [20, 20, 3]
door = { room = 10, at = [1, 2, 3], key = "gate key" }
)";

const char *const STORE_TEXT = R"([[object]]
def = "a loaf of bread"
at = [0, 0, 0]
out_of_play = true
)";

std::string make_temp_dir()
{
    std::string pattern = (fs::temp_directory_path() / "worldtest_XXXXXX").string();
    char *made = mkdtemp(pattern.data());
    EXPECT_NE(made, nullptr);
    return pattern;
}

void write_text(const std::string &dir, const std::string &name, const std::string &text)
{
    std::ofstream(dir + "/" + name, std::ios::binary) << text;
}

std::string read_bytes(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string join(const std::vector<std::string> &lines)
{
    std::string out;
    for (const std::string &line : lines) {
        out += line + "\n";
    }
    return out;
}

struct content_dir {
    std::string path;
    content_dir() : path(make_temp_dir()) {}
    content_dir(const content_dir &) = delete;
    explicit content_dir(const std::map<std::string, std::string> &files) : path(make_temp_dir())
    {
        for (const auto &[name, text] : files) {
            write_text(path, name, text);
        }
    }
    ~content_dir()
    {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
};

// Compiles and writes the four files; returns the compiler's errors.
std::vector<std::string> compile_to(const std::string &content, const std::string &out,
                                    world_image &world)
{
    std::vector<std::string> errors;
    if (compile_world(content, world, errors)) {
        std::string error;
        EXPECT_TRUE(write_world_files(out, world, error)) << error;
    }
    return errors;
}

void expect_same_files(const std::string &a, const std::string &b)
{
    for (const char *name : {MAP_FILE, POLY_FILE, WOBJECTS_FILE, MESSAGES_FILE}) {
        EXPECT_TRUE(read_bytes(a + "/" + name) == read_bytes(b + "/" + name)) << name;
    }
}

// Dumps the compiled files in data into a new folder and recompiles that
// folder into out.
void dump_and_recompile(const std::string &data, const std::string &dump, const std::string &out)
{
    world_image world;
    std::string error;
    ASSERT_TRUE(read_world_files(data, world, error)) << error;
    std::vector<dump_file> files;
    std::vector<std::string> warnings;
    dump_world(world, files, warnings);
    EXPECT_TRUE(warnings.empty()) << warnings[0];
    for (const dump_file &file : files) {
        write_text(dump, file.name, file.text);
    }
    world_image again;
    std::vector<std::string> errors = compile_to(dump, out, again);
    EXPECT_TRUE(errors.empty()) << errors[0];
}

} // namespace

TEST(WorldCompile, WritesFullSizeFilesWithTheContentsFields)
{
    content_dir content(
        {{"hall.toml", HALL_TEXT}, {"yard.toml", YARD_TEXT}, {"store.toml", STORE_TEXT}});
    content_dir out;
    world_image world;
    std::vector<std::string> errors = compile_to(content.path, out.path, world);
    ASSERT_TRUE(errors.empty()) << errors[0];
    EXPECT_EQ(read_bytes(out.path + "/map.dat").size(), MAP_BYTES);
    EXPECT_EQ(read_bytes(out.path + "/poly.dat").size(), POLY_BYTES);
    EXPECT_EQ(read_bytes(out.path + "/wobjects.dat").size(), WOBJECTS_BYTES);
    // Captions by room id, then examine texts by object id; the repeated
    // text is stored once.
    EXPECT_EQ(read_bytes(out.path + "/messages.dat"),
              std::string("The Test Hall\0The Yard\0A jug of cold water.\0", 44));

    world_image back;
    std::string error;
    ASSERT_TRUE(read_world_files(out.path, back, error)) << error;
    const room_record &hall = back.rooms[10];
    EXPECT_EQ(hall.size_x, 3);
    EXPECT_EQ(hall.origin_x, 160);
    EXPECT_EQ(hall.adjacent[SIDE_HIGH_Y], 11);
    EXPECT_EQ(hall.limit[SIDE_HIGH_X], 44);
    // The top row is the largest x; y runs along a row.
    EXPECT_EQ(hall.floor_height[2][0], 43);
    EXPECT_EQ(hall.floor_height[0][1], 0);
    EXPECT_EQ(hall.floor_tile[0][1], TILE_NONE);
    EXPECT_EQ(hall.floor_height[3][0], CLEARED_HEIGHT); // outside the room's size
    EXPECT_EQ(hall.wall_right[2][1][1], 1);
    EXPECT_EQ(hall.wall_left[0][0][0], 3);
    // Defaults of an author's room: limits from the size, no exits named.
    EXPECT_EQ(back.rooms[11].limit[SIDE_HIGH_Y], 29);
    EXPECT_EQ(back.rooms[11].adjacent[SIDE_LOW_Y], 10);
    // A room no file names keeps the cleared values.
    EXPECT_EQ(back.rooms[12].floor_height[0][0], CLEARED_HEIGHT);

    EXPECT_EQ(back.polygons[0].room, 10);
    EXPECT_EQ(back.polygons[0].points[2], 40);
    EXPECT_EQ(back.polygons[1].room, POLYGON_FREE);

    // Fixed ids 1, 2 and 602 are reserved first; the rest take 3, 4, 5 in
    // file-name order (hall, store, yard).
    const world_object &key = back.objects[602];
    EXPECT_EQ(key.used, WOBJ_IN_USE);
    EXPECT_EQ(key.obj_def, 46);
    EXPECT_FLOAT_EQ(key.z, 3.5f);
    EXPECT_EQ(key.door_room, 11);
    EXPECT_EQ(key.door_key, 2);
    EXPECT_EQ(back.objects[2].examine_text, 2);
    EXPECT_EQ(back.objects[1].examine_text, NO_MESSAGE);
    EXPECT_EQ(back.objects[1].door_room, NO_ROOM);
    EXPECT_EQ(back.objects[3].obj_def, 57);
    EXPECT_EQ(back.objects[3].room, ROOM_CARRIED);
    EXPECT_EQ(back.objects[4].room, 11);
    EXPECT_EQ(back.objects[4].examine_text, 2);
    EXPECT_EQ(back.objects[5].door_key, 4); // by label
    EXPECT_EQ(back.objects[6].used, WOBJ_FREE);
}

// A room naming a template compiles to the bytes of the room written out:
// the room's keys replace the template's, exits merge side by side (0 closes
// one), the room's objects follow the template's. File names change nothing.
TEST(WorldCompile, TemplatedRoomMatchesTheRoomWrittenOut)
{
    std::string hall = HALL_TEXT;
    const size_t last_object = hall.rfind("[[object]]");
    std::string shared = hall.substr(0, last_object);
    shared.replace(0, shared.find("size_x"), "caption = \"Any Hall\"\n");
    shared.replace(shared.find("exits = {"), 0, "exits = { low_y = 11 }\n#");
    const std::string room = "template = \"hall\"\nid = 10\ncaption = \"The Test Hall\"\n"
                             "exits = { high_y = 11, low_y = 0 }\n" +
                             hall.substr(last_object);
    content_dir written({{"hall.toml", HALL_TEXT}, {"yard.toml", YARD_TEXT}});
    // Texts are numbered by room and object id, not by file order, so the
    // files' names do not matter either.
    content_dir templated({{"z.toml", room}, {"a.toml", YARD_TEXT}});
    fs::create_directory(templated.path + "/templates");
    write_text(templated.path + "/templates", "hall.toml", shared);
    content_dir out1, out2;
    world_image world;
    ASSERT_TRUE(compile_to(written.path, out1.path, world).empty());
    const std::vector<std::string> errors = compile_to(templated.path, out2.path, world);
    ASSERT_TRUE(errors.empty()) << errors[0];
    expect_same_files(out1.path, out2.path);
}

// A room dumps as it was written; compile, dump, compile gives the same files.
TEST(WorldDump, CompileDumpCompileGivesIdenticalFiles)
{
    content_dir content(
        {{"hall.toml", HALL_TEXT}, {"yard.toml", YARD_TEXT}, {"store.toml", STORE_TEXT}});
    content_dir out, dump, again;
    world_image world;
    ASSERT_TRUE(compile_to(content.path, out.path, world).empty());
    std::vector<std::string> warnings;
    EXPECT_EQ(dump_room(world, 10, warnings), HALL_TEXT);
    EXPECT_TRUE(warnings.empty());
    dump_and_recompile(out.path, dump.path, again.path);
    expect_same_files(out.path, again.path);
    EXPECT_TRUE(fs::exists(dump.path + "/room_010.toml"));
    EXPECT_TRUE(fs::exists(dump.path + "/room_011.toml"));
    EXPECT_TRUE(fs::exists(dump.path + "/out_of_play.toml"));
}

TEST(WorldDump, KeepsOddTextsAndFractionalPositions)
{
    // Quotes, backslashes, line breaks, 8-bit letters and positions that are
    // not whole must all survive the trip.
    const std::string odd =
        join({"id = 30", "caption = \"Say \\\"caf\xC3\xA9\\\"\\\\ \\n now\"", "size_x = 1",
              "size_y = 1", "origin_x = -5", "origin_y = 0", "ceiling = 0", "brightness = 0",
              "backcol = 9", "outside = 1", "floor_height = [[0]]", "floor_tile = [[0]]",
              "[[object]]", "def = 99", "at = [0.1, -0.0, 1e-7]", "visible = 3",
              "door = { room = 30, at = [-1, 0, 0], active = false }"});
    content_dir content({{"odd.toml", odd}});
    content_dir out, dump, again;
    world_image world;
    std::vector<std::string> errors = compile_to(content.path, out.path, world);
    ASSERT_TRUE(errors.empty()) << errors[0];
    EXPECT_EQ(world.messages[0], "Say \"caf\xE9\"\\ \n now");
    EXPECT_EQ(world.objects[1].door, 0);
    dump_and_recompile(out.path, dump.path, again.path);
    expect_same_files(out.path, again.path);
}

TEST(WorldDump, ReportsWhatTheTextCannotKeep)
{
    world_image world;
    clear_world_image(world);
    world.objects[7].used = WOBJ_IN_USE;
    world.objects[7].room = 5; // a room with no record
    world.objects[7].reserved1[0] = 1;
    world.objects[7].examine_text = NO_MESSAGE;
    world.objects[8].used = WOBJ_IN_USE;
    world.objects[8].room = 1000;
    world.messages = {"room 5 shows message 0", "never used"};
    std::vector<dump_file> files;
    std::vector<std::string> warnings;
    dump_world(world, files, warnings);
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0].name, "room_005.toml");
    std::string all;
    for (const std::string &w : warnings) {
        all += w + "\n";
    }
    EXPECT_NE(all.find("room 5: holds objects"), std::string::npos) << all;
    EXPECT_NE(all.find("object 7: reserved"), std::string::npos) << all;
    EXPECT_NE(all.find("room 1000"), std::string::npos) << all;
    EXPECT_NE(all.find("1 messages"), std::string::npos) << all;
}

namespace
{

// A valid one-cell room; error cases change or add lines.
const std::vector<std::string> BASE_ROOM = {
    "id = 20",      "size_x = 1",     "size_y = 1",           "origin_x = 0",      "origin_y = 0",
    "ceiling = 50", "brightness = 7", "floor_height = [[3]]", "floor_tile = [[1]]"};

struct error_case {
    const char *what;
    int replace_line; // 1-based line of BASE_ROOM to replace, 0 for none
    std::vector<std::string> lines;
    int expected_line;
    const char *expected_words;
};

std::string case_text(const error_case &c)
{
    std::vector<std::string> lines = BASE_ROOM;
    if (c.replace_line > 0) {
        lines[static_cast<size_t>(c.replace_line - 1)] = c.lines[0];
        return join(lines);
    }
    lines.insert(lines.end(), c.lines.begin(), c.lines.end());
    return join(lines);
}

} // namespace

TEST(WorldCompile, EveryErrorNamesFileAndLine)
{
    const std::string long_text(MAX_TEXT_LENGTH + 1, 'a');
    std::string many_points = "polygons = [[";
    for (int i = 0; i <= POLYGON_MAX_POINTS; i++) {
        many_points += std::string(i ? ", " : "") + "[" + std::to_string(i) + ", 0]";
    }
    many_points += "]]";
    // clang-format off
    const std::vector<error_case> cases = {
        {"syntax", 0, {"size_z = = 3"}, 10, ""},
        {"unknown room key", 2, {"sise_x = 1"}, 2, "unknown key \"sise_x\""},
        {"unknown object key", 0, {"[[object]]", "def = 31", "at = [0, 0, 3]", "colour = 2"}, 13, "unknown key \"colour\""},
        {"unknown limit side", 0, {"limits = { north = 3 }"}, 10, "unknown key \"north\""},
        {"unknown name", 0, {"[[object]]", "def = \"a unicorn\"", "at = [0, 0, 3]"}, 11, "no object definition is named \"a unicorn\""},
        {"ambiguous name", 0, {"[[object]]", "def = \"a table\"", "at = [0, 0, 3]"}, 11, "shared by definitions 31, 32"},
        {"index too large", 0, {"[[object]]", "def = 194", "at = [0, 0, 3]"}, 11, "0..193"},
        {"exit to nowhere", 0, {"exits = { high_x = 21 }"}, 10, "room 21"},
        {"exit beyond a byte", 0, {"exits = { high_x = 300 }"}, 10, "0..255"},
        {"door to nowhere", 0, {"[[object]]", "def = 31", "at = [0, 0, 3]", "door = { room = 77, at = [0, 0, 0] }"}, 13, "room 77"},
        {"room id 0", 1, {"id = 0"}, 1, "1..399"},
        {"room id 400", 1, {"id = 400"}, 1, "1..399"},
        {"object id 10000", 0, {"[[object]]", "id = 10000", "def = 31", "at = [0, 0, 3]"}, 11, "1..9999"},
        {"object id twice", 0, {"[[object]]", "id = 9", "def = 31", "at = [0, 0, 3]",
          "[[object]]", "id = 9", "def = 31", "at = [0, 0, 3]"}, 14, "already used at"},
        {"missing key label", 0, {"[[object]]", "def = 31", "at = [0, 0, 3]",
          "door = { room = 20, at = [0, 0, 0], key = \"lost\" }"}, 13, "label \"lost\""},
        {"too few rows", 8, {"floor_height = []"}, 8, "1 rows"},
        {"short row", 9, {"floor_tile = [[]]"}, 9, "row 1 must hold 1"},
        {"room too wide", 2, {"size_x = 13"}, 2, "1..12"},
        {"ceiling beyond a byte", 6, {"ceiling = 256"}, 6, "0..255"},
        {"tile beyond a signed byte", 9, {"floor_tile = [[128]]"}, 9, "-128..127"},
        {"face set twice", 0, {"faces = [",
          "{ cell = [0, 0], side = \"left\", levels = 1, face = 2 },",
          "{ cell = [0, 0], side = \"left\", levels = \"0-2\", face = 2 },", "]"}, 12, "set twice"},
        {"face outside the room", 0, {"faces = [{ cell = [1, 0], side = \"up\", levels = \"3-1\", face = 2 }]"}, 10, "cell x"},
        {"polygon of 21 points", 0, {many_points}, 10, "3 to 20 points"},
        {"caption too long", 0, {"caption = \"" + long_text + "\""}, 10, "256 characters long"},
        {"text the game cannot show", 0, {"caption = \"\\u20AC\""}, 10, "cannot show"},
        {"position not a number", 0, {"[[object]]", "def = 31", "at = [nan, 0, 3]"}, 12, "finite"},
        {"infinite position", 0, {"[[object]]", "def = 31", "at = [0, -inf, 3]"}, 12, "finite"},
        {"object outside the room", 0, {"[[object]]", "def = 31", "at = [-1e30, 0, 3]"}, 10, "outside room 20"},
        {"position of two numbers", 0, {"[[object]]", "def = 31", "at = [0, 0]"}, 12, "list of 3 numbers"},
    };
    // clang-format on
    for (const error_case &c : cases) {
        content_dir content({{"room.toml", case_text(c)}});
        world_image world;
        std::vector<std::string> errors;
        EXPECT_FALSE(compile_world(content.path, world, errors)) << c.what;
        ASSERT_FALSE(errors.empty()) << c.what;
        const std::string where =
            content.path + "/room.toml:" + std::to_string(c.expected_line) + ":";
        int found = 0;
        for (const std::string &error : errors) {
            found |=
                error.rfind(where, 0) == 0 && error.find(c.expected_words) != std::string::npos;
        }
        EXPECT_TRUE(found) << c.what << ": got " << errors[0];
    }
}

TEST(WorldCompile, ErrorsAcrossFiles)
{
    // The same room in two files, and more polygons than the game has room for.
    std::string crowded = join(BASE_ROOM) + "polygons = [\n";
    for (int i = 0; i <= POLYGON_COUNT; i++) {
        crowded += "    [[0, 0], [1, 0], [0, 1]],\n";
    }
    crowded += "]\n";
    content_dir content({{"a.toml", join(BASE_ROOM)},
                         {"b.toml", crowded},
                         {"c.toml", "[[object]]\ndef = 31\nat = [0, 0, 0]\n"}});
    world_image world;
    std::vector<std::string> errors;
    EXPECT_FALSE(compile_world(content.path, world, errors));
    std::string all;
    for (const std::string &e : errors) {
        all += e + "\n";
    }
    EXPECT_NE(all.find("b.toml:1: room 20 is also defined in " + content.path + "/a.toml"),
              std::string::npos)
        << all;
    EXPECT_NE(all.find("c.toml:1: an object in a file without a room id"), std::string::npos)
        << all;
    // The polygon check runs once the rest is sound.
    content_dir alone({{"b.toml", crowded}});
    EXPECT_FALSE(compile_world(alone.path, world, errors));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find("b.toml:211: more than 200 polygons"), std::string::npos) << errors[0];
}

// Bad content, links that loop (in the room folder and in templates/) and a
// folder in place of a world file are reported as "file: reason" and the
// tools exit with their error status; the room editor's save lists the same
// folder without throwing.
TEST(WorldTools, CommandsReportBadInputAndExitNonZero)
{
    content_dir content(std::map<std::string, std::string>{{"room.toml", "id = 5\nsize_x = 1\n"},
                                                           {"uses.toml", "template = \"hall\"\n"}});
    content_dir out;
    fs::create_symlink("loop.toml", content.path + "/loop.toml");
    fs::create_directory(content.path + "/templates");
    fs::create_directory(content.path + "/map.dat");
    fs::create_symlink("hall.toml", content.path + "/templates/hall.toml");
    const std::string log = out.path + "/log.txt";
    int status = system(
        (std::string(QM_WORLDC) + " --content " + content.path + " --out " + out.path + " 2>" + log)
            .c_str());
    EXPECT_EQ(WEXITSTATUS(status), 1);
    for (const char *line :
         {"room.toml:1: missing key \"size_y\"", "/loop.toml: Too many levels of symbolic links",
          "templates/hall.toml: Too many levels of symbolic links"}) {
        EXPECT_NE(read_bytes(log).find(line), std::string::npos) << read_bytes(log);
    }
    EXPECT_FALSE(fs::exists(out.path + "/map.dat"));
    status = system(
        (std::string(QM_WORLDDUMP) + " --data " + content.path + " --out " + out.path + " 2>" + log)
            .c_str());
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_NE(read_bytes(log).find("map.dat: cannot open the file (not a regular file)"),
              std::string::npos)
        << read_bytes(log);
    world_image world;
    clear_world_image(world);
    saved_texts texts;
    take_saved_texts(world, texts);
    std::vector<std::string> errors;
    EXPECT_NO_THROW(save_editor_world({content.path, out.path, 1}, world, texts, errors));
}

// Files are replaced only when every one was written, and all of them or
// none: whatever stands in the way, and whichever write, link or rename the
// system refuses, the old world stays whole and no temporary is left.
TEST(WorldTools, AFailedWriteLeavesTheOldWorldWhole)
{
    content_dir content({{"room.toml", join(BASE_ROOM)}});
    world_image world;
    std::vector<std::string> errors;
    ASSERT_TRUE(compile_world(content.path, world, errors));
    const std::string in_the_way[] = {std::string(MESSAGES_FILE) + ".tmp", MESSAGES_FILE};
    for (int step = -2; step < 40; step++) {
        content_dir out;
        for (const char *name : {MAP_FILE, POLY_FILE, WOBJECTS_FILE, MESSAGES_FILE}) {
            write_text(out.path, name, "old");
        }
        if (step < 0) {
            fs::remove(out.path + "/" + MESSAGES_FILE);
            fs::create_directory(out.path + "/" + in_the_way[step + 2]);
        }
        failing_file_step = step + 1;
        file_steps_taken = 0;
        std::string error;
        const int written = write_world_files(out.path, world, error);
        failing_file_step = 0;
        if (written) {
            EXPECT_GT(step, 8); // four writes, journal, links and renames came first
            break;
        }
        EXPECT_NE(error.find(": "), std::string::npos) << error;
        for (const fs::directory_entry &entry : fs::directory_iterator(out.path)) {
            const std::string name = entry.path().filename().string();
            EXPECT_TRUE(entry.is_directory() || read_bytes(entry.path().string()) == "old")
                << name << " at step " << step;
            EXPECT_EQ(name.find(".re"), std::string::npos) << name;
        }
    }
}

TEST(WorldContent, RepositoryContentCompilesAndRoundTrips)
{
    content_dir out, dump, again;
    world_image world;
    std::vector<std::string> errors = compile_to(QM_CONTENT_WORLD, out.path, world);
    ASSERT_TRUE(errors.empty()) << errors[0];
    dump_and_recompile(out.path, dump.path, again.path);
    expect_same_files(out.path, again.path);
}
