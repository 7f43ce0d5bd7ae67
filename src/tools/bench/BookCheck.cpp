#include "tools/bench/BookCheck.h"

#include <fstream>
#include <map>
#include <sstream>

#include "archive/Archives.h"
#include "archive/DirectoryCheck.h"
#include "base/DateText.h"
#include "base/NumberText.h"
#include "duedates/DueDateFields.h"
#include "posting/JournalFields.h"
#include "yearend/RunningTotals.h"

namespace zelvo::bench {

namespace {

using Record = isam::Record;

// Every record of an archive in primary-key order, with its key.
std::vector<std::pair<std::string, Record>> All(Archives& a, int archive) {
    std::vector<std::pair<std::string, Record>> out;
    const bool wasOpen = a.isOpen(archive);
    if (!wasOpen && !a.open(archive)) {
        return out;
    }
    a.bof(archive, 0);
    while (a.get(archive, 0, isam::op::kNext, "") == 0) {
        out.emplace_back(a.primaryKey(archive), a.readBuffer(archive));
    }
    if (!wasOpen) {
        a.close(archive);
    }
    return out;
}

std::string Five(const std::string& number) {
    return Format(Val(number), "00000");
}

// The register keeps the last five digits of a six-digit document number.
std::string LastFive(const std::string& docNumber) {
    const std::string padded = PadNumber(docNumber, 6);
    return padded.substr(padded.size() - 5);
}

// The journal of the year, grouped by registration, and everything the registrations
// write elsewhere, matched to them by the records' keys.
class Books {
  public:
    Books(Archives& a, const Removals& removed, BookFindings& f)
        : m_a(a), m_removed(removed), m_f(f) {}

    void check() {
        for (const auto& [key, r] : All(m_a, arc::kMc)) {
            m_registrations[r.text(mcf::kRegNumber)].emplace_back(
                static_cast<std::int32_t>(Val(key)), r);
        }
        for (const auto& [key, r] : All(m_a, arc::kTt)) {
            ++m_detail[r.text(ttf::kRegNumber)];
        }
        index(arc::kIv, ivf::kSectionNumberKey, ivf::kAccount, ivf::kRegDateText);
        index(arc::kIa, iaf::kSectionProtocolKey, iaf::kAccount, iaf::kRegDateText);
        index(arc::kIc, icf::kSectionNumberKey, 0, 0);
        // A customer's instalments are in "sd", or in "st" when collected by bank receipt.
        for (int archive : {arc::kSd, arc::kSt, arc::kSf}) {
            for (const auto& [key, r] : All(m_a, archive)) {
                m_dues[{archive == arc::kSf ? arc::kSf : arc::kSd,
                        r.text(duef::kPartyNumber) + "|" + r.text(duef::kInvoiceDate) + "|" +
                            r.text(duef::kInvoiceNumber)}] += r.number(duef::kAmount);
            }
        }
        m_f.registrations = static_cast<std::int64_t>(m_registrations.size());
        for (const auto& [number, lines] : m_registrations) {
            registration(number, lines);
        }
        leftovers();
        numbering();
    }

  private:
    using Lines = std::vector<std::pair<std::int32_t, Record>>;

    void note(std::int64_t& counter, const std::string& what) {
        ++counter;
        if (m_f.notes.size() < 20) {
            m_f.notes.push_back(what);
        }
    }

    // VAT rows by their section key, each with the party and registration date it names.
    void index(int archive, int keyField, int accountField, int regDateField) {
        for (const auto& [key, r] : All(m_a, archive)) {
            m_vat[archive].insert(
                {r.text(keyField),
                 {accountField != 0 ? r.text(accountField) : std::string(),
                  regDateField != 0 ? r.text(regDateField) : std::string(), false}});
        }
    }

    // The VAT rows of a document: by section key, and for sales and purchases also by party
    // and registration date (a credit note may share its number with an invoice).
    int vatRows(int archive, const std::string& key, const std::string& party,
                const std::string& regDate, const std::string& number) {
        int n = 0;
        auto [from, to] = m_vat[archive].equal_range(key);
        for (auto it = from; it != to; ++it) {
            VatRow& row = it->second;
            if (archive == arc::kIc || (row.party == party && row.regDate == regDate)) {
                ++n;
                if (row.used) {
                    note(m_f.numbering, "register row " + key + " claimed twice, by " + number);
                }
                row.used = true;
            }
        }
        return n;
    }

