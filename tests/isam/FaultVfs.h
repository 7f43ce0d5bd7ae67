#pragma once

#include <cstdint>

namespace zelvo::test {

// A SQLite VFS named "faultvfs" over the default one that fails writes on demand, the way a
// full or failing disk does. Registered once per process.
class FaultVfs {
  public:
    static const char* name();
    static void install();
    // Writes succeed until this many more bytes have been written; then each write fails.
    static void failAfter(std::int64_t bytes, int sqliteError);
    static void heal();
};

}  // namespace zelvo::test
