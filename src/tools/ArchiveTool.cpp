// zelvo-archive: dumps, loads and verifies the archives of a data directory, for support
// and for tests that need prepared data, and moves an installation between a folder and a
// server.

#include <algorithm>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "archive/Catalog.h"
#include "archive/DataVersion.h"
#include "archive/DirectoryCheck.h"
#include "archive/RecordText.h"
#include "base/Version.h"
#include "isam/FileModes.h"
#include "isam/RecordManager.h"
#include "isam/ServerLocation.h"
#include "tools/ArchiveMigrate.h"

namespace {

using namespace zelvo;

constexpr const char* kHelp =
    "usage: zelvo-archive dump DATADIR ARCHIVE\n"
    "       zelvo-archive load DATADIR ARCHIVE FILE\n"
    "       zelvo-archive verify DATADIR\n"
    "       zelvo-archive migrate FROM TO\n"
    "\n"
    "DATADIR, FROM and TO are data directories: a folder, or a PostgreSQL server named by a\n"
    "libpq URI (postgresql://user@host/database, postgresql:///database?service=office);\n"
    "passwords belong in ~/.pgpass or pg_service.conf, never in the URI.\n"
    "\n"
    "  dump     writes every record of ARCHIVE (say 2026ABpr), one tab-separated line each\n"
    "  load     writes the lines of FILE into ARCHIVE, all of them or none\n"
    "  verify   checks every archive of every container\n"
    "  migrate  copies a whole installation from FROM into TO, which must hold no archive:\n"
    "           from a folder into a server or back. Every station must have left the\n"
    "           program. Record counts are compared afterwards; on any failure nothing is\n"
    "           left in TO.\n";

std::string withSeparator(std::string dir) {
    if (dir.empty() || dir.back() != '/') {
        dir += '/';
    }
    return dir;
}

int fail(const std::string& what, std::int16_t status) {
    std::cerr << "zelvo-archive: " << what << ": status " << status << " ("
              << isam::StatusText(status) << ")\n";
    return 1;
}

int dump(const std::string& dir, const std::string& archive) {
    isam::RecordManager rm(Catalog::locate);
    std::int16_t h = 0;
    std::string file = withSeparator(dir) + archive;
    if (std::int16_t s = rm.VmxOpen(file, 0, 3, h); s != 0) {
        return fail(file, s);
    }
    rm.VmxBOF(h, 0);
    std::string key, kv, pk;
    isam::Record r;
    std::int16_t s = 0;
    while ((s = rm.VmxGet(h, 0, isam::op::kNext, key, kv, pk, r)) == 0) {
        std::cout << RecordToLine(pk, r) << '\n';
    }
    return s == isam::status::kEndOfIndex ? 0 : fail(file, s);
}

int load(const std::string& dir, const std::string& archive, const std::string& input) {
    isam::RecordManager rm(Catalog::locate);
    if (std::string newer = NewerDataVersion(rm, withSeparator(dir), kProgramVersion);
        !newer.empty()) {
        std::cerr << "zelvo-archive: " << dir << " was last written by Zelvo " << newer
                  << ", newer than this " << kProgramVersion << ": nothing loaded\n";
        return 1;
    }
    std::ifstream in(input);
    if (!in) {
        std::cerr << "zelvo-archive: cannot read " << input << '\n';
        return 1;
    }
    // The same refusal as the program's: archives anybody may replace are not written to.
    if (!isam::IsServerLocation(dir) && isam::WritableByAnyone(dir)) {
        std::cerr << "zelvo-archive: la cartella dei dati " << dir
                  << " può essere modificata da qualunque utente: nessun archivio è stato "
                     "scritto\n";
        return 1;
    }
    std::int16_t h = 0;
    std::string file = withSeparator(dir) + archive;
    if (std::int16_t s = rm.VmxOpen(file, 0, 3, h); s != 0) {
        return fail(file, s);
    }
    isam::Transaction tx(rm, h);
    std::string line;
    int lineNo = 0;
    while (std::getline(in, line)) {
        ++lineNo;
        if (line.empty()) {
            continue;
        }
        std::string pk;
        isam::Record r;
        std::string error = LineToRecord(line, *rm.description(h), pk, r);
        if (!error.empty()) {
            std::cerr << input << ":" << lineNo << ": " << error << '\n';
            return 1;  // the transaction rolls back: nothing of the file is loaded
        }
        if (std::int16_t s = rm.VmxPut(h, pk, r, isam::mode::kWrite); s != 0) {
            return fail(input + ":" + std::to_string(lineNo), s);
        }
    }
    if (std::int16_t s = tx.commit(); s != 0) {
        return fail(file, s);
    }
    return 0;
}

int verify(const std::string& dir) {
    const int errors =
        VerifyDirectory(dir, [](const std::string& line) { std::cout << line << '\n'; });
    return errors == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 3 && args[0] == "dump") {
        return dump(args[1], args[2]);
    }
    if (args.size() == 4 && args[0] == "load") {
        return load(args[1], args[2], args[3]);
    }
    if (args.size() == 2 && args[0] == "verify") {
        return verify(args[1]);
    }
    if (args.size() == 3 && args[0] == "migrate") {
        return MigrateInstallation(args[1], args[2], std::cout, std::cerr);
    }
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        std::cout << kHelp;
        return 0;
    }
    std::cerr << kHelp;
    return 2;
}
