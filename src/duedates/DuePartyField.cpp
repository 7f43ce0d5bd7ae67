#include "duedates/DuePartyField.h"

#include "masterdata/Chart.h"

namespace zelvo::duedates {

namespace {

std::vector<std::string> kindsOf(Book book) {
    if (InfoOf(book).suppliers) {
        return {chart::kSupplier, "ag"};
    }
    return {chart::kCustomer};
}

}  // namespace

bool PartyOfBook(Session& session, Book book, const std::string& name, std::string& number) {
    number.clear();
    if (name.empty()) {
        return true;
    }
    auto item = chart::ByDescription(session.archives(), name);
    if (!item) {
        return false;
    }
    for (const std::string& kind : kindsOf(book)) {
        if (item->kind == kind) {
            number = item->number;
            return true;
        }
    }
    return false;
}

std::vector<std::string> PartySuggestions(Session& session, Book book, const std::string& typed,
                                          bool full) {
    return chart::AccountSuggestions(session.archives(), session.values(), typed, kindsOf(book),
                                     full);
}

}  // namespace zelvo::duedates
