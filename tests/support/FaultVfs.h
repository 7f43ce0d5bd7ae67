#pragma once

#include <cstdint>

namespace zelvo::test {

// A SQLite VFS named "faultvfs" over the default one that fails writes on demand, the way a
// full or failing disk does. Registered once per process.
class FaultVfs {
  public:
    static const char* name();
    // As the default VFS every connection of the process goes through it (the program's
    // own stations included); until failAfter it only passes the calls on.
    static void install(bool asDefault = false);
    // Writes succeed until this many more bytes have been written; then each write fails.
    static void failAfter(std::int64_t bytes, int sqliteError);
    static void heal();
    // The writes refused since the process began.
    static std::int64_t refusedWrites();
    // The bytes written through it since the process began.
    static std::int64_t written();
};

}  // namespace zelvo::test
