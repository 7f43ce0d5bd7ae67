#include "masterdata/Chart.h"

#include <gtest/gtest.h>

#include <functional>

#include "ChartFixture.h"

namespace zelvo {
namespace {

using test::ChartFixture;

constexpr const char* kToner = "Materiale di consumo per ufficio - toner";
constexpr const char* kPaper = "Materiale di consumo per ufficio - carta";

// The predefined chart, plus a customer and two items whose descriptions share the
// index's 30 characters (the later number first, so that index order and text order part).
class ChartTest : public ChartFixture {
  protected:
    void SetUp() override {
        ChartFixture::SetUp();
        addItem("00051", "Rossi Mario", "c", "00001", "00005");
        addItem("00052", kToner, "s", "00004", "00010");
        addItem("00053", kPaper, "s", "00004", "00010");
    }
};

using Lookup = std::function<std::optional<chart::Item>(Archives&)>;

struct LookupCase {
    const char* what;
    Lookup lookup;
    const char* found;  // item number, or none
};

void PrintTo(const LookupCase& c, std::ostream* os) {
    *os << c.what;
}

class ChartLookupTest : public ChartTest, public ::testing::WithParamInterface<LookupCase> {};

TEST_P(ChartLookupTest, FindsExactlyTheItemNamed) {
    const LookupCase& c = GetParam();
    const std::optional<chart::Item> item = c.lookup(archives());
    if (c.found == nullptr) {
        EXPECT_FALSE(item) << item->number;
        EXPECT_EQ(archives().status(), isam::status::kNotFound);
    } else {
        ASSERT_TRUE(item);
        EXPECT_EQ(item->number, c.found);
        EXPECT_EQ(archives().primaryKey(arc::kPc), c.found);  // the whole record is at hand
        EXPECT_EQ(archives().status(), 0);
    }
    EXPECT_TRUE(dialogs.events().empty());
}

using namespace chart;

INSTANTIATE_TEST_SUITE_P(
    Cases, ChartLookupTest,
    ::testing::Values(
        LookupCase{"number", [](Archives& a) { return ByNumber(a, "00012"); }, "00012"},
        LookupCase{"number prefix", [](Archives& a) { return ByNumber(a, "0001"); }, nullptr},
        LookupCase{"description", [](Archives& a) { return ByDescription(a, "Iva vendite"); },
                   "00012"},
        LookupCase{"description in other case",
                   [](Archives& a) { return ByDescription(a, "rossi MARIO"); }, "00051"},
        LookupCase{"description prefix", [](Archives& a) { return ByDescription(a, "Ros"); },
                   nullptr},
        LookupCase{"description with a blank more",
                   [](Archives& a) { return ByDescription(a, "Iva vendite "); }, nullptr},
        LookupCase{"description past the key, second of two",
                   [](Archives& a) {
                       return ByDescription(a, "materiale di consumo per ufficio - CARTA");
                   },
                   "00053"},
        LookupCase{"description cut at the key length",
                   [](Archives& a) { return ByDescription(a, "Materiale di consumo per uffic"); },
                   nullptr},
        LookupCase{"account code", [](Archives& a) { return ByAccountCode(a, "000020000800012"); },
                   "00012"},
        LookupCase{"account code prefix",
                   [](Archives& a) { return ByAccountCode(a, "00002000080001"); }, nullptr},
        LookupCase{"first of a kind", [](Archives& a) { return FirstOfKind(a, "cc"); }, "00005"},
        // "c" must not take the conti, which follow it in the kind index.
        LookupCase{"first customer", [](Archives& a) { return FirstOfKind(a, "c"); }, "00051"},
        LookupCase{"first supplier", [](Archives& a) { return FirstOfKind(a, "f"); }, nullptr},
        LookupCase{"mastro by kind key", [](Archives& a) { return ByKindKey(a, "m", "debiti"); },
                   "00002"},
        LookupCase{"sottoconto by kind key",
                   [](Archives& a) { return ByKindKey(a, "s", "Iva vendite"); }, "00012"},
        LookupCase{"customer's name as a sottoconto",
                   [](Archives& a) { return ByKindKey(a, "s", "Rossi Mario"); }, nullptr},
        LookupCase{"customer by kind key",
                   [](Archives& a) { return ByKindKey(a, "c", "Rossi Mario"); }, "00051"},
        LookupCase{"customers and suppliers share a group",
                   [](Archives& a) { return ByGroupKey(a, "f", "Rossi Mario"); }, "00051"},
        LookupCase{"account's group", [](Archives& a) { return ByGroupKey(a, "m", "Ricavi"); },
                   "00003"},
        LookupCase{"sottoconto outside the customers' group",
                   [](Archives& a) { return ByGroupKey(a, "c", "Iva vendite"); }, nullptr}));

TEST_F(ChartTest, KindsAreWalkedInTheirIndexAndStopAtTheNextKind) {
    auto numbers = [this](const std::string& kind) {
        std::vector<std::string> n;
        for (const chart::Item& i : ItemsOfKind(archives(), kind)) {
            n.push_back(i.number);
        }
        return n;
    };
    using V = std::vector<std::string>;
    EXPECT_EQ(numbers("m"), (V{"00001", "00002", "00003", "00004"}));
    EXPECT_EQ(numbers("cc"), (V{"00005", "00006", "00007", "00008", "00009", "00010", "00021"}));
    EXPECT_EQ(numbers("c"), (V{"00051"}));
    EXPECT_EQ(numbers("f"), V{});

    // "next" goes on from the last record read, whatever it was read by.
    ASSERT_TRUE(ByNumber(archives(), "00009"));
    EXPECT_EQ(NextOfKind(archives(), "cc")->number, "00010");
    EXPECT_TRUE(dialogs.events().empty());
}

TEST_F(ChartTest, ItemCarriesItsRecord) {
    const std::optional<chart::Item> item = ByDescription(archives(), "Iva acquisti");
    ASSERT_TRUE(item);
    EXPECT_EQ(*item, (chart::Item{"00011", "Iva acquisti", "s", "p", "00002", "00008",
                                  "000020000800011", 0, 0, 0, 0}));
    // Below 50 every number is the program's, defined or not.
    for (const auto& [number, predefined] : {std::pair{"00022", true},
                                             {"00049", true},
                                             {"00050", false},
                                             {"00051", false},
                                             {"", false}}) {
        chart::Item i;
        i.number = number;
        EXPECT_EQ(i.predefined(), predefined) << number;
    }
}

struct Search {
    const char* typed;
    std::vector<std::string> kinds;
    int count;
    bool previous;
    std::vector<std::string> expected;
};

void PrintTo(const Search& s, std::ostream* os) {
    *os << '"' << s.typed << "\" " << s.kinds.size() << " kinds, " << s.count
        << (s.previous ? " with previous" : "");
}

class SearchTest : public ChartTest, public ::testing::WithParamInterface<Search> {};

// In description order the chart reads: Abbuoni su acquisti, Abbuoni su vendite, Agenti,
// Costi, Costi diversi, Crediti, Crediti clienti, Crediti clienti ric. bancarie, Debiti,
// Debiti verso fornitori, Imposta Valore Aggiunto, Iva acquisti, Iva corrispettivi, Iva
// indetraibile, Iva vendite, Materiale ... toner, Materiale ... carta, Portafoglio effetti,
// Ricavi, Ricavi diversi, Rivalsa spese bollo, ... imballo, ... trasporto, ... varie, Rossi
// Mario.
TEST_P(SearchTest, ListsTheDescriptionsAroundTheTypedOne) {
    const Search& s = GetParam();
    EXPECT_EQ(SearchDescriptions(archives(), s.typed, s.kinds, s.count, s.previous), s.expected);
    EXPECT_TRUE(dialogs.events().empty());
}

using V = std::vector<std::string>;
INSTANTIATE_TEST_SUITE_P(
    Cases, SearchTest,
    ::testing::Values(
        Search{"iva", {"s"}, 2, false, {"Iva acquisti", "Iva corrispettivi"}},
        Search{
            "IVA V", {}, 2, true, {"Iva corrispettivi", "Iva indetraibile", "Iva vendite", kToner}},
        Search{"Iva v",
               {"s"},
               4,
               true,
               {"Crediti clienti ric. bancarie", "Iva acquisti", "Iva corrispettivi",
                "Iva indetraibile", "Iva vendite", kToner, kPaper, "Rivalsa spese bollo"}},
        Search{"cr",
               {"m", "cc"},
               4,
               false,
               {"Crediti", "Crediti clienti", "Debiti", "Debiti verso fornitori"}},
        // Nothing begins so: the list stands where the text would be.
        Search{"Ivb", {}, 1, true, {"Iva vendite", kToner}}, Search{"zz", {}, 2, false, {}},
        Search{"zz", {}, 2, true, {"Rivalsa spese varie", "Rossi Mario"}},
        Search{"", {"m"}, 3, true, {"Costi", "Crediti", "Debiti"}},
        Search{"Abb", {}, 1, true, {"Abbuoni su acquisti"}},
        Search{"ros", {"c", "f"}, 5, true, {"Rossi Mario"}}, Search{"ros", {"s"}, 2, false, {}},
        // Typed beyond the index's 30 characters: the one that really begins so comes first.
        Search{"materiale di consumo per ufficio - c",
               {},
               2,
               false,
               {kPaper, "Portafoglio effetti"}}));

TEST_F(ChartTest, LengthZeroListsThirty) {
    char description[] = "Voce 00";
    for (int i = 1; i <= 40; ++i) {
        description[5] = static_cast<char>('0' + i / 10);
        description[6] = static_cast<char>('0' + i % 10);
        addItem("001" + std::to_string(i + 10), description, "s", "00004", "00010");
    }
    const V after = SearchDescriptions(archives(), "voce", {"s"}, 0, false);
    ASSERT_EQ(after.size(), 30U);
    EXPECT_EQ(after.front(), "Voce 01");
    EXPECT_EQ(after.back(), "Voce 30");
    const V around = SearchDescriptions(archives(), "Voce 35", {"s"}, 0, true);
    ASSERT_EQ(around.size(), 36U);
    EXPECT_EQ(around.front(), "Voce 05");
    EXPECT_EQ(around[30], "Voce 35");
    EXPECT_EQ(around.back(), "Voce 40");
}

TEST_F(ChartTest, ADescriptionIsFreeOnlyWhenNoItemOfAnyKindHasIt) {
    int refusals = 0;
    auto refuse = [&refusals] { ++refusals; };
    EXPECT_FALSE(DescriptionFree(archives(), "ROSSI mario", refuse));  // a customer
    EXPECT_FALSE(DescriptionFree(archives(), "iva vendite", refuse));  // a sottoconto
    EXPECT_EQ(refusals, 2);
    EXPECT_TRUE(DescriptionFree(archives(), "Ros", refuse));
    EXPECT_TRUE(DescriptionFree(archives(), "Iva vendite estero", refuse));
    EXPECT_EQ(refusals, 2);
    EXPECT_TRUE(dialogs.events().empty());
}

TEST_F(ChartTest, ANewItemTakesTheNextNumberWithItsKindAndKeys) {
    setCounter("conto", 53);
    const std::string number = AddItem(
        archives(), "s", "Cassa",
        [](isam::Record& r, const std::string& n) {
            r.setText(kMastroNumber, "00004");
            r.setText(kContoNumber, "00010");
            r.setText(kAccountCode, "0000400010" + n);
            // The kind asked for wins over whatever the fill sets.
            r.setText(kKind, "m");
        },
        8901, 8902);
    EXPECT_EQ(number, "00054");
    EXPECT_TRUE(dialogs.events().empty());
    const std::optional<chart::Item> item = ByNumber(archives(), "00054");
    ASSERT_TRUE(item);
    EXPECT_EQ(*item, (chart::Item{"00054", "Cassa", "s", "", "00004", "00010", "000040001000054", 0,
                                  0, 0, 0}));
    EXPECT_EQ(archives().readBuffer(arc::kPc).text(kKindKey), "sCassa");
    EXPECT_EQ(archives().readBuffer(arc::kPc).text(kGroupKey), "ssCassa");
    EXPECT_EQ(counterValue("conto"), 54);
}

TEST_F(ChartTest, ANewItemWhoseWriteFailsStillUsesUpItsNumber) {
    // The counter still stands at the predefined items: its next number is the customer's.
    const std::string number = AddItem(
        archives(), "s", "Cassa", [](isam::Record&, const std::string&) {}, 8901, 8902);
    EXPECT_EQ(number, "");
    ASSERT_EQ(dialogs.boxes().size(), 1u);
    EXPECT_NE(dialogs.boxes()[0].text.find("Posizione: 8901"), std::string::npos)
        << dialogs.boxes()[0].text;
    EXPECT_EQ(ByNumber(archives(), "00051")->description, "Rossi Mario");
    EXPECT_EQ(counterValue("conto"), 51);
}

}  // namespace
}  // namespace zelvo
