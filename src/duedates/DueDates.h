#pragma once

#include <string>
#include <vector>

#include "session/Session.h"

namespace zelvo {

// The payment terms as the instalment rules read them.
struct InstalmentTerms {
    int instalmentCount = 0;        // 0: at sight
    int firstInstalmentMonths = 0;  // months from the invoice month to the first instalment
    int dueDayRule = 0;             // 0 invoice day, 10/15/20 "al", 30 end of month
    int augustRule = 0;             // 1 August at month end, 2 August and December to the 15th
    int skipAugust = 0;
};

struct Instalment {
    double amount = 0;
    std::string dueDate;  // yyyymmdd
};

// The instalments of an invoice total under the terms: the total split in equal whole
// shares with the remainder on the first, each falling due by the day and month rules.
// The invoice date is "yyyymmdd".
std::vector<Instalment> SplitInstalments(const InstalmentTerms& terms, double total,
                                         const std::string& invoiceDate);

// Writes the instalments of an invoice of the party (named by its description) into the
// due-date archive its kind and payment terms choose, each numbered by its counter under
// lock. Runs inside the invoice's registration when the caller has one open, so that the
// invoice and its due dates land together.
void GenerateDueDates(Session& session, const std::string& partyName, double invoiceTotal,
                      const std::string& invoiceNumber, const std::string& invoiceDate);

}  // namespace zelvo
