// The chart's variation, view, structure tree and print.

#include <gtest/gtest.h>

#include "masterdata/Chart.h"
#include "masterdata/ChartFixture.h"
#include "masterdata/ChartPrint.h"
#include "masterdata/ChartTree.h"
#include "masterdata/ChartVariation.h"
#include "masterdata/ChartView.h"

namespace zelvo {
namespace {

using V = ChartVariation;

class ChartMaintenanceTest : public test::ChartFixture {
  protected:
    void vary(const std::string& item, const std::string& description, const std::string& opening) {
        ChartVariation screen(session);
        screen.form().input(V::kItem, item);
        screen.leave(V::kItem);
        screen.form().input(V::kDescription, description);
        screen.form().input(V::kOpeningBalance, opening);
        screen.click(V::kConfirm);
    }
    std::string lastMessage() {
        const auto boxes = dialogs.boxes();
        return boxes.empty() ? std::string() : boxes.back().text;
    }
};

// The warning under the item's own description is the chart_maintenance script's.
TEST_F(ChartMaintenanceTest, APredefinedItemWarnsWithItsOriginalDescriptionEvenWhenRenamed) {
    vary("Iva vendite", "IVA su vendite", "0");
    dialogs.clear();
    vary("IVA su vendite", "IVA su vendite", "0");
    EXPECT_EQ(lastMessage(), V::PredefinedWarning("00012"));
    EXPECT_TRUE(
        lastMessage().ends_with("funzione predefinita. L'impostazione originaria è: "
                                "Iva vendite"));
    // Items 23 to 49 have no original description; user items no warning at all.
    EXPECT_TRUE(V::PredefinedWarning("00030").ends_with("originaria è: "));
    dialogs.clear();
    addItem("00051", "Banca", "s", "00001", "00021");
    vary("Banca", "Banca", "0");
    EXPECT_TRUE(dialogs.boxes().empty());
}

TEST_F(ChartMaintenanceTest, TheDescriptionKeysMoveWithTheDescriptionAndTheClosingBalanceFollows) {
    addItem("00051", "Banca", "s", "00001", "00021", 100);
    ASSERT_EQ(archives().getByKey(arc::kPc, "00051"), 0);
    archives().copyReadToWrite(arc::kPc);
    archives().writeBuffer(arc::kPc).setNumber(chart::kProgressiveCredit, 30);
    ASSERT_EQ(archives().put(arc::kPc, "00051", isam::mode::kRewrite), 0);

    vary("Banca", "Banca Popolare", "50");
    EXPECT_TRUE(dialogs.boxes().empty());
    auto item = chart::ByKindKey(archives(), "s", "Banca Popolare");
    ASSERT_TRUE(item);
    EXPECT_EQ(item->number, "00051");
    EXPECT_EQ(item->openingBalance, 50);
    EXPECT_EQ(item->closingBalance, 120);
    EXPECT_TRUE(chart::ByGroupKey(archives(), "s", "Banca Popolare"));
    EXPECT_FALSE(chart::ByKindKey(archives(), "s", "Banca"));
    EXPECT_FALSE(chart::ByDescription(archives(), "Banca"));
    // Its own name in another letter case is still its own.
    vary("Banca Popolare", "BANCA POPOLARE", "50");
    EXPECT_TRUE(dialogs.boxes().empty());
    EXPECT_EQ(chart::ByNumber(archives(), "00051")->description, "BANCA POPOLARE");
}

TEST_F(ChartMaintenanceTest, AClashOrAnEmptyDescriptionIsRefusedAndNothingIsWritten) {
    addItem("00051", "Banca", "s", "00001", "00021", 100, 10);
    const auto before = chart::ByNumber(archives(), "00051");
    for (const auto& [description, message] :
         {std::pair<std::string, std::string>{"iva ACQUISTI", "Descrizione già registrata"},
          {"", "Non è stata inserita la descrizione"}}) {
        dialogs.clear();
        vary("Banca", description, "999");
        ASSERT_EQ(dialogs.boxes().size(), 1u);
        EXPECT_EQ(dialogs.boxes()[0].text, message);
        EXPECT_EQ(dialogs.boxes()[0].title, "Errore");
        EXPECT_EQ(chart::ByNumber(archives(), "00051"), before);
    }
}

// An item's parents on the view, and its card, are the chart_maintenance script's.
TEST_F(ChartMaintenanceTest, TheViewTakesTheNameInAnyCaseAndShowsTheNatureOfAMastro) {
    ChartView view(session);
    view.form().input(ChartView::kDescription, "iva vendite");
    view.leave(ChartView::kDescription);
    EXPECT_EQ(view.form().text(ChartView::kDescription), "Iva vendite");
    view.form().input(ChartView::kDescription, "Ricavi");
    view.leave(ChartView::kDescription);
    EXPECT_EQ(view.form().text(ChartView::kNature), "economico");
    EXPECT_EQ(view.form().text(ChartView::kMastro), "");
    EXPECT_FALSE(view.form().enabled(ChartView::kCard));
}

// Where each item hangs is the chart_maintenance script's.
TEST_F(ChartMaintenanceTest, TheTreeLeavesThePartiesOut) {
    addItem("00051", "Rossi Mario", "c", "00001", "00005");
    const auto items = ChartStructure(archives());
    EXPECT_EQ(std::find(items.begin(), items.end(), "        Rossi Mario"), items.end());
    EXPECT_EQ(items.size(), 25u);  // the root, two natures and the 22 predefined items
}

TEST_F(ChartMaintenanceTest, ThePrintByMastroPutsTheCustomersUnderTheirConto) {
    addItem("00051", "Rossi Mario", "c", "00001", "00005");
    const auto path = dir.path() / "piano.txt";
    auto print = [&](const ChartPrintRequest& r) {
        TextReportSink sink(path.string());
        EXPECT_TRUE(PrintChart(session, sink, r));
        return test::ReadFile(path);
    };
    std::string out = print({false, true, false, false});
    const size_t crediti = out.find("\nCrediti  ");
    const size_t clienti = out.find("\n  Crediti clienti  ");
    const size_t rossi = out.find("\n    Rossi Mario");
    const size_t portafoglio = out.find("\n  Portafoglio effetti");
    EXPECT_LT(crediti, clienti);
    EXPECT_LT(clienti, rossi);
    EXPECT_LT(rossi, portafoglio);
    EXPECT_NE(portafoglio, std::string::npos);
    out = print({true, false, false, false});
    EXPECT_EQ(out.find("Rossi Mario"), std::string::npos);
    EXPECT_NE(out.find("\n*Costi  "), std::string::npos);
    EXPECT_LT(out.find("\n*Costi  "), out.find("\nCosti diversi  "));
    EXPECT_EQ(out.substr(0, 97), TitleLine("15/03/2026", "PIANO DEI CONTI", 1));
}

}  // namespace
}  // namespace zelvo
