// The due-date view of the busiest customer and the annual customer list of a generated
// year, each against what the data costs at least: the view against opening the screen on
// an empty filter, the list against one SQL aggregate of the same VAT rows.

#include <sqlite3.h>

#include <iostream>
#include <map>

#include "duedates/DueDateFields.h"
#include "duedates/DueDateView.h"
#include "masterdata/ChartFields.h"
#include "session/ReportSink.h"
#include "tools/bench/Bench.h"
#include "vat/AnnualList.h"

namespace zelvo::bench {

namespace {

// The customer with the most open instalments in one of the two customer archives.
struct Busiest {
    const char* option = "Option1";
    int archive = arc::kSd;
    std::string number;
    int open = 0;
};

Busiest FindBusiest(Session& session) {
    Archives& a = session.archives();
    Busiest best;
    for (auto [option, archive] :
         {std::pair{"Option1", arc::kSd}, std::pair{"Option2", arc::kSt}}) {
        std::map<std::string, int> open;
        a.open(archive);
        a.recordManager().scan(a.handle(archive), 0, "",
                               [&](const std::string&, const isam::Record& r) {
                                   if (r.text(duef::kSettledDate).empty()) {
                                       ++open[r.text(duef::kPartyNumber)];
                                   }
                                   return true;
                               });
        a.close(archive);
        for (const auto& [number, n] : open) {
            if (n > best.open) {
                best = {option, archive, number, n};
            }
        }
    }
    return best;
}

// Opens VISSCA on the book and names the party: the seconds of each step, the second until
// the list is filled (the view shows its first page from it).
struct ViewTimes {
    double open = 0;
    double party = 0;
    double book = 0;
    size_t lines = 0;
    size_t bookLines = 0;
};

ViewTimes TimeView(Session& session, const Busiest& b, const std::string& partyName) {
    ViewTimes t;
    double t0 = Now();
    DueDateView view(session);
    view.load();
    for (const char* o : duedates::kBookOptions) {
        view.form().inputChecked(o, std::string(o) == b.option);
    }
    t.open = Now() - t0;
    t0 = Now();
    view.form().input(DueDateView::kParty, partyName);
    view.leave(DueDateView::kParty);
    t.party = Now() - t0;
    t.lines = view.form().items(DueDateView::kList).size();
    t0 = Now();
    view.form().input(DueDateView::kParty, "");
    view.leave(DueDateView::kParty);
    t.book = Now() - t0;
    t.bookLines = view.form().items(DueDateView::kList).size();
    view.unload();
    return t;
}

// One aggregate of the sales VAT rows by customer, year and VAT code: the least any list
// of them costs.
double TimeRawAggregate(const std::string& dataDir, const std::string& year, long& groups) {
    sqlite3* db = nullptr;
    const std::string container = dataDir + year + "AB.isd";
    if (sqlite3_open_v2(container.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return -1;
    }
    const std::string sql =
        "SELECT f4, substr(f3, 7, 4) AS y, f6, count(*), sum(f5), sum(f8) "
        "FROM \"" +
        year + "ABiv\" WHERE y IN ('" + year + "', '" + std::to_string(std::stoi(year) - 1) +
        "') GROUP BY f4, y, f6";
    const double t0 = Now();
    sqlite3_stmt* st = nullptr;
    groups = 0;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) == SQLITE_OK) {
        while (sqlite3_step(st) == SQLITE_ROW) {
            ++groups;
        }
    }
    sqlite3_finalize(st);
    const double t = Now() - t0;
    sqlite3_close(db);
    return t;
}

}  // namespace

int DueDateBench(const std::string& dataDir, const std::string& year, int rounds) {
    Station station(dataDir, year);
    Session& s = *station.session;
    const Busiest b = FindBusiest(s);
    Archives& a = s.archives();
    std::string name;
    if (!b.number.empty() && a.getByKey(arc::kPc, b.number) == 0) {
        name = a.readBuffer(arc::kPc).text(chart::kDescription);
    }
    std::vector<double> open;
    std::vector<double> view;
    std::vector<double> book;
    size_t bookLines = 0;
    std::vector<double> list;
    std::vector<double> raw;
    size_t lines = 0;
    long groups = 0;
    for (int i = 0; i < rounds; ++i) {
        const ViewTimes t = TimeView(s, b, name);
        open.push_back(t.open);
        view.push_back(t.party);
        book.push_back(t.book);
        bookLines = t.bookLines;
        lines = t.lines;
        TextReportSink sink("/dev/null");
        const double t0 = Now();
        vat::PrintAnnualList(s, sink, vat::ListKind::Customers);
        list.push_back(Now() - t0);
        raw.push_back(TimeRawAggregate(dataDir, year, groups));
    }
    const double v = Median(view);
    const double l = Median(list);
    const double r = Median(raw);
    std::cout << "| Due-date view (VISSCA) opened | " << Median(open) << " s (median of " << rounds
              << ") |\n"
              << "| Due-date view: the busiest customer named, " << b.open
              << " open instalments listed | " << v << " s |\n"
              << "| Due-date view: every customer of that archive, " << bookLines
              << " open instalments listed | " << Median(book) << " s |\n"
              << "| Annual customer list (elc) of the year, to text | " << l << " s |\n"
              << "| Raw SQL aggregate of the same sales VAT rows (" << groups << " groups) | " << r
              << " s |\n"
              << "| Ratio list / raw aggregate | " << (r > 0 ? l / r : 0) << " |\n";
    return station.dialogs.events().empty() && lines > 0 ? 0 : 1;
}

}  // namespace zelvo::bench
