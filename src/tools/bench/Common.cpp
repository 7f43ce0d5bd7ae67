#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fcntl.h>
#include <QCoreApplication>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <iostream>
#include <sstream>

#include "app/Installation.h"
#include "archive/Archives.h"
#include "isam/ServerLocation.h"
#include "tools/bench/Bench.h"
#include "tools/bench/YearGenerator.h"

namespace zelvo::bench {

Station::Station(const std::string& dataDir, const std::string& year)
    : clock("31/12/" + year), session(std::make_unique<Session>(dialogs, clock)) {
    session->setDataDirectory(dataDir);
    session->chooseCompany("AB", "Azienda di prova", year);
    Archives& a = session->archives();
    for (int archive :
         {arc::kDataz, arc::kCiva, arc::kPr, arc::kCt, arc::kPc, arc::kMc, arc::kTt}) {
        a.open(archive, 1);
    }
}

Station::~Station() {
    Archives& a = session->archives();
    for (int archive :
         {arc::kTt, arc::kMc, arc::kPc, arc::kCt, arc::kPr, arc::kCiva, arc::kDataz}) {
        a.close(archive, 1);
    }
}

ChildResult Run(const std::vector<std::string>& args, bool quiet) {
    ChildResult res;
    int out[2];
    if (pipe(out) != 0) {
        return res;
    }
    const double t0 = Now();
    pid_t pid = fork();
    if (pid == 0) {
        close(out[0]);
        int target = out[1];
        if (quiet) {
            target = open("/dev/null", O_WRONLY);
        }
        dup2(target, 1);
        std::vector<char*> argv;
        for (const auto& a : args) {
            argv.push_back(const_cast<char*>(a.c_str()));
        }
        argv.push_back(nullptr);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    close(out[1]);
    std::string text;
    char buf[4096];
    for (ssize_t n; (n = read(out[0], buf, sizeof buf)) > 0;) {
        text.append(buf, static_cast<size_t>(n));
    }
    close(out[0]);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    res.wall = Now() - t0;
    res.maxRssMb = static_cast<double>(usage.ru_maxrss) / 1024.0;
    res.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    std::istringstream in(text);
    std::string name;
    double value = 0;
    while (in >> name >> value) {
        res.said[name] = value;
    }
    return res;
}

double Now() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

double Median(std::vector<double> v) {
    return Percentile(std::move(v), 0.5);
}

double Percentile(std::vector<double> v, double p) {
    if (v.empty()) {
        return 0;
    }
    std::sort(v.begin(), v.end());
    const auto i = static_cast<size_t>(std::ceil(p * static_cast<double>(v.size()))) - 1;
    return v[std::min(i, v.size() - 1)];
}

std::string DirPrefix(std::string dir) {
    if (dir.empty() || dir.back() != '/') {
        dir += '/';
    }
    return dir;
}

// An installation with the generated chart, the starting point of every run.
bool BaseDirectory(const std::string& dir, GeneratedChart& chart) {
    if (!isam::IsServerLocation(dir)) {
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
    }
    ScriptedDialogs dialogs;
    FixedClock clock("31/12/2026");
    Session session(dialogs, clock);
    session.setDataDirectory(dir);
    if (CreateInstallation(session, kYear) != InstallOutcome::Installed) {
        return false;
    }
    Station st(dir, kYear);
    std::string error;
    if (!AddGeneratedChart(*st.session, 1, 300, 200, chart, error)) {
        std::cerr << error << "\n";
        return false;
    }
    return true;
}

void Copy(const std::string& from, const std::string& to) {
    std::filesystem::remove_all(to);
    std::filesystem::copy(from, to, std::filesystem::copy_options::recursive);
}

// Lets Qt deliver what is pending: shows, layouts, paints.
void Settle() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
}

Stations::Stations(int n, const std::function<int(int, const std::function<void()>&)>& body) {
    int set[2];
    int go[2];
    if (pipe(set) != 0 || pipe(go) != 0) {
        ready = false;
        return;
    }
    for (int p = 0; p < n; ++p) {
        pid_t pid = fork();
        if (pid == 0) {
            close(set[0]);
            close(go[1]);
            auto say = [&set, &go] {
                char c = 1;
                [[maybe_unused]] auto w = write(set[1], &c, 1);
                close(set[1]);
                [[maybe_unused]] auto r = read(go[0], &c, 1);  // until the parent closes it
            };
            _exit(body(p, say));
        }
        if (pid < 0) {
            ready = false;  // never a pid to kill: -1 would name every process
            break;
        }
        pids.push_back(pid);
    }
    close(set[1]);
    close(go[0]);
    for (size_t p = 0; p < pids.size(); ++p) {
        char c = 0;
        if (read(set[0], &c, 1) != 1) {
            ready = false;  // a station died before it was ready
            break;
        }
    }
    close(set[0]);
    close(go[1]);
}

std::vector<int> Stations::wait() {
    std::vector<int> statuses;
    for (pid_t pid : pids) {
        int status = 0;
        waitpid(pid, &status, 0);
        statuses.push_back(status);
    }
    return statuses;
}

}  // namespace zelvo::bench
