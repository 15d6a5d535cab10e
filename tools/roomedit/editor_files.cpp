// Loading and saving the room editor's world. A save stages the content
// folder next to it, compiles the staged text, and only then replaces files
// by renaming, so the data files always are what the world compiler makes
// from the saved text, and a failure leaves the old world untouched.
#include "editor_files.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <unistd.h>

#include "file_replace.h"
#include "world_compile.h"
#include "world_dump.h"

namespace fs = std::filesystem;

static const char STAGING_SUFFIX[] = ".saving";

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
    std::vector<dump_file> files;
    std::vector<std::string> warnings;
    dump_world(world, files, warnings);
    texts.rooms.assign(ROOM_COUNT, "");
    texts.out_of_play.clear();
    for (const dump_file &file : files) {
        int room = 0;
        if (sscanf(file.name.c_str(), "room_%d.toml", &room) == 1 && room >= 0 &&
            room < ROOM_COUNT) {
            texts.rooms[static_cast<size_t>(room)] = file.text;
        } else {
            texts.out_of_play = file.text;
        }
    }
}

// Writes a whole file under a temporary name, then renames it into place.
static int replace_file(const std::string &path, const std::string &text, std::string &error)
{
    return replace_files({{path, text}}, error);
}

// One fwrite per record (the world files' own layout), into the temporary
// beside the file; the caller renames it when every file is whole.
static int write_records(const std::string &path, const std::vector<std::string> &records,
                         std::string &error)
{
    const std::string temp = temporary_beside(path);
    FILE *f = fopen(temp.c_str(), "wb");
    int ok = f != nullptr;
    for (size_t i = 0; ok && i < records.size(); i++) {
        ok = fwrite(records[i].data(), 1, records[i].size(), f) == records[i].size();
    }
    ok = ok && fflush(f) == 0 && fsync(fileno(f)) == 0;
    if (f != nullptr && fclose(f) != 0) {
        ok = 0;
    }
    if (!ok) {
        remove(temp.c_str());
        error = path + ": cannot write the file";
    }
    return ok;
}

int write_world_records(const std::string &folder, const world_image &world, std::string &error)
{
    std::vector<std::string> map, poly, objects, messages;
    for (const room_record &rec : world.rooms) {
        map.emplace_back(ROOM_RECORD_SIZE, '\0');
        encode_room(rec, reinterpret_cast<unsigned char *>(map.back().data()));
    }
    for (const polygon_record &rec : world.polygons) {
        poly.emplace_back(POLYGON_RECORD_SIZE, '\0');
        encode_polygon(rec, reinterpret_cast<unsigned char *>(poly.back().data()));
    }
    for (const world_object &rec : world.objects) {
        objects.emplace_back(WORLD_OBJECT_RECORD_SIZE, '\0');
        encode_world_object(rec, reinterpret_cast<unsigned char *>(objects.back().data()));
    }
    for (const std::string &text : world.messages) {
        messages.push_back(text + '\0');
    }
    const char *const names[] = {MAP_FILE, POLY_FILE, WOBJECTS_FILE, MESSAGES_FILE};
    const std::vector<std::string> *const tables[] = {&map, &poly, &objects, &messages};
    std::error_code failure;
    fs::create_directories(folder, failure);
    for (size_t i = 0; i < std::size(names); i++) {
        if (!write_records(folder + "/" + names[i], *tables[i], error)) {
            return 0;
        }
    }
    // Renamed only when all four are whole, so a failure changes nothing.
    for (const char *name : names) {
        const std::string path = folder + "/" + name;
        if (!commit_temporary(path, 1)) {
            error = path + ": cannot replace the file";
            return 0;
        }
    }
    return 1;
}

// The room a content file describes: its top-level "id = N", or -1.
static int room_of_file(const fs::path &path)
{
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        int room = 0;
        if (!line.empty() && line[0] == '[') {
            break;
        }
        if (sscanf(line.c_str(), "id = %d", &room) == 1) {
            return room;
        }
    }
    return -1;
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

