#include "yearend/OpenItems.h"

#include <unordered_map>
#include <vector>

#include "archive/RecordLock.h"
#include "base/NumberText.h"
#include "masterdata/ChartFields.h"
#include "masterdata/Counters.h"
#include "posting/JournalFields.h"
#include "yearend/OpeningBalances.h"
#include "yearend/YearFields.h"

namespace zelvo {

namespace {

// Report positions of the open-item transfer.
constexpr int kPreviousOpen = 1078;
constexpr int kItemRead = 1079;
constexpr int kLineWrite = 1080;
constexpr int kInstalmentRead = 1081;
constexpr int kInstalmentWrite = 1082;
constexpr int kRegistrationLock = 1083;
constexpr int kPreviousClose = 1084;
constexpr int kYearRecordRead = 1085;
constexpr int kYearRecordWrite = 1086;
constexpr int kCommit = 1087;

// The settling movement of an instalment, and the fields an instalment carries over.
constexpr int kSettlingMovement = 6;
constexpr int kCustomerFields = 8;
constexpr int kSupplierFields = 9;

FormSpec transferForm() {
    using T = OpenItemTransfer;
    FormSpec f;
    f.name = "TRAPA";
    f.title = "Trasferimento partite aperte";
    f.label(T::kWarning, "ATTENZIONE", 0, 0).columnSpan = 2;
    f.label(T::kOnce, "L'operazione può essere effettuata una sola volta", 1, 0).columnSpan = 2;
    f.label(T::kFromLabel, "", 2, 0).columnSpan = 2;
    f.label(T::kToLabel, "", 3, 0).columnSpan = 2;
    f.button(T::kRun, "&Ok", 4, 0);
    f.button(T::kCancel, "&Annulla", 4, 1, {.isCancel = true});
    return f;
}

bool failed(std::int16_t s) {
    return s != 0 && s != isam::status::kEndOfIndex && s != isam::status::kNotFound;
}

// The items whose documents are carried: customers, suppliers and agents.
std::unordered_map<std::string, bool> partyItems(Archives& a) {
    std::unordered_map<std::string, bool> parties;
    if (failed(a.scan(arc::kPc, 0, "", [&](const std::string& key, const isam::Record& r) {
            const std::string& kind = r.text(chart::kKind);
            parties[key] = kind == "c" || kind == "f" || kind == "ag";
            return true;
        }))) {
        a.report(opn::kRead, arc::kPc, kItemRead);
    }
    return parties;
}

// The closing and opening registrations move whole balances, not documents: a customer's
// closing line would otherwise travel as an open item and cancel the documents it closed.
bool yearEndLine(const isam::Record& r) {
    const std::string& causal = r.text(mcf::kCausal);
    return causal == "ce" || causal == "cp" || causal == "ap";
}

// Lines are numbered on from the counter "mc" as they are copied, under the registration
// lock; the counter is moved past them once at the end. False when it cannot be, so that the
// caller gives the whole transfer up rather than leave numbers the counter would hand out again.
class LineCopier {
  public:
    explicit LineCopier(Archives& a) : m_archives(a) {
        if (a.getByKeyReported(arc::kPr, "mc", kLineWrite) == 0) {
            m_next = static_cast<std::int32_t>(a.readBuffer(arc::kPr).number(counter::kValue)) + 1;
            m_first = m_next;
        }
    }
    void copy(const std::vector<isam::Record>& lines) {
        Archives& a = m_archives;
        for (const isam::Record& line : lines) {
            a.writeBuffer(arc::kMc) = line;
            a.writeBuffer(arc::kMc).setText(mcf::kRegNumber, std::to_string(m_next));
            if (m_first != 0 && a.putReported(arc::kMc, Format(m_next, "00000000"),
                                              isam::mode::kAdd, kLineWrite) == 0) {
                ++m_next;
            }
        }
    }
    std::int64_t copied() const { return m_next - m_first; }
    bool finish() {
        return m_first != 0 &&
               (copied() == 0 ||
                ReserveNumbers(m_archives, "mc", static_cast<std::int32_t>(copied())) == m_first);
    }

