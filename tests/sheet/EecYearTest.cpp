// The EEC data sheet and statement on a year posted through the entry screens: the codes
// the data sheet saves are what the statement reads, every amount is its account's closing
// balance, and the subtotal formulas add up to the chart's own totals.

#include <gtest/gtest.h>

#include <map>

#include "masterdata/Chart.h"
#include "posting/YearFixture.h"
#include "sheet/EecDataSheet.h"
#include "sheet/EecStatementWindow.h"
#include "support/TempDir.h"
#include "tools/bench/YearGenerator.h"

namespace zelvo {
namespace {

using sheet::CellRef;

class EecYearTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        dir = new test::TempDir;
        std::string error;
        ASSERT_TRUE(bench::GenerateDataDirectory(dir->prefix(), "2026", 600, 7, error)) << error;
    }
    static void TearDownTestSuite() { delete dir; }

    void SetUp() override {
        Archives& a = year.archives();
        if (a.exists(a.fileName(arc::kCe))) {
            a.kill(arc::kCe, "AB", "2026", 1);
        }
    }

    // The data sheet with the codes typed into column C and saved; the boxes it showed.
    std::vector<std::string> saveCodes(const std::map<int, std::string>& codes) {
        EecDataSheet regcee(year.session());
        regcee.load();
        regcee.click(EecDataSheet::kCreate);
        for (const auto& [row, code] : codes) {
            regcee.enterSheetCell(EecDataSheet::kSheet, row, 2, code);
        }
        regcee.click(EecDataSheet::kSave);
        regcee.unload();
        return year.takeBoxes();
    }

    std::int64_t dataRecords() {
        Archives& a = year.archives();
        std::int64_t n = -1;
        a.open(arc::kCe);
        a.count(arc::kCe, n);
        a.close(arc::kCe);
        return n;
    }

    // The data rows whose amount goes to column D.
    static std::vector<int> itemRows() {
        std::vector<int> rows;
        for (int row = 0; row < kEecRows; ++row) {
            const EecLine& l = EecLines()[static_cast<size_t>(row)];
            if (l.kind == EecKind::Item && l.column == 'd') {
                rows.push_back(row);
            }
        }
        return rows;
    }

    static double value(const sheet::Sheet& s, int line, char column) {
        const sheet::CellValue& v = s.value(CellRef{line - 1, column - 'a'});
        EXPECT_NE(v.kind, sheet::CellValue::Kind::Error) << column << line << " " << v.text;
        return v.number.toDouble();
    }

    static test::TempDir* dir;
    test::Year year{dir->prefix()};
};
test::TempDir* EecYearTest::dir = nullptr;

TEST_F(EecYearTest, TheStatementAddsUpTheBalancesOfTheAccountsAssignedToItsRows) {
    Archives& a = year.archives();
    std::vector<chart::Item> moved;
    for (const char* kind : {chart::kSottoconto, chart::kCustomer, chart::kSupplier}) {
        for (const chart::Item& i : chart::ItemsOfKind(a, kind)) {
            if (i.closingBalance != 0) {
                moved.push_back(i);
            }
        }
    }
    ASSERT_GT(moved.size(), 10u);
    // Each moved account on the next row that takes an amount, round the scheme; what each
    // section should total follows from the chart alone.
    std::map<int, std::string> codes;
    double assets = 0, liabilities = 0, production = 0, costs = 0, financial = 0;
    size_t next = 0;
    for (int row = 0; row < kEecRows && next < moved.size(); ++row) {
        const EecLine& l = EecLines()[static_cast<size_t>(row)];
        if (l.kind != EecKind::Item && l.kind != EecKind::Gross && l.kind != EecKind::Deduction) {
            continue;
        }
        const chart::Item& item = moved[next++];
        codes[row] = item.accountCode;
        const double b = item.closingBalance;
        if (l.line <= 78) {
            assets += b;
        } else if (l.line >= 84 && l.line <= 122) {
            liabilities -= b;
        } else if (l.line >= 129 && l.line <= 133) {
            production -= b;
        } else if (l.line >= 137 && l.line <= 154) {
            costs += b;
        } else if (l.line >= 160 && l.line <= 166) {
            financial -= b;
        }
    }
    EXPECT_TRUE(saveCodes(codes).empty());
    EXPECT_EQ(dataRecords(), kEecRows);

    EecStatementWindow window(year.session());
    window.load();
    EXPECT_TRUE(year.takeBoxes().empty());
    const sheet::Sheet& s = window.sheet();
    EXPECT_EQ(s.title, "Bilancio 2026");
    for (const auto& [row, code] : codes) {
        const EecLine& l = EecLines()[static_cast<size_t>(row)];
        const double balance = chart::ByAccountCode(a, code)->closingBalance;
        EXPECT_EQ(value(s, l.line, l.column == 0 ? 'd' : l.column), balance * l.sign) << l.label;
    }
    EXPECT_EQ(value(s, 79, 'e'), assets);
    EXPECT_EQ(value(s, 123, 'e'), liabilities);
    EXPECT_EQ(value(s, 134, 'e'), production);
    EXPECT_EQ(value(s, 155, 'e'), costs);
    EXPECT_EQ(value(s, 156, 'e'), production - costs);
    EXPECT_EQ(value(s, 167, 'e'), financial);
    EXPECT_EQ(value(s, 189, 'e'), value(s, 185, 'e') - value(s, 187, 'e'));
}

