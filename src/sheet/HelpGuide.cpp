#include "sheet/HelpGuide.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

namespace zelvo::help {

namespace fs = std::filesystem;

namespace {

constexpr const char* kIndex = "index.html";

bool HoldsGuide(const std::string& folder) {
    std::error_code ec;
    return !folder.empty() && fs::is_regular_file(fs::path(folder) / kIndex, ec);
}

std::string Read(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The page of the folder that holds the anchor, or empty.
std::string PageWithAnchor(const std::string& folder, const std::string& anchor) {
    std::vector<fs::path> pages;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
        if (entry.path().extension() == ".html") {
            pages.push_back(entry.path());
        }
    }
    std::sort(pages.begin(), pages.end());
    const std::string wanted = "id=\"" + anchor + "\"";
    for (const fs::path& page : pages) {
        if (Read(page).find(wanted) != std::string::npos) {
            return page.filename().string();
        }
    }
    return {};
}

}  // namespace

std::string Folder(const std::string& fromEnvironment, const std::string& programDir,
                   const std::string& sourceDir) {
    const std::string installed = programDir.empty()
                                      ? std::string()
                                      : (fs::path(programDir) / ".." / "share" / "zelvo" / "help")
                                            .lexically_normal()
                                            .string();
    for (const std::string& folder : {fromEnvironment, installed, sourceDir}) {
        if (HoldsGuide(folder)) {
            return folder;
        }
    }
    return {};
}

std::string Folder(const std::string& programDir) {
    const char* env = std::getenv("ZELVO_HELP_DIR");
    return Folder(env != nullptr ? env : "", programDir, ZELVO_SOURCE_HELP_DIR);
}

Place PlaceOf(const std::string& folder, const std::string& screen) {
    if (!screen.empty() && !folder.empty()) {
        if (std::string page = PageWithAnchor(folder, screen); !page.empty()) {
            return {page, screen};
        }
        const char last = screen.back();
        if (screen.size() > 1 && (last == '2' || last == '3')) {
            return PlaceOf(folder, screen.substr(0, screen.size() - 1));
        }
    }
    return {kIndex, ""};
}

}  // namespace zelvo::help
