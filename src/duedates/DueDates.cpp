#include "duedates/DueDates.h"

#include <cmath>

#include "base/DateText.h"
#include "base/NumberText.h"
#include "duedates/DueDateFields.h"
#include "masterdata/Chart.h"
#include "masterdata/ChartFields.h"
#include "masterdata/Counters.h"
#include "masterdata/PaymentTermsFields.h"

namespace zelvo {

namespace {

constexpr int kTermsOpen = 21;
constexpr int kTermsClose = 40;
constexpr int kWritePosition = 901;

void nextMonth(int& m, int& y) {
    if (++m > 12) {
        m -= 12;
        ++y;
    }
}

std::string pad(int v, const char* mask) {
    return Format(v, mask);
}

}  // namespace

std::vector<Instalment> SplitInstalments(const InstalmentTerms& t, double total,
                                         const std::string& invoiceDate) {
    std::vector<Instalment> out;
    const int n = t.instalmentCount;
    if (n <= 0) {
        out.push_back({total, invoiceDate});
        return out;
    }
    const double share = std::floor(total / n);
    int y = WholeVal(invoiceDate.substr(0, 4));
    int m = WholeVal(invoiceDate.substr(4, 2));
    int d = WholeVal(invoiceDate.substr(6, 2));
    m += t.firstInstalmentMonths;
    while (m > 12) {
        m -= 12;
        ++y;
    }
    for (int i = 1; i <= n; ++i) {
        if (t.skipAugust == 1 && m == 8) {
            m = 9;
        }
        if (t.dueDayRule == 30) {
            d = 31;
            if (m == 2) {
                d = IsLeapYear(y) ? 29 : 28;
            } else if (m == 4 || m == 6 || m == 9 || m == 11) {
                d = 30;
            }
        }
        if (t.dueDayRule == 10 || t.dueDayRule == 15 || t.dueDayRule == 20) {
            if (d > t.dueDayRule) {
                nextMonth(m, y);
            }
            d = t.dueDayRule;
        }
        if (m == 8 && t.augustRule == 1) {
            d = 31;
        }
        if (t.augustRule == 2) {
            if (m == 8) {
                m = 9;
                d = 15;
            }
            if (m == 12) {
                m = 1;
                ++y;
                d = 15;
            }
        }
        // The day written never runs past the month; the working day stays as the rules
        // left it for the next instalment.
        int written = d;
        if ((m == 4 || m == 6 || m == 9 || m == 11) && d == 31) {
            written = 30;
        } else if (m == 2 && d >= 29) {
            written = IsLeapYear(y) ? 29 : 28;
        }
        double amount = share + (i == 1 ? total - n * share : 0);
        out.push_back({amount, pad(y, "0000") + pad(m, "00") + pad(written, "00")});
        nextMonth(m, y);
    }
    return out;
}

void GenerateDueDates(Session& session, const std::string& partyName, double invoiceTotal,
                      const std::string& invoiceNumber, const std::string& invoiceDate) {
    Archives& a = session.archives();
    auto party = chart::ByDescription(a, partyName);
    if (!party) {
        return;
    }
    const std::string termsName = a.readBuffer(arc::kPc).text(chart::kPaymentTerms);
    if (termsName.empty()) {
        return;
    }
    if (!a.open(arc::kCpag, kTermsOpen)) {
        return;
    }
    bool found = a.getIdentical(arc::kCpag, terms::kDescription, termsName) == 0;
    isam::Record termsRecord = a.readBuffer(arc::kCpag);
    a.close(arc::kCpag, kTermsClose);
    if (!found) {
        session.dialogs().message(
            "La condizione di pagamento " + termsName + " non risulta più registrata", "Errore",
            Icon::Exclamation);
        return;
    }
    std::string type = termsRecord.text(terms::kTermsType);
    if (type.empty()) {
        return;
    }
    InstalmentTerms t;
    t.instalmentCount = static_cast<int>(termsRecord.number(terms::kInstalmentCount));
    t.firstInstalmentMonths = static_cast<int>(termsRecord.number(terms::kFirstInstalmentMonths));
    t.dueDayRule = static_cast<int>(termsRecord.number(terms::kDueDayRule));
    t.augustRule = static_cast<int>(termsRecord.number(terms::kAugustRule));
    t.skipAugust = static_cast<int>(termsRecord.number(terms::kSkipAugust));
    if (invoiceTotal < 0) {
        // A negative total (a credit) is one direct remittance at sight.
        t = InstalmentTerms{};
        type = "rd";
    }
    int archive = 0;
    const char* counter = nullptr;
    if (party->kind == chart::kCustomer && type == "rd") {
        archive = arc::kSd;
        counter = "scaclird";
    } else if (party->kind == chart::kCustomer && type == "rb") {
        archive = arc::kSt;
        counter = "scaclitr";
    } else if (party->kind == chart::kSupplier || party->kind == "ag") {
        archive = arc::kSf;
        counter = "scafornrd";
    } else {
        return;
    }
    if (!a.open(archive)) {
        return;
    }
    for (const Instalment& i : SplitInstalments(t, invoiceTotal, invoiceDate)) {
        std::int32_t n = NextLockedNumber(a, counter);
        if (n == 0) {
            continue;
        }
        a.clearWriteBuffer(archive);
        isam::Record& r = a.writeBuffer(archive);
        r.setText(duef::kInvoiceNumber, invoiceNumber);
        r.setText(duef::kInvoiceDate, invoiceDate);
        r.setText(duef::kPartyNumber, party->number);
        r.setNumber(duef::kAmount, i.amount);
        r.setText(duef::kDueDate, i.dueDate);
        if (archive != arc::kSt) {
            r.setText(duef::kPartyDueKey, party->number + i.dueDate);
        }
        if (archive == arc::kSf) {
            r.setText(duef::kPaymentType, type);
        }
        if (a.putReported(archive, Format(n, "00000000"), isam::mode::kAdd, kWritePosition) == 0) {
            a.flush(archive);
        }
    }
    a.close(archive);
}

}  // namespace zelvo
