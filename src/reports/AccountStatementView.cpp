#include "reports/AccountStatementView.h"

#include "reports/AccountStatement.h"

namespace zelvo {

AccountStatementView::AccountStatementView(Session& session)
    : PagedAccountView(session, viewLayout()) {
    on(Event::Leave, kAccount, [this] { show({}); });
    on(Event::Change, kOpenItems, [this] { show({}); });
    on(Event::Change, kHistory, [this] { show({}); });
}

FormSpec AccountStatementView::viewLayout() {
    FormSpec f;
    f.name = "vec";
    f.title = "Visualizzazione estratto conto";
    f.account(kAccount, "Cliente/Fornitore", 0).columnSpan = 3;
    f.option(kOpenItems, "Partite aperte", "Movimenti", 1, 0);
    f.option(kHistory, "&Storico", "Movimenti", 1, 1);
    addListControls(f, kStatementHeading, 2);
    return f;
}

void AccountStatementView::load() {
    PagedAccountView::load();
    form().setChecked(kOpenItems, true);
}

std::vector<std::string> AccountStatementView::suggestions(const std::string&,
                                                           const std::string& typed, bool full) {
    return chart::AccountSuggestions(archives(), session().values(), typed,
                                     {chart::kCustomer, chart::kSupplier, "ag"}, full);
}

bool AccountStatementView::accept(const chart::Item& item) {
    if (item.kind != chart::kCustomer && item.kind != chart::kSupplier && item.kind != "ag") {
        return false;
    }
    m_openOnly = !form().checked(kHistory);
    m_open.clear();
    return !m_openOnly || OpenDocuments(archives(), item.number, m_open);
}

bool AccountStatementView::listed(const isam::Record& row) {
    return !m_openOnly || m_open.count(DocumentOf(row)) != 0;
}

std::string AccountStatementView::rowText(const isam::Record& row, double balance) {
    return StatementRow(row, CardAmounts(false, 1), balance);
}

}  // namespace zelvo
