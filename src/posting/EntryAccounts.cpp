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

const char* CheckEntryDates(Session& session, FormState& form, const char* regField,
                            const char* docField) {
    std::string regDate = form.text(regField);
    if (!CheckRegistrationDate(session, regDate)) {
        return regField;
    }
    std::string docDate = form.text(docField);
    ClearEmptyDate(docDate);
    if (docDate.empty()) {
        docDate = form.text(regField);
        form.setText(docField, docDate);
    }
    return CheckDocumentDate(session, docDate) ? nullptr : docField;
}

}  // namespace zelvo
