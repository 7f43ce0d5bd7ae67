#pragma once

// Helpers shared by the two halves of InvoiceEntry: the screen (InvoiceEntry.cpp) and the
// posting of the document (InvoicePosting.cpp).

#include <string>

#include "base/NumberText.h"

namespace zelvo {

// An amount as a field shows it: whole lire, blank for zero.
inline std::string wholeNumber(double v) {
    return v == 0 ? std::string() : Format(v, "0");
}

}  // namespace zelvo
