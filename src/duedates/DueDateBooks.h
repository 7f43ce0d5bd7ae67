#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>

#include "archive/Archives.h"
#include "session/Form.h"
#include "session/Session.h"

namespace zelvo::duedates {

// The three due-date archives as the maintenance screens choose them: the option buttons
// `Option1` "Clienti rimesse dirette", `Option2` "Clienti ricevute bancarie", `Option3`
// "Fornitori".
enum class Book { CustomerRemittances, CustomerBankReceipts, Suppliers };

struct BookInfo {
    int archive;
    const char* counter;     // numbers its records
    const char* printTitle;  // the heading of its print
    bool suppliers;
    bool partyDueKey;  // whether the archive keeps party number + due date (key field 7)
};
const BookInfo& InfoOf(Book book);

inline constexpr const char* kBookOptions[] = {"Option1", "Option2", "Option3"};
inline constexpr const char* kBookGroup = "Scadenzario";
// Adds the three options on rows from `row` and checks the first.
void AddBookOptions(FormSpec& f, int row);
Book CheckedBook(const FormState& form);

// One instalment still open, as the listing and the print show it.
struct OpenInstalment {
    std::string primaryKey;
    std::string invoiceNumber;
    std::string invoiceDate;  // yyyymmdd
    std::string partyNumber;
    double amount = 0;
    std::string dueDate;  // yyyymmdd
};

// What to read: due dates from `from` to `to` (yyyymmdd, both included; empty: no bound),
// of one party (its item number) or of all.
struct DueFilter {
    std::string from;
    std::string to;
    std::string partyNumber;
};

// Streams the open instalments (settlement date empty) of the book that the filter takes, in
// due-date order (all parties: the due-date index; one party: its own key, or its
// instalments sorted by due date where the archive has no such key), until `row` answers
// false. The archive is open. A failed read is reported at `position`; its status returned.
std::int16_t ReadOpenInstalments(Archives& archives, Book book, const DueFilter& filter,
                                 const std::function<bool(const OpenInstalment&)>& row,
                                 int position);

// The chart's descriptions by item number, each read once per listing.
class PartyNames {
  public:
    explicit PartyNames(Archives& archives) : m_archives(archives) {}
    const std::string& of(const std::string& number);

  private:
    Archives& m_archives;
    std::map<std::string, std::string> m_names;
};

// The listing's and the print's column captions, with "Fornitore" for suppliers in place of
// "Cliente", and the line of an instalment placed under them: invoice number ("######") and
// date, the party's name, the amount ("##,###,###,###") ending under "Importo" and the due
// date under "Scadenza".
std::string Heading(const std::string& customerHeading, bool suppliers);
// The columns are found in the heading once per listing.
class InstalmentLines {
  public:
    explicit InstalmentLines(const std::string& heading);
    std::string operator()(const OpenInstalment& i, const std::string& partyName) const;

  private:
    int m_nameAt;
    int m_amountEnd;
    int m_dueAt;
};

inline constexpr const char* kAmountMask = "##,###,###,###";

// A "dd/mm/yyyy" due-date field: an untouched mask (or no text) is empty (true, `key` empty); a
// valid date gives its key; anything else beeps with "La data inserita non è valida" (false).
bool DueDateKey(Session& session, std::string text, std::string& key);

}  // namespace zelvo::duedates
