#include "masterdata/Favourites.h"

#include <algorithm>
#include <map>

#include "base/Utf8.h"
#include "masterdata/ChartFields.h"

namespace zelvo::favourites {

namespace {

bool Accepted(const std::vector<std::string>& kinds, const std::string& kind) {
    return kinds.empty() || std::find(kinds.begin(), kinds.end(), kind) != kinds.end();
}

bool EndOfRead(std::int16_t s) {
    return s == 0 || s == isam::status::kEndOfIndex || s == isam::status::kNotFound;
}

// The item numbers in list order: by place, then by number for equal places.
std::vector<std::string> ListedNumbers(Archives& a, bool reported) {
    std::multimap<std::pair<double, std::string>, std::string> ordered;
    const std::int16_t s =
        a.scan(arc::kFf, 0, "", [&](const std::string& key, const isam::Record& r) {
            ordered.emplace(std::make_pair(r.number(kPlace), key), key);
            return true;
        });
    if (!EndOfRead(s) && reported) {
        a.report(opn::kRead, arc::kFf, pos::kRead);
    }
    std::vector<std::string> numbers;
    for (const auto& [order, key] : ordered) {
        numbers.push_back(key);
    }
    return numbers;
}

}  // namespace

std::vector<chart::Item> Listed(Archives& a) {
    std::vector<chart::Item> items;
    for (const std::string& number : ListedNumbers(a, true)) {
        if (auto item = chart::ByNumber(a, number)) {
            items.push_back(*item);
        }
    }
    return items;
}

bool Store(Archives& a, const std::vector<chart::Item>& items) {
    Registration tx(a, arc::kFf);
    if (tx.status() != 0) {
        a.setStatus(tx.status());
        a.report(opn::kWrite, arc::kFf, pos::kCommit);
        return false;
    }
    for (const std::string& old : ListedNumbers(a, true)) {
        if (a.remove(arc::kFf, old) != 0) {
            a.report(opn::kDelete, arc::kFf, pos::kRemove);
            return false;
        }
    }
    double place = 0;
    for (const chart::Item& item : items) {
        a.clearWriteBuffer(arc::kFf);
        isam::Record& r = a.writeBuffer(arc::kFf);
        r.setText(kDescription, item.description);
        r.setText(kAccountCode, item.accountCode);
        r.setNumber(kPlace, ++place);
        if (a.putReported(arc::kFf, item.number, isam::mode::kAdd, pos::kWrite) != 0) {
            return false;
        }
    }
    if (tx.commit() != 0) {
        a.report(opn::kWrite, arc::kFf, pos::kCommit);
        return false;
    }
    if (a.flush(arc::kFf) != 0) {
        a.report(opn::kWrite, arc::kFf, pos::kWrite);
        return false;
    }
    return true;
}

std::vector<std::string> Offered(Archives& a, const std::string& typed,
                                 const std::vector<std::string>& kinds) {
    const std::int16_t before = a.status();
    if (!a.exists(a.fileName(arc::kFf)) || !a.open(arc::kFf)) {
        a.setStatus(before);
        return {};
    }
    std::vector<std::string> offered;
    for (const std::string& number : ListedNumbers(a, false)) {
        auto item = chart::ByNumber(a, number);
        if (item && Accepted(kinds, item->kind) && StartsWithNoCase(item->description, typed)) {
            offered.push_back(item->description);
        }
    }
    a.close(arc::kFf);
    a.setStatus(before);
    return offered;
}

std::vector<std::string> FavouritesFirst(std::vector<std::string> favourites,
                                         const std::vector<std::string>& rest, size_t count) {
    std::vector<std::string> out = std::move(favourites);
    for (const std::string& s : rest) {
        if (std::find(out.begin(), out.end(), s) == out.end()) {
            out.push_back(s);
        }
    }
    if (count > 0 && out.size() > count) {
        out.resize(count);
    }
    return out;
}

}  // namespace zelvo::favourites
