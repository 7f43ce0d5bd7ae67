#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "base/Dialogs.h"
#include "session/Session.h"

namespace zelvo::bench {

// The parties and accounts a generated year posts to, by chart description (the entry
// screens name accounts by description).
struct GeneratedChart {
    std::vector<std::string> customers;
    std::vector<std::string> suppliers;
    std::vector<std::string> revenues;
    std::vector<std::string> costs;
    std::string bank;
    std::string wages;
    std::string bankCharges;
};

// Adds customers, suppliers and the revenue, cost and bank sub-accounts to the chart of the
// session's company through the archive layer, each numbered by the chart's own counter.
// Returns false (with `error` set) when a write fails.
bool AddGeneratedChart(Session& session, std::uint32_t seed, int customers, int suppliers,
                       GeneratedChart& chart, std::string& error);

// Posts a year for the session's company through the real entry screens in date order
// until the movement archive holds `lines` lines: sales and purchase invoices, cash
// receipts, credit notes, collections and payments that settle the instalments of invoices
// a month or more old, bank charges and the monthly wages (Workload). Every dialog box or beep
// stops the generation with `error` naming it: the generator must never post past a refusal it did
// not expect. `progress` is told the lines posted so far at the end of every day.
bool GenerateYear(Session& session, ScriptedDialogs& dialogs, const GeneratedChart& chart,
                  std::uint32_t seed, std::int64_t lines, std::string& error,
                  const std::function<void(std::int64_t)>& progress = {});

// A fresh installation in `dataDir` (created), company "AB" chosen for `year`, parties added
// and the year posted: what `zelvo-bench generate` does.
bool GenerateDataDirectory(const std::string& dataDir, const std::string& year, std::int64_t lines,
                           std::uint32_t seed, std::string& error,
                           const std::function<void(std::int64_t)>& progress = {});

// The movement lines of the session's year (opens and closes "mc").
std::int64_t MovementLineCount(Session& session);

}  // namespace zelvo::bench
