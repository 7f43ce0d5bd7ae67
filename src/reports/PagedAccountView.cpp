#include "reports/PagedAccountView.h"

#include "base/NumberText.h"
#include "posting/JournalFields.h"

namespace zelvo {

namespace {
constexpr int kViewRead = 6311;
constexpr const char* kBalanceMask = "##,###,###,##0";
}  // namespace

PagedAccountView::PagedAccountView(Session& session, FormSpec layout)
    : ScreenLogic(session, std::move(layout)) {
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

void PagedAccountView::addListControls(FormSpec& f, const std::string& heading, int row) {
    f.label(kHeading, heading, row).columnSpan = 4;
    f.list(kRows, "", row + 1).columnSpan = 4;
    f.label("Label2", "Saldo iniz.:", row + 2, 0);
    f.label(kOpening, "", row + 2, 1);
    f.label("Label4", "Prog. dare:", row + 3, 0);
    f.label(kDebit, "", row + 3, 1);
    f.label("Label6", "Prog. avere:", row + 4, 0);
    f.label(kCredit, "", row + 4, 1);
    f.label("Label8", "Saldo finale:", row + 5, 0);
    f.label(kClosing, "", row + 5, 1);
    f.button(kPrevious, "&Indietro", row + 6, 0);
    f.button(kNext, "&Avanti", row + 6, 1, {.isDefault = true});
    f.button(kClose, "&Chiudi", row + 6, 2, {.isCancel = true});
}

void PagedAccountView::load() {
    archives().open(arc::kMc);
    m_year = ReadCardYear(archives(), session().values().year);
    clear();
}

void PagedAccountView::unload() {
    archives().close(arc::kMc);
}

void PagedAccountView::clear() {
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

void PagedAccountView::show(const std::string& from) {
    clear();
    auto item = chart::ByDescription(archives(), text(kAccount));
    if (!item || !accept(*item)) {
        return;
    }
    m_account = item->number;
    m_opening = item->openingBalance;
    form().setText(kOpening, Format(item->openingBalance, kBalanceMask));
    form().setText(kDebit, Format(item->progressiveDebit, kBalanceMask));
    form().setText(kCredit, Format(item->progressiveCredit, kBalanceMask));
    form().setText(kClosing, Format(item->closingBalance, kBalanceMask));
    // The first row's balance already holds every listed movement of the year before it:
    // those are read once, as the card opens, and only added up.
    CardBalance balance(m_year, m_opening);
    PageStart start;
    if (!from.empty()) {
        ForEachAccountMovement(archives(), m_account, "", "", kViewRead,
                               [&](const std::string& line, const isam::Record& row) {
                                   if (row.text(mcf::kRegDate) >= from) {
                                       return false;
                                   }
                                   start.date = row.text(mcf::kRegDate);
                                   start.line = line;
                                   if (listed(row)) {
                                       balance.add(row);
                                   }
                                   return true;
                               });
    }
    start.balance = balance.balance();
    start.openingTaken = balance.openingTaken();
    m_pages.push_back(start);
    showPage();
}

void PagedAccountView::showPage() {
    const PageStart start = m_pages.back();
    CardBalance balance(m_year, m_opening, start.balance, start.openingTaken);
    std::vector<std::string> rows;
    m_more = false;
    ForEachAccountMovement(archives(), m_account, start.date, start.line, kViewRead,
                           [&](const std::string& line, const isam::Record& row) {
                               if (!listed(row)) {
                                   return true;
                               }
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
