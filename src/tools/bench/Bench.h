#pragma once

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "base/Dialogs.h"
#include "session/Clock.h"
#include "session/Session.h"

namespace zelvo::bench {

struct GeneratedChart;

// The year the posting benchmarks post into.
inline constexpr const char* kYear = "2026";

// A headless station on an existing data directory with company "AB" chosen for `year`
// and the journal archives open, as an entry screen finds it.
struct Station {
    Station(const std::string& dataDir, const std::string& year);
    ~Station();
    Station(const Station&) = delete;
    Station& operator=(const Station&) = delete;

    ScriptedDialogs dialogs;
    FixedClock clock;
    std::unique_ptr<Session> session;
};

// Station processes started together: each runs `body(p, ready)` and calls `ready()` once
// its screens are open, which returns when every station is ready; its exit status is its
// verdict. The constructor returns when every station has been let go (`ready` false when
// one could not be started or died first).
struct Stations {
    std::vector<pid_t> pids;
    bool ready = true;

    Stations(int n, const std::function<int(int, const std::function<void()>&)>& body);
    // The wait statuses, in station order.
    std::vector<int> wait();
};

// A child process of the benchmark: its wall time, its peak memory and the figures it said.

// Seconds since an arbitrary start, monotonic.
double Now();
double Median(std::vector<double> v);
double Percentile(std::vector<double> v, double p);
// The data directory as the program wants it: with its trailing separator.
std::string DirPrefix(std::string dir);
// An installation in `dir` (emptied first) with the generated chart for kYear, the starting
// point of every posting run; `chart` names what was added.
bool BaseDirectory(const std::string& dir, GeneratedChart& chart);
// `to` replaced by a copy of `from`.
void Copy(const std::string& from, const std::string& to);

struct ChildResult {
    bool ok = false;
    double wall = 0;                     // seconds
    double maxRssMb = 0;                 // ru_maxrss of the child
    std::map<std::string, double> said;  // "name value" lines the child printed
};

// Runs `args` (argv[0] first) as a child process, its stdout read back into `said` ("name
// value" lines); stdout goes to /dev/null when `quiet`.
ChildResult Run(const std::vector<std::string>& args, bool quiet);
// Lets Qt deliver what is pending: shows, layouts, paints.
void Settle();

// The subcommands; each prints its figures as Markdown and returns the exit status.
int ExportLedger(const std::string& dataDir, const std::string& year, const std::string& file);
// What the posting benchmark posts through its screen and replays.
enum class Posted { Invoices, Receipts, Collections };
int PostingBench(const std::string& workDir, int documents, int rounds,
                 Posted what = Posted::Invoices);
// `kills` stations killed while posting every kind of registration, the books checked after
// each kill; `dir` is emptied and holds the books.
int CrashBench(const std::string& dir, int kills, std::uint32_t seed);
// `stations` processes posting `perStation` registrations each at once, revising and
// annulling each other's; `dir` is emptied and holds the books.
int LoadBench(const std::string& dir, int stations, int perStation);
int ConcurrencyBench(const std::string& workDir, int perProcess, int rounds);
// Four stations posting on a folder against four and sixteen on a PostgreSQL server (the
// server URI names any database there; the bench creates and drops its own).
int ServerBench(const std::string& workDir, const std::string& server, int perProcess, int rounds);
int JournalBench(const std::string& dataDir, const std::string& year, const std::string& ledgerFile,
                 int rounds, char** argv);
int JournalChild(const std::string& what, const std::string& dataDir, const std::string& year,
                 const std::string& out);
int StartupBench(const std::string& dataDir, const std::string& year, int rounds, char** argv);
int StartupChild(const std::string& dataDir, const std::string& year);
// Backup, restore and verification of the year; `work` is emptied and used for the copies.
int MaintenanceBench(const std::string& dataDir, const std::string& year, const std::string& work,
                     int rounds);
int CardBench(const std::string& dataDir, const std::string& year, const std::string& ledgerFile,
              int rounds, char** argv);
int CardChild(const std::string& what, const std::string& dataDir, const std::string& year,
              const std::string& out, const std::string& account);
// The card of one account with `movements` movement lines (built once under `workDir`): its
// first page and the pages after it on screen.
int LongCardBench(const std::string& workDir, int movements, int rounds, char** argv);
int DueDateBench(const std::string& dataDir, const std::string& year, int rounds);
int YearEndBench(const std::string& dataDir, const std::string& workDir, int rounds, char** argv);
int YearEndChild(const std::string& what, const std::string& dataDir, const std::string& year);
int VatBench(const std::string& dataDir, const std::string& year, int rounds);
int SheetBench(const std::string& workDir, int rows, int rounds, int argc, char** argv);

}  // namespace zelvo::bench
