// World compiler: reads the content folder's room files and writes map.dat,
// poly.dat, wobjects.dat and messages.dat into the output folder.
//   worldc --content DIR --out DIR
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "world_compile.h"

int main(int argc, char **argv)
{
    const char *content = nullptr;
    const char *out = nullptr;
    for (int i = 1; i < argc; i++) {
        if (strcmp(argv[i], "--content") == 0 && i + 1 < argc) {
            content = argv[++i];
        } else if (strcmp(argv[i], "--out") == 0 && i + 1 < argc) {
            out = argv[++i];
        } else {
            content = nullptr;
            break;
        }
    }
    if (content == nullptr || out == nullptr) {
        fprintf(stderr, "usage: worldc --content DIR --out DIR\n");
        return 2;
    }
    world_image world;
    std::vector<std::string> errors;
    if (!compile_world(content, world, errors)) {
        for (const std::string &error : errors) {
            fprintf(stderr, "%s\n", error.c_str());
        }
        fprintf(stderr, "worldc: %zu error(s); nothing written\n", errors.size());
        return 1;
    }
    std::error_code failure;
    std::filesystem::create_directories(out, failure);
    std::string error;
    if (!write_world_files(out, world, error)) {
        fprintf(stderr, "worldc: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
