// Backup, restore and verification of the generated year, against `zip` of the same
// containers.

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <vector>

#include "maintenance/ArchiveCheck.h"
#include "maintenance/BackupFile.h"
#include "tools/bench/Bench.h"

namespace zelvo::bench {

namespace fs = std::filesystem;

namespace {

std::string row(const std::string& what, double value, const char* unit) {
    return "| " + what + " | " + std::to_string(value) + " " + unit + " |";
}

}  // namespace

int MaintenanceBench(const std::string& dataDir, const std::string& year, const std::string& work,
                     int rounds) {
    fs::remove_all(work);
    fs::create_directories(work);
    const std::string zip = work + "backup.zip";
    std::vector<double> ours;
    std::vector<double> theirs;
    std::vector<double> restores;
    std::vector<double> checks;
    auto containers = maintenance::CompanyContainers(dataDir, "AB", year);
    std::string list;
    for (const std::string& c : containers) {
        list += " '" + dataDir + c + "'";
    }
    for (int r = 0; r < rounds; ++r) {
        isam::RecordManager rm(Catalog::locate);
        double t0 = Now();
        if (!maintenance::WriteBackup(rm, dataDir, containers, zip, 0).ok) {
            std::cerr << "backup failed\n";
            return 1;
        }
        ours.push_back(Now() - t0);
        fs::remove(work + "zip.zip");
        t0 = Now();
        if (std::system(("zip -q -j '" + work + "zip.zip'" + list).c_str()) != 0) {
            std::cerr << "zip failed\n";
            return 1;
        }
        theirs.push_back(Now() - t0);
        Copy(dataDir, work + "restored");
        t0 = Now();
        if (!maintenance::RestoreBackup(rm, zip, work + "restored/").ok) {
            std::cerr << "restore failed\n";
            return 1;
        }
        restores.push_back(Now() - t0);
        Station station(dataDir, year);
        t0 = Now();
        for (const std::string& file : ArchiveCheck::Files(station.session->archives())) {
            std::string message;
            station.session->archives().recordManager().VTVal(file, message, 0, 0);
        }
        checks.push_back(Now() - t0);
    }
    std::cout << row("Backup of the year (median)", Median(ours), "s") << "\n"
              << row("`zip -j` of the same containers (median)", Median(theirs), "s") << "\n"
              << "| Ratio backup / zip | " << Median(ours) / Median(theirs) << " |\n"
              << "| Backup file | " << fs::file_size(zip) / 1024 << " KB |\n"
              << row("Restore of it (median)", Median(restores), "s") << "\n"
              << row("Verification of the year, VALL1's files (median)", Median(checks), "s")
              << "\n";
    return 0;
}

}  // namespace zelvo::bench
