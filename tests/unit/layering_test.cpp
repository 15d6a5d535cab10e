// The layers of src/, read from the sources themselves: a file includes
// headers of its own layer and the layers below only, and no include circle
// runs through modules of more than one folder. Tools and tests are free.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace
{

namespace fs = std::filesystem;

// Bottom to top; sound sits beside the shell, which starts and stops it.
// src/main.cpp, in no folder, is the top.
const std::map<std::string, int> layer_of_folder = {{"platform", 0}, {"shell", 1},   {"sound", 1},
                                                    {"world", 2},    {"runtime", 3}, {"physics", 4},
                                                    {"render", 5},   {"game", 6},    {"", 6}};

struct include_line {
    std::string file, target, where; // file and target relative to src/
};

// A module is a header and its source; its folder is its layer.
std::string module_of(const std::string &path)
{
    return path.substr(0, path.rfind('.'));
}

std::string folder_of(const std::string &path)
{
    size_t slash = path.find('/');
    return slash == std::string::npos ? "" : path.substr(0, slash);
}

int layer_of(const std::string &path)
{
    auto it = layer_of_folder.find(folder_of(path));
    return it != layer_of_folder.end() ? it->second : -1;
}

std::vector<include_line> quoted_includes(void)
{
    const std::regex quoted(R"(^\s*#\s*include\s*"([^"]+)\")");
    const fs::path src = fs::path(QM_SOURCE_DIR) / "src";
    std::vector<include_line> found;
    for (const fs::directory_entry &e : fs::recursive_directory_iterator(src)) {
        std::ifstream in(e.path());
        std::string text, file = fs::relative(e.path(), src).generic_string();
        std::smatch m;
        for (int n = 1; e.is_regular_file() && std::getline(in, text); n++) {
            if (std::regex_search(text, m, quoted)) {
                found.push_back(
                    {file, m[1].str(), "src/" + file + ":" + std::to_string(n) + ": " + text});
            }
        }
    }
    return found;
}

TEST(Layers, NoFileIncludesAHigherLayer)
{
    for (const include_line &i : quoted_includes()) {
        EXPECT_GE(layer_of(i.file), 0) << "src/" << i.file << " lies in no known layer";
        EXPECT_GE(layer_of(i.file), layer_of(i.target)) << i.where << " (a higher layer)";
    }
}

// An include from one folder to another closes a circle exactly when the
// included module reaches back to the including one.
TEST(Layers, NoIncludeCircleSpansFolders)
{
    std::vector<include_line> includes = quoted_includes();
    std::map<std::string, std::set<std::string>> edges;
    for (const include_line &i : includes) {
        edges[module_of(i.file)].insert(module_of(i.target));
    }
    for (const include_line &i : includes) {
        std::set<std::string> seen;
        std::vector<std::string> todo{module_of(i.target)};
        while (folder_of(i.file) != folder_of(i.target) && !todo.empty()) {
            std::string m = todo.back();
            todo.pop_back();
            EXPECT_NE(m, module_of(i.file)) << i.where << " (closes a circle across folders)";
            for (const std::string &next : edges[m]) {
                if (seen.insert(next).second) {
                    todo.push_back(next);
                }
            }
        }
    }
}

} // namespace
