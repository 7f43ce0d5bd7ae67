#include "archive/DirectoryCheck.h"

#include <algorithm>
#include <filesystem>
#include <vector>

#include "archive/Catalog.h"
#include "isam/RecordManager.h"

namespace zelvo {

int VerifyDirectory(const std::string& dir, const std::function<void(const std::string&)>& line) {
    namespace fs = std::filesystem;
    isam::RecordManager rm(Catalog::locate);
    std::vector<fs::path> containers;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(dir, ec)) {
        if (entry.path().extension() == ".isd") {
            containers.push_back(entry.path());
        }
    }
    if (ec) {
        line("ERRORE  su cartella " + dir);
        return 1;
    }
    std::sort(containers.begin(), containers.end());
    const std::string prefix = dir.empty() || dir.back() == '/' ? dir : dir + "/";
    int errors = 0;
    for (const fs::path& c : containers) {
        std::vector<std::string> names;
        if (std::int16_t s = rm.listArchives(c.string(), names); s != 0) {
            line("ERRORE " + std::to_string(s) + "  su archivio " + c.filename().string());
            ++errors;
            continue;
        }
        for (const std::string& name : names) {
            std::string message;
            std::int16_t s = rm.VTVal(prefix + name, message, 0, 0);
            if (s == 0) {
                line("OK archivio " + name);
            } else {
                line("ERRORE " + std::to_string(s) + "  su archivio " + name + ": " + message);
                ++errors;
            }
        }
    }
    return errors;
}

}  // namespace zelvo
