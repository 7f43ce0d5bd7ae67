#include "posting/PostToAccount.h"

#include "masterdata/ChartFields.h"

namespace zelvo {

namespace {

constexpr int kReadPosition = 711;
constexpr int kWritePosition = 712;

}  // namespace

void PostToAccount(Archives& a, const std::string& account, double debit, double credit) {
    // Added in place, without reading the record first: the closing balance is the opening
    // one plus the running totals as they are after the addition.
    static const isam::RecordManager::NumberChange kShape = [] {
        isam::RecordManager::NumberChange c;
        c.add = {{chart::kProgressiveDebit, 0}, {chart::kProgressiveCredit, 0}};
        c.sums = {{chart::kClosingBalance,
                   {{chart::kOpeningBalance, 1},
                    {chart::kProgressiveDebit, 1},
                    {chart::kProgressiveCredit, -1}}}};
        c.returning = {chart::kContoNumber, chart::kMastroNumber};
        return c;
    }();
    isam::RecordManager::NumberChange change = kShape;
    change.add[0].second = debit;
    change.add[1].second = credit;
    isam::Record changed;
    if (a.addToNumbers(arc::kPc, account, change, changed, kReadPosition, kWritePosition) != 0) {
        return;
    }
    // The parents are named by the sub-account as it was changed under its lock.
    change.returning.clear();
    for (const std::string& parent :
         {changed.text(chart::kContoNumber), changed.text(chart::kMastroNumber)}) {
        if (!parent.empty() && parent != account) {
            a.addToNumbers(arc::kPc, parent, change, changed, kReadPosition, kWritePosition);
        }
    }
}

}  // namespace zelvo
