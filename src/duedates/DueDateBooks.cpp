#include "duedates/DueDateBooks.h"

#include <algorithm>
#include <vector>

#include "base/DateText.h"
#include "base/NumberText.h"
#include "base/Utf8.h"
#include "duedates/DueDateFields.h"
#include "masterdata/Chart.h"
#include "posting/DateChecks.h"

namespace zelvo::duedates {

namespace {

const BookInfo kBooks[] = {
    {arc::kSd, "scaclird", "SCADENZARIO CLIENTI RIMESSE DIRETTE", false, true},
    {arc::kSt, "scaclitr", "SCADENZARIO CLIENTI RICEVUTE BANCARIE", false, false},
    {arc::kSf, "scafornrd", "SCADENZARIO FORNITORI", true, true},
};

constexpr const char* kBookCaptions[] = {"Clienti rimesse dirette", "Clienti ricevute bancarie",
                                         "Fornitori"};

OpenInstalment fromRecord(const std::string& primaryKey, const isam::Record& r) {
    return {primaryKey,
            r.text(duef::kInvoiceNumber),
            r.text(duef::kInvoiceDate),
            r.text(duef::kPartyNumber),
            r.number(duef::kAmount),
            r.text(duef::kDueDate)};
}

bool withinDates(const DueFilter& f, const std::string& due) {
    return due >= f.from && (f.to.empty() || due <= f.to);
}

// One party in an archive without the party + due-date key: its instalments by party number,
// then in due-date order (a party's instalments are few).
std::int16_t readPartySorted(isam::RecordManager& rm, std::int16_t handle, const DueFilter& f,
                             const std::function<bool(const OpenInstalment&)>& row) {
    std::vector<OpenInstalment> found;
    std::int16_t s = rm.scan(
        handle, duef::kPartyNumber, f.partyNumber,
        [&](const std::string& pk, const isam::Record& r) {
            if (r.text(duef::kPartyNumber) != f.partyNumber) {
                return false;
            }
            if (r.text(duef::kSettledDate).empty() && withinDates(f, r.text(duef::kDueDate))) {
                found.push_back(fromRecord(pk, r));
            }
            return true;
        });
    std::stable_sort(
        found.begin(), found.end(),
        [](const OpenInstalment& a, const OpenInstalment& b) { return a.dueDate < b.dueDate; });
    for (const OpenInstalment& i : found) {
        if (!row(i)) {
            break;
        }
    }
    return s;
}

}  // namespace

const BookInfo& InfoOf(Book book) {
    return kBooks[static_cast<int>(book)];
}

void AddBookOptions(FormSpec& f, int row) {
    for (int i = 0; i < 3; ++i) {
        f.option(kBookOptions[i], kBookCaptions[i], kBookGroup, row + i);
    }
}

Book CheckedBook(const FormState& form) {
    if (form.checked(kBookOptions[1])) {
        return Book::CustomerBankReceipts;
    }
    if (form.checked(kBookOptions[2])) {
        return Book::Suppliers;
    }
    return Book::CustomerRemittances;
}

std::int16_t ReadOpenInstalments(Archives& archives, Book book, const DueFilter& filter,
                                 const std::function<bool(const OpenInstalment&)>& row,
                                 int position) {
    const BookInfo& info = InfoOf(book);
    isam::RecordManager& rm = archives.recordManager();
    const std::int16_t handle = archives.handle(info.archive);
    std::int16_t s = 0;
    if (!filter.partyNumber.empty() && !info.partyDueKey) {
        s = readPartySorted(rm, handle, filter, row);
    } else {
        // Keys are "yyyymmdd" (or party number + it): text order is date order.
        const bool party = !filter.partyNumber.empty();
        const int keyField = party ? duef::kPartyDueKey : duef::kDueDate;
        s = rm.scan(handle, keyField, filter.partyNumber + filter.from,
                    [&](const std::string& pk, const isam::Record& r) {
                        const std::string due = r.text(duef::kDueDate);
                        if ((party && r.text(duef::kPartyNumber) != filter.partyNumber) ||
                            !withinDates(filter, due)) {
                            return false;
                        }
                        return !r.text(duef::kSettledDate).empty() || row(fromRecord(pk, r));
                    });
    }
    archives.setStatus(s);
    if (s != 0) {
        archives.report(opn::kRead, info.archive, position);
    }
    return s;
}

const std::string& PartyNames::of(const std::string& number) {
    auto it = m_names.find(number);
    if (it == m_names.end()) {
        auto item = chart::ByNumber(m_archives, number);
        it = m_names.emplace(number, item ? item->description : std::string()).first;
    }
    return it->second;
}

std::string Heading(const std::string& customerHeading, bool suppliers) {
    std::string h = customerHeading;
    if (suppliers) {
        // "Fornitore" takes the place of "Cliente" and two of the blanks after it.
        h.replace(h.find("Cliente"), 9, "Fornitore");
    }
    return h;
}

InstalmentLines::InstalmentLines(const std::string& heading)
    : m_nameAt(static_cast<int>(std::min(heading.find("Cliente"), heading.find("Fornitore")))),
      m_amountEnd(static_cast<int>(heading.find("Importo") + 7)),
      m_dueAt(static_cast<int>(heading.find("Scadenza"))) {}

std::string InstalmentLines::operator()(const OpenInstalment& i,
                                        const std::string& partyName) const {
    std::string line =
        PadLeft(Format(Val(i.invoiceNumber), "######"), 6) + " " + ShownDate(i.invoiceDate);
    line = PadRight(line, m_nameAt);
    const std::string amount = Format(i.amount, kAmountMask);
    const int nameWidth = m_amountEnd - Utf8Length(amount) - Utf8Length(line) - 1;
    line += PadRight(Utf8Left(partyName, nameWidth), nameWidth) + " ";
    line = PadRight(line + amount, m_dueAt);
    return line + ShownDate(i.dueDate);
}

bool DueDateKey(Session& session, std::string text, std::string& key) {
    key.clear();
    if (text.empty() || IsEmptyDateMask(text)) {
        return true;
    }
    if (!CheckDocumentDate(session, text)) {
        return false;
    }
    key = ToKeyDate(text);
    return true;
}

}  // namespace zelvo::duedates
