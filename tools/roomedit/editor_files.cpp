// Loading and saving the room editor's world. A save stages the content
// folder next to it, writes the changes into the staged text, compiles it and
// checks that it gives the editor's world; only then are the text files
// replaced, and after them the world files.
#include "editor_files.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

#include "file_replace.h"
#include "world_compile.h"
#include "world_dump.h"
#include "world_patch.h"

namespace fs = std::filesystem;

static const char STAGING_SUFFIX[] = ".saving";

// How a save writes the changed rooms into the text.
constexpr int WRITE_CHANGED_LINES = 0; // only the lines that changed
constexpr int WRITE_CHANGED_ROOMS = 1; // each changed room whole, in the dumper's form
constexpr int WRITE_WHOLE_WORLD = 2;   // every room in the dumper's form
constexpr int WRITE_WAY_COUNT = 3;

void recover_editor_files(const editor_paths &paths)
{
    std::error_code failure;
    fs::remove_all(paths.content_dir + STAGING_SUFFIX, failure);
    recover_replaced_files(paths.content_dir);
    recover_replaced_files(paths.data_dir);
}

int load_editor_world(const editor_paths &paths, world_image &world,
                      std::vector<std::string> &errors)
{
    errors.clear();
    if (paths.from_content) {
        return compile_world(paths.content_dir, world, errors);
    }
    std::string error;
    if (!read_world_files(paths.data_dir, world, error)) {
        errors.push_back(error);
        return 0;
    }
    return 1;
}

void take_saved_texts(const world_image &world, saved_texts &texts)
{
    texts.world = world;
}

int editor_unsaved(const world_image &world, const saved_texts &texts)
{
    return world_image_bytes(world) != world_image_bytes(texts.world);
}

