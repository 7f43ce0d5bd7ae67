#pragma once

#include <cstdint>
#include <string>

#include "session/ScreenLogic.h"

namespace zelvo {

struct TransferResult {
    std::int64_t lines = 0;        // movement lines of open items copied
    std::int64_t instalments = 0;  // unpaid instalments copied
    bool done = false;             // false: nothing was written
};

// Brings the open items of the previous year into the chosen one: every movement line of a
// document of a customer, supplier or agent whose lines do not net to 0 (a document is the
// lines of one account + document date + number key; the year-end registrations "ce", "cp"
// and "ap" are no documents and stay behind), under new line numbers that are also
// their registration numbers and with every other field as it was; and every instalment of
// the customer (rimessa diretta) and supplier schedules that no movement settled, under new
// keys. Running totals are not touched: the opening balances already hold these amounts.
// One transaction under the registration lock, with the year record's flag set at its end.
// Needs the chosen year's chart, counters, year record and movement lines open.
TransferResult TransferOpenItems(Session& session);

// The screen "TRAPA" ("Trasferimento partite aperte"): TransferOpenItems, once per year.
class OpenItemTransfer : public ScreenLogic {
  public:
    static constexpr const char* kWarning = "Label1";
    static constexpr const char* kOnce = "Label2";
    static constexpr const char* kFromLabel = "Label3";
    static constexpr const char* kToLabel = "Label4";
    static constexpr const char* kRun = "Command1";
    static constexpr const char* kCancel = "Command2";

    explicit OpenItemTransfer(Session& session);
    void load() override;
    void unload() override;

  private:
    void run();
};

}  // namespace zelvo
