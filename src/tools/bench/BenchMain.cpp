// zelvo-bench: builds a realistic year through the entry screens and times posting,
// reports and start-up. Figures are printed as Markdown for docs/benchmarks.md.

#include <cstdlib>
#include <iostream>
#include <string>

#include "tools/bench/Bench.h"
#include "tools/bench/YearGenerator.h"

namespace {

int usage() {
    std::cerr << "usage: zelvo-bench generate DATADIR YEAR [LINES] [SEED]\n"
                 "       zelvo-bench export-ledger DATADIR YEAR FILE\n"
                 "       zelvo-bench posting WORKDIR [INVOICES] [ROUNDS]\n"
                 "       zelvo-bench receipts WORKDIR [RECEIPTS] [ROUNDS]\n"
                 "       zelvo-bench collections WORKDIR [COLLECTIONS] [ROUNDS]\n"
                 "       zelvo-bench crash DATADIR KILLS [SEED]\n"
                 "       zelvo-bench load DATADIR [STATIONS] [PER-STATION]\n"
                 "       zelvo-bench concurrency WORKDIR [PER-PROCESS] [ROUNDS]\n"
                 "       zelvo-bench server WORKDIR SERVER-URI [PER-STATION] [ROUNDS]\n"
                 "       zelvo-bench journal DATADIR YEAR LEDGERFILE [ROUNDS]\n"
                 "       zelvo-bench cards DATADIR YEAR LEDGERFILE [ROUNDS]\n"
                 "       zelvo-bench cards-long WORKDIR [MOVEMENTS] [ROUNDS]\n"
                 "       zelvo-bench startup DATADIR YEAR [ROUNDS]\n"
                 "       zelvo-bench maintenance DATADIR YEAR WORKDIR [ROUNDS]\n"
                 "       zelvo-bench duedates DATADIR YEAR [ROUNDS]\n"
                 "       zelvo-bench yearend DATADIR WORKDIR [ROUNDS]\n"
                 "       zelvo-bench vat DATADIR YEAR [ROUNDS]\n"
                 "       zelvo-bench sheet WORKDIR [ROWS] [ROUNDS]\n";
    return 2;
}

int arg(int argc, char** argv, int i, int fallback) {
    return argc > i ? std::atoi(argv[i]) : fallback;
}

int Generate(int argc, char** argv) {
    using namespace zelvo::bench;
    const std::int64_t lines = argc > 4 ? std::atoll(argv[4]) : 200000;
    const auto seed = static_cast<std::uint32_t>(arg(argc, argv, 5, 2026));
    std::string error;
    const double t0 = Now();
    std::int64_t reported = 0;
    bool ok = GenerateDataDirectory(DirPrefix(argv[2]), argv[3], lines, seed, error,
                                    [&reported, t0](std::int64_t n) {
                                        if (n - reported >= 10000) {
                                            reported = n;
                                            std::cerr << n << " lines, " << Now() - t0 << " s\n";
                                        }
                                    });
    if (!ok) {
        std::cerr << "zelvo-bench generate: " << error << "\n";
        return 1;
    }
    std::cout << "generated " << lines << " lines in " << Now() - t0 << " s\n";
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace zelvo::bench;
    if (argc < 3) {
        return usage();
    }
    const std::string cmd = argv[1];
    if (cmd == "generate" && argc >= 4) {
        return Generate(argc, argv);
    }
    if (cmd == "export-ledger" && argc == 5) {
        return ExportLedger(DirPrefix(argv[2]), argv[3], argv[4]);
    }
    if (cmd == "posting") {
        return PostingBench(DirPrefix(argv[2]), arg(argc, argv, 3, 300), arg(argc, argv, 4, 5));
    }
    if (cmd == "receipts") {
        return PostingBench(DirPrefix(argv[2]), arg(argc, argv, 3, 300), arg(argc, argv, 4, 5),
                            Posted::Receipts);
    }
    if (cmd == "collections") {
        return PostingBench(DirPrefix(argv[2]), arg(argc, argv, 3, 300), arg(argc, argv, 4, 5),
                            Posted::Collections);
    }
    if (cmd == "crash" && argc >= 4) {
        return CrashBench(DirPrefix(argv[2]), arg(argc, argv, 3, 10),
                          static_cast<std::uint32_t>(arg(argc, argv, 4, 1)));
    }
    if (cmd == "load") {
        return LoadBench(DirPrefix(argv[2]), arg(argc, argv, 3, 4), arg(argc, argv, 4, 500));
    }
    if (cmd == "concurrency") {
        return ConcurrencyBench(DirPrefix(argv[2]), arg(argc, argv, 3, 300), arg(argc, argv, 4, 3));
    }
    if (cmd == "server" && argc >= 4) {
        return ServerBench(DirPrefix(argv[2]), argv[3], arg(argc, argv, 4, 300),
                           arg(argc, argv, 5, 3));
    }
    if (cmd == "journal" && argc >= 5) {
        return JournalBench(DirPrefix(argv[2]), argv[3], argv[4], arg(argc, argv, 5, 3), argv);
    }
    if (cmd == "journal-child" && argc == 6) {
        return JournalChild(argv[2], DirPrefix(argv[3]), argv[4], argv[5]);
    }
    if (cmd == "cards" && argc >= 5) {
        return CardBench(DirPrefix(argv[2]), argv[3], argv[4], arg(argc, argv, 5, 3), argv);
    }
    if (cmd == "cards-long") {
        return LongCardBench(DirPrefix(argv[2]), arg(argc, argv, 3, 50000), arg(argc, argv, 4, 3),
                             argv);
    }
    if (cmd == "cards-child" && argc == 7) {
        return CardChild(argv[2], DirPrefix(argv[3]), argv[4], argv[5], argv[6]);
    }
    if (cmd == "startup" && argc >= 4) {
        return StartupBench(DirPrefix(argv[2]), argv[3], arg(argc, argv, 4, 5), argv);
    }
    if (cmd == "maintenance" && argc >= 5) {
        return MaintenanceBench(DirPrefix(argv[2]), argv[3], DirPrefix(argv[4]),
                                arg(argc, argv, 5, 3));
    }
    if (cmd == "duedates" && argc >= 4) {
        return DueDateBench(DirPrefix(argv[2]), argv[3], arg(argc, argv, 4, 5));
    }
    if (cmd == "startup-child" && argc == 4) {
        return StartupChild(DirPrefix(argv[2]), argv[3]);
    }
    if (cmd == "yearend" && argc >= 4) {
        return YearEndBench(DirPrefix(argv[2]), DirPrefix(argv[3]), arg(argc, argv, 4, 3), argv);
    }
    if (cmd == "yearend-child" && argc == 5) {
        return YearEndChild(argv[2], DirPrefix(argv[3]), argv[4]);
    }
    if (cmd == "sheet") {
        return SheetBench(DirPrefix(argv[2]), arg(argc, argv, 3, 10000), arg(argc, argv, 4, 5),
                          argc, argv);
    }
    if (cmd == "vat" && argc >= 4) {
        return VatBench(DirPrefix(argv[2]), argv[3], arg(argc, argv, 4, 3));
    }
    return usage();
}
