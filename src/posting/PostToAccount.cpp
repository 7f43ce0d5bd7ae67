#include "posting/PostToAccount.h"

#include "masterdata/ChartFields.h"

namespace zelvo {

namespace {

constexpr int kReadPosition = 711;
constexpr int kWritePosition = 712;

}  // namespace

void PostToAccount(Archives& a, const std::string& account, double debit, double credit) {
    auto add = [debit, credit](isam::Record& r) {
        double d = r.number(chart::kProgressiveDebit) + debit;
        double c = r.number(chart::kProgressiveCredit) + credit;
        r.setNumber(chart::kProgressiveDebit, d);
        r.setNumber(chart::kProgressiveCredit, c);
        r.setNumber(chart::kClosingBalance, r.number(chart::kOpeningBalance) + d - c);
    };
    if (a.update(arc::kPc, account, add, kReadPosition, kWritePosition) != 0) {
        return;
    }
    // The parents are named by the sub-account as it was read under its lock.
    const isam::Record& item = a.readBuffer(arc::kPc);
    const std::string conto = item.text(chart::kContoNumber);
    const std::string mastro = item.text(chart::kMastroNumber);
    for (const std::string& parent : {conto, mastro}) {
        if (!parent.empty() && parent != account) {
            a.update(arc::kPc, parent, add, kReadPosition, kWritePosition);
        }
    }
}

}  // namespace zelvo
