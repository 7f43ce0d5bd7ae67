#pragma once

#include <optional>
#include <string>
#include <vector>

#include "masterdata/Chart.h"
#include "session/Session.h"

namespace zelvo {

// The kinds an entry screen posts to freely: every sub-account, never a mastro or conto.
const std::vector<std::string>& PostableKinds();

// The sub-account an entry field names, read by its whole name; none when the name is
// unknown or names a mastro or conto.
std::optional<chart::Item> PostableAccount(Archives& archives, const std::string& name);

// The suggestions of the account cells of a grid column: the sub-accounts by name.
std::vector<std::string> CellAccountSuggestions(Session& session, const std::string& control,
                                                const std::string& column, const std::string& typed,
                                                bool full);

// Where the dates of a document at confirm fail: the registration date must be valid and in
// the year, and an empty document date takes it (written back into `docDate`).
enum class DateFault { None, Registration, Document };
DateFault CheckEntryDates(Session& session, const std::string& regDate, std::string& docDate);

}  // namespace zelvo
