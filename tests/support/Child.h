#pragma once

#include <sys/types.h>

#include <functional>
#include <string>

namespace zelvo::test {

// A forked child process, for tests where a second station (or a crash) must be real.
// The child runs `body` and exits with its result; it talks back through a pipe.
class Child {
  public:
    explicit Child(std::function<int(Child&)> body);
    ~Child();
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    // In the child: sends one line to the parent.
    void tell(const std::string& line);
    // In the parent: waits for the child's next line (empty when it died first).
    std::string hear();
    // In the parent: SIGKILL and reap.
    void kill();
    // In the parent: the child's exit code (-1 when it was killed).
    int wait();
    // For a child that must not go on before the parent has got somewhere (waiting for the
    // child's lock, say), however slow the machine. In the parent: lets the child go on
    // (once; later calls do nothing). In the child: waits for that, ten seconds at most,
    // and says whether it came.
    void go();
    bool awaitGo();

  private:
    pid_t m_pid = -1;
    int m_toParent[2] = {-1, -1};
    int m_toChild[2] = {-1, -1};
    bool m_gone = false;
    bool m_reaped = false;
    int m_exit = -1;
};

}  // namespace zelvo::test
