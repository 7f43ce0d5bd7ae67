#include "isam/WriteGate.h"

#include <fcntl.h>
#include <signal.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

#include "isam/FileModes.h"
#include "isam/ServerLocation.h"
#include "isam/ServerStore.h"

namespace zelvo::isam {

namespace {

// Past the range of the record locks' hashed offsets.
constexpr off_t kGateOffset = static_cast<off_t>(0x4000000000000000LL);

// The presence of the stations that have the container open, next to the gate.
constexpr off_t kPresenceOffset = kGateOffset + 1;

struct flock Range(short type, off_t offset) {
    struct flock fl {};
    fl.l_type = type;
    fl.l_whence = SEEK_SET;
    fl.l_start = offset;
    fl.l_len = 1;
    return fl;
}

struct flock GateRange(short type) {
    return Range(type, kGateOffset);
}

void Interrupt(int) {}

// The signal that ends a wait that lasted too long: a real-time one nobody else uses,
// handled without restarting the interrupted call.
int TimeoutSignal() {
    static const int signal = [] {
        const int s = SIGRTMIN + 5;
        struct sigaction sa {};
        sa.sa_handler = Interrupt;
        sigemptyset(&sa.sa_mask);
        sa.sa_flags = 0;
        sigaction(s, &sa, nullptr);
        return s;
    }();
    return signal;
}

}  // namespace

WriteGate::~WriteGate() {
    if (m_fd >= 0) {
        ::close(m_fd);
    }
}

WriteGate::Outcome WriteGate::enter(std::chrono::milliseconds limit) {
    if (m_inside) {
        return Outcome::Entered;
    }
    if (!openFile()) {
        return Outcome::Failed;
    }
    struct flock fl = GateRange(F_WRLCK);
    if (::fcntl(m_fd, F_OFD_SETLK, &fl) == 0) {
        m_inside = true;
        return Outcome::Entered;
    }
    if (errno != EAGAIN && errno != EACCES) {
        return Outcome::Failed;
    }
    // Somebody is writing: wait in the kernel, with a timer that interrupts the wait at the
    // limit (a registration takes a millisecond; only something stuck lasts that long).
    struct sigevent ev {};
    ev.sigev_notify = SIGEV_THREAD_ID;
    ev.sigev_signo = TimeoutSignal();
    ev._sigev_un._tid = ::gettid();  // sigev_notify_thread_id, which these headers lack
    timer_t timer{};
    if (timer_create(CLOCK_MONOTONIC, &ev, &timer) != 0) {
        return Outcome::Failed;
    }
    // The timer goes on ringing every 10 ms past the limit: a ring that comes while this
    // thread is not yet (or no longer) in the wait, as on a busy machine, interrupts nothing,
    // and a single one would leave the wait without an end.
    const auto deadline = std::chrono::steady_clock::now() + limit;
    struct itimerspec when {};
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(limit);
    when.it_value.tv_sec = static_cast<time_t>(seconds.count());
    when.it_value.tv_nsec = static_cast<long>(
        std::chrono::duration_cast<std::chrono::nanoseconds>(limit - seconds).count());
    when.it_interval.tv_nsec = 10'000'000;
    timer_settime(timer, 0, &when, nullptr);
    int rc = -1;
    int err = 0;
    do {
        // Any other signal may interrupt the wait too: only the deadline ends it.
        fl = GateRange(F_WRLCK);
        rc = ::fcntl(m_fd, F_OFD_SETLKW, &fl);
        err = errno;
    } while (rc != 0 && err == EINTR && std::chrono::steady_clock::now() < deadline);
    timer_delete(timer);
    if (rc == 0) {
        m_inside = true;
        return Outcome::Entered;
    }
    return err == EINTR ? Outcome::TimedOut : Outcome::Failed;
}

void WriteGate::leave() {
    if (!m_inside) {
        return;
    }
    struct flock fl = GateRange(F_UNLCK);
    ::fcntl(m_fd, F_OFD_SETLK, &fl);
    m_inside = false;
}

bool WriteGate::openFile() {
    if (m_fd < 0) {
        m_fd = OpenLockFile(m_lockFile);
    }
    return m_fd >= 0;
}

void WriteGate::arrive() {
    if (m_present || !openFile()) {
        return;
    }
    struct flock fl = Range(F_RDLCK, kPresenceOffset);
    int rc = -1;
    do {
        rc = ::fcntl(m_fd, F_OFD_SETLKW, &fl);
    } while (rc != 0 && errno == EINTR);
    m_present = rc == 0;
}

void WriteGate::depart() {
    if (!m_present) {
        return;
    }
    struct flock fl = Range(F_UNLCK, kPresenceOffset);
    ::fcntl(m_fd, F_OFD_SETLK, &fl);
    m_present = false;
}

ContainerClaim::ContainerClaim() = default;

ContainerClaim::~ContainerClaim() {
    // Closing the descriptor gives its lock back.
    for (int fd : m_fds) {
        ::close(fd);
    }
}

bool ContainerClaim::take(const std::string& path) {
    if (IsServerLocation(path)) {
        if (!m_server) {
            m_server = std::make_unique<ServerStore>(false);
        }
        return m_server->claim(path);
    }
    const int fd = OpenLockFile(path + "-lck");
    if (fd < 0) {
        return false;
    }
    struct flock fl = Range(F_WRLCK, kPresenceOffset);
    if (::fcntl(fd, F_OFD_SETLK, &fl) != 0) {
        ::close(fd);
        return false;
    }
    m_fds.push_back(fd);
    return true;
}

}  // namespace zelvo::isam
