#pragma once

#include <string>

#include "archive/Archives.h"

namespace zelvo {

// Adds a line's amounts to the running totals of the sub-account and of the conto and
// mastro it belongs to, each under its own record lock, so that the three levels always
// carry the same totals. Negative amounts take a line back out (revisions, annulments).
void PostToAccount(Archives& archives, const std::string& account, double debit, double credit);

}  // namespace zelvo
