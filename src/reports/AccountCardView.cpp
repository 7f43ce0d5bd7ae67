#include "reports/AccountCardView.h"

#include "base/DateText.h"
#include "base/NumberText.h"
#include "base/Utf8.h"
#include "posting/JournalFields.h"

namespace zelvo {

namespace {

constexpr const char* kColumns =
    " Data  N. e Data doc.    Prot. Descrizione movimento                        Dare         "
    "Avere";

std::string shortDate(const std::string& key, int width) {
    // "dd/mm" of the registration, "dd/mm/yy" of the document: the year is the card's own.
    return key.size() == 8 ? ShownDate(key).substr(0, width) : std::string(width, ' ');
}

}  // namespace

AccountCardView::AccountCardView(Session& session)
    : PagedAccountView(session, viewLayout("visched")) {
    handleFields();
}

AccountCardView::AccountCardView(Session& session, std::string description)
    : PagedAccountView(session, viewLayout("visched1")), m_preset(std::move(description)) {
    handleFields();
}

void AccountCardView::handleFields() {
    on(Event::Leave, kAccount, [this] { showFromDate(); });
    on(Event::Leave, kFrom, [this] { showFromDate(); });
}

FormSpec AccountCardView::viewLayout(const std::string& name) {
    FormSpec f;
    f.name = name;
    f.title = "Visualizzazione scheda contabile";
    f.account(kAccount, "Sottoconto:", 0).columnSpan = 3;
    f.date(kFrom, "Dalla data:", 1);
    addListControls(f, kColumns, 2);
    return f;
}

void AccountCardView::load() {
    PagedAccountView::load();
    form().setText(kFrom, session().values().yearStart);
    if (!m_preset.empty()) {
        form().setText(kAccount, m_preset);
        showFromDate();
    }
}

std::vector<std::string> AccountCardView::suggestions(const std::string&, const std::string& typed,
                                                      bool full) {
    return chart::AccountSuggestions(archives(), session().values(), typed, {"s", "c", "f", "ag"},
                                     full);
}

void AccountCardView::showFromDate() {
    const std::string typed = text(kFrom);
    show(IsEmptyDateMask(typed) ? std::string() : ToKeyDate(typed));
}

std::string AccountCardView::cardRow(const isam::Record& row, double balance) {
    const std::string& protocol = row.text(mcf::kProtocol);
    const double number = Val(row.text(mcf::kDocNumber));
    return " " + shortDate(row.text(mcf::kRegDate), 5) +
           PadLeft(number == 0 ? std::string() : Str(number), 7) + " " +
           shortDate(row.text(mcf::kDocDate), 8) +
           PadLeft(Val(protocol) == 0 ? std::string() : Str(Val(protocol)), 8) + " " +
           PadRight(Utf8Left(row.text(mcf::kDescription), 35), 35) +
           PadLeft(Format(row.number(mcf::kDebit), "#,###,###,###"), 14) +
           PadLeft(Format(row.number(mcf::kCredit), "#,###,###,###"), 14) +
           PadLeft(Format(balance, "##,###,###,##0"), 16);
}

}  // namespace zelvo
