// The card of one account with tens of thousands of movements, a hundred and more on every
// day of the year: its first page on screen and the pages after it read a page each,
// whatever the account holds; the whole card to text is measured beside them for scale.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>

#include "base/DateText.h"
#include "base/NumberText.h"
#include "masterdata/Chart.h"
#include "posting/PostingEngine.h"
#include "tools/bench/Bench.h"
#include "tools/bench/YearGenerator.h"

namespace zelvo::bench {

namespace {

// Lines of the account in each registration, against one line of the counter-account.
constexpr int kLinesPerEntry = 100;

// The date of day `day` (0..364) of the benchmark's year, as typed.
std::string DayOfYear(int day) {
    const int year = std::atoi(kYear);
    int month = 1;
    while (day >= DaysInMonth(month, year)) {
        day -= DaysInMonth(month, year);
        ++month;
    }
    return Format(day + 1, "00") + "/" + Format(month, "00") + "/" + kYear;
}

// A fresh installation whose bank account gets `movements` movement lines spread over the
// year, posted through the posting engine; its item number.
std::string BuildLongAccount(const std::string& dir, int movements) {
    GeneratedChart chart;
    if (!BaseDirectory(dir, chart)) {
        return {};
    }
    Station st(dir, kYear);
    // The generated chart names its accounts as the operator types them.
    const auto bank = chart::ByDescription(st.session->archives(), chart.bank);
    const auto revenue = chart::ByDescription(st.session->archives(), chart.revenues.front());
    if (!bank || !revenue) {
        return {};
    }
    PostingEngine engine(*st.session);
    const int entries = (movements + kLinesPerEntry - 1) / kLinesPerEntry;
    for (int e = 0; e < entries; ++e) {
        JournalEntry entry;
        entry.regDate = DayOfYear(e * 365 / entries);
        entry.causal = "mg";
        const int lines = std::min(kLinesPerEntry, movements - e * kLinesPerEntry);
        for (int i = 0; i < lines; ++i) {
            entry.lines.push_back({bank->number, 1000.0 + i, 0, "Versamento"});
        }
        entry.lines.push_back({revenue->number, 0, 1000.0 * lines + lines * (lines - 1) / 2,
                               "Versamenti del giorno"});
        if (engine.post(entry) == 0 || !st.dialogs.events().empty()) {
            return {};
        }
    }
    return bank->number;
}

}  // namespace

int LongCardBench(const std::string& workDir, int movements, int rounds, char** argv) {
    const std::string self = argv[0];
    const std::string dir = workDir + "long/";
    const std::string done = workDir + "long.done";
    std::string account;
    double setUp = 0;
    // Built once and kept: its account's number is written beside it.
    if (std::ifstream in(done); !(in >> account) || !std::filesystem::exists(dir)) {
        const double t0 = Now();
        account = BuildLongAccount(dir, movements);
        setUp = Now() - t0;
        if (account.empty()) {
            std::cerr << "cards-long: the account could not be built\n";
            return 1;
        }
        std::ofstream(done) << account << "\n";
    }
    const std::string tmp = workDir + "long-card.txt";
    std::vector<double> first, reads, page, pageReads, pages, card;
    for (int round = 0; round < rounds; ++round) {
        ChildResult v = Run({self, "cards-child", "view", dir, kYear, "-", account}, false);
        ChildResult c = Run({self, "cards-child", "card", dir, kYear, tmp, account}, true);
        if (!v.ok || !c.ok) {
            std::cerr << "cards-long: a child failed (view " << v.ok << ", card " << c.ok << ")\n";
            return 1;
        }
        first.push_back(v.said["first"]);
        reads.push_back(v.said["reads"]);
        page.push_back(v.said["page"]);
        pageReads.push_back(v.said["pagereads"]);
        pages.push_back(v.said["pages"]);
        card.push_back(c.wall);
    }
    std::error_code ec;
    std::filesystem::remove(tmp, ec);
    std::printf("| Movements of the account (%d to a registration) | %d |\n", kLinesPerEntry,
                movements);
    if (setUp > 0) {
        std::printf("| Posting them through the posting engine (once), s | %.1f |\n", setUp);
    }
    std::printf("| First page of its card on screen, s (median of %d; target <= 0.3) | %.3f |\n",
                rounds, Median(first));
    std::printf("| Records read to show it | %.0f |\n", Median(reads));
    std::printf("| One page forward (\"Avanti\", drawn), s (median of %.0f pages) | %.4f |\n",
                Median(pages), Median(page));
    std::printf("| Records read for a page forward (median) | %.0f |\n", Median(pageReads));
    std::printf("| The whole card to text, s (whole child, for scale) | %.3f |\n", Median(card));
    return 0;
}

}  // namespace zelvo::bench
