#pragma once

#include <string>
#include <vector>

#include "base/Dialogs.h"

namespace zelvo {

// One row of a debit/credit grid as the balance check sees it.
struct BalanceRow {
    std::string account;  // the name typed; empty when the row names no account
    double debit = 0;
    double credit = 0;
};

struct BalanceResult {
    bool balanceError = false;
    int errorRow = -1;    // 0-based
    int errorColumn = 0;  // 1 the account, 2 the amount
};

// The row checks in their order (an amount without account, an account without amount,
// both debit and credit), each stopping at its first offending row, then the imbalance
// ("SBILANCIO" with the absolute difference). One message at most, after a beep.
BalanceResult CheckBalance(Dialogs& dialogs, const std::vector<BalanceRow>& rows);

}  // namespace zelvo
