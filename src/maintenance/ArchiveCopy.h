#pragma once

#include <cstdint>
#include <string>

#include "session/ScreenLogic.h"

namespace zelvo {

// COPIAPC: copies the chart's own items, the customers and the suppliers of the company and
// year in use into another company's year, with their totals cleared. Everything written
// lands in one transaction of the target's container: a copy that cannot finish leaves the
// target as it was.
class ArchiveCopy : public ScreenLogic {
  public:
    static constexpr const char* kCompany = "Combo1";
    static constexpr const char* kYear = "Combo2";
    static constexpr const char* kChart = "Check4";
    static constexpr const char* kCustomers = "Check1";
    static constexpr const char* kSuppliers = "Check2";
    static constexpr const char* kCopy = "Command1";
    static constexpr const char* kCancel = "Command2";

    explicit ArchiveCopy(Session& session);
    void load() override;

  private:
    void copy();
    bool wanted(const std::string& kind);
    // Writes the copies into the target's open chart; false when a write failed.
    bool copyChart(std::int16_t targetChart);
    bool copyCounter(std::int16_t targetCounters, std::int32_t current);
};

}  // namespace zelvo
