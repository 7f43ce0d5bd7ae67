#include "support/Child.h"

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>

namespace zelvo::test {

Child::Child(std::function<int(Child&)> body) {
    if (::pipe(m_toParent) != 0 || ::pipe(m_toChild) != 0) {
        throw std::runtime_error("pipe failed");
    }
    m_pid = ::fork();
    if (m_pid < 0) {
        throw std::runtime_error("fork failed");
    }
    if (m_pid == 0) {
        ::close(m_toParent[0]);
        ::close(m_toChild[1]);
        int rc = body(*this);
        ::_exit(rc);
    }
    ::close(m_toParent[1]);
    m_toParent[1] = -1;
    ::close(m_toChild[0]);
    m_toChild[0] = -1;
}

Child::~Child() {
    if (m_pid > 0 && !m_reaped) {
        kill();
    }
    for (int fd : {m_toParent[0], m_toChild[1]}) {
        if (fd >= 0) {
            ::close(fd);
        }
    }
}

void Child::tell(const std::string& line) {
    std::string l = line + "\n";
    ssize_t n = ::write(m_toParent[1], l.data(), l.size());
    (void)n;
}

std::string Child::hear() {
    std::string line;
    char c = 0;
    while (::read(m_toParent[0], &c, 1) == 1) {
        if (c == '\n') {
            return line;
        }
        line += c;
    }
    return line;
}

void Child::kill() {
    if (m_reaped) {
        return;
    }
    ::kill(m_pid, SIGKILL);
    wait();
}

int Child::wait() {
    if (!m_reaped) {
        int st = 0;
        ::waitpid(m_pid, &st, 0);
        m_reaped = true;
        m_exit = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    }
    return m_exit;
}

void Child::go() {
    if (!m_gone) {
        m_gone = true;
        const char c = 'g';
        ssize_t n = ::write(m_toChild[1], &c, 1);
        (void)n;
    }
}

bool Child::awaitGo() {
    pollfd p{m_toChild[0], POLLIN, 0};
    char c = 0;
    return ::poll(&p, 1, 10000) == 1 && ::read(m_toChild[0], &c, 1) == 1;
}

}  // namespace zelvo::test
