#include "yearend/RunningTotals.h"

#include <optional>
#include <unordered_map>

#include "archive/RecordLock.h"
#include "masterdata/ChartFields.h"
#include "masterdata/Counters.h"
#include "posting/JournalFields.h"
#include "yearend/YearFields.h"

namespace zelvo {

namespace {

// Report positions of the rebuild.
constexpr int kChartRead = 1101;
constexpr int kLinesRead = 1102;
constexpr int kChartWrite = 1103;
constexpr int kRegistrationLock = 1104;
constexpr int kCommit = 1105;
constexpr std::int64_t kProgressStep = 1024;

struct Item {
    std::string conto;
    std::string mastro;
    std::string nature;
    double opening = 0;
    double debit = 0;
    double credit = 0;
    // As stored, to rewrite only what is wrong.
    double storedDebit = 0;
    double storedCredit = 0;
    double storedClosing = 0;
};
using Chart = std::unordered_map<std::string, Item>;

std::optional<Chart> readChart(Archives& a) {
    Chart chart;
    std::int16_t s = a.scan(arc::kPc, 0, "", [&](const std::string& key, const isam::Record& r) {
        Item& i = chart[key];
        i.conto = r.text(chart::kContoNumber);
        i.mastro = r.text(chart::kMastroNumber);
        i.nature = r.text(chart::kNature);
        i.opening = r.number(chart::kOpeningBalance);
        i.storedDebit = r.number(chart::kProgressiveDebit);
        i.storedCredit = r.number(chart::kProgressiveCredit);
        i.storedClosing = r.number(chart::kClosingBalance);
        return true;
    });
    if (s != 0 && s != isam::status::kEndOfIndex && s != isam::status::kNotFound) {
        a.report(opn::kRead, arc::kPc, kChartRead);
        return std::nullopt;
    }
    return chart;
}

// The same levels as a posting adds to: the account, then its conto and its mastro, each
// unless it names the account itself.
void addLine(Chart& chart, const std::string& account, double debit, double credit) {
    auto it = chart.find(account);
    if (it == chart.end()) {
        return;  // an account that cannot be read adds nothing
    }
    const std::string conto = it->second.conto;
    const std::string mastro = it->second.mastro;
    for (const std::string* key : {&account, &conto, &mastro}) {
        if (key != &account && (key->empty() || *key == account)) {
            continue;
        }
        auto level = chart.find(*key);
        if (level != chart.end()) {
            level->second.debit += debit;
            level->second.credit += credit;
        }
    }
}

bool addLines(Archives& a, const std::string& year, Chart& chart, std::int64_t maximum,
              const RebuildProgress& progress, std::int64_t& lines) {
    std::int64_t read = 0;
    std::int16_t s =
        a.scan(arc::kMc, mcf::kDateDocKey, "", [&](const std::string&, const isam::Record& r) {
            if (++read % kProgressStep == 0 && progress) {
                progress(read, maximum);
            }
            if (r.text(mcf::kRegDate).compare(0, 4, year) != 0) {
                return true;
            }
            addLine(chart, r.text(mcf::kAccount), r.number(mcf::kDebit), r.number(mcf::kCredit));
            ++lines;
            return true;
        });
    if (s != 0 && s != isam::status::kEndOfIndex && s != isam::status::kNotFound) {
        a.report(opn::kRead, arc::kMc, kLinesRead);
        return false;
    }
    if (progress) {
        progress(maximum > read ? maximum : read, maximum > read ? maximum : read);
    }
    return true;
}

// The opening registration's amounts leave the balance-sheet items again.
void takeOutOpening(Chart& chart) {
    for (auto& [key, item] : chart) {
        if (item.nature != "p") {
            continue;
        }
        if (item.opening > 0) {
            item.debit -= item.opening;
        } else if (item.opening < 0) {
            item.credit -= -item.opening;
        }
    }
}

std::int64_t rewriteChanged(Archives& a, const Chart& chart) {
    std::int64_t rewritten = 0;
    for (const auto& [key, item] : chart) {
        const double closing = item.opening + item.debit - item.credit;
        if (item.debit == item.storedDebit && item.credit == item.storedCredit &&
            closing == item.storedClosing) {
            continue;
        }
        if (a.getByKeyReported(arc::kPc, key, kChartRead) != 0) {
            continue;
        }
        a.copyReadToWrite(arc::kPc);
        isam::Record& r = a.writeBuffer(arc::kPc);
        r.setNumber(chart::kProgressiveDebit, item.debit);
        r.setNumber(chart::kProgressiveCredit, item.credit);
        r.setNumber(chart::kClosingBalance, closing);
        if (a.putReported(arc::kPc, key, isam::mode::kRewrite, kChartWrite) == 0) {
            a.flush(arc::kPc);
            ++rewritten;
        }
    }
    return rewritten;
}

std::string yearFlag(Archives& a, int field) {
    return a.getByKey(arc::kCt, yearrec::kKey) == 0 ? a.readBuffer(arc::kCt).text(field)
                                                    : std::string();
}

}  // namespace

RebuildResult RebuildRunningTotals(Archives& a, const std::string& year,
                                   const RebuildProgress& progress) {
    RebuildResult result;
    // Begun before the lock, as every posting does: a station posting meanwhile waits at its
    // own begin and never sees the chart half rebuilt.
    Registration tx(a, arc::kMc);
    if (tx.status() != 0) {
        a.setStatus(tx.status());
        a.report(opn::kWrite, arc::kMc, kCommit);
        return result;
    }
    RecordLock registration(a, arc::kPr, "mc", kRegistrationLock);
    if (!registration.held()) {
        return result;
    }
    std::int64_t maximum = 0;
    if (a.getByKey(arc::kPr, "mc") == 0) {
        maximum = static_cast<std::int64_t>(a.readBuffer(arc::kPr).number(counter::kValue));
    }
    const bool openingPosted = yearFlag(a, yearrec::kOpeningPosted) == yearrec::kDone;
    std::optional<Chart> chart = readChart(a);
    if (!chart || !addLines(a, year, *chart, maximum, progress, result.lines)) {
        return result;
    }
    if (openingPosted) {
        takeOutOpening(*chart);
    }
    result.rewritten = rewriteChanged(a, *chart);
    registration.release();
    if (tx.commit() != 0) {
        a.report(opn::kWrite, arc::kMc, kCommit);
        return result;
    }
    result.done = true;
    return result;
}

}  // namespace zelvo
