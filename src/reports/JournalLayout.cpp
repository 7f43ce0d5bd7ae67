#include "reports/JournalLayout.h"

#include "base/DateText.h"
#include "base/NumberText.h"
#include "base/Utf8.h"
#include "masterdata/Chart.h"
#include "posting/DateChecks.h"
#include "posting/JournalFields.h"
#include "session/ReportSink.h"

namespace zelvo {

namespace {

// Line 1: registration date, document number, document date, protocol.
constexpr int kDocNumberWidth = 7;
constexpr int kProtocolWidth = 6;
constexpr int kDateWidth = 10;
// Line 2: two blanks, description, account name, debit, credit: 97 columns in all.
constexpr int kDescriptionWidth = 37;
constexpr int kAccountWidth = 30;
constexpr int kAmountWidth = 14;
constexpr const char* kAmountMask = "#,###,###,###";
// The totals: the widest amount their mask gives ("999.999.999.999").
constexpr int kTotalWidth = 15;
constexpr const char* kTotalMask = "###,###,###,###";

// A date never given keeps its column blank, so that what follows stays in place.
std::string dateColumn(const std::string& key) {
    return key.empty() ? std::string(kDateWidth, ' ') : ShownDate(key);
}

// Numbers go out in the number-to-text form, whose first character is the sign position (a
// blank for the numbers these fields hold), right-aligned in their columns: document number
// 7 gives "      7", the blank before the 7 being its sign position; a six-digit number fills
// all seven columns and its sign blank still parts it from the registration date. Numbers
// are never cut: one wider than its column (none that the entry screens let through) pushes
// the rest of the line to the right rather than lose a digit.
std::string number(const std::string& text, int width) {
    return PadLeft(Str(Val(text)), width);
}

// Texts longer than their column are cut, so that the columns after them stay in place and
// a line never runs past the 97 columns of the page, where the printer would clip it anyway.
std::string column(const std::string& text, int width) {
    return PadRight(Utf8Left(text, width), width);
}

}  // namespace

MovementText FormatMovement(const isam::Record& row, const std::string& accountName) {
    const std::string& protocol = row.text(mcf::kProtocol);
    MovementText t;
    t.first =
        dateColumn(row.text(mcf::kRegDate)) + number(row.text(mcf::kDocNumber), kDocNumberWidth) +
        " " + dateColumn(row.text(mcf::kDocDate)) +
        (Val(protocol) == 0 ? std::string(kProtocolWidth, ' ') : number(protocol, kProtocolWidth));
    t.second = "  " + column(row.text(mcf::kDescription), kDescriptionWidth) +
               column(accountName, kAccountWidth) +
               PadLeft(Format(row.number(mcf::kDebit), kAmountMask), kAmountWidth) +
               PadLeft(Format(row.number(mcf::kCredit), kAmountMask), kAmountWidth);
    return t;
}

void JournalTotals::add(const isam::Record& row) {
    debit += row.number(mcf::kDebit);
    credit += row.number(mcf::kCredit);
}

std::vector<std::string> TotalsLines(const std::string& caption, const JournalTotals& totals) {
    return {caption, "Dare : " + PadLeft(Format(totals.debit, kTotalMask), kTotalWidth),
            "Avere: " + PadLeft(Format(totals.credit, kTotalMask), kTotalWidth)};
}

MovementPrinter::MovementPrinter(ReportPager& pager, Archives& archives)
    : m_pager(pager), m_archives(archives) {}

void MovementPrinter::print(const isam::Record& row, const std::string& prefix) {
    const std::string& regNumber = row.text(mcf::kRegNumber);
    if (regNumber != m_previous) {
        m_pager.print(Rule('-'));
        m_previous = regNumber;
    }
    // A line whose account has left the chart still shows which account it was.
    const std::string& account = row.text(mcf::kAccount);
    // A year's journal names a few hundred accounts over and over: each is read once.
    auto known = m_names.find(account);
    if (known == m_names.end()) {
        auto item = chart::ByNumber(m_archives, account);
        known = m_names.emplace(account, item ? item->description : account).first;
    }
    const MovementText t = FormatMovement(row, known->second);
    m_pager.print(prefix + t.first);
    m_pager.print(t.second);
    m_pager.breakIfFull();
}

bool ForEachMovementByDate(Archives& archives, const std::string& lastDate, int position,
                           const std::function<void(const isam::Record&)>& row) {
    // One consistent state of the year for the whole print, read by one statement from the
    // first date on.
    std::int16_t s =
        archives.scan(arc::kMc, mcf::kRegDate, "", [&](const std::string&, const isam::Record& r) {
            if (r.text(mcf::kRegDate) > lastDate) {
                return false;
            }
            row(r);
            return true;
        });
    if (s != isam::status::kOk) {
        archives.report(opn::kRead, arc::kMc, position);
        return false;
    }
    return true;
}

std::vector<std::string> CompanyHeading(Session& session, bool company, int position) {
    // Fields of the company register record (the register's own layout, kept by the start-up
    // code above this library); the primary key is the company code.
    constexpr int kName = 1;
    constexpr int kAddress = 2;
    constexpr int kCity = 3;
    constexpr int kVatNumber = 4;
    std::vector<std::string> block(4);
    if (!company) {
        return block;
    }
    Archives& a = session.archives();
    if (a.open(arc::kDataz)) {
        if (a.getByKeyReported(arc::kDataz, session.values().companyCode, position) == 0) {
            const isam::Record& r = a.readBuffer(arc::kDataz);
            block = {r.text(kName), r.text(kAddress), r.text(kCity), "P.IVA " + r.text(kVatNumber)};
        }
        a.close(arc::kDataz);
    }
    return block;
}

void AddDateRangeFields(FormSpec& f) {
    f.date(kFromDateControl, "Dalla data:", 0);
    f.date(kToDateControl, "Alla data:", 1);
}

bool ReadDateRange(Session& session, const FormState& form, std::string& from, std::string& to,
                   std::string& focus) {
    return ReadDateRange(session, form, kFromDateControl, kToDateControl, from, to, focus);
}

bool ReadDateRange(Session& session, const FormState& form, const std::string& fromControl,
                   const std::string& toControl, std::string& from, std::string& to,
                   std::string& focus) {
    std::string start = form.text(fromControl);
    std::string end = form.text(toControl);
    if (!CheckRegistrationDate(session, start)) {
        focus = fromControl;
        return false;
    }
    if (!CheckRegistrationDate(session, end)) {
        focus = toControl;
        return false;
    }
    from = ToKeyDate(start);
    to = ToKeyDate(end);
    if (to < from) {
        session.dialogs().beep();
        session.dialogs().message("La data finale è minore della data iniziale", "Errore",
                                  Icon::Exclamation);
        focus = toControl;
        return false;
    }
    return true;
}

}  // namespace zelvo
