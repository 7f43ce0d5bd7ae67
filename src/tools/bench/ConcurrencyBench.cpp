// Several processes posting generic movements into one company and year at once.

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iostream>
#include <random>

#include "isam/ServerDatabase.h"
#include "posting/GenericMovement.h"
#include "tools/bench/Bench.h"
#include "tools/bench/YearGenerator.h"

namespace zelvo::bench {

namespace {

// One process posting `n` two-line movements; its times go to `out`, one per line.
int PostMovements(const std::string& dir, const GeneratedChart& chart, int n, unsigned seed,
                  const std::string& out, const std::function<void()>& ready) {
    Station st(dir, kYear);
    GenericMovement g(*st.session, GenericMovement::Variant::Lire);
    g.load();
    // The station is open and its screen loaded before the clock starts: what is timed is
    // the posting, the same for one process as for four.
    ready();
    std::mt19937 rng(seed);
    std::ofstream times(out);
    for (int i = 0; i < n; ++i) {
        const auto& customer = chart.customers[rng() % chart.customers.size()];
        const std::string value = std::to_string(100 + rng() % 1000000);
        g.form().input("TEXT1", "10/03/2026");
        g.form().input("text2", std::to_string(i + 1));
        g.form().input("text3", "10/03/2026");
        g.form().input("text4", "Incasso cliente");
        g.form().input("conto:0", chart.bank);
        g.form().input("dare:0", value);
        g.form().input("conto:1", customer);
        g.form().input("avere:1", value);
        const std::int32_t before = g.lastPosted();
        const double t0 = Now();
        g.click("Command1");
        times << Now() - t0 << "\n";
        if (!st.dialogs.events().empty() || g.lastPosted() <= before) {
            std::cerr << "movement " << i << " was not posted\n";
            return 1;
        }
    }
    g.unload();
    return 0;
}

// CPU seconds every process of this machine has spent so far (user and system, steal left
// out): a run on one machine with its server counts the stations and the server together.
double MachineCpuSeconds() {
    std::ifstream in("/proc/stat");
    std::string cpu;
    double user = 0, nice = 0, system = 0, idle = 0, iowait = 0, irq = 0, softirq = 0;
    in >> cpu >> user >> nice >> system >> idle >> iowait >> irq >> softirq;
    return (user + nice + system + irq + softirq) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// CPU seconds the waited-for children (the stations) have spent so far.
double StationCpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_CHILDREN, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

struct RunResult {
    double wall = 0;
    double cpu = 0;               // of the whole machine, seconds
    double stationCpu = 0;        // of the stations alone
    std::vector<double> each;     // every registration of every process
    std::vector<double> process;  // each process's own elapsed time
    bool ok = true;
};

// The stations' times go to files in `timesDir`, the data directory's own folder unless it
// names a server.
RunResult RunProcesses(const std::string& dir, const GeneratedChart& chart, int processes,
                       int perProcess, const std::string& timesDir = {}) {
    RunResult res;
    const std::string times = timesDir.empty() ? dir : timesDir;
    Stations stations(processes, [&](int p, const std::function<void()>& ready) {
        return PostMovements(dir, chart, perProcess, 100U + static_cast<unsigned>(p),
                             times + "times." + std::to_string(p), ready);
    });
    const double t0 = Now();
    const double cpu0 = MachineCpuSeconds();
    const double own0 = StationCpuSeconds();
    res.ok = stations.ready;
    for (int status : stations.wait()) {
        res.ok = res.ok && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }
    res.wall = Now() - t0;
    res.cpu = MachineCpuSeconds() - cpu0;
    res.stationCpu = StationCpuSeconds() - own0;
    for (int p = 0; p < processes; ++p) {
        std::ifstream in(times + "times." + std::to_string(p));
        double t = 0;
        double sum = 0;
        while (in >> t) {
            res.each.push_back(t);
            sum += t;
        }
        res.process.push_back(sum);
    }
    return res;
}

}  // namespace

int ConcurrencyBench(const std::string& workDir, int perProcess, int rounds) {
    GeneratedChart chart;
    const std::string base = workDir + "base/";
    if (!BaseDirectory(base, chart)) {
        return 1;
    }
    std::vector<double> ratio;
    std::vector<double> one;
    std::vector<double> four;
    std::vector<double> p50;
    std::vector<double> p99;
    std::vector<double> spread;
    std::vector<double> p50one;
    std::vector<double> p99one;
    for (int round = 0; round < rounds; ++round) {
        Copy(base, workDir + "one/");
        Copy(base, workDir + "four/");
        RunResult a = RunProcesses(workDir + "one/", chart, 1, perProcess);
        RunResult b = RunProcesses(workDir + "four/", chart, 4, perProcess);
        if (!a.ok || !b.ok) {
            std::cerr << "concurrency: a process failed\n";
            return 1;
        }
        const double t1 = perProcess / a.wall;
        const double t4 = 4.0 * perProcess / b.wall;
        one.push_back(t1);
        four.push_back(t4);
        ratio.push_back(t4 / t1);
        p50.push_back(Percentile(b.each, 0.5) * 1000);
        p99.push_back(Percentile(b.each, 0.99) * 1000);
        p50one.push_back(Percentile(a.each, 0.5) * 1000);
        p99one.push_back(Percentile(a.each, 0.99) * 1000);
        auto [lo, hi] = std::minmax_element(b.process.begin(), b.process.end());
        spread.push_back(*hi / *lo);
        std::cerr << "round " << round + 1 << ": 1 process " << t1 << "/s, 4 processes " << t4
                  << "/s\n";
    }
    std::printf("| Movements per process per round | %d |\n", perProcess);
    std::printf("| One process, registrations/s (median of %d) | %.0f |\n", rounds, Median(one));
    std::printf("| One process, p50 / p99 ms | %.2f / %.2f |\n", Median(p50one), Median(p99one));
    std::printf("| Four processes, registrations/s in total (median) | %.0f |\n", Median(four));
    std::printf("| Throughput four / one (target >= 0.8) | %.2f |\n", Median(ratio));
    std::printf("| Four processes, p50 ms per registration | %.2f |\n", Median(p50));
    std::printf("| Four processes, p99 ms per registration (target <= 50) | %.2f |\n", Median(p99));
    std::printf("| Slowest / fastest process (target <= 1.5) | %.2f |\n", Median(spread));
    return 0;
}

namespace {

// A database of the bench's on the server, made afresh (a copy of `copyOf` if named).
bool FreshDatabase(const std::string& server, const std::string& name,
                   const std::string& copyOf = {}) {
    std::string message;
    if (!isam::CreateServerDatabase(server, name, message, copyOf)) {
        std::cerr << name << ": " << message;
        return false;
    }
    return true;
}

void DropDatabase(const std::string& server, const std::string& name) {
    std::string message;
    isam::DropServerDatabase(server, name, message);
}

struct Figures {
    std::vector<double> rate, p99, spread, cpu, stationCpu;
    void add(const RunResult& r, int processes, int perProcess) {
        rate.push_back(processes * perProcess / r.wall);
        cpu.push_back(r.cpu * 1000 / (processes * perProcess));
        stationCpu.push_back(r.stationCpu * 1000 / (processes * perProcess));
        p99.push_back(Percentile(r.each, 0.99) * 1000);
        auto [lo, hi] = std::minmax_element(r.process.begin(), r.process.end());
        spread.push_back(*hi / *lo);
    }
};

}  // namespace

int ServerBench(const std::string& workDir, const std::string& server, int perProcess, int rounds) {
    GeneratedChart chart;
    GeneratedChart serverChart;
    const std::string base = workDir + "base/";
    const std::string serverBase = isam::ServerUriWithDatabase(server, "zelvo_bench_base") + "/";
    if (!BaseDirectory(base, chart) || !FreshDatabase(server, "zelvo_bench_base") ||
        !BaseDirectory(serverBase, serverChart)) {
        return 1;
    }
    struct Run {
        const char* name;
        bool onServer;
        int stations;
        Figures figures;
    };
    // One station of each kind tells what a registration costs alone; the ratio compares
    // sixteen on the server with four on a folder.
    Run runs[] = {{"One station on a folder", false, 1, {}},
                  {"Four stations on a folder", false, 4, {}},
                  {"One station on the server", true, 1, {}},
                  {"Four stations on the server", true, 4, {}},
                  {"Sixteen stations on the server", true, 16, {}}};
    std::vector<double> ratio;
    for (int round = 0; round < rounds; ++round) {
        for (Run& run : runs) {
            const std::string db = "zelvo_bench_" + std::to_string(run.stations);
            std::string dir = workDir + db + "/";
            if (run.onServer) {
                if (!FreshDatabase(server, db, "zelvo_bench_base")) {
                    return 1;
                }
                dir = isam::ServerUriWithDatabase(server, db) + "/";
            } else {
                Copy(base, dir);
            }
            RunResult r = RunProcesses(dir, run.onServer ? serverChart : chart, run.stations,
                                       perProcess, workDir);
            if (!r.ok) {
                std::cerr << "server: a station failed\n";
                return 1;
            }
            run.figures.add(r, run.stations, perProcess);
            std::cerr << "round " << round + 1 << ": " << run.name << " " << run.figures.rate.back()
                      << "/s\n";
        }
        ratio.push_back(runs[4].figures.rate.back() / runs[1].figures.rate.back());
    }
    for (const Run& run : runs) {
        if (run.onServer) {
            DropDatabase(server, "zelvo_bench_" + std::to_string(run.stations));
        }
    }
    DropDatabase(server, "zelvo_bench_base");
    std::printf("| Movements per station per round | %d |\n", perProcess);
    for (const Run& run : runs) {
        const Figures& f = run.figures;
        std::printf("| %s, registrations/s in total (median of %d) | %.0f |\n", run.name, rounds,
                    Median(f.rate));
        std::printf("| %s, p99 ms per registration | %.2f |\n", run.name, Median(f.p99));
        // What the machine's cores could post at most if they did nothing else.
        std::printf(
            "| %s, CPU ms per registration: all / stations | %.2f / %.2f (at most %.0f/s "
            "on %ld cores) |\n",
            run.name, Median(f.cpu), Median(f.stationCpu),
            1000 * static_cast<double>(sysconf(_SC_NPROCESSORS_ONLN)) / Median(f.cpu),
            sysconf(_SC_NPROCESSORS_ONLN));
        if (run.stations > 1) {
            std::printf("| %s, slowest / fastest station | %.2f |\n", run.name, Median(f.spread));
        }
    }
    std::printf("| Sixteen on the server / four on a folder (target >= 2) | %.2f |\n",
                Median(ratio));
    return 0;
}

}  // namespace zelvo::bench
