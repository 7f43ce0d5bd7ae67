#include "archive/DirectoryCheck.h"

#include <vector>

#include "archive/Catalog.h"
#include "archive/InstallationNotes.h"
#include "isam/RecordManager.h"

namespace zelvo {

int VerifyDirectory(const std::string& dir, const std::function<void(const std::string&)>& line) {
    isam::RecordManager rm(Catalog::locate);
    const std::string prefix = dir.empty() || dir.back() == '/' ? dir : dir + "/";
    std::vector<std::string> containers;
    if (InstallationContainers(rm, prefix, containers) != isam::status::kOk) {
        line("ERRORE  su cartella " + dir);
        return 1;
    }
    int errors = 0;
    for (const std::string& c : containers) {
        std::vector<std::string> names;
        if (std::int16_t s = rm.listArchives(prefix + c, names); s != 0) {
            line("ERRORE " + std::to_string(s) + "  su archivio " + c);
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