    void registration(const std::string& number, const Lines& lines) {
        const Record& first = lines.front().second;
        const std::string causal = first.text(mcf::kCausal);
        const std::string what = "registration " + number + " (" + causal + ")";
        double debit = 0;
        double credit = 0;
        for (size_t i = 0; i < lines.size(); ++i) {
            if (lines[i].first != static_cast<std::int32_t>(Val(number)) + static_cast<int>(i)) {
                note(m_f.partial, what + ": its lines are not consecutive");
            }
            debit += lines[i].second.number(mcf::kDebit);
            credit += lines[i].second.number(mcf::kCredit);
        }
        if (debit != credit) {
            note(m_f.partial, what + ": does not balance");
        }
        const int details = m_detail[number];
        m_claimedDetail.insert(number);
        if (details == 0) {
            note(m_f.partial, what + ": no detail rows");
        }
        if (causal == "mg" && details != static_cast<int>(lines.size())) {
            note(m_f.partial, what + ": " + std::to_string(details) + " detail rows");
        }
        const int archive = causal == "fv" || causal == "cv"   ? arc::kIv
                            : causal == "fa" || causal == "ca" ? arc::kIa
                            : causal == "co"                   ? arc::kIc
                                                               : 0;
        if (archive == 0) {
            return;
        }
        const std::string section = first.text(mcf::kVatSection);
        const std::string key =
            section + (archive == arc::kIa ? Five(first.text(mcf::kProtocol))
                                           : LastFive(first.text(mcf::kDocNumber)));
        const int rows = vatRows(archive, key, first.text(mcf::kAccount),
                                 ShownDate(first.text(mcf::kRegDate)), number);
        if (rows != details) {
            note(m_f.partial, what + ": " + std::to_string(rows) + " register rows for " +
                                  std::to_string(details) + " detail rows");
        }
        if (archive != arc::kIv) {
            ++(archive == arc::kIa ? m_protocols : m_receipts)[key];
        }
        if (causal == "fv" || causal == "fa") {
            const std::string reference = causal == "fv"
                                              ? section + Five(first.text(mcf::kDocNumber))
                                              : first.text(mcf::kDocNumber);
            const std::pair<int, std::string> due{
                causal == "fv" ? arc::kSd : arc::kSf,
                first.text(mcf::kAccount) + "|" + first.text(mcf::kDocDate) + "|" + reference};
            // The instalments share out the invoice's total.
            const double total = first.number(causal == "fv" ? mcf::kDebit : mcf::kCredit);
            auto found = m_dues.find(due);
            if (found == m_dues.end() || found->second != total) {
                note(m_f.partial, what + ": its due dates do not add up to its total");
            }
            m_claimedDues.insert(due);
        }
    }

    // Records that belong to no registration.
    void leftovers() {
        for (const auto& [number, n] : m_detail) {
            if (n > 0 && m_claimedDetail.count(number) == 0) {
                note(m_f.partial, "detail rows of registration " + number + ", which is gone");
            }
        }
        for (const auto& [archive, rows] : m_vat) {
            for (const auto& [key, row] : rows) {
                if (!row.used) {
                    note(m_f.partial, "register row " + key + " of archive " +
                                          std::to_string(archive) + " without its registration");
                }
            }
        }
        for (const auto& [due, amount] : m_dues) {
            if (m_claimedDues.count(due) == 0) {
                note(m_f.partial, "due dates of " + due.second + " without their invoice");
            }
        }
    }

    std::int32_t counter(const std::string& name) {
        return m_a.getByKey(arc::kPr, name) == 0
                   ? static_cast<std::int32_t>(m_a.readBuffer(arc::kPr).number(prf::kValue))
                   : 0;
    }

