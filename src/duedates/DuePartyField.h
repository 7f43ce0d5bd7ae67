#pragma once

#include <string>
#include <vector>

#include "duedates/DueDateBooks.h"
#include "session/Session.h"

namespace zelvo::duedates {

// The optional party field of the view and the print: a customer for the customers'
// archives, a supplier (kind "f" or "ag") for the suppliers'. An empty name is every party
// (`number` empty, true); a name that is no party of that side is false.
bool PartyOfBook(Session& session, Book book, const std::string& name, std::string& number);
std::vector<std::string> PartySuggestions(Session& session, Book book, const std::string& typed,
                                          bool full);

}  // namespace zelvo::duedates
