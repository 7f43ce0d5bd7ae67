#include "masterdata/Chart.h"

#include <algorithm>

#include "base/NumberText.h"
#include "base/Utf8.h"
#include "masterdata/ChartFields.h"
#include "masterdata/Counters.h"
#include "masterdata/Favourites.h"

namespace zelvo::chart {

namespace {

// Not finding a record, or running off either end of an index, is an answer; anything else
// is a failure of the archive and is reported.
void reportFailure(Archives& a, int position) {
    const std::int16_t s = a.status();
    if (s != 0 && s != isam::status::kNotFound && s != isam::status::kEndOfIndex &&
        s != isam::status::kBeginningOfIndex) {
        a.report(opn::kRead, arc::kPc, position);
    }
}

std::optional<Item> current(Archives& a) {
    return Item::fromRecord(a.primaryKey(arc::kPc), a.readBuffer(arc::kPc));
}

std::optional<Item> answer(Archives& a, std::int16_t status, int position) {
    if (status == 0) {
        return current(a);
    }
    reportFailure(a, position);
    return std::nullopt;
}

// The record just read is of the kind asked for; otherwise the walk has left that kind.
std::optional<Item> ofKind(Archives& a, std::int16_t status, const std::string& kind) {
    if (status == 0 && a.readBuffer(arc::kPc).text(kKind) != kind) {
        a.setStatus(isam::status::kNotFound);
        return std::nullopt;
    }
    return answer(a, status, pos::kByKind);
}

}  // namespace

Item Item::fromRecord(const std::string& number, const isam::Record& r) {
    Item i;
    i.number = number;
    i.description = r.text(kDescription);
    i.kind = r.text(kKind);
    i.nature = r.text(kNature);
    i.mastroNumber = r.text(kMastroNumber);
    i.contoNumber = r.text(kContoNumber);
    i.accountCode = r.text(kAccountCode);
    i.openingBalance = r.number(kOpeningBalance);
    i.progressiveDebit = r.number(kProgressiveDebit);
    i.progressiveCredit = r.number(kProgressiveCredit);
    i.closingBalance = r.number(kClosingBalance);
    return i;
}

bool Item::predefined() const {
    // Item numbers are digits only; anything else cannot be one of ours.
    if (number.empty() ||
        !std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return false;
    }
    return WholeVal(number) < kFirstUserNumber;
}

std::string KindKey(const std::string& kind, const std::string& description) {
    if (kind == kSottoconto || kind == kCustomer || kind == kSupplier) {
        return kind + description;
    }
    return "x" + description;
}

std::string GroupKey(const std::string& kind, const std::string& description) {
    return (kind == kCustomer || kind == kSupplier ? "cf" : "ss") + description;
}

std::optional<Item> ByNumber(Archives& a, const std::string& number) {
    return answer(a, a.getByKey(arc::kPc, number), pos::kByNumber);
}

std::optional<Item> ByDescription(Archives& a, const std::string& description) {
    return answer(a, a.getIdentical(arc::kPc, kDescription, description), pos::kByDescription);
}

std::optional<Item> ByAccountCode(Archives& a, const std::string& accountCode) {
    return answer(a, a.getIdentical(arc::kPc, kAccountCode, accountCode), pos::kByAccountCode);
}

std::optional<Item> FirstOfKind(Archives& a, const std::string& kind) {
    return ofKind(a, a.get(arc::kPc, kKind, isam::op::kFind, kind), kind);
}

std::optional<Item> NextOfKind(Archives& a, const std::string& kind) {
    return ofKind(a, a.get(arc::kPc, kKind, isam::op::kNext, ""), kind);
}

std::vector<Item> ItemsOfKind(Archives& a, const std::string& kind) {
    std::vector<Item> items;
    for (auto i = FirstOfKind(a, kind); i; i = NextOfKind(a, kind)) {
        items.push_back(std::move(*i));
    }
    return items;
}

std::optional<Item> ByKindKey(Archives& a, const std::string& kind,
                              const std::string& description) {
    return answer(a, a.getIdentical(arc::kPc, kKindKey, KindKey(kind, description)),
                  pos::kByKindKey);
}

std::optional<Item> ByGroupKey(Archives& a, const std::string& kind,
                               const std::string& description) {
    return answer(a, a.getIdentical(arc::kPc, kGroupKey, GroupKey(kind, description)),
                  pos::kByGroupKey);
}

std::vector<std::string> SearchDescriptions(Archives& a, const std::string& typed,
                                            const std::vector<std::string>& kinds, int count,
                                            bool previous) {
    const size_t wanted = static_cast<size_t>(count > 0 ? count : 30);
    auto accepted = [&a, &kinds] {
        return kinds.empty() || std::find(kinds.begin(), kinds.end(),
                                          a.readBuffer(arc::kPc).text(kKind)) != kinds.end();
    };
    auto next = [&a] { return a.get(arc::kPc, kDescription, isam::op::kNext, ""); };

    // Where the list starts. The index keeps only the descriptions' first characters: when
    // the operator typed more, records sharing the key but going on otherwise come first.
    std::int16_t s = 0;
    if (typed.empty()) {
        a.bof(arc::kPc, kDescription);
        s = next();
    } else {
        s = a.get(arc::kPc, kDescription, isam::op::kFind, typed);
        if (s == isam::status::kNotFound) {
            s = next();  // the failed find stands just before where the text would be
        }
        while (s == 0 && StartsWithNoCase(typed, a.keyValue(arc::kPc)) &&
               !StartsWithNoCase(a.readBuffer(arc::kPc).text(kDescription), typed)) {
            s = next();
        }
    }
    const std::string start = s == 0 ? a.primaryKey(arc::kPc) : std::string();

    std::vector<std::string> list;
    while (s == 0 && list.size() < wanted) {
        if (accepted()) {
            list.push_back(a.readBuffer(arc::kPc).text(kDescription));
        }
        s = next();
    }
    reportFailure(a, pos::kSearch);
    if (!previous) {
        return list;
    }

    // Back to the start, then the other way. With no start the typed text is past every
    // description, and the entries before it are the last ones.
    if (!start.empty()) {
        s = a.getByKey(arc::kPc, start);
    } else if (!typed.empty()) {
        s = a.get(arc::kPc, kDescription, isam::op::kFind, typed) == isam::status::kNotFound
                ? 0
                : a.status();
    } else {
        return list;
    }
    std::vector<std::string> before;
    while (s == 0 && before.size() < wanted) {
        s = a.get(arc::kPc, kDescription, isam::op::kPrevious, "");
        if (s == 0 && accepted()) {
            before.push_back(a.readBuffer(arc::kPc).text(kDescription));
        }
    }
    reportFailure(a, pos::kSearch);
    list.insert(list.begin(), before.rbegin(), before.rend());
    return list;
}

std::vector<std::string> AccountSuggestions(Archives& archives, const ProgramValues& values,
                                            const std::string& typed,
                                            const std::vector<std::string>& kinds, bool full) {
    // While typing a handful is enough; the list itself follows the parameters. The
    // operator's most-used sub-accounts that fit come first, whatever their alphabetical place.
    const int count = full ? values.listLength : 10;
    std::vector<std::string> first = favourites::Offered(archives, typed, kinds);
    std::vector<std::string> rest =
        SearchDescriptions(archives, typed, kinds, count, full && values.showPreviousDescriptions);
    if (first.empty()) {
        return rest;
    }
    return favourites::FavouritesFirst(std::move(first), rest,
                                       full ? 0 : static_cast<size_t>(count));
}

bool DescriptionFree(Archives& a, const std::string& description,
                     const std::function<void()>& refuse) {
    if (ByDescription(a, description)) {
        refuse();
        return false;
    }
    return a.status() == isam::status::kNotFound;  // otherwise reported by the look-up
}

std::string AddItem(Archives& a, const std::string& kind, const std::string& description,
                    const std::function<void(isam::Record&, const std::string& number)>& fill,
                    int writePosition, int commitPosition) {
    Registration tx(a, arc::kPc);
    if (tx.status() != 0) {
        a.setStatus(tx.status());
        a.report(opn::kWrite, arc::kPc, commitPosition);
        return {};
    }
    const std::string number = NextItemNumber(a);
    if (number.empty()) {
        return {};  // reported; nothing was written
    }
    a.clearWriteBuffer(arc::kPc);
    isam::Record& r = a.writeBuffer(arc::kPc);
    fill(r, number);
    r.setText(kDescription, description);
    r.setText(kKind, kind);
    r.setText(kKindKey, KindKey(kind, description));
    r.setText(kGroupKey, GroupKey(kind, description));
    if (a.putReported(arc::kPc, number, isam::mode::kAdd, writePosition) == 0 &&
        a.flush(arc::kPc) != 0) {
        a.report(opn::kWrite, arc::kPc, writePosition);
    }
    const bool written = a.status() == 0;
    // Committed even after a failed write: the number stays used.
    if (tx.commit() != 0) {
        a.report(opn::kWrite, arc::kPc, commitPosition);
        return {};
    }
    return written ? number : std::string();
}

}  // namespace zelvo::chart
