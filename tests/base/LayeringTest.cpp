// The folders of src/ form layers, and a folder may include only its own layer and those
// below it: base, isam, archive, session, the subsystems, app, ui, tools. Below ui/ nothing
// may include a Qt header, so that the engine builds and runs without a display.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// The layer of each folder; the subsystems share one.
int LayerOf(const std::string& folder) {
    static const std::map<std::string, int> layers = {
        {"base", 0},        {"isam", 1},    {"archive", 2}, {"session", 3}, {"masterdata", 4},
        {"duedates", 4},    {"posting", 4}, {"reports", 4}, {"vat", 4},     {"yearend", 4},
        {"maintenance", 4}, {"sheet", 4},   {"app", 5},     {"ui", 6},      {"tools", 7},
    };
    auto it = layers.find(folder);
    return it == layers.end() ? -1 : it->second;
}

struct Include {
    std::string file;
    int line;
    std::string target;
};

std::vector<Include> IncludesUnder(const fs::path& src) {
    static const std::regex include(R"(^\s*#\s*include\s*([<"])([^>"]+)[>"])");
    std::vector<Include> out;
    for (const auto& entry : fs::recursive_directory_iterator(src)) {
        const std::string ext = entry.path().extension().string();
        if (!entry.is_regular_file() || (ext != ".h" && ext != ".cpp")) {
            continue;
        }
        std::ifstream in(entry.path());
        std::string text;
        for (int n = 1; std::getline(in, text); ++n) {
            std::smatch m;
            if (std::regex_search(text, m, include)) {
                out.push_back(
                    {fs::relative(entry.path(), src).string(), n, m[1].str() + m[2].str()});
            }
        }
    }
    return out;
}

TEST(LayeringTest, NoFolderIncludesALayerAboveItAndNoEngineFolderIncludesQt) {
    const fs::path src = ZELVO_SOURCE_DIR "/src";
    const std::vector<Include> includes = IncludesUnder(src);
    ASSERT_GT(includes.size(), 100U);
    for (const Include& inc : includes) {
        const std::string folder = inc.file.substr(0, inc.file.find('/'));
        const int layer = LayerOf(folder);
        ASSERT_GE(layer, 0) << "folder " << folder << " has no layer";
        const std::string where = inc.file + ":" + std::to_string(inc.line) + " " + inc.target;
        if (inc.target[0] == '<') {
            const bool qt = inc.target.rfind("<Q", 0) == 0 || inc.target.rfind("<qt", 0) == 0;
            EXPECT_FALSE(qt && layer < LayerOf("ui")) << where;
            continue;
        }
        const std::string path = inc.target.substr(1);
        const size_t slash = path.find('/');
        if (slash == std::string::npos) {
            continue;  // a file of the same folder
        }
        const int target = LayerOf(path.substr(0, slash));
        EXPECT_GE(target, 0) << where;
        EXPECT_LE(target, layer) << where;
    }
}

}  // namespace