  private:
    Archives& m_archives;
    std::int32_t m_first = 0;
    std::int32_t m_next = 0;
};

// The open documents of the previous year's journal, group by group in key field 10 order.
bool transferLines(Archives& a, Archives& previous, std::int64_t& copied) {
    const auto parties = partyItems(a);
    LineCopier copier(a);
    std::string group;
    std::vector<isam::Record> lines;
    double balance = 0;
    auto settle = [&] {
        if (balance != 0) {
            copier.copy(lines);
        }
        lines.clear();
        balance = 0;
    };
    const std::int16_t s = previous.scan(
        arc::kMc, mcf::kAccountDocKey, "0", [&](const std::string&, const isam::Record& r) {
            auto party = parties.find(r.text(mcf::kAccount));
            if (party == parties.end() || !party->second || yearEndLine(r)) {
                return true;
            }
            if (r.text(mcf::kAccountDocKey) != group) {
                settle();
                group = r.text(mcf::kAccountDocKey);
            }
            lines.push_back(r);
            balance += r.number(mcf::kDebit) - r.number(mcf::kCredit);
            return true;
        });
    settle();
    if (failed(s)) {
        previous.report(opn::kRead, arc::kMc, kItemRead);
    }
    copied = copier.copied();
    return copier.finish();
}

void transferInstalments(Archives& a, Archives& previous, int archive, const char* counterName,
                         int fields, std::int64_t& copied) {
    if (!previous.open(archive, kPreviousOpen) || !a.open(archive, kPreviousOpen)) {
        return;
    }
    std::vector<isam::Record> open;
    if (failed(previous.scan(archive, 0, "", [&](const std::string&, const isam::Record& r) {
            if (r.text(kSettlingMovement).empty()) {
                open.push_back(r);
            }
            return true;
        }))) {
        previous.report(opn::kRead, archive, kInstalmentRead);
    }
    std::int32_t n =
        open.empty() ? 0 : ReserveNumbers(a, counterName, static_cast<std::int32_t>(open.size()));
    if (n == 0) {
        open.clear();  // reported: nothing numbered, nothing written
    }
    for (const isam::Record& r : open) {
        isam::Record copy = a.blankRecord(archive);
        for (int field = 1; field <= fields; ++field) {
            copy.value(field) = r.value(field);
        }
        a.writeBuffer(archive) = copy;
        if (a.putReported(archive, Format(n, "00000000"), isam::mode::kAdd, kInstalmentWrite) ==
            0) {
            ++copied;
        }
        ++n;
    }
    a.close(archive, kPreviousClose);
    previous.close(archive, kPreviousClose);
}

}  // namespace

TransferResult TransferOpenItems(Session& session) {
    Archives& a = session.archives();
    TransferResult result;
    OtherYearArchives previous(a, PreviousYear(session.values().year));
    if (!previous.open(arc::kMc, kPreviousOpen)) {
        return result;
    }
    {
        Registration tx(a, arc::kMc);
        RecordLock registration(a, arc::kPr, "mc", kRegistrationLock);
        if (tx.status() != 0 || !registration.held()) {
            previous.close(arc::kMc, kPreviousClose);
            return result;
        }
        if (!transferLines(a, previous, result.lines)) {
            previous.close(arc::kMc, kPreviousClose);
            result.lines = 0;
            return result;  // rolled back: nothing of the transfer stays
        }
        transferInstalments(a, previous, arc::kSd, "scaclird", kCustomerFields, result.instalments);
        transferInstalments(a, previous, arc::kSf, "scafornrd", kSupplierFields,
                            result.instalments);
        registration.release();
        a.update(
            arc::kCt, yearrec::kKey,
            [](isam::Record& r) { r.setText(yearrec::kOpenItemsMoved, yearrec::kDone); },
            kYearRecordRead, kYearRecordWrite);
        result.done = tx.commit() == 0;
        if (!result.done) {
            a.report(opn::kWrite, arc::kMc, kCommit);
        }
    }
    previous.close(arc::kMc, kPreviousClose);
    return result;
}

OpenItemTransfer::OpenItemTransfer(Session& session) : ScreenLogic(session, transferForm()) {
    on(Event::Click, kRun, [this] { run(); });
    on(Event::Click, kCancel, [this] { requestClose(); });
}

void OpenItemTransfer::load() {
    const std::string& year = session().values().year;
    form().setText(kFromLabel, "Trasferimento partite aperte dall'anno " + PreviousYear(year));
    form().setText(kToLabel, "all'anno " + year);
    archives().open(arc::kMc);
}

void OpenItemTransfer::unload() {
    archives().close(arc::kMc);
}

void OpenItemTransfer::run() {
    Archives& a = archives();
    if (!PreviousYearPresent(session())) {
        return;
    }
    if (a.getByKeyReported(arc::kCt, yearrec::kKey, kYearRecordRead) != 0) {
        return;
    }
    if (a.readBuffer(arc::kCt).text(yearrec::kOpenItemsMoved) == yearrec::kDone) {
        dialogs().message("Operazione già effettuata", "Errore", Icon::Exclamation);
        return;
    }
    {
        BusyCursor busy(session().host());
        TransferOpenItems(session());
    }
    requestClose();
}

}  // namespace zelvo
