#pragma once

#include <optional>
#include <string>
#include <vector>

#include "masterdata/Chart.h"
#include "session/Form.h"
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

// The dates of a document at confirm: the registration date must be valid and in the year,
// and an empty document date takes it (written back into its field). The field that failed,
// for the focus, or nullptr.
const char* CheckEntryDates(Session& session, FormState& form, const char* regField,
                            const char* docField);

}  // namespace zelvo
