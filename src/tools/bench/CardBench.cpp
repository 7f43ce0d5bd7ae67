// The balance sheet and the account card of the busiest account on the generated year,
// against the ledger program's `balance` and `register ACCOUNT` on the exported year, and the
// first page of that card on screen. Every measured piece runs in a child process of its own.

#include <QApplication>
#include <QPixmap>
#include <QPushButton>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <map>

#include "archive/Archives.h"
#include "masterdata/Chart.h"
#include "posting/JournalFields.h"
#include "reports/AccountCard.h"
#include "reports/AccountCardView.h"
#include "reports/BalanceSheet.h"
#include "tools/bench/Bench.h"
#include "ui/GenericScreen.h"

namespace zelvo::bench {

namespace {

// Pages the view is scrolled forward after its first.
constexpr int kScrolledPages = 100;

// The account with the most movement lines, as its item number.
std::string Busiest(Session& session) {
    Archives& a = session.archives();
    std::map<std::string, std::int64_t> lines;
    isam::RecordManager& rm = a.recordManager();
    isam::Snapshot snapshot(rm, a.handle(arc::kMc));
    rm.scan(a.handle(arc::kMc), 0, "", [&lines](const std::string&, const isam::Record& r) {
        ++lines[r.text(mcf::kAccount)];
        return true;
    });
    std::string best;
    for (const auto& [account, n] : lines) {
        if (best.empty() || n > lines[best]) {
            best = account;
        }
    }
    return best;
}

// "Avanti" pressed `pages` times, each page drawn: the median time of one and the records
// read for it.
void Scroll(GenericScreen& screen, isam::RecordManager& rm, int pages) {
    auto* next = qobject_cast<QPushButton*>(screen.control(PagedAccountView::kNext));
    std::vector<double> times;
    std::vector<double> reads;
    for (int i = 0; i < pages && next != nullptr && next->isEnabled(); ++i) {
        const std::uint64_t r0 = rm.recordsRead();
        const double t0 = Now();
        next->click();
        Settle();
        screen.grab();
        times.push_back(Now() - t0);
        reads.push_back(static_cast<double>(rm.recordsRead() - r0));
    }
    if (!times.empty()) {
        std::printf("pages %zu\npage %.5f\npagereads %.0f\n", times.size(), Median(times),
                    Median(reads));
    }
}

int ViewChild(Station& st, const std::string& account) {
    int argc = 1;
    char name[] = "zelvo-bench";
    char* argv[] = {name, nullptr};
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    auto item = chart::ByNumber(st.session->archives(), account);
    if (!item) {
        return 1;
    }
    isam::RecordManager& rm = st.session->archives().recordManager();
    // From the command to the first page drawn: the screen built, its card read, shown.
    const std::uint64_t r0 = rm.recordsRead();
    const double t0 = Now();
    auto screen = std::make_unique<GenericScreen>(
        std::make_unique<AccountCardView>(*st.session, item->description));
    screen->start();
    screen->show();
    Settle();
    const QPixmap shot = screen->grab();
    std::printf("first %.4f\nreads %.0f\n", Now() - t0, static_cast<double>(rm.recordsRead() - r0));
    Scroll(*screen, rm, kScrolledPages);
    return shot.isNull() ? 1 : 0;
}

}  // namespace

int CardChild(const std::string& what, const std::string& dataDir, const std::string& year,
              const std::string& out, const std::string& account) {
    Station st(dataDir, year);
    if (what == "busiest") {
        const std::string busiest = Busiest(*st.session);
        std::printf("account %s\n", busiest.c_str());
        return busiest.empty() ? 1 : 0;
    }
    if (what == "view") {
        return ViewChild(st, account);
    }
    TextReportSink sink(out);
    bool ok = false;
    const double t0 = Now();
    if (what == "balance") {
        ok = PrintBalanceSheet(*st.session, sink, {});
    } else if (what == "card") {
        ok = PrintAccountCard(*st.session, sink,
                              {CardAccounts::One, account, year + "0101", year + "1231"});
    }
    std::printf("compose %.4f\n", Now() - t0);
    return ok && st.dialogs.events().empty() ? 0 : 1;
}

int CardBench(const std::string& dataDir, const std::string& year, const std::string& ledgerFile,
              int rounds, char** argv) {
    const std::string self = argv[0];
    const std::string tmp = std::filesystem::temp_directory_path() / "zelvo-bench-card.txt";
    // Found once, outside the timed children: the card names its account as the operator
    // does.
    ChildResult b = Run({self, "cards-child", "busiest", dataDir, year, "-", "-"}, false);
    if (!b.ok) {
        std::cerr << "cards: no busiest account\n";
        return 1;
    }
    char account[16];
    std::snprintf(account, sizeof account, "%05.0f", b.said["account"]);
    // The exported names end with the item number: the pattern names that account only.
    const std::string pattern = std::string(" ") + account + "$";
    std::vector<double> bil, ledgerBal, bilRatio, card, ledgerReg, cardRatio, first, firstReads,
        pages, page;
    for (int round = 0; round < rounds; ++round) {
        // Each pair back to back in each round: the ratio sees the same machine.
        ChildResult s = Run({self, "cards-child", "balance", dataDir, year, tmp, account}, true);
        ChildResult l = Run({"ledger", "-f", ledgerFile, "balance"}, true);
        ChildResult c = Run({self, "cards-child", "card", dataDir, year, tmp, account}, true);
        ChildResult r = Run({"ledger", "-f", ledgerFile, "register", pattern}, true);
        ChildResult v = Run({self, "cards-child", "view", dataDir, year, "-", account}, false);
        if (!s.ok || !l.ok || !c.ok || !r.ok || !v.ok) {
            std::cerr << "cards: a child failed (balance " << s.ok << ", ledger " << l.ok
                      << ", card " << c.ok << ", register " << r.ok << ", view " << v.ok << ")\n";
            return 1;
        }
        bil.push_back(s.wall);
        ledgerBal.push_back(l.wall);
        bilRatio.push_back(l.wall / s.wall);
        card.push_back(c.wall);
        ledgerReg.push_back(r.wall);
        cardRatio.push_back(r.wall / c.wall);
        first.push_back(v.said["first"]);
        firstReads.push_back(v.said["reads"]);
        pages.push_back(v.said["pages"]);
        page.push_back(v.said["page"]);
    }
    std::error_code ec;
    std::filesystem::remove(tmp, ec);
    std::printf("| Busiest account | %s |\n", account);
    std::printf("| Balance sheet to text, s (median of %d, whole child process) | %.3f |\n", rounds,
                Median(bil));
    std::printf("| `ledger balance`, s (median) | %.3f |\n", Median(ledgerBal));
    std::printf("| Speed-up balance sheet vs ledger (median of ratios; target >= 5) | %.1f |\n",
                Median(bilRatio));
    std::printf("| Full card of the busiest account to text, s (whole child) | %.3f |\n",
                Median(card));
    std::printf("| `ledger register` of that account, s (median) | %.3f |\n", Median(ledgerReg));
    std::printf("| Speed-up card vs ledger (median of ratios; target >= 10) | %.1f |\n",
                Median(cardRatio));
    std::printf("| First page of that card on screen, s (target <= 0.3) | %.3f |\n", Median(first));
    std::printf("| Records read to show it | %.0f |\n", Median(firstReads));
    std::printf("| One page forward (\"Avanti\", drawn), s (median of %.0f pages) | %.4f |\n",
                Median(pages), Median(page));
    return 0;
}

}  // namespace zelvo::bench
