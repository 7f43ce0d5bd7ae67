#include "yearend/YearClosing.h"

#include <cmath>

#include "archive/RecordLock.h"
#include "masterdata/Chart.h"
#include "masterdata/ChartFields.h"
#include "posting/DateChecks.h"
#include "yearend/YearFields.h"

namespace zelvo {

namespace {

// Report positions of the closing registrations.
constexpr int kChartScan = 1041;
constexpr int kItemRead = 1042;
constexpr int kRegistrationLock = 1043;
constexpr int kYearRecordRead = 1044;
constexpr int kYearRecordWrite = 1045;
constexpr int kCommit = 1046;
constexpr size_t kMostItems = 10000;

FormSpec closingForm(const ClosingKind& kind) {
    using C = ClosingScreen;
    FormSpec f;
    f.name = kind.screen;
    f.title = kind.title;
    f.date(C::kRegDate, "Data registrazione:", 0);
    f.account(C::kTransit, "Conto transitorio", 1, 30);
    f.text(C::kDocNumber, "N. doc.:", 2, 8, {.allowed = "0123456789", .maxLength = 6});
    f.button(C::kRun, "&Ok", 3, 0);
    f.button(C::kCancel, "&Annulla", 3, 1, {.isCancel = true});
    return f;
}

double balanceOf(const isam::Record& r, const ClosingKind& kind) {
    return r.number(kind.opening ? chart::kOpeningBalance : chart::kClosingBalance);
}

}  // namespace

const ClosingKind& IncomeClosing() {
    static const ClosingKind k{"CHE",
                               "Chiusura conti economici",
                               "e",
                               yearrec::kIncomeClosed,
                               "ce",
                               "Chiusura a profitti e perdite",
                               "Profitti e perdite",
                               false};
    return k;
}

const ClosingKind& BalanceSheetClosing() {
    static const ClosingKind k{"CHP",
                               "Chiusura conti patrimoniali",
                               "p",
                               yearrec::kBalanceClosed,
                               "cp",
                               "Chiusura conto",
                               "Bilancio di chiusura",
                               false};
    return k;
}

const ClosingKind& OpeningEntry() {
    static const ClosingKind k{"BAP", "Bilancio apertura conti patrimoniali",
                               "p",   yearrec::kOpeningPosted,
                               "ap",  "Bilancio apertura",
                               "",    true};
    return k;
}

std::vector<std::string> ItemsToClose(Archives& a, const ClosingKind& kind) {
    std::vector<std::string> items;
    const std::int16_t s = a.scan(
        arc::kPc, chart::kDescription, "", [&](const std::string& key, const isam::Record& r) {
            const std::string& k = r.text(chart::kKind);
            if (k != chart::kMastro && k != chart::kConto &&
                r.text(chart::kNature) == kind.nature && balanceOf(r, kind) != 0) {
                items.push_back(key);
            }
            return items.size() <= kMostItems;
        });
    if (s != 0 && s != isam::status::kEndOfIndex && s != isam::status::kNotFound) {
        a.report(opn::kRead, arc::kPc, kChartScan);
    }
    return items;
}

std::int32_t PostClosing(Session& session, const ClosingKind& kind,
                         const std::vector<std::string>& items, const std::string& transit,
                         const std::string& regDate, const std::string& docNumber) {
    Archives& a = session.archives();
    Registration tx(a, arc::kMc);
    RecordLock registration(a, arc::kPr, "mc", kRegistrationLock);
    if (tx.status() != 0 || !registration.held()) {
        return 0;
    }
    JournalEntry e;
    e.regDate = regDate;
    e.docNumber = docNumber;
    e.docDate = regDate;
    e.causal = kind.causal;
    for (const std::string& item : items) {
        if (a.getByKeyReported(arc::kPc, item, kItemRead) != 0) {
            continue;
        }
        const double balance = balanceOf(a.readBuffer(arc::kPc), kind);
        const double amount = std::fabs(balance);
        // A closing moves the balance out from the other side; the opening puts it back on
        // its own side.
        const bool itemDebit = kind.opening ? balance > 0 : balance < 0;
        e.lines.push_back({item, itemDebit ? amount : 0, itemDebit ? 0 : amount, kind.description});
        e.lines.push_back(
            {transit, itemDebit ? 0 : amount, itemDebit ? amount : 0, kind.description});
    }
    const std::int32_t number = PostingEngine(session).post(e);
    registration.release();
    a.update(
        arc::kCt, yearrec::kKey, [&kind](isam::Record& r) { r.setText(kind.flag, yearrec::kDone); },
        kYearRecordRead, kYearRecordWrite);
    if (tx.commit() != 0) {
        a.report(opn::kWrite, arc::kMc, kCommit);
        return 0;
    }
    return number;
}

ClosingScreen::ClosingScreen(Session& session, const ClosingKind& kind)
    : ScreenLogic(session, closingForm(kind)), m_kind(kind) {
    on(Event::Leave, kRegDate, [this] { leaveDate(); });
    on(Event::Click, kRun, [this] { run(); });
    on(Event::Click, kCancel, [this] { requestClose(); });
}

void ClosingScreen::load() {
    archives().open(arc::kMc);
    archives().open(arc::kTt);
    form().setText(kRegDate, session().values().yearDateMask);
    form().setText(kTransit, m_kind.defaultTransit);
}

void ClosingScreen::unload() {
    archives().close(arc::kTt);
    archives().close(arc::kMc);
}

std::vector<std::string> ClosingScreen::suggestions(const std::string&, const std::string& typed,
                                                    bool full) {
    return chart::AccountSuggestions(archives(), session().values(), typed, {chart::kSottoconto},
                                     full);
}

bool ClosingScreen::leaveDate() {
    std::string date = text(kRegDate);
    if (!CheckRegistrationDate(session(), date)) {
        form().setText(kRegDate, date);
        requestFocus(kRegDate);
        return false;
    }
    CheckJournalPrinted(session(), date);
    return true;
}

void ClosingScreen::run() {
    Archives& a = archives();
    if (a.getByKeyReported(arc::kCt, yearrec::kKey, kYearRecordRead) != 0) {
        return;
    }
    if (a.readBuffer(arc::kCt).text(m_kind.flag) == yearrec::kDone) {
        dialogs().message("Operazione già effettuata", "Errore", Icon::Exclamation);
        return;
    }
    const std::optional<chart::Item> transit = chart::ByDescription(a, text(kTransit));
    if (!transit || transit->kind != chart::kSottoconto) {
        requestFocus(kTransit);
        return;
    }
    if (!leaveDate()) {
        return;
    }
    const std::vector<std::string> items = ItemsToClose(a, m_kind);
    if (!items.empty()) {
        BusyCursor busy(session().host());
        if (PostClosing(session(), m_kind, items, transit->number, text(kRegDate),
                        text(kDocNumber)) == 0) {
            return;
        }
        if (&m_kind == &IncomeClosing()) {
            dialogs().message(
                "L'operazione successiva è la registrazione dell'articolo: Profitti e perdite a "
                "utile/perdita d'esercizio",
                "Zelvo", Icon::Information);
        }
    }
    requestClose();
}

}  // namespace zelvo
