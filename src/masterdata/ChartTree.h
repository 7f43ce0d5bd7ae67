#pragma once

#include <string>
#include <vector>

#include "archive/Archives.h"
#include "session/ScreenLogic.h"

namespace zelvo {

// The structure of the chart as tree items (TreeItem): "Piano dei conti", under it "Mastri
// patrimoniali" and "Mastri economici", each mastro under the one of its nature, its conti
// under it and their sottoconti under them, all in item-number order. Customers and
// suppliers are not shown.
std::vector<std::string> ChartStructure(Archives& archives);

// LISTAPC, "Struttura piano dei conti": one tree control, `TreeView1`.
class ChartTree : public ScreenLogic {
  public:
    static constexpr const char* kTree = "TreeView1";

    explicit ChartTree(Session& session);
    static FormSpec layout();
    void load() override;
};

}  // namespace zelvo