static std::string read_text(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

static int write_text(const fs::path &path, const std::string &text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    return out ? 1 : 0;
}

// The folder's entries, none when it cannot be read; asking what an entry
// is never throws (a loop of links answers with an error, and is left out).
static std::vector<fs::path> entries_of(const std::string &dir, fs::file_type type)
{
    std::vector<fs::path> out;
    std::error_code failure;
    for (fs::directory_iterator it(dir, failure), end; !failure && it != end;
         it.increment(failure)) {
        std::error_code unknown;
        if (it->status(unknown).type() == type) {
            out.push_back(it->path());
        }
    }
    return out;
}

static std::vector<fs::path> toml_files(const std::string &dir)
{
    std::vector<fs::path> out;
    for (const fs::path &path : entries_of(dir, fs::file_type::regular)) {
        if (path.extension() == ".toml") {
            out.push_back(path);
        }
    }
    return out;
}

// The staging folder made a copy of the content folder: its room files and
// the shared files in sub-folders (templates).
static int copy_content(const std::string &content, const std::string &staging,
                        std::vector<std::string> &errors)
{
    std::error_code failure;
    fs::remove_all(staging, failure);
    if (!fs::create_directories(staging, failure)) {
        errors.push_back(staging + ": " + failure.message());
        return 0;
    }
    std::vector<fs::path> sources = toml_files(content);
    for (const fs::path &folder : entries_of(content, fs::file_type::directory)) {
        sources.push_back(folder);
    }
    for (const fs::path &from : sources) {
        fs::copy(from, fs::path(staging) / from.filename(), fs::copy_options::recursive, failure);
        if (failure) {
            errors.push_back(from.string() + ": " + failure.message());
            return 0;
        }
    }
    return 1;
}

// Each room's dumper text ("" for a room with nothing), and at ROOM_COUNT
// the text of the objects out of play.
static std::vector<std::string> dumped_rooms(const world_image &world)
{
    std::vector<dump_file> files;
    std::vector<std::string> warnings;
    dump_world(world, files, warnings);
    std::vector<std::string> texts(ROOM_COUNT + 1, "");
    for (const dump_file &file : files) {
        int room = 0;
        if (sscanf(file.name.c_str(), "room_%d.toml", &room) == 1 && room >= 0 &&
            room < ROOM_COUNT) {
            texts[static_cast<size_t>(room)] = file.text;
        } else {
            texts[ROOM_COUNT] = file.text;
        }
    }
    return texts;
}

// The file that holds a room (or, for ROOM_CARRIED, the objects out of
// play) in the text the disk world was compiled from; "" when none does.
static std::string source_of(const world_image &disk, const world_sources &sources, int room)
{
    if (room != ROOM_CARRIED) {
        return sources.room_file[static_cast<size_t>(room)];
    }
    for (int id = FIRST_OBJECT_ID; id < WORLD_OBJECT_COUNT; id++) {
        const world_object &w = disk.objects[static_cast<size_t>(id)];
        if (w.used != WOBJ_FREE && w.room == ROOM_CARRIED) {
            return sources.object_file[static_cast<size_t>(id)];
        }
    }
    return "";
}

struct save_inputs {
    const editor_paths *paths;
    std::string staging;
    const world_image *disk; // the world the text on disk gives
    world_sources sources;
    const world_image *world; // the editor's world
};

// Writes one changed room (or the objects out of play) into the staged text.
static int stage_room(const save_inputs &in, int room, int way, const std::string &text)
{
    const int index = room == ROOM_CARRIED ? ROOM_COUNT : room;
    const std::string source = source_of(*in.disk, in.sources, room);
    const fs::path staged =
        source.empty() ? fs::path() : fs::path(in.staging) / fs::path(source).filename();
    const std::string own_name = index == ROOM_COUNT ? OUT_OF_PLAY_FILE : room_file_name(room);
    std::error_code failure;
    if (way == WRITE_CHANGED_LINES && !source.empty() && !text.empty()) {
        std::string patched;
        if (patch_content_file(in.paths->content_dir, source, read_text(staged), *in.disk,
                               *in.world, in.sources, room, patched)) {
            return write_text(staged, patched);
        }
    }
    if (!source.empty()) {
        fs::remove(staged, failure);
    }
    if (text.empty()) {
        return 1;
    }
    return write_text(fs::path(in.staging) / own_name,
                      way == WRITE_CHANGED_LINES ? without_object_ids(text) : text);
}

static int stage_whole_world(const std::string &staging, const world_image &world)
{
    std::error_code failure;
    for (const fs::path &path : toml_files(staging)) {
        fs::remove(path, failure);
    }
    std::vector<dump_file> files;
    std::vector<std::string> warnings;
    dump_world(world, files, warnings);
    int ok = 1;
    for (const dump_file &file : files) {
        ok &= write_text(fs::path(staging) / file.name, file.text);
    }
    return ok;
}

// Stages the text one way, compiles it and checks it gives the editor's
// world.
static int stage_and_compile(const save_inputs &in, int way, world_image &compiled,
                             std::vector<std::string> &errors)
{
    errors.clear();
    if (!copy_content(in.paths->content_dir, in.staging, errors)) {
        return 0;
    }
    int ok = 1;
    if (way == WRITE_WHOLE_WORLD) {
        ok = stage_whole_world(in.staging, *in.world);
    } else {
        const std::vector<std::string> before = dumped_rooms(*in.disk);
        const std::vector<std::string> after = dumped_rooms(*in.world);
        for (int index = 0; index <= ROOM_COUNT; index++) {
            const size_t i = static_cast<size_t>(index);
            if (before[i] != after[i]) {
                ok &= stage_room(in, index == ROOM_COUNT ? ROOM_CARRIED : index, way, after[i]);
            }
        }
    }
    if (!ok) {
        errors.push_back(in.staging + ": cannot write the staged text");
        return 0;
    }
    return compile_world(in.staging, compiled, errors) && worlds_match(compiled, *in.world);
}

// The text files the save replaces: those the staging changed, added or no
// longer holds.
static std::vector<file_bytes> text_changes(const std::string &staging, const std::string &content)
{
    std::vector<file_bytes> changes;
    std::map<std::string, int> staged;
    for (const fs::path &path : toml_files(staging)) {
        const std::string name = path.filename().string();
        const std::string text = read_text(path);
        staged[name] = 1;
        const fs::path target = fs::path(content) / name;
        std::error_code failure;
        if (!fs::exists(target, failure) || read_text(target) != text) {
            changes.push_back({target.string(), text});
        }
    }
    for (const fs::path &path : toml_files(content)) {
        if (!staged.count(path.filename().string())) {
            changes.push_back({path.string(), "", 1});
        }
    }
    return changes;
}

int save_editor_world(const editor_paths &paths, world_image &world, saved_texts &texts,
                      std::vector<std::string> &errors)
{
    errors.clear();
    std::error_code failure;
    // A polygon still being drawn has too few points to be written; it
    // stays in the editor, unsaved, until it has enough.
    world_image savable = world;
    std::vector<polygon_record> drafts;
    for (polygon_record &poly : savable.polygons) {
        if (poly.room != POLYGON_FREE && poly.point_count < MIN_POLYGON_POINTS) {
            drafts.push_back(poly);
            memset(&poly, 0, sizeof poly);
            poly.room = POLYGON_FREE;
        }
    }
    world_image disk;
    save_inputs in{&paths, paths.content_dir + STAGING_SUFFIX, &disk, {}, &savable};
    // A world read from the data files has no text of its own to keep.
    const int keep_text = paths.from_content && !toml_files(paths.content_dir).empty() &&
                          compile_world(paths.content_dir, disk, errors, &in.sources);
    world_image compiled;
    int ok = 0;
    for (int way = keep_text ? WRITE_CHANGED_LINES : WRITE_WHOLE_WORLD;
         !ok && way < WRITE_WAY_COUNT; way++) {
        ok = stage_and_compile(in, way, compiled, errors);
    }
    if (ok) {
        std::string error;
        fs::create_directories(paths.content_dir, failure);
        fs::create_directories(paths.data_dir, failure);
        // The text first: it is what the next build compiles.
        ok = replace_files(text_changes(in.staging, paths.content_dir), error) &&
             write_world_files(paths.data_dir, compiled, error);
        if (!ok) {
            errors.assign(1, error);
        }
    } else if (errors.empty()) {
        errors.push_back(paths.content_dir + ": the saved text does not give the edited world");
    }
    fs::remove_all(in.staging, failure);
    if (ok) {
        world = compiled;
        take_saved_texts(world, texts);
        for (polygon_record &poly : world.polygons) {
            if (poly.room == POLYGON_FREE && !drafts.empty()) {
                poly = drafts.back();
                drafts.pop_back();
            }
        }
    }
    return ok;
}
