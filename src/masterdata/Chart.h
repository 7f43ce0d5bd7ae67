#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "archive/Archives.h"
#include "session/Session.h"

namespace zelvo::chart {

// Report positions of the chart look-ups. A look-up that finds nothing is an answer, not a
// failure: only the other statuses are reported.
namespace pos {
inline constexpr int kByNumber = 811;
inline constexpr int kByDescription = 812;
inline constexpr int kByAccountCode = 813;
inline constexpr int kByKind = 814;
inline constexpr int kByKindKey = 815;
inline constexpr int kByGroupKey = 816;
inline constexpr int kSearch = 817;
}  // namespace pos

// The kinds of item.
inline constexpr const char* kMastro = "m";
inline constexpr const char* kConto = "cc";
inline constexpr const char* kSottoconto = "s";
inline constexpr const char* kCustomer = "c";
inline constexpr const char* kSupplier = "f";

// Items numbered below this are the predefined ones: the posting rules use them by number.
inline constexpr int kFirstUserNumber = 50;

// The fields of a chart item that the books use. The whole record (customers' personal
// data included) stays in the read buffer of "pc" after a look-up.
struct Item {
    std::string number;  // "00051", the primary key
    std::string description;
    std::string kind;
    std::string nature;  // "p" or "e"
    std::string mastroNumber;
    std::string contoNumber;
    std::string accountCode;
    double openingBalance = 0;
    double progressiveDebit = 0;
    double progressiveCredit = 0;
    double closingBalance = 0;

    static Item fromRecord(const std::string& number, const isam::Record& record);
    bool predefined() const;
    bool operator==(const Item&) const = default;
};

// The index keys an item carries: the kind marker ("x" for mastri and conti, "s", "c", "f")
// or the group marker ("ss" for the accounts, "cf" for customers and suppliers), followed by
// the description.
std::string KindKey(const std::string& kind, const std::string& description);
std::string GroupKey(const std::string& kind, const std::string& description);

// Look-ups on the chart of the chosen company and year, through the "pc" handle the session
// keeps open. Each reads into the shared read buffer of "pc" (moving its position for
// "next") and leaves its status in the shared status: nothing when it found no record.
//
// Item number and account code are exact: "0005" is not item "00051".
std::optional<Item> ByNumber(Archives& archives, const std::string& number);
// Identity on the description: the whole text in the index's collation ("rossi mario" names
// "Rossi Mario"; "Ros" names nothing).
std::optional<Item> ByDescription(Archives& archives, const std::string& description);
std::optional<Item> ByAccountCode(Archives& archives, const std::string& accountCode);
// The first item of a kind in the kind index (by item number among them), and the one after
// the last item read; nothing when the index holds no more of that kind.
std::optional<Item> FirstOfKind(Archives& archives, const std::string& kind);
std::optional<Item> NextOfKind(Archives& archives, const std::string& kind);
// Every item of a kind, in the kind index's order.
std::vector<Item> ItemsOfKind(Archives& archives, const std::string& kind);
// Identity on kind marker + description and on group marker + description: a customer's
// name names no sottoconto, and the other way round.
std::optional<Item> ByKindKey(Archives& archives, const std::string& kind,
                              const std::string& description);
std::optional<Item> ByGroupKey(Archives& archives, const std::string& kind,
                               const std::string& description);

// The descriptions an account field offers: items of the accepted kinds (none given: every
// kind) in description order, from the first whose description begins with `typed` (letter
// case aside) - or, when none does, from the first that would follow it -, at most `count`
// of them (0 counts as 30, the program's default list length). With `previous` the list
// starts with up to as many of the accepted entries before that one.
std::vector<std::string> SearchDescriptions(Archives& archives, const std::string& typed,
                                            const std::vector<std::string>& kinds, int count,
                                            bool previous);

// What an account field offers: a few names as the operator types (`full` false), or the
// F5 list with the list length and previous entries of the parameters (`full` true).
std::vector<std::string> AccountSuggestions(Archives& archives, const ProgramValues& values,
                                            const std::string& typed,
                                            const std::vector<std::string>& kinds, bool full);

// Whether a new item may take the description: no item of any kind has it in the index's
// collation ("rossi mario" is "Rossi Mario"; "Ros" is another description). When one has,
// `refuse` shows the screen's own message; a failed look-up is reported. False either way.
bool DescriptionFree(Archives& archives, const std::string& description,
                     const std::function<void()>& refuse);

// Adds a new item under the next item number of the counter "conto": the number and the
// record commit together, so that a record whose write fails still uses up its number - a
// gap in the numbering, never a number given twice. The write buffer is cleared, `fill` sets
// the item's own fields for the number it gets (mastro, conto, nature, account code,
// balances, personal data), then the description, the kind and both index keys are set here.
// A failed write or commit is reported at the positions given. The number written, or empty
// when nothing was registered.
std::string AddItem(Archives& archives, const std::string& kind, const std::string& description,
                    const std::function<void(isam::Record&, const std::string& number)>& fill,
                    int writePosition, int commitPosition);

}  // namespace zelvo::chart
