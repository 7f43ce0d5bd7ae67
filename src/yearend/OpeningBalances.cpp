#include "yearend/OpeningBalances.h"

#include <cstdlib>
#include <vector>

#include "masterdata/ChartFields.h"
#include "yearend/YearFields.h"

namespace zelvo {

namespace {

// Report positions of the opening-balance update.
constexpr int kPreviousOpen = 1141;
constexpr int kPreviousRead = 1142;
constexpr int kPreviousClose = 1143;
constexpr int kItemRead = 1144;
constexpr int kItemWrite = 1145;
constexpr int kYearRecordRead = 1146;

FormSpec updateForm() {
    using U = OpeningBalanceUpdate;
    FormSpec f;
    f.name = "agg";
    f.title = "Aggiornamento saldi iniziali";
    f.label(U::kFromLabel, "", 0, 0).columnSpan = 2;
    f.label(U::kToLabel, "", 1, 0).columnSpan = 2;
    f.button(U::kRun, "&Ok", 2, 0);
    f.button(U::kCancel, "&Annulla", 2, 1, {.isCancel = true});
    return f;
}

struct Carried {
    std::string item;
    double closing = 0;
};

// The balance-sheet items of the previous year with their closing balances.
std::vector<Carried> previousBalances(Session& session, const std::string& year) {
    OtherYearArchives previous(session.archives(), year);
    std::vector<Carried> out;
    if (!previous.open(arc::kPc, kPreviousOpen)) {
        return out;
    }
    const std::int16_t s =
        previous.scan(arc::kPc, 0, "", [&](const std::string& key, const isam::Record& r) {
            if (r.text(chart::kNature) == "p") {
                out.push_back({key, r.number(chart::kClosingBalance)});
            }
            return true;
        });
    if (s != 0 && s != isam::status::kEndOfIndex && s != isam::status::kNotFound) {
        previous.report(opn::kRead, arc::kPc, kPreviousRead);
    }
    previous.close(arc::kPc, kPreviousClose);
    return out;
}

}  // namespace

std::string PreviousYear(const std::string& year) {
    return std::to_string(std::atoi(year.c_str()) - 1);
}

OtherYearArchives::OtherYearArchives(Archives& current, const std::string& year)
    : Archives(current.recordManager(), current.dialogs()) {
    setDataDirectory(current.dataDirectory());
    setCompany(current.company());
    setYear(year);
}

bool PreviousYearPresent(Session& session) {
    Archives& a = session.archives();
    const std::string previous = PreviousYear(session.values().year);
    if (a.exists(a.fileName(arc::kCt, session.values().companyCode, previous))) {
        return true;
    }
    session.dialogs().message("Archivi anno precedente non presenti", "Errore", Icon::Exclamation);
    return false;
}

int RefreshOpeningBalances(Session& session) {
    Archives& a = session.archives();
    const std::vector<Carried> carried =
        previousBalances(session, PreviousYear(session.values().year));
    // One commit for the whole chart: the items' own updates nest in it.
    Registration tx(a, arc::kPc);
    int changed = 0;
    std::vector<std::string> missing;
    for (const Carried& c : carried) {
        if (a.getByKey(arc::kPc, c.item) != 0) {
            missing.push_back(c.item);
            continue;
        }
        const std::int16_t s = a.update(
            arc::kPc, c.item,
            [&c](isam::Record& r) {
                r.setNumber(chart::kOpeningBalance, c.closing);
                r.setNumber(chart::kClosingBalance, c.closing + r.number(chart::kProgressiveDebit) -
                                                        r.number(chart::kProgressiveCredit));
            },
            kItemRead, kItemWrite);
        changed += s == 0 ? 1 : 0;
    }
    if (tx.status() == 0 && tx.commit() != 0) {
        a.report(opn::kWrite, arc::kPc, kItemWrite);
        changed = 0;
    }
    // Told once the transaction is over: the operator's reading keeps no station waiting.
    for (const std::string& item : missing) {
        session.dialogs().message("Il conto " + item + " non è registrato", "ATTENZIONE",
                                  Icon::Exclamation);
    }
    return changed;
}

OpeningBalanceUpdate::OpeningBalanceUpdate(Session& session) : ScreenLogic(session, updateForm()) {
    on(Event::Click, kRun, [this] { run(); });
    on(Event::Click, kCancel, [this] { requestClose(); });
}

void OpeningBalanceUpdate::load() {
    const std::string& year = session().values().year;
    form().setText(kFromLabel, "Aggiornamento saldi dall'anno " + PreviousYear(year));
    form().setText(kToLabel, "all'anno " + year);
}

void OpeningBalanceUpdate::run() {
    Archives& a = archives();
    if (!PreviousYearPresent(session())) {
        return;
    }
    if (a.getByKeyReported(arc::kCt, yearrec::kKey, kYearRecordRead) != 0) {
        return;
    }
    if (a.readBuffer(arc::kCt).text(yearrec::kOpeningPosted) == yearrec::kDone) {
        dialogs().message("Operazione non effettuabile. Bilancio apertura già effettuato.",
                          "Errore", Icon::Exclamation);
        return;
    }
    {
        BusyCursor busy(session().host());
        RefreshOpeningBalances(session());
    }
    requestClose();
}

}  // namespace zelvo
