#pragma once

#include <cstdint>
#include <string>

#include "archive/Archives.h"

namespace zelvo {

// A record lock held for the length of a scope. The constructor waits while another station
// holds the record (Archives::lockWait); when the operating system refuses the lock (too many
// open files, a lock file that cannot be opened) it reports the failure through ArchiveError
// as a write of the archive at `position` and holds nothing: the caller must then write
// nothing that the lock guards.
//
// Locks of one station on the same record nest: only the outermost guard takes and gives
// back the lock, so a routine that needs "mc" may run inside a registration already holding
// it without releasing it under its caller.
class RecordLock {
  public:
    RecordLock(Archives& archives, int archive, std::string primaryKey, int position)
        : m_archives(archives),
          m_archive(archive),
          m_key(std::move(primaryKey)),
          m_position(position) {
        m_status = m_archives.acquireLock(m_archive, m_key);
        if (m_status != 0) {
            m_archives.report(opn::kWrite, m_archive, m_position);
        }
    }
    ~RecordLock() { release(); }
    RecordLock(const RecordLock&) = delete;
    RecordLock& operator=(const RecordLock&) = delete;

    bool held() const { return m_status == 0 && !m_released; }
    // The status of the lock request (0 when granted).
    std::int16_t status() const { return m_status; }

    // Gives the lock back before the scope ends (the registration lock is released before
    // the due dates are written). A failure to unlock is reported at the same position; the
    // shared status is otherwise left as the caller's last call set it.
    void release() {
        if (!held()) {
            return;
        }
        m_released = true;
        const std::int16_t before = m_archives.status();
        if (m_archives.releaseLock(m_archive, m_key) != 0) {
            m_archives.report(opn::kWrite, m_archive, m_position);
            return;
        }
        m_archives.setStatus(before);
    }

  private:
    Archives& m_archives;
    int m_archive;
    std::string m_key;
    int m_position;
    std::int16_t m_status = 0;
    bool m_released = false;
};

}  // namespace zelvo
