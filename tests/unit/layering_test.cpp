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
const std::map<std::string, int> layer_of_folder = {
    {"platform", 0}, {"shell", 1},   {"sound", 1},  {"world", 2},
    {"runtime", 3},  {"physics", 4}, {"render", 5}, {"game", 6},
};
const int TOP_LAYER = 6; // src/main.cpp

struct include_line {
    std::string file; // relative to src/
    int line;
    std::string target; // the quoted header
};

// A module is a header and its source: "folder/name".
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
    return it != layer_of_folder.end() ? it->second : folder_of(path).empty() ? TOP_LAYER : -1;
}

std::vector<include_line> quoted_includes(void)
{
    const std::regex quoted(R"(^\s*#\s*include\s*"([^"]+)\")");
    std::vector<include_line> found;
    const fs::path src = fs::path(QM_SOURCE_DIR) / "src";
    for (const fs::directory_entry &e : fs::recursive_directory_iterator(src)) {
        std::string ext = e.path().extension().string();
        if (!e.is_regular_file() || (ext != ".h" && ext != ".cpp")) {
            continue;
        }
        std::ifstream in(e.path());
        std::string text, file = fs::relative(e.path(), src).generic_string();
        std::smatch m;
        for (int n = 1; std::getline(in, text); n++) {
            if (std::regex_search(text, m, quoted)) {
                found.push_back({file, n, m[1].str()});
            }
        }
    }
    return found;
}

std::string where(const include_line &i)
{
    return "src/" + i.file + ":" + std::to_string(i.line) + " includes \"" + i.target + "\"";
}

TEST(Layers, NoFileIncludesAHigherLayer)
{
    for (const include_line &i : quoted_includes()) {
        EXPECT_GE(layer_of(i.file), 0) << "src/" << i.file << " lies in no known layer";
        EXPECT_GE(layer_of(i.file), layer_of(i.target)) << where(i) << ", a higher layer";
    }
}

// An include from one folder to another lies on a circle exactly when the
// included module reaches back to the including one.
int reaches(const std::map<std::string, std::set<std::string>> &edges, const std::string &from,
            const std::string &to)
{
    std::set<std::string> seen{from};
    std::vector<std::string> todo{from};
    while (!todo.empty()) {
        std::string m = todo.back();
        todo.pop_back();
        auto out = edges.find(m);
        for (const std::string &next : out != edges.end() ? out->second : std::set<std::string>{}) {
            if (next == to) {
                return 1;
            }
            if (seen.insert(next).second) {
                todo.push_back(next);
            }
        }
    }
    return 0;
}

TEST(Layers, NoIncludeCircleSpansFolders)
{
    std::vector<include_line> includes = quoted_includes();
    std::map<std::string, std::set<std::string>> edges;
    for (const include_line &i : includes) {
        edges[module_of(i.file)].insert(module_of(i.target));
    }
    for (const include_line &i : includes) {
        if (folder_of(i.file) != folder_of(i.target)) {
            EXPECT_FALSE(reaches(edges, module_of(i.target), module_of(i.file)))
                << where(i) << ", which includes its way back: a circle across folders";
        }
    }
}

} // namespace
