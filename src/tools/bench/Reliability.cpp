// The books under kills and under load: stations post every kind of registration, revise
// and annul each other's, and are killed or left to finish; the books are checked after.

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iostream>
#include <random>
#include <thread>

#include "tools/bench/Bench.h"
#include "tools/bench/BookCheck.h"
#include "tools/bench/Workload.h"
#include "tools/bench/YearGenerator.h"

namespace zelvo::bench {

namespace {

// A station's workload whose removals are announced, line by line, in `announcements`
// before the confirm that may remove them: written straight to the file, so that a kill
// right after loses none.
struct AnnouncingStation {
    Station station;
    Workload work;
    int fd;

    AnnouncingStation(const std::string& dir, const GeneratedChart& chart, std::uint32_t seed,
                      int numbers, const std::string& announcements)
        : station(dir, kYear),
          work(*station.session, station.dialogs, chart, seed, numbers),
          fd(open(announcements.c_str(), O_WRONLY | O_APPEND | O_CREAT, 0600)) {
        work.announceRemoval = [this](const std::vector<PostingEngine::PostedLine>& lines) {
            const std::string text = AnnouncementLines(lines);
            [[maybe_unused]] auto w = write(fd, text.data(), text.size());
        };
        work.load();
    }
    ~AnnouncingStation() {
        work.unload();
        close(fd);
    }
    AnnouncingStation(const AnnouncingStation&) = delete;
    AnnouncingStation& operator=(const AnnouncingStation&) = delete;
};

std::string Announcements(const std::string& dir, int station) {
    return dir + "removals." + std::to_string(station);
}

std::vector<std::string> AllAnnouncements(const std::string& dir, int stations) {
    std::vector<std::string> out;
    for (int p = 0; p < stations; ++p) {
        out.push_back(Announcements(dir, p));
    }
    return out;
}

BookFindings Check(const std::string& dir, int stations) {
    Station st(dir, kYear);
    return CheckBooks(*st.session, ReadAnnouncements(AllAnnouncements(dir, stations)));
}

void PrintNotes(const BookFindings& f) {
    for (const auto& n : f.notes) {
        std::cerr << "  " << n << "\n";
    }
}

constexpr int kCrashStations = 2;

// Posts until killed; a box no race explains ends the station with status 3.
int CrashStation(const std::string& dir, const GeneratedChart& chart, std::uint32_t seed,
                 int station, const std::function<void()>& ready) {
    // Sales numbers a little apart: a station posts a few dozen registrations before it is
    // killed, and the register keeps five digits.
    AnnouncingStation st(dir, chart, seed, station * 100, Announcements(dir, station));
    ready();
    for (;;) {
        const Outcome o = st.work.any(st.work.someDate(), true);
        if (o.result == Outcome::Result::Failed) {
            std::cerr << "crash: " << o.what << ":" << o.said << "\n";
            return 3;
        }
    }
}

}  // namespace

int CrashBench(const std::string& dir, int kills, std::uint32_t seed) {
    GeneratedChart chart;
    if (!BaseDirectory(dir, chart)) {
        std::cerr << "crash: no installation in " << dir << "\n";
        return 2;
    }
    std::mt19937 rng(seed);
    std::int64_t killed = 0;
    std::int64_t partial = 0;
    std::int64_t mismatches = 0;
    std::int64_t numbering = 0;
    std::int64_t archiveErrors = 0;
    int stationFaults = 0;
    std::int64_t registrations = 0;
    for (int round = 0; killed < kills; ++round) {
        Stations stations(kCrashStations, [&](int p, const std::function<void()>& ready) {
            return CrashStation(dir, chart, seed * 7919U + static_cast<unsigned>(round * 16 + p), p,
                                ready);
        });
        // A random moment of the posting, then the other station a little later.
        for (pid_t pid : stations.pids) {
            const int ms = std::uniform_int_distribution<int>(0, 250)(rng);
            std::this_thread::sleep_for(std::chrono::milliseconds(ms));
            kill(pid, SIGKILL);
        }
        for (int status : stations.wait()) {
            if (WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) {
                ++killed;
            } else {
                ++stationFaults;
            }
        }
        if (!stations.ready) {
            ++stationFaults;
        }
        const BookFindings f = Check(dir, kCrashStations);
        partial += f.partial;
        mismatches += f.totalMismatches;
        numbering += f.numbering;
        archiveErrors += f.archiveErrors;
        registrations = f.registrations;
        if (!f.clean()) {
            std::cerr << "after kill " << killed << ":\n";
            PrintNotes(f);
        }
        if (stationFaults > 0) {
            std::cerr << "crash: a station stopped before it was killed\n";
            break;
        }
    }
    std::printf("%lld kills, %lld partial registrations, %lld total mismatches\n",
                static_cast<long long>(killed), static_cast<long long>(partial),
                static_cast<long long>(mismatches));
    std::printf("%lld registrations standing, %lld numbers lost or doubled, %lld archive errors\n",
                static_cast<long long>(registrations), static_cast<long long>(numbering),
                static_cast<long long>(archiveErrors));
    const bool ok = partial == 0 && mismatches == 0 && numbering == 0 && archiveErrors == 0 &&
                    stationFaults == 0;
    return ok ? 0 : 1;
}

namespace {

// One load station: `count` registrations of the mix, each outcome a line of `out`:
// seconds, result, race questions, numbers retyped.
int LoadStation(const std::string& dir, const GeneratedChart& chart, int station, int count,
                const std::function<void()>& ready) {
    AnnouncingStation st(dir, chart, 500U + static_cast<unsigned>(station), station * 1000,
                         Announcements(dir, station));
    st.work.lookingTime = 0.005;
    ready();
    std::ofstream out(dir + "outcomes." + std::to_string(station));
    const double t0 = Now();
    int failures = 0;
    for (int i = 0; i < count; ++i) {
        const Outcome o = st.work.any(st.work.someDate(), true);
        out << o.seconds << " " << static_cast<int>(o.result) << " " << o.questions << " "
            << o.taken << "\n";
        if (o.result == Outcome::Result::Failed) {
            std::cerr << "load: station " << station << ": " << o.what << ":" << o.said << "\n";
            ++failures;
        }
    }
    out << "wall " << Now() - t0 << "\n";
    return failures == 0 ? 0 : 1;
}

struct LoadFigures {
    std::vector<double> each;
    std::vector<double> wall;
    int results[4] = {};
    int questions = 0;
    int taken = 0;
};

LoadFigures ReadOutcomes(const std::string& dir, int stations) {
    LoadFigures f;
    for (int p = 0; p < stations; ++p) {
        std::ifstream in(dir + "outcomes." + std::to_string(p));
        std::string first;
        while (in >> first) {
            if (first == "wall") {
                double w = 0;
                in >> w;
                f.wall.push_back(w);
                continue;
            }
            int result = 0;
            int q = 0;
            int t = 0;
            in >> result >> q >> t;
            f.each.push_back(std::stod(first));
            f.results[std::clamp(result, 0, 3)] += 1;
            f.questions += q;
            f.taken += t;
        }
    }
    return f;
}

}  // namespace

int LoadBench(const std::string& dir, int stations, int perStation) {
    GeneratedChart chart;
    if (!BaseDirectory(dir, chart)) {
        std::cerr << "load: no installation in " << dir << "\n";
        return 2;
    }
    Stations run(stations, [&](int p, const std::function<void()>& ready) {
        return LoadStation(dir, chart, p, perStation, ready);
    });
    bool stationsOk = run.ready;
    for (int status : run.wait()) {
        stationsOk = stationsOk && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }
    const LoadFigures f = ReadOutcomes(dir, stations);
    const BookFindings books = Check(dir, stations);
    using R = Outcome::Result;
    const auto [lo, hi] = std::minmax_element(f.wall.begin(), f.wall.end());
    std::printf("| Stations x registrations (mixed, with revisions and annulments) | %d x %d |\n",
                stations, perStation);
    std::printf("| Posted (revisions and annulments included) | %d |\n",
                f.results[static_cast<int>(R::Posted)]);
    std::printf("| Refused: changed or annulled by another station meanwhile | %d |\n",
                f.results[static_cast<int>(R::Conflict)]);
    std::printf("| Gone before its revision or annulment opened | %d |\n",
                f.results[static_cast<int>(R::Gone)]);
    std::printf("| Number races asked (answered Yes: next free number) | %d |\n", f.questions);
    std::printf("| Numbers refused as already registered and retyped | %d |\n", f.taken);
    std::printf("| Answers no race explains | %d |\n", f.results[static_cast<int>(R::Failed)]);
    std::printf("| Registrations standing | %lld |\n", static_cast<long long>(books.registrations));
    std::printf("| Numbers lost or used twice | %lld |\n", static_cast<long long>(books.numbering));
    std::printf("| Partial registrations | %lld |\n", static_cast<long long>(books.partial));
    std::printf("| Running totals differing from a rebuild | %lld |\n",
                static_cast<long long>(books.totalMismatches));
    std::printf("| Archive errors | %lld |\n", static_cast<long long>(books.archiveErrors));
    std::printf("| p50 / p99 ms per confirm | %.2f / %.2f |\n", Percentile(f.each, 0.5) * 1000,
                Percentile(f.each, 0.99) * 1000);
    std::printf("| Slowest / fastest station | %.2f |\n",
                f.wall.empty() ? 0.0 : *hi / std::max(*lo, 1e-9));
    PrintNotes(books);
    const bool ok = stationsOk && books.clean() && f.results[static_cast<int>(R::Failed)] == 0 &&
                    static_cast<int>(f.each.size()) == stations * perStation;
    return ok ? 0 : 1;
}

}  // namespace zelvo::bench
