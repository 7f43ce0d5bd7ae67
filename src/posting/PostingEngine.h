#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "isam/Record.h"
#include "session/Session.h"

namespace zelvo {

struct JournalLine {
    std::string account;  // item number of the sub-account
    double debit = 0;
    double credit = 0;
    std::string description;
    // The invoice the line refers to when it is not the registration's own document, its
    // number as typed and its date dd/mm/yyyy: a credit note's party line names it in its
    // account-document key only; a collection's partner lines (`refFields`) also in their
    // document number and date, so that the account card matches them with the invoice.
    std::string refNumber = {};
    std::string refDate = {};
    bool refFields = false;
};

// A record numbered by a counter at posting time (VAT rows by "iv"/"ia"/"ic", detail rows by
// "dati"): its key is the new counter value in the number-to-text form (" 17").
struct NumberedRecord {
    int archive = 0;
    std::string counter;
    isam::Record record;
};

// Everything one confirm button posts.
struct JournalEntry {
    std::string regDate;    // dd/mm/yyyy, as typed
    std::string docNumber;  // as typed; stored left-padded with "0" to 6 digits
    std::string docDate;    // dd/mm/yyyy or empty
    std::string protocol;   // purchase documents: the protocol number; empty otherwise
    std::string causal;     // "mg", "fv", ...
    std::string vatSection;
    std::vector<JournalLine> lines;
    std::vector<NumberedRecord> vatRows;
    // One per grid row; the engine fills their registration number.
    std::vector<NumberedRecord> detailRows;
    // Runs after the registration lock is released and before the registration commits
    // (the due dates of an invoice), so that it lands with the rest or not at all.
    std::function<void()> afterLines;
};

// The posting core every entry screen feeds: the registration lock on "mc", the numbering,
// the movement lines with their running totals, the VAT rows and the detail rows, written in
// that order as one transaction, so that a crash leaves the whole registration or none of it.
// Failures are reported as they happen and the posting goes on, as the operator expects.
class PostingEngine {
  public:
    explicit PostingEngine(Session& session);

    // The registration number (the number of its first line); 0 when nothing could be posted.
    std::int32_t post(const JournalEntry& entry);

    // A movement line as posted: its primary key and every field.
    struct PostedLine {
        std::string key;
        isam::Record record;
        bool operator==(const PostedLine&) const = default;
    };

    // A revision: the old registration leaves the totals and the archives, and the revised
    // one is posted under new numbers, in one transaction. `removeOthers` deletes what only
    // the caller can find (VAT rows, due dates) inside that transaction.
    //
    // `loaded` is the old registration's lines as the revision screen read them when it
    // opened. Another station may have revised or removed the registration since: unless its
    // lines are still exactly those, nothing is removed or posted, the operator is told, and
    // the result is 0.
    std::int32_t replace(const std::string& oldRegNumber, const std::vector<PostedLine>& loaded,
                         const JournalEntry& entry, const std::function<void()>& removeOthers = {});
    // The same without a new registration: the annulment of a single registration. True when
    // it was removed.
    bool annul(const std::string& regNumber, const std::vector<PostedLine>& loaded,
               const std::function<void()>& removeOthers = {});

    // Takes a registration out of the totals and deletes its lines and detail rows under the
    // registration lock; inside the caller's transaction when one is open. The number of
    // lines removed.
    int remove(const std::string& regNumber);

    // The movement lines of a registration, in line order, with their primary keys.
    std::vector<PostedLine> lines(const std::string& regNumber);
    // The detail rows of a registration, in their numbering order.
    std::vector<isam::Record> detailRows(const std::string& regNumber);

  private:
    // replace() and annul(): `entry` null posts nothing; 1 then stands for success.
    std::int32_t revise(const std::string& oldRegNumber, const std::vector<PostedLine>& loaded,
                        const JournalEntry* entry, const std::function<void()>& removeOthers);
    // `work` inside one transaction of the movement archive's container, reported at the
    // commit position when the transaction cannot begin or commit (0 then).
    std::int32_t asRegistration(const std::function<std::int32_t()>& work);
    std::int32_t write(const JournalEntry& entry);

    Session& m_session;
};

// "7" -> "000007": document numbers, protocols and other numbered texts are stored padded.
std::string PadNumber(const std::string& text, size_t width);

}  // namespace zelvo
