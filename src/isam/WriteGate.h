#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace zelvo::isam {

class ServerStore;

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

    // This station has the container open: a shared lock on another byte of the lock file,
    // held from the first handle on it to the last one closed. A station replacing the file
    // (a restore, ContainerClaim) holds that byte exclusively for the few renames it takes,
    // and an arrival waits for it. A lock file that cannot be opened (a read-only folder)
    // marks nothing: reading there stays possible.
    void arrive();
    void depart();

  private:
    bool openFile();

    std::string m_lockFile;
    int m_fd = -1;
    bool m_inside = false;
    bool m_present = false;
};

// A station about to replace containers' files takes them for itself, without waiting: the
// exclusive lock on the byte every station holds shared while it has a container open
// (WriteGate::arrive). Held until the claim goes or its process dies.
class ContainerClaim {
  public:
    ContainerClaim();
    ~ContainerClaim();
    ContainerClaim(const ContainerClaim&) = delete;
    ContainerClaim& operator=(const ContainerClaim&) = delete;
    // False when a station (another, or this one through an open handle) has the container
    // at `path` open, or its lock file cannot be written (on a server: cannot be reached).
    bool take(const std::string& path);

  private:
    std::vector<int> m_fds;
    // Server containers are claimed on connections of the claim's own, whose sessions hold
    // the locks until the claim goes.
    std::unique_ptr<ServerStore> m_server;
};

}  // namespace zelvo::isam
