#include "posting/EntryAccounts.h"

#include "posting/DateChecks.h"
#include "session/Form.h"

namespace zelvo {

const std::vector<std::string>& PostableKinds() {
    static const std::vector<std::string> kinds = {"s", "c", "f", "ag"};
    return kinds;
}

std::optional<chart::Item> PostableAccount(Archives& archives, const std::string& name) {
    auto item = chart::ByDescription(archives, name);
    if (!item || item->kind == chart::kMastro || item->kind == chart::kConto) {
        return std::nullopt;
    }
    return item;
}

std::vector<std::string> CellAccountSuggestions(Session& session, const std::string& control,
                                                const std::string& column, const std::string& typed,
                                                bool full) {
    std::string cellColumn;
    int row = 0;
    if (!ParseCell(control, cellColumn, row) || cellColumn != column) {
        return {};
    }
    return chart::AccountSuggestions(session.archives(), session.values(), typed, PostableKinds(),
                                     full);
}

DateFault CheckEntryDates(Session& session, const std::string& regDate, std::string& docDate) {
    std::string reg = regDate;
    if (!CheckRegistrationDate(session, reg)) {
        return DateFault::Registration;
    }
    ClearEmptyDate(docDate);
    if (docDate.empty()) {
        docDate = regDate;
    }
    return CheckDocumentDate(session, docDate) ? DateFault::None : DateFault::Document;
}

}  // namespace zelvo
