#pragma once

// What a data directory holds, record by record: the before and after of tests that must
// prove nothing was written.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "archive/Catalog.h"
#include "archive/RecordText.h"
#include "isam/RecordManager.h"

namespace zelvo::test {

// Every record of every archive of the data directory's containers, as text lines.
inline std::map<std::string, std::vector<std::string>> DumpAll(const std::string& dataDir) {
    std::map<std::string, std::vector<std::string>> out;
    isam::RecordManager rm(Catalog::locate);
    std::vector<std::string> containers;
    rm.listContainers(dataDir, containers);
    for (const std::string& container : containers) {
        std::vector<std::string> tables;
        rm.listArchives(container, tables);
        for (const std::string& table : tables) {
            std::int16_t h = 0;
            EXPECT_EQ(rm.VmxOpen(dataDir + table, 0, 0, h), 0) << table;
            auto& lines = out[table];
            rm.scan(h, 0, "", [&](const std::string& key, const isam::Record& r) {
                lines.push_back(RecordToLine(key, r));
                return true;
            });
            rm.VmxClose(h);
        }
    }
    return out;
}

}  // namespace zelvo::test
