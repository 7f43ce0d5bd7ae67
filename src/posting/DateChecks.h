#pragma once

#include <string>

#include "session/Session.h"

namespace zelvo {

// Whether a typed date is a real day with its year in [minYear, maxYear]: exactly
// "dd/mm/yyyy", no blanks of the mask left, Gregorian leap years, 30-day months.
bool IsValidDateText(const std::string& text, int minYear, int maxYear);

// An untouched mask ("__/__/____", "__/__/__") or a text whose leading value is 0 counts as
// no date at all: it becomes "".
void ClearEmptyDate(std::string& text);

// The date checks of the entry screens: the text is cleared when empty (and then fails),
// and a failure beeps and shows "La data inserita non è valida". A registration date must
// fall in the accounting year; a document date in 1950..2050.
bool CheckRegistrationDate(Session& session, std::string& text);
bool CheckDocumentDate(Session& session, std::string& text);

// Warns (without refusing) when the date falls on or before the last day printed in the
// general journal.
void CheckJournalPrinted(Session& session, const std::string& regDate);

// Warns when the month of the registration date is already printed in the purchase VAT
// register section.
void CheckPurchaseRegisterPrinted(Session& session, const std::string& regDate,
                                  const std::string& section);

}  // namespace zelvo
