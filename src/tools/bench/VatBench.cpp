// The VAT books of the generated year: the sales register of every month and section to
// text, and the periodic settlement of every month, each against a raw SQL read of the same
// VAT rows in the same run. Everything runs in one child process, whose peak memory is
// reported.

#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <functional>

#include "tools/bench/Bench.h"
#include "vat/Settlement.h"
#include "vat/VatRegister.h"

namespace zelvo::bench {

namespace {

// Runs `query` once and hands every row to `each`.
bool rawRows(const std::string& container, const std::string& query,
             const std::function<void(sqlite3_stmt*)>& each) {
    sqlite3* db = nullptr;
    sqlite3_stmt* st = nullptr;
    bool ok = sqlite3_open_v2(container.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK &&
              sqlite3_prepare_v2(db, query.c_str(), -1, &st, nullptr) == SQLITE_OK;
    while (ok && sqlite3_step(st) == SQLITE_ROW) {
        each(st);
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
    return ok;
}

// Runs `query` once per month on the year's container and touches every column of every
// row, as a report would read them. Nothing when the database cannot be read.
bool rawMonths(const std::string& container, const std::string& query) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(container.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return false;
    }
    sqlite3_stmt* st = nullptr;
    bool ok = sqlite3_prepare_v2(db, query.c_str(), -1, &st, nullptr) == SQLITE_OK;
    for (int m = 1; ok && m <= 12; ++m) {
        char month[3];
        std::snprintf(month, sizeof month, "%02d", m);
        sqlite3_bind_text(st, 1, month, 2, SQLITE_TRANSIENT);
        while (sqlite3_step(st) == SQLITE_ROW) {
            for (int c = 0; c < sqlite3_column_count(st); ++c) {
                sqlite3_column_text(st, c);
                sqlite3_column_bytes(st, c);
            }
        }
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
    return ok;
}

double timed(const std::function<bool()>& run, int rounds, bool& ok) {
    std::vector<double> times;
    for (int i = 0; i < rounds; ++i) {
        const double t0 = Now();
        ok = run() && ok;
        times.push_back(Now() - t0);
    }
    return Median(times);
}

int vatChild(const std::string& dataDir, const std::string& year, int rounds) {
    Station st(dataDir, year);
    Session& s = *st.session;
    // As the register and settlement screens keep them while they are open.
    OpenVatBooks(s.archives());
    const std::string out = dataDir + "vat-bench.txt";
    const std::string container = dataDir + year + "AB.isd";
    const std::string table = "\"" + year + "ABiv\"";
    // The sections the year uses: a register is printed for those.
    std::vector<std::string> sections;
    rawRows(container, "SELECT DISTINCT f9 FROM " + table + " ORDER BY f9", [&](sqlite3_stmt* st) {
        sections.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
    });
    bool ok = !sections.empty();
    const double reg = timed(
        [&] {
            bool printed = true;
            for (const std::string& section : sections) {
                for (int m = 1; m <= 12; ++m) {
                    TextReportSink sink(out);
                    printed =
                        PrintVatRegister(
                            s, sink, {.book = VatBook::Sales, .month = m, .section = section}) &&
                        printed;
                }
            }
            return printed;
        },
        rounds, ok);
    const double rawReg = timed(
        [&] {
            return rawMonths(container,
                             "SELECT * FROM " + table + " WHERE f1 = ? ORDER BY k10, pk");
        },
        rounds, ok);
    const double settle = timed(
        [&] {
            bool printed = true;
            for (int m = 1; m <= 12; ++m) {
                TextReportSink sink(out);
                printed = RunSettlement(s, sink, {.request = {.period = {VatPeriod::Month, m}}}) &&
                          printed;
            }
            return printed;
        },
        rounds, ok);
    const double rawSettle = timed(
        [&] {
            const std::string y = "\"" + year + "AB";
            return rawMonths(container, "SELECT f6, sum(f5), sum(f8) FROM " + y +
                                            "iv\" WHERE f1 = ? GROUP BY f6") &&
                   rawMonths(container, "SELECT f7, sum(f6), sum(f9) FROM " + y +
                                            "ia\" WHERE f1 = ? GROUP BY f7") &&
                   rawMonths(container, "SELECT f5, sum(f4), sum(f7) FROM " + y +
                                            "ic\" WHERE f1 = ? GROUP BY f5");
        },
        rounds, ok);
    std::printf(
        "| Sales VAT register, 12 months of each section in use to text (median) | %.3f s |\n",
        reg);
    std::printf("| Raw SQL read of the same rows, month by month (median) | %.3f s |\n", rawReg);
    std::printf("| Register / raw | %.2f× |\n", reg / rawReg);
    std::printf(
        "| Periodic settlement of each of the 12 months, printed to text (median) | %.3f s |\n",
        settle);
    std::printf("| Raw SQL sums of the three registers, month by month (median) | %.3f s |\n",
                rawSettle);
    std::printf("| Settlement / raw | %.2f× |\n", settle / rawSettle);
    std::fflush(stdout);
    return ok && st.dialogs.events().empty() ? 0 : 1;
}

}  // namespace

int VatBench(const std::string& dataDir, const std::string& year, int rounds) {
    const pid_t pid = fork();
    if (pid == 0) {
        _exit(vatChild(dataDir, year, rounds));
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    std::printf("| Peak memory of the process | %.1f MB |\n",
                static_cast<double>(usage.ru_maxrss) / 1024.0);
    std::filesystem::remove(dataDir + "vat-bench.txt");
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? 0 : 1;
}

}  // namespace zelvo::bench
