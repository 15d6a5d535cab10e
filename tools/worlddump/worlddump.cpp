// World dumper: reads map.dat, poly.dat, wobjects.dat and messages.dat and
// writes one content file per room (and one for objects out of play).
//   worlddump --data DIR --out DIR
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "world_dump.h"
#include "file_replace.h"

int main(int argc, char **argv)
{
    const char *data = nullptr;
    const char *out = nullptr;
    for (int i = 1; i < argc; i++) {
        if (strcmp(argv[i], "--data") == 0 && i + 1 < argc) {
            data = argv[++i];
        } else if (strcmp(argv[i], "--out") == 0 && i + 1 < argc) {
            out = argv[++i];
        } else {
            data = nullptr;
            break;
        }
    }
    if (data == nullptr || out == nullptr) {
        fprintf(stderr, "usage: worlddump --data DIR --out DIR\n");
        return 2;
    }
    world_image world;
    std::string error;
    if (!read_world_files(data, world, error)) {
        fprintf(stderr, "worlddump: %s\n", error.c_str());
        return 1;
    }
    std::vector<dump_file> files;
    std::vector<std::string> warnings;
    dump_world(world, files, warnings);
    for (const std::string &warning : warnings) {
        fprintf(stderr, "worlddump: warning: %s\n", warning.c_str());
    }
    std::error_code failure;
    std::filesystem::create_directories(out, failure);
    std::vector<file_bytes> written;
    for (const dump_file &file : files) {
        written.push_back({std::string(out) + "/" + file.name, file.text});
    }
    if (!replace_files(written, error)) {
        fprintf(stderr, "worlddump: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
