#include "posting/BalanceCheck.h"

#include <cmath>

#include "base/NumberText.h"

namespace zelvo {

BalanceResult CheckBalance(Dialogs& dialogs, const std::vector<BalanceRow>& rows) {
    struct Pass {
        bool (*offends)(const BalanceRow&);
        const char* text;
        int column;
    };
    static const Pass kPasses[] = {
        {[](const BalanceRow& r) { return (r.debit != 0 || r.credit != 0) && r.account.empty(); },
         "E' STATO INSERITO UN IMPORTO MA NON IL CONTO", 1},
        {[](const BalanceRow& r) { return !r.account.empty() && r.debit == 0 && r.credit == 0; },
         "E' STATO INSERITO UN CONTO MA NON L'IMPORTO", 2},
        {[](const BalanceRow& r) { return r.debit != 0 && r.credit != 0; },
         "E' STATO INSERITO UN IMPORTO SIA IN DARE CHE IN AVERE", 2},
    };
    BalanceResult result;
    for (const Pass& pass : kPasses) {
        for (size_t i = 0; i < rows.size(); ++i) {
            if (pass.offends(rows[i])) {
                dialogs.beep();
                dialogs.message(pass.text, "Errore", Icon::Exclamation);
                result.balanceError = true;
                result.errorRow = static_cast<int>(i);
                result.errorColumn = pass.column;
                return result;
            }
        }
    }
    double debit = 0;
    double credit = 0;
    for (const BalanceRow& r : rows) {
        debit += r.debit;
        credit += r.credit;
    }
    if (debit != credit) {
        dialogs.beep();
        dialogs.message(Str(std::fabs(debit - credit)), "SBILANCIO", Icon::Exclamation);
        result.balanceError = true;
    }
    return result;
}

}  // namespace zelvo
