#pragma once

#include <string>
#include <vector>

namespace zelvo {

// The 22 items every new company's chart starts with. Each keeps its function whatever the
// operator later calls it: the posting rules use them by number.
struct PredefinedItem {
    const char* number;       // "00001"
    const char* kind;         // "m", "cc", "s"
    const char* nature;       // "p", "e"
    const char* accountCode;  // 15 characters
    const char* description;
};

const std::vector<PredefinedItem>& PredefinedChart();

}  // namespace zelvo
