#include "posting/PostingEngine.h"

#include <algorithm>
#include <optional>

#include "archive/RecordLock.h"
#include "base/DateText.h"
#include "base/NumberText.h"
#include "masterdata/Counters.h"
#include "posting/JournalFields.h"
#include "posting/PostToAccount.h"

namespace zelvo {

namespace {

// Report positions of the posting core.
constexpr int kLineWrite = 721;
constexpr int kRecordWrite = 722;
constexpr int kRegistrationLock = 723;
constexpr int kCommit = 724;
constexpr int kLineRead = 725;
constexpr int kLineDelete = 726;
constexpr int kDetailDelete = 727;

// A movement line of the registration `regNumber`, as the write buffer takes it.
void FillLine(isam::Record& r, const JournalEntry& e, const JournalLine& l,
              std::int32_t regNumber) {
    const std::string regDate = ToKeyDate(e.regDate);
    const std::string docDate = e.docDate.empty() ? std::string() : ToKeyDate(e.docDate);
    const std::string docNumber = PadNumber(e.docNumber, 6);
    const std::string protocol = e.protocol.empty() ? std::string() : PadNumber(e.protocol, 5);
    const bool referred = !l.refNumber.empty();
    const std::string lineDocNumber = referred ? PadNumber(l.refNumber, 6) : docNumber;
    const std::string lineDocDate = referred ? ToKeyDate(l.refDate) : docDate;
    r.setText(mcf::kRegDate, regDate);
    r.setText(mcf::kDocNumber, l.refFields ? lineDocNumber : docNumber);
    r.setText(mcf::kDocDate, l.refFields ? lineDocDate : docDate);
    r.setText(mcf::kProtocol, protocol);
    r.setText(mcf::kAccount, l.account);
    r.setNumber(mcf::kDebit, l.debit);
    r.setNumber(mcf::kCredit, l.credit);
    r.setText(mcf::kRegNumber, std::to_string(regNumber));
    r.setText(mcf::kDescription, l.description);
    r.setText(mcf::kAccountDocKey, l.account + lineDocDate + lineDocNumber);
    r.setText(mcf::kAccountDateKey, l.account + regDate);
    r.setText(mcf::kDateDocKey, regDate + (protocol.empty() ? docNumber : protocol));
    r.setText(mcf::kCausal, e.causal);
    r.setText(mcf::kVatSection, e.vatSection);
    r.setNumber(mcf::kOriginFlag, 0);
}

}  // namespace

std::string PadNumber(const std::string& text, size_t width) {
    return text.size() >= width ? text : std::string(width - text.size(), '0') + text;
}

PostingEngine::PostingEngine(Session& session) : m_session(session) {}

std::int32_t PostingEngine::post(const JournalEntry& entry) {
    return asRegistration([&] { return write(entry); });
}

std::int32_t PostingEngine::replace(const std::string& oldRegNumber,
                                    const std::vector<PostedLine>& loaded,
                                    const JournalEntry& entry,
                                    const std::function<void()>& removeOthers) {
    return revise(oldRegNumber, loaded, &entry, removeOthers);
}

bool PostingEngine::annul(const std::string& regNumber, const std::vector<PostedLine>& loaded,
                          const std::function<void()>& removeOthers) {
    return revise(regNumber, loaded, nullptr, removeOthers) != 0;
}

std::int32_t PostingEngine::revise(const std::string& oldRegNumber,
                                   const std::vector<PostedLine>& loaded, const JournalEntry* entry,
                                   const std::function<void()>& removeOthers) {
    bool changedElsewhere = false;
    const std::int32_t number = asRegistration([&]() -> std::int32_t {
        // The lock is taken before the old registration is read, so that no other station
        // changes it between the comparison and the removal, or sees it half removed.
        RecordLock registration(m_session.archives(), arc::kPr, "mc", kRegistrationLock);
        if (!registration.held()) {
            return 0;
        }
        // Revised or annulled meanwhile: the operator's revision rests on lines that are gone.
        if (loaded.empty() || lines(oldRegNumber) != loaded) {
            changedElsewhere = true;
            return 0;
        }
        remove(oldRegNumber);
        if (removeOthers) {
            removeOthers();
        }
        return entry != nullptr ? write(*entry) : 1;
    });
    if (changedElsewhere) {
        // Told once the transaction is over: the operator's reading keeps nobody waiting.
        Dialogs& d = m_session.dialogs();
        d.beep();
        d.message(
            entry != nullptr
                ? "La registrazione è stata modificata o annullata da un'altra postazione: la "
                  "revisione non è stata registrata."
                : "La registrazione è stata modificata o annullata da un'altra postazione: "
                  "l'annullamento non è stato effettuato.",
            "Attenzione", Icon::Exclamation);
    }
    return number;
}

std::int32_t PostingEngine::asRegistration(const std::function<std::int32_t()>& work) {
    Archives& a = m_session.archives();
    Registration tx(a, arc::kMc);
    if (tx.status() != 0) {
        a.setStatus(tx.status());
        a.report(opn::kWrite, arc::kMc, kCommit);
        return 0;
    }
    const std::int32_t number = work();
    if (tx.commit() != 0) {
        a.report(opn::kWrite, arc::kMc, kCommit);
        return 0;
    }
    return number;
}

std::int32_t PostingEngine::write(const JournalEntry& e) {
    Archives& a = m_session.archives();
    RecordLock registration(a, arc::kPr, "mc", kRegistrationLock);
    if (!registration.held()) {
        return 0;
    }

    std::int32_t regNumber = 0;
    for (const JournalLine& l : e.lines) {
        std::int32_t n = NextNumber(a, "mc");
        if (n == 0) {
            continue;
        }
        if (regNumber == 0) {
            regNumber = n;
        }
        a.clearWriteBuffer(arc::kMc);
        FillLine(a.writeBuffer(arc::kMc), e, l, regNumber);
        if (a.putReported(arc::kMc, Format(n, "00000000"), isam::mode::kAdd, kLineWrite) == 0) {
            a.flush(arc::kMc);
        }
        PostToAccount(a, l.account, l.debit, l.credit);
    }
    auto writeNumbered = [&a](const NumberedRecord& nr, const std::string& regNo) {
        std::int32_t n = NextNumber(a, nr.counter);
        if (n == 0) {
            return;
        }
        a.writeBuffer(nr.archive) = nr.record;
        if (!regNo.empty()) {
            a.writeBuffer(nr.archive).setText(ttf::kRegNumber, regNo);
        }
        if (a.putReported(nr.archive, Str(n), isam::mode::kAdd, kRecordWrite) == 0) {
            a.flush(nr.archive);
        }
    };
    for (const NumberedRecord& v : e.vatRows) {
        writeNumbered(v, {});
    }
    for (const NumberedRecord& d : e.detailRows) {
        writeNumbered(d, std::to_string(regNumber));
    }
    registration.release();
    if (e.afterLines) {
        e.afterLines();
    }
    return regNumber;
}

std::vector<PostingEngine::PostedLine> PostingEngine::lines(const std::string& regNumber) {
    Archives& a = m_session.archives();
    std::vector<PostedLine> out;
    std::int16_t s = a.get(arc::kMc, mcf::kRegNumber, isam::op::kFind, regNumber);
    while (s == 0 && a.readBuffer(arc::kMc).text(mcf::kRegNumber) == regNumber) {
        out.push_back({a.primaryKey(arc::kMc), a.readBuffer(arc::kMc)});
        s = a.get(arc::kMc, mcf::kRegNumber, isam::op::kNext, "");
    }
    if (s != 0 && s != isam::status::kNotFound && s != isam::status::kEndOfIndex) {
        a.report(opn::kRead, arc::kMc, kLineRead);
    }
    // The index orders equal registration numbers by line number already; keep it explicit.
    std::sort(out.begin(), out.end(),
              [](const PostedLine& x, const PostedLine& y) { return x.key < y.key; });
    return out;
}

std::vector<isam::Record> PostingEngine::detailRows(const std::string& regNumber) {
    Archives& a = m_session.archives();
    std::vector<std::pair<double, isam::Record>> rows;
    std::int16_t s = a.get(arc::kTt, ttf::kRegNumber, isam::op::kFind, regNumber);
    while (s == 0 && a.readBuffer(arc::kTt).text(ttf::kRegNumber) == regNumber) {
        rows.emplace_back(Val(a.primaryKey(arc::kTt)), a.readBuffer(arc::kTt));
        s = a.get(arc::kTt, ttf::kRegNumber, isam::op::kNext, "");
    }
    // Keys are numbers in text form (" 9", " 10"): their order is the numbers' order.
    std::stable_sort(rows.begin(), rows.end(),
                     [](const auto& x, const auto& y) { return x.first < y.first; });
    std::vector<isam::Record> out;
    for (auto& r : rows) {
        out.push_back(std::move(r.second));
    }
    return out;
}

int PostingEngine::remove(const std::string& regNumber) {
    Archives& a = m_session.archives();
    Registration tx(a, arc::kMc);
    std::optional<RecordLock> registration;
    registration.emplace(a, arc::kPr, "mc", kRegistrationLock);
    if (!registration->held()) {
        tx.commit();
        return 0;
    }
    int removed = 0;
    for (const PostedLine& l : lines(regNumber)) {
        PostToAccount(a, l.record.text(mcf::kAccount), -l.record.number(mcf::kDebit),
                      -l.record.number(mcf::kCredit));
        if (a.remove(arc::kMc, l.key) != 0) {
            a.report(opn::kDelete, arc::kMc, kLineDelete);
        } else {
            ++removed;
        }
    }
    std::vector<std::string> detailKeys;
    std::int16_t s = a.get(arc::kTt, ttf::kRegNumber, isam::op::kFind, regNumber);
    while (s == 0 && a.readBuffer(arc::kTt).text(ttf::kRegNumber) == regNumber) {
        detailKeys.push_back(a.primaryKey(arc::kTt));
        s = a.get(arc::kTt, ttf::kRegNumber, isam::op::kNext, "");
    }
    for (const std::string& key : detailKeys) {
        if (a.remove(arc::kTt, key) != 0) {
            a.report(opn::kDelete, arc::kTt, kDetailDelete);
        }
    }
    registration.reset();
    if (tx.commit() != 0) {
        a.report(opn::kWrite, arc::kMc, kCommit);
    }
    return removed;
}

}  // namespace zelvo
