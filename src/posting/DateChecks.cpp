#include "posting/DateChecks.h"

#include "base/DateText.h"
#include "base/NumberText.h"
#include "posting/JournalFields.h"

namespace zelvo {

namespace {

constexpr int kCountersReadPosition = 701;

void refuse(Session& session) {
    session.dialogs().beep();
    session.dialogs().message("La data inserita non è valida", "Errore", Icon::Exclamation);
}

bool allDigits(const std::string& s) {
    for (char c : s) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    return !s.empty();
}

}  // namespace

bool IsValidDateText(const std::string& text, int minYear, int maxYear) {
    if (text.size() != 10 || text.find('_') != std::string::npos || text[2] != '/' ||
        text[5] != '/') {
        return false;
    }
    std::string d = text.substr(0, 2), m = text.substr(3, 2), y = text.substr(6, 4);
    if (!allDigits(d) || !allDigits(m) || !allDigits(y)) {
        return false;
    }
    const int day = WholeVal(d), month = WholeVal(m), year = WholeVal(y);
    return year >= minYear && year <= maxYear && IsValidDay(day, month, year);
}

void ClearEmptyDate(std::string& text) {
    if (IsEmptyDateMask(text) || Val(text) == 0) {
        text.clear();
    }
}

bool CheckRegistrationDate(Session& session, std::string& text) {
    ClearEmptyDate(text);
    int year = WholeVal(session.values().year);
    if (!IsValidDateText(text, year, year)) {
        refuse(session);
        return false;
    }
    return true;
}

bool CheckDocumentDate(Session& session, std::string& text) {
    ClearEmptyDate(text);
    if (!IsValidDateText(text, 1950, 2050)) {
        refuse(session);
        return false;
    }
    return true;
}

void CheckJournalPrinted(Session& session, const std::string& regDate) {
    Archives& a = session.archives();
    if (a.getByKey(arc::kPr, "giornale") != 0) {
        a.report(opn::kRead, arc::kPr, kCountersReadPosition);
        return;
    }
    const std::string printed = a.readBuffer(arc::kPr).text(prf::kText);
    if (!printed.empty() && ToKeyDate(regDate) <= printed) {
        session.dialogs().beep();
        session.dialogs().message(
            "Il giornale di contabilità è stato stampato al " + ShownDate(printed), "ATTENZIONE",
            Icon::Exclamation);
    }
}

void CheckPurchaseRegisterPrinted(Session& session, const std::string& regDate,
                                  const std::string& section) {
    Archives& a = session.archives();
    if (a.getByKey(arc::kPr, "regia" + section) != 0) {
        a.report(opn::kRead, arc::kPr, kCountersReadPosition + 1);
        return;
    }
    const std::string printed = a.readBuffer(arc::kPr).text(prf::kText);
    const std::string month = regDate.size() >= 5 ? regDate.substr(3, 2) : std::string();
    if (!printed.empty() && printed >= month) {
        int m = WholeVal(printed);
        std::string name =
            m >= 1 && m <= 12 ? session.values().monthNames[static_cast<size_t>(m)] : printed;
        session.dialogs().beep();
        session.dialogs().message("Il registro iva acquisti è stato stampato al mese di " + name,
                                  "ATTENZIONE", Icon::Exclamation);
    }
}

}  // namespace zelvo
