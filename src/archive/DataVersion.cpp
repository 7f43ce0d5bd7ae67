#include "archive/DataVersion.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

#include "archive/InstallationNotes.h"
#include "isam/FileModes.h"
#include "isam/ServerLocation.h"

namespace zelvo {

namespace {

constexpr const char* kMarkFile = "versione";

std::vector<long> parts(const std::string& version) {
    std::vector<long> out;
    size_t start = 0;
    while (start <= version.size()) {
        size_t dot = version.find('.', start);
        if (dot == std::string::npos) {
            dot = version.size();
        }
        out.push_back(std::strtol(version.substr(start, dot - start).c_str(), nullptr, 10));
        start = dot + 1;
    }
    return out;
}

}  // namespace

bool NewerVersion(const std::string& a, const std::string& b) {
    std::vector<long> pa = parts(a);
    std::vector<long> pb = parts(b);
    const size_t n = std::max(pa.size(), pb.size());
    pa.resize(n, 0);
    pb.resize(n, 0);
    return pa > pb;
}

std::string RecordedDataVersion(isam::RecordManager& rm, const std::string& dataDirectory) {
    std::string line;
    if (isam::IsServerLocation(dataDirectory)) {
        line = ReadServerNote(rm, dataDirectory, kMarkFile);
    } else {
        std::ifstream in(dataDirectory + kMarkFile);
        if (!in || !std::getline(in, line)) {
            return {};
        }
    }
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) {
        line.pop_back();
    }
    return line;
}

std::string NewerDataVersion(isam::RecordManager& rm, const std::string& dataDirectory,
                             const std::string& program) {
    std::string recorded = RecordedDataVersion(rm, dataDirectory);
    return !recorded.empty() && NewerVersion(recorded, program) ? recorded : std::string();
}

bool MarkDataVersion(isam::RecordManager& rm, const std::string& dataDirectory,
                     const std::string& program) {
    std::string recorded = RecordedDataVersion(rm, dataDirectory);
    if (recorded == program || (!recorded.empty() && NewerVersion(recorded, program))) {
        return true;
    }
    if (isam::IsServerLocation(dataDirectory)) {
        return WriteServerNote(rm, dataDirectory, kMarkFile, program);
    }
    // Written beside and renamed over, so that a station reading it never sees half a line.
    const std::string mark = dataDirectory + kMarkFile;
    const std::string next = mark + ".nuovo";
    {
        std::ofstream out(next, std::ios::trunc);
        out << program << "\n";
        if (!out.flush()) {
            return false;
        }
    }
    isam::ShareWithGroupOnly(next);
    std::error_code ec;
    std::filesystem::rename(next, mark, ec);
    return !ec;
}

std::string NewerDataMessage(const std::string& dataDirectory, const std::string& recorded,
                             const std::string& program) {
    return "Gli archivi della directory " + dataDirectory +
           " sono stati aggiornati dalla versione " + recorded +
           " di Zelvo, più recente di questa (" + program +
           "). Questa versione non può lavorarvi senza rischio di danneggiarli: usare la "
           "versione " +
           recorded + " o una successiva.";
}

}  // namespace zelvo
