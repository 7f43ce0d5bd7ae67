#pragma once

#include <chrono>
#include <string>

namespace zelvo::isam {

// The turn of one station to write into a container. SQLite's own write lock cannot be
// waited for, only polled: with several stations posting, the lock stood free while its next
// holder slept between polls, and the polls took the processor the holder needed. The gate
// is an OS record lock on a byte of the container's lock file that the next writer waits for
// in the kernel, woken the moment it is released; like every record lock it is released when
// its holder dies, and it conflicts between two connections of one process.
class WriteGate {
  public:
    explicit WriteGate(std::string lockFile) : m_lockFile(std::move(lockFile)) {}
    ~WriteGate();
    WriteGate(const WriteGate&) = delete;
    WriteGate& operator=(const WriteGate&) = delete;

    enum class Outcome { Entered, TimedOut, Failed };
    // Waits at most `limit` for the turn.
    Outcome enter(std::chrono::milliseconds limit);
    void leave();
    bool inside() const { return m_inside; }

  private:
    std::string m_lockFile;
    int m_fd = -1;
    bool m_inside = false;
};

}  // namespace zelvo::isam
