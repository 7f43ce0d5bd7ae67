#pragma once

#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "archive/Archives.h"
#include "isam/Record.h"
#include "session/Form.h"
#include "session/ReportPager.h"
#include "session/Session.h"

namespace zelvo {

// The printed form of a movement line, shared by the general journal (STGC), the prima nota
// print (STMC) and its control print (STMC1), so that the three books show a movement alike.

// Column headings of a movement's two lines. The first goes after the caption of whatever
// number a print puts in front of the movement ("Numero  ", "N.    ").
inline constexpr const char* kMovementHeading1 = "Data reg.    N. e data doc.   Prot.";
inline constexpr const char* kMovementHeading2 =
    "  Descrizione movimento                Conto                                   Dare"
    "         Avere";

// The two lines of one movement line. `first` starts with the registration date: a print
// that numbers its lines puts the number in front of it.
// The company block of the statutory books' headings: name, address, city and "P.IVA " with
// the VAT number from the company register; four empty lines when `company` is false or the
// company cannot be read (a failed read is reported at `position`).
std::vector<std::string> CompanyHeading(Session& session, bool company, int position);

struct MovementText {
    std::string first;
    std::string second;
};
MovementText FormatMovement(const isam::Record& row, const std::string& accountName);

// The debit and credit of the lines added so far.
struct JournalTotals {
    double debit = 0;
    double credit = 0;
    void add(const isam::Record& row);
};

// A totals block: the caption ("Totali progressivi ") on a line of its own, then "Dare : "
// and "Avere: " each with its amount.
std::vector<std::string> TotalsLines(const std::string& caption, const JournalTotals& totals);

// Prints movement lines one after the other: the "-" rule before each new registration
// (before the first one too), the two lines, and the page break, which therefore only ever
// falls after a movement's second line.
class MovementPrinter {
  public:
    MovementPrinter(ReportPager& pager, Archives& archives);
    void print(const isam::Record& row, const std::string& prefix = {});

  private:
    ReportPager& m_pager;
    Archives& m_archives;
    std::string m_previous = "0";
    std::unordered_map<std::string, std::string> m_names;  // account names by item number
};

// Reads the movement lines of the open "mc" in registration-date order from the first one,
// handing each to `row` until the end of the archive or the first line dated after `lastDate`
// (yyyymmdd). A failed read is reported at `position` and ends the reading: false.
bool ForEachMovementByDate(Archives& archives, const std::string& lastDate, int position,
                           const std::function<void(const isam::Record&)>& row);

// The date fields of the journal prints (STGC, STMC), on rows 0 and 1.
inline constexpr const char* kFromDateControl = "text1";
inline constexpr const char* kToDateControl = "text2";
void AddDateRangeFields(FormSpec& layout);

// The date range of the journal prints, from `text1` (start) and `text2` (end) as yyyymmdd:
// both must pass the registration-date check of the entry screens (an untouched mask fails
// it), and the end may not come before the start. On failure the operator has been told and
// `focus` names the field to return to.
bool ReadDateRange(Session& session, const FormState& form, std::string& from, std::string& to,
                   std::string& focus);
// The same on the date fields the caller names.
bool ReadDateRange(Session& session, const FormState& form, const std::string& fromControl,
                   const std::string& toControl, std::string& from, std::string& to,
                   std::string& focus);

}  // namespace zelvo