static int write_text(const fs::path &path, const std::string &text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    return out ? 1 : 0;
}

// The staged content: the old files, with each changed room's file written
// anew in the dumper's form.
static int stage_changes(const std::string &staging, const saved_texts &old_texts,
                         const saved_texts &new_texts)
{
    std::map<int, fs::path> file_of_room;
    for (const fs::path &path : toml_files(staging)) {
        const int room = room_of_file(path);
        if (room >= 0) {
            file_of_room[room] = path;
        }
    }
    int ok = 1;
    for (int room = 0; room < ROOM_COUNT; room++) {
        const std::string &text = new_texts.rooms[static_cast<size_t>(room)];
        if (text == old_texts.rooms[static_cast<size_t>(room)]) {
            continue;
        }
        std::error_code failure;
        if (file_of_room.count(room)) {
            fs::remove(file_of_room[room], failure);
        }
        if (!text.empty()) {
            ok &= write_text(fs::path(staging) / room_file_name(room), text);
        }
    }
    if (new_texts.out_of_play != old_texts.out_of_play) {
        ok &= write_text(fs::path(staging) / OUT_OF_PLAY_FILE, new_texts.out_of_play);
    }
    return ok;
}

// Every room in the dumper's form, as worlddump would write the folder.
static int stage_whole_dump(const std::string &staging, const world_image &world)
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

// Moves the staged files over the content folder's, and removes the content
// files the staging no longer holds.
static int replace_content(const std::string &staging, const std::string &content,
                           std::vector<std::string> &errors)
{
    std::error_code failure;
    fs::create_directories(content, failure);
    std::map<std::string, int> staged;
    for (const fs::path &path : toml_files(staging)) {
        std::ifstream in(path, std::ios::binary);
        const std::string text((std::istreambuf_iterator<char>(in)),
                               std::istreambuf_iterator<char>());
        const std::string name = path.filename().string();
        staged[name] = 1;
        std::string error;
        if (!replace_file(content + "/" + name, text, error)) {
            errors.push_back(error);
            return 0;
        }
    }
    for (const fs::path &path : toml_files(content)) {
        if (!staged.count(path.filename().string())) {
            fs::remove(path, failure);
        }
    }
    return 1;
}

int save_editor_world(const editor_paths &paths, world_image &world, saved_texts &texts,
                      std::vector<std::string> &errors)
{
    errors.clear();
    saved_texts now;
    take_saved_texts(world, now);
    const std::string staging = paths.content_dir + STAGING_SUFFIX;
    std::error_code failure;
    fs::remove_all(staging, failure);
    fs::create_directories(staging, failure);
    for (const fs::path &path : toml_files(paths.content_dir)) {
        fs::copy_file(path, fs::path(staging) / path.filename(), failure);
    }
    // Rooms may name shared files in sub-folders (templates); they are read,
    // never written.
    for (const fs::path &folder : entries_of(paths.content_dir, fs::file_type::directory)) {
        fs::copy(folder, fs::path(staging) / folder.filename(), fs::copy_options::recursive,
                 failure);
    }
    // A world read from the data files has no text of its own to keep.
    const int whole = !paths.from_content || toml_files(staging).empty();
    world_image compiled;
    int ok =
        !whole && stage_changes(staging, texts, now) && compile_world(staging, compiled, errors);
    if (!ok) {
        // Hand-written files may name what a rewritten room no longer
        // names (labels); the dumper's form of every room always compiles.
        ok = stage_whole_dump(staging, world) && compile_world(staging, compiled, errors);
    }
    std::string error;
    if (ok && !write_world_records(paths.data_dir, compiled, error)) {
        errors.push_back(error);
        ok = 0;
    }
    ok = ok && replace_content(staging, paths.content_dir, errors);
    fs::remove_all(staging, failure);
    if (ok) {
        world = compiled;
        take_saved_texts(world, texts);
    }
    return ok;
}