    // Every number up to its counter is used once, or was announced as removed.
    void numbering() {
        const std::int32_t last = counter("mc");
        std::set<std::int32_t> present;
        for (const auto& [number, lines] : m_registrations) {
            for (const auto& [line, r] : lines) {
                present.insert(line);
                if (line > last) {
                    note(m_f.numbering, "line " + std::to_string(line) + " beyond the counter");
                }
            }
        }
        for (std::int32_t n = 1; n <= last; ++n) {
            if (present.count(n) == 0 && m_removed.lines.count(n) == 0) {
                note(m_f.numbering, "line number " + std::to_string(n) + " lost");
            }
        }
        sectionNumbers(m_protocols, "prot", m_removed.protocols, "protocol");
        sectionNumbers(m_receipts, "co", m_removed.receipts, "receipt");
    }

    void sectionNumbers(const std::map<std::string, int>& used, const std::string& counterStem,
                        const std::set<std::string>& removed, const std::string& what) {
        for (const auto& [key, n] : used) {
            if (n > 1) {
                note(m_f.numbering,
                     what + " " + key + " used by " + std::to_string(n) + " registrations");
            }
        }
        for (char section = '1'; section <= '9'; ++section) {
            const std::int32_t last = counter(counterStem + section);
            for (std::int32_t p = 1; p <= last; ++p) {
                const std::string key = section + Format(p, "00000");
                if (used.count(key) == 0 && removed.count(key) == 0) {
                    note(m_f.numbering, what + " " + key + " lost");
                }
            }
            for (auto it = used.lower_bound(std::string(1, section));
                 it != used.end() && it->first[0] == section; ++it) {
                if (Val(it->first.substr(1)) > last) {
                    note(m_f.numbering, what + " " + it->first + " beyond its counter");
                }
            }
        }
    }

    struct VatRow {
        std::string party, regDate;
        bool used;
    };

    Archives& m_a;
    const Removals& m_removed;
    BookFindings& m_f;
    std::map<std::string, Lines> m_registrations;
    std::map<std::string, int> m_detail;
    std::set<std::string> m_claimedDetail;
    std::map<int, std::multimap<std::string, VatRow>> m_vat;
    std::map<std::pair<int, std::string>, double> m_dues;
    std::set<std::pair<int, std::string>> m_claimedDues;
    std::map<std::string, int> m_protocols;
    std::map<std::string, int> m_receipts;
};

}  // namespace

std::string AnnouncementLines(const std::vector<PostingEngine::PostedLine>& lines) {
    std::ostringstream out;
    for (const auto& l : lines) {
        out << "L " << static_cast<std::int32_t>(Val(l.key)) << "\n";
    }
    if (!lines.empty()) {
        const Record& r = lines.front().record;
        const std::string causal = r.text(mcf::kCausal);
        if (causal == "fa" || causal == "ca") {
            out << "P " << r.text(mcf::kVatSection) << Five(r.text(mcf::kProtocol)) << "\n";
        } else if (causal == "co") {
            out << "R " << r.text(mcf::kVatSection) << LastFive(r.text(mcf::kDocNumber)) << "\n";
        }
    }
    return out.str();
}

Removals ReadAnnouncements(const std::vector<std::string>& paths) {
    Removals r;
    for (const auto& p : paths) {
        std::ifstream in(p);
        std::string kind;
        std::string value;
        while (in >> kind >> value) {
            if (kind == "L") {
                r.lines.insert(static_cast<std::int32_t>(Val(value)));
            } else {
                (kind == "P" ? r.protocols : r.receipts).insert(value);
            }
        }
    }
    return r;
}

BookFindings CheckBooks(Session& session, const Removals& removed) {
    BookFindings f;
    Archives& a = session.archives();
    Books(a, removed, f).check();
    const RebuildResult rebuilt = RebuildRunningTotals(a, session.values().year);
    f.totalMismatches = rebuilt.rewritten;
    if (!rebuilt.done) {
        f.notes.push_back("the rebuild of the running totals did not run");
        ++f.totalMismatches;
    }
    f.archiveErrors =
        VerifyDirectory(session.values().dataDirectory, [&f](const std::string& line) {
            if (line.rfind("OK", 0) != 0 && f.notes.size() < 20) {
                f.notes.push_back(line);
            }
        });
    return f;
}

}  // namespace zelvo::bench
