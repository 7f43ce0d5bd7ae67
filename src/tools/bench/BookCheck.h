#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "posting/PostingEngine.h"
#include "session/Session.h"

namespace zelvo::bench {

// What revisions and annulments may have removed: the line numbers, purchase protocols and
// receipt numbers of the registrations they were about to remove, announced before the
// confirm, so that a number missing afterwards is told apart from a number lost.
struct Removals {
    std::set<std::int32_t> lines;
    std::set<std::string> protocols;  // section + protocol, 5 digits: "100012"
    std::set<std::string> receipts;   // section + document number, 5 digits
};

// The announcement of one registration, as the lines a file of announcements keeps.
std::string AnnouncementLines(const std::vector<PostingEngine::PostedLine>& lines);
// Every announcement in the files `paths` (missing files announce nothing).
Removals ReadAnnouncements(const std::vector<std::string>& paths);

// What a check of a company-year's books found.
struct BookFindings {
    std::int64_t registrations = 0;
    // Registrations without all they write (lines, balance, detail rows, VAT rows, due
    // dates), and records left behind by none.
    std::int64_t partial = 0;
    // Line, protocol and receipt numbers lost, used twice, or beyond their counter.
    std::int64_t numbering = 0;
    // Chart records whose running totals the rebuild of the totals had to correct.
    std::int64_t totalMismatches = 0;
    // Archives the index tools' check refused.
    std::int64_t archiveErrors = 0;
    std::vector<std::string> notes;  // the first findings, in words
    bool clean() const {
        return partial == 0 && numbering == 0 && totalMismatches == 0 && archiveErrors == 0;
    }
};

// Checks the books of the session's company and year while nobody posts: every
// registration whole, every number accounted for (present, or announced in `removed`),
// the running totals those the rebuild computes (the rebuild corrects them, so that a later
// check starts from right totals), and every archive of the data directory sound. Needs the
// archives a posting station keeps open.
BookFindings CheckBooks(Session& session, const Removals& removed);

}  // namespace zelvo::bench