TEST_F(EecYearTest, TheStatementIsLaidOutWithItsFontsFormatAndFormulas) {
    EXPECT_TRUE(saveCodes({}).empty());
    EecStatementWindow window(year.session());
    window.load();
    const sheet::Sheet& s = window.sheet();
    EXPECT_EQ(s.shown({0, 0}), "STATO PATRIMONIALE");
    EXPECT_EQ(s.font({0, 0}), (sheet::CellFont{"Arial", 10, false}));
    EXPECT_EQ(s.font({125, 0}), (sheet::CellFont{"Arial", 10, false}));
    EXPECT_EQ(s.shown({125, 0}), "CONTO ECONOMICO");
    EXPECT_EQ(s.font({5, 0}), (sheet::CellFont{"Courier New", 9, false}));
    EXPECT_EQ(s.format({5, 3}), "#.###");
    for (const char* formula :
         {"=c6-c7",          "=c16-c17",        "=c18-c19",        "=c20-c21",
          "=c22-c23",        "=c31-c32",        "=c53-c54",        "=sum(d3:d12)",
          "=sum(d16:d24)",   "=sum(d29:d39)",   "=sum(d45:d49)",   "=sum(d53:d58)",
          "=sum(d62:d66)",   "=sum(d70:d72)",   "=sum(d76:d77)",   "=sum(e3:e78)",
          "=sum(d84:d92)",   "=sum(d96:d98)",   "=sum(d104:d116)", "=sum(d120:d121)",
          "=sum(e84:e122)",  "=sum(d129:d133)", "=sum(d137:d154)", "=e134-e155",
          "=sum(d160:d166)", "=sum(d170:d177)", "=sum(d181:d182)", "=e134-e155+e167+e178",
          "=e185-e187",      "=e189+e190+e191"}) {
        int found = 0;
        s.forEachCell([&](CellRef c, const std::string& entry) {
            if (entry == formula) {
                ++found;
                // With no balances every subtotal is a zero, shown as nothing.
                EXPECT_EQ(s.shown(c), "") << formula;
            }
        });
        EXPECT_EQ(found, 1) << formula;
    }
}

TEST_F(EecYearTest, ACodeNoLongerInTheChartIsReportedAndItsRowStaysEmpty) {
    Archives& a = year.archives();
    const std::vector<int> rows = itemRows();
    const int kept = rows[10];
    const int lost = rows[20];
    const chart::Item account = chart::ItemsOfKind(a, chart::kSottoconto).front();
    EXPECT_TRUE(saveCodes({{kept, account.accountCode}}).empty());
    // The chart loses the account after the data sheet was saved: written behind its back.
    a.open(arc::kCe);
    isam::Record& r = a.writeBuffer(arc::kCe);
    r = a.blankRecord(arc::kCe);
    r.setText(kEecCodeField, "000990009900099");
    ASSERT_EQ(a.put(arc::kCe, EecRowKey(lost), isam::mode::kWrite), 0);
    a.close(arc::kCe);

    EecStatementWindow window(year.session());
    window.load();
    const auto& boxes = year.dialogs.boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "La voce 000990009900099 non è registrata nel piano dei conti");
    EXPECT_EQ(boxes[0].title, "Attenzione");
    const int lostLine = EecLines()[static_cast<size_t>(lost)].line;
    EXPECT_EQ(window.sheet().entry({lostLine - 1, 3}), "");
    // The building went on: the other account is there.
    const EecLine& l = EecLines()[static_cast<size_t>(kept)];
    EXPECT_EQ(value(window.sheet(), l.line, 'd'), account.closingBalance * l.sign);
}

}  // namespace
}  // namespace zelvo
