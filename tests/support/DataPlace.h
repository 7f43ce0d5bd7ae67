#pragma once

#include <sys/types.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "support/TempDir.h"

namespace zelvo::test {

// The server the tests run on: the libpq URI in ZELVO_TEST_SERVER (the server run, set by
// ctest for the tests labelled "server"); empty on the folder run.
std::string TestServer();

// The data directory of one test. On the folder run it is a fresh temporary folder; on the
// server run a fresh database of the test server, dropped with the object (with whatever
// sessions are still connected to it).
class DataPlace {
  public:
    DataPlace();
    ~DataPlace();
    DataPlace(const DataPlace&) = delete;
    DataPlace& operator=(const DataPlace&) = delete;

    // The data directory as the program takes it, with a trailing separator: the folder, or
    // the URI naming the database ("postgresql://zelvo@/zt_812_3?host=/tmp/zelvo-pg-xx/").
    const std::string& prefix() const { return m_prefix; }
    bool onServer() const { return !m_database.empty(); }
    // A real folder for what the test writes beside the data (prints, backups, copies); on
    // the folder run it is the data directory itself.
    const std::filesystem::path& folder() const { return m_folder.path(); }

    // The containers the record manager finds in the data directory, by name ("2026AB").
    std::vector<std::string> containers() const;
    bool holds(const std::string& container) const;

  private:
    TempDir m_folder;
    std::string m_database;  // on the server run
    std::string m_prefix;
    pid_t m_owner;  // a forked child leaves the database to the test that made it
};

// Whether a data directory (a folder or a server's) holds the container `name`, as the
// record manager lists them.
bool HoldsContainer(const std::string& dataDirectory, const std::string& name);

}  // namespace zelvo::test

// Skips, on the server run, a test that is about folders: files and their journals, disk
// faults, lock files. `why` says what the server has instead.
#define ZELVO_FOLDER_ONLY(why)                 \
    if (::zelvo::test::TestServer().empty()) { \
    } else                                     \
        GTEST_SKIP() << "folder data only: " << (why)
