#include "reports/AccountCardView.h"

#include "base/DateText.h"
#include "base/NumberText.h"
#include "base/Utf8.h"
#include "posting/JournalFields.h"

namespace zelvo {

namespace {

constexpr int kViewRead = 6311;
constexpr const char* kColumns =
    " Data  N. e Data doc.    Prot. Descrizione movimento                        Dare         "
    "Avere";
constexpr const char* kBalanceMask = "##,###,###,##0";

std::string shortDate(const std::string& key, int width) {
    // "dd/mm" of the registration, "dd/mm/yy" of the document: the year is the card's own.
    return key.size() == 8 ? ShownDate(key).substr(0, width) : std::string(width, ' ');
}

}  // namespace

AccountCardView::AccountCardView(Session& session) : AccountCardView(session, std::string()) {}

AccountCardView::AccountCardView(Session& session, std::string description)
    : ScreenLogic(session, viewLayout(description.empty() ? "visched" : "visched1")),
      m_preset(std::move(description)) {
    on(Event::Leave, kAccount, [this] { show(); });
    on(Event::Leave, kFrom, [this] { show(); });
    on(Event::Click, kNext, [this] {
        if (m_more) {
            m_pages.push_back(m_next);
            showPage();
        }
    });
    on(Event::Click, kPrevious, [this] {
        if (m_pages.size() > 1) {
            m_pages.pop_back();
            showPage();
        }
    });
    on(Event::Click, kClose, [this] { requestClose(); });
}

FormSpec AccountCardView::viewLayout(const std::string& name) {
    FormSpec f;
    f.name = name;
    f.title = "Visualizzazione scheda contabile";
    f.account(kAccount, "Sottoconto:", 0).columnSpan = 3;
    f.date(kFrom, "Dalla data:", 1);
    f.label(kHeading, kColumns, 2).columnSpan = 4;
    f.list(kRows, "", 3).columnSpan = 4;
    f.label("Label2", "Saldo iniz.:", 4, 0);
    f.label(kOpening, "", 4, 1);
    f.label("Label4", "Prog. dare:", 5, 0);
    f.label(kDebit, "", 5, 1);
    f.label("Label6", "Prog. avere:", 6, 0);
    f.label(kCredit, "", 6, 1);
    f.label("Label8", "Saldo finale:", 7, 0);
    f.label(kClosing, "", 7, 1);
    f.button(kPrevious, "&Indietro", 8, 0);
    f.button(kNext, "&Avanti", 8, 1, {.isDefault = true});
    f.button(kClose, "&Chiudi", 8, 2, {.isCancel = true});
    return f;
}

void AccountCardView::load() {
    archives().open(arc::kMc);
    m_year = ReadCardYear(archives(), session().values().year);
    form().setText(kFrom, session().values().yearStart);
    clear();
    if (!m_preset.empty()) {
        form().setText(kAccount, m_preset);
        show();
    }
}

void AccountCardView::unload() {
    archives().close(arc::kMc);
}

std::vector<std::string> AccountCardView::suggestions(const std::string&, const std::string& typed,
                                                      bool full) {
    return chart::AccountSuggestions(archives(), session().values(), typed, {"s", "c", "f", "ag"},
                                     full);
}

std::string AccountCardView::rowText(const isam::Record& row, double balance) {
    const std::string& protocol = row.text(mcf::kProtocol);
    const double number = Val(row.text(mcf::kDocNumber));
    return " " + shortDate(row.text(mcf::kRegDate), 5) +
           PadLeft(number == 0 ? std::string() : Str(number), 7) + " " +
           shortDate(row.text(mcf::kDocDate), 8) +
           PadLeft(Val(protocol) == 0 ? std::string() : Str(Val(protocol)), 8) + " " +
           PadRight(Utf8Left(row.text(mcf::kDescription), 35), 35) +
           PadLeft(Format(row.number(mcf::kDebit), "#,###,###,###"), 14) +
           PadLeft(Format(row.number(mcf::kCredit), "#,###,###,###"), 14) +
           PadLeft(Format(balance, kBalanceMask), 16);
}

void AccountCardView::clear() {
    m_account.clear();
    m_pages.clear();
    m_more = false;
    form().setItems(kRows, {});
    for (const char* label : {kOpening, kDebit, kCredit, kClosing}) {
        form().setText(label, "");
    }
    form().setEnabled(kNext, false);
    form().setEnabled(kPrevious, false);
}

void AccountCardView::show() {
    clear();
    auto item = chart::ByDescription(archives(), text(kAccount));
    if (!item) {
        return;
    }
    m_account = item->number;
    m_opening = item->openingBalance;
    form().setText(kOpening, Format(item->openingBalance, kBalanceMask));
    form().setText(kDebit, Format(item->progressiveDebit, kBalanceMask));
    form().setText(kCredit, Format(item->progressiveCredit, kBalanceMask));
    form().setText(kClosing, Format(item->closingBalance, kBalanceMask));
    const std::string typed = text(kFrom);
    const std::string from = IsEmptyDateMask(typed) ? std::string() : ToKeyDate(typed);
    // The first row's balance already holds every movement of the year before it: those
    // are read once, as the card opens, and only added up.
    CardBalance balance(m_year, m_opening);
    PageStart start;
    ForEachAccountMovement(archives(), m_account, "", "", kViewRead,
                           [&](const std::string& line, const isam::Record& row) {
                               if (row.text(mcf::kRegDate) >= from) {
                                   return false;
                               }
                               start.date = row.text(mcf::kRegDate);
                               start.line = line;
                               balance.add(row);
                               return true;
                           });
    start.balance = balance.balance();
    start.openingTaken = balance.openingTaken();
    m_pages.push_back(start);
    showPage();
}

void AccountCardView::showPage() {
    const PageStart start = m_pages.back();
    CardBalance balance(m_year, m_opening, start.balance, start.openingTaken);
    std::vector<std::string> rows;
    m_more = false;
    ForEachAccountMovement(archives(), m_account, start.date, start.line, kViewRead,
                           [&](const std::string& line, const isam::Record& row) {
                               if (static_cast<int>(rows.size()) == kPageRows) {
                                   m_more = true;
                                   return false;
                               }
                               const double b = balance.add(row);
                               rows.push_back(rowText(row, b));
                               m_next = {row.text(mcf::kRegDate), line, b, balance.openingTaken()};
                               return true;
                           });
    form().setItems(kRows, std::move(rows));
    form().setEnabled(kNext, m_more);
    form().setEnabled(kPrevious, m_pages.size() > 1);
}

}  // namespace zelvo
