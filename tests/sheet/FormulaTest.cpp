// The sheet's formulas: what a cell shows for what is typed around it, the recomputation of
// what depends on a change (and of nothing else), cycles, and exact sums of many amounts.

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <utility>
#include <vector>

#include "sheet/Sheet.h"

namespace zelvo::sheet {
namespace {

CellRef At(const std::string& label) {
    CellRef c;
    EXPECT_TRUE(ParseCellLabel(label, c)) << label;
    return c;
}

struct Case {
    const char* name;
    std::vector<std::pair<const char*, const char*>> cells;  // typed in this order
    const char* cell;                                        // the one looked at
    const char* shown;
};

void PrintTo(const Case& c, std::ostream* os) {
    *os << c.name;
}

class FormulaTest : public ::testing::TestWithParam<Case> {};

TEST_P(FormulaTest, ShowsWhatTheFormulaComputes) {
    Sheet s;
    for (const auto& [cell, entry] : GetParam().cells) {
        s.setEntry(At(cell), entry);
    }
    EXPECT_EQ(s.shown(At(GetParam().cell)), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    Evaluator, FormulaTest,
    ::testing::Values(
        // Precedence and signs.
        Case{"product_before_sum", {{"a1", "=2+3*4"}}, "a1", "14"},
        Case{"parentheses", {{"a1", "=(2+3)*4"}}, "a1", "20"},
        Case{"left_to_right", {{"a1", "=10-4-3"}}, "a1", "3"},
        Case{"division_left_to_right", {{"a1", "=100/5/2"}}, "a1", "10"},
        Case{"unary_minus", {{"a1", "=-2*3"}}, "a1", "-6"},
        Case{"minus_after_operator", {{"a1", "=2*-3"}}, "a1", "-6"},
        Case{"double_minus", {{"a1", "=5--2"}}, "a1", "7"},
        Case{"blanks", {{"a1", "= ( 1 + 2 ) * 3 "}}, "a1", "9"},
        // Exact fractions.
        Case{"third_times_three", {{"a1", "=1/3*3"}}, "a1", "1"},
        Case{"tenths", {{"a1", "=0.1+0.2-0.3"}}, "a1", "0"},
        Case{"half", {{"a1", "=7/2"}}, "a1", "3,5"},
        // References; a plain one and a typed grouping read are the sheet_window script's.
        Case{"upper_case", {{"c6", "9"}, {"c7", "4"}, {"d6", "=C6-c7"}}, "d6", "5"},
        Case{"empty_is_zero", {{"a1", "=z99+1"}}, "a1", "1"},
        Case{"only_an_empty_cell", {{"a1", "=z99"}}, "a1", "0"},
        Case{"typed_comma", {{"a1", "1.234,5"}, {"a2", "=a1*2"}}, "a2", "2469"},
        Case{"formula_before_its_data", {{"b1", "=a1+a2"}, {"a1", "3"}, {"a2", "4"}}, "b1", "7"},
        // Ranges and functions.
        Case{"sum_column",
             {{"d3", "1"}, {"d4", "2"}, {"d12", "3"}, {"e1", "=sum(d3:d12)"}},
             "e1",
             "6"},
        Case{"sum_skips_texts", {{"d1", "titolo"}, {"d2", "5"}, {"e1", "=sum(d1:d2)"}}, "e1", "5"},
        Case{"sum_reversed_range", {{"a1", "2"}, {"a2", "3"}, {"b1", "=SUM(a2:a1)"}}, "b1", "5"},
        Case{"sum_block_and_values",
             {{"a1", "1"}, {"b2", "2"}, {"c1", "=sum(a1:b2;10,20)"}},
             "c1",
             "33"},
        Case{"min_max", {{"a1", "4"}, {"a2", "-9"}, {"b1", "=max(a1:a2)-min(a1:a2)"}}, "b1", "13"},
        Case{"abs", {{"a1", "=abs(3-10)"}}, "a1", "7"},
        Case{"sum_of_subtotals",
             {{"c6", "1000"},
              {"c7", "300"},
              {"d6", "=c6-c7"},
              {"d8", "50"},
              {"e13", "=sum(d3:d12)"}},
             "e13",
             "750"},
        // Errors, shown in the cell; a division by zero is the sheet_window script's.
        Case{"divide_by_empty", {{"a1", "=5/b7"}}, "a1", "#DIV/0!"},
        Case{"dangling_operator", {{"a1", "=a1+"}}, "a1", "#ERRORE!"},
        Case{"unknown_function", {{"a1", "=media(b1:b2)"}}, "a1", "#ERRORE!"},
        Case{"unbalanced", {{"a1", "=(1+2"}}, "a1", "#ERRORE!"},
        Case{"range_outside_function", {{"a1", "=b1:b2"}}, "a1", "#ERRORE!"},
        Case{"row_zero", {{"a1", "=b0"}}, "a1", "#ERRORE!"},
        Case{"text_in_arithmetic", {{"a1", "abc"}, {"b1", "=a1+1"}}, "b1", "#VALORE!"},
        Case{"error_propagates",
             {{"a1", "=1/0"}, {"b1", "=a1+1"}, {"c1", "=sum(b1:b1)"}},
             "c1",
             "#DIV/0!"},
        Case{"text_kept_with_quote", {{"a1", "'123"}}, "a1", "123"},
        Case{"overflow", {{"a1", "=999999999999999999999*999999999999999999999"}}, "a1", "#NUM!"},
        // Cycles; one broken again is the sheet_window script's.
        Case{"self_reference", {{"a1", "=a1+1"}}, "a1", "#CICLO!"},
        Case{"two_cells", {{"a1", "=b1"}, {"b1", "=a1"}}, "a1", "#CICLO!"},
        Case{"range_over_itself", {{"a1", "1"}, {"a3", "=sum(a1:a5)"}}, "a3", "#CICLO!"}),
    [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

struct FormatCase {
    const char* typed;
    const char* mask;
    const char* shown;
};

class NumberFormatTest : public ::testing::TestWithParam<FormatCase> {};

TEST_P(NumberFormatTest, ShowsTheNumberInTheCellsFormat) {
    Sheet s;
    s.setFormat({{0, 0}, {0, 0}}, GetParam().mask);
    s.setEntry({0, 0}, GetParam().typed);
    EXPECT_EQ(s.shown({0, 0}), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    Masks, NumberFormatTest,
    ::testing::Values(FormatCase{"1234567", "#.###", "1.234.567"},
                      FormatCase{"-1234", "#.###", "-1.234"}, FormatCase{"0", "#.###", ""},
                      FormatCase{"999", "#.###", "999"}, FormatCase{"=2469/2", "#.###", "1.235"},
                      FormatCase{"=-2469/2", "#.###", "-1.235"},
                      FormatCase{"1234,5", "#.##0,00", "1.234,50"},
                      FormatCase{"0", "#.##0,00", "0,00"}, FormatCase{"=1/3", "0,00", "0,33"},
                      FormatCase{"=1/3", "", "0,3333333333"}, FormatCase{"12", "giorni", "12"}));

TEST(SheetRecompute, ChangingACellRecomputesOnlyWhatDependsOnIt) {
    constexpr int kRows = 10000;
    Sheet s;
    s.beginBatch();
    s.setEntry({0, 0}, "1");
    for (int r = 1; r < kRows; ++r) {
        s.setEntry({r, 0}, "=a" + std::to_string(r) + "+1");
        s.setEntry({r, 1}, std::to_string(r));
    }
    s.setEntry({0, 2}, "=sum(b1:b10000)");
    s.endBatch();
    EXPECT_EQ(s.shown({kRows - 1, 0}), "10000");
    EXPECT_EQ(s.shown({0, 2}), std::to_string(kRows * (kRows - 1) / 2));

    const auto start = std::chrono::steady_clock::now();
    s.setEntry({0, 0}, "101");
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(s.shown({kRows - 1, 0}), "10100");
    EXPECT_EQ(s.lastRecomputed(), static_cast<size_t>(kRows - 1));
    // A whole chain of ten thousand formulas is a matter of a moment, not of seconds.
    EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(took).count(), 2000);

    // A cell that only the range reads recomputes the one sum, not the chain.
    s.setEntry({5000, 1}, "0");
    EXPECT_EQ(s.lastRecomputed(), 1u);
    EXPECT_EQ(s.shown({0, 2}), std::to_string(kRows * (kRows - 1) / 2 - 5000));
    // A cell nothing reads recomputes nothing.
    s.setEntry({0, 7}, "7");
    EXPECT_EQ(s.lastRecomputed(), 0u);
}

TEST(SheetRecompute, AChainTurnedIntoACycleShowsItAndRecoversWhenBroken) {
    Sheet s;
    s.setEntry(At("a1"), "1");
    for (int r = 2; r <= 300; ++r) {
        s.setEntry({r - 1, 0}, "=a" + std::to_string(r - 1) + "*1");
    }
    s.setEntry(At("a1"), "=a300");
    EXPECT_EQ(s.shown(At("a1")), "#CICLO!");
    EXPECT_EQ(s.shown(At("a150")), "#CICLO!");
    EXPECT_EQ(s.entry(At("a150")), "=a149*1");
    s.setEntry(At("a1"), "42");
    EXPECT_EQ(s.shown(At("a300")), "42");
}

TEST(SheetExactness, SumsOfManyAmountsHaveNoDrift) {
    // Ten thousand tenths add up to a thousand exactly (a sum in floating point would not),
    // and 170 amounts of fifteen digits to their exact total.
    Sheet s;
    s.beginBatch();
    for (int r = 0; r < 10000; ++r) {
        s.setEntry({r, 0}, "0,1");
    }
    long long expected = 0;
    for (int r = 0; r < 170; ++r) {
        const long long amount = 999999999999999LL - r * 7919LL;
        expected += amount;
        s.setEntry({r, 1}, std::to_string(amount));
    }
    s.setEntry({0, 2}, "=sum(a1:a10000)");
    s.setEntry({1, 2}, "=sum(b1:b170)");
    s.setEntry({2, 2}, "=sum(b1:b170)/170*170");
    s.endBatch();
    EXPECT_EQ(s.shown({0, 2}), "1000");
    EXPECT_EQ(s.shown({1, 2}), std::to_string(expected));
    EXPECT_EQ(s.shown({2, 2}), std::to_string(expected));
}

TEST(SheetNumbers, TypedFiguresReadAsTheOperatorMeansThem) {
    const std::vector<std::pair<const char*, const char*>> cases = {
        {"1500", "1500"}, {"-12,5", "-12,5"},      {"1.234.567", "1234567"},
        {"0.25", "0,25"}, {"1.234,56", "1234,56"}, {" 7 ", "7"}};
    for (const auto& [typed, general] : cases) {
        auto n = SheetNumber::parse(typed);
        ASSERT_TRUE(n) << typed;
        EXPECT_EQ(n->general(), general) << typed;
    }
    for (const char* bad : {"", "-", "1,2,3", "12a", "1.2.3,4", "."}) {
        EXPECT_FALSE(SheetNumber::parse(bad)) << bad;
    }
}

TEST(SheetNumbers, NestingBeyondReasonIsRefusedNotFollowed) {
    Sheet s;
    std::string deep = "=" + std::string(5000, '(') + "1" + std::string(5000, ')');
    s.setEntry({0, 0}, deep);
    EXPECT_EQ(s.shown({0, 0}), "#ERRORE!");
    std::string minus = "=" + std::string(5000, '-') + "1";
    s.setEntry({0, 1}, minus);
    EXPECT_EQ(s.shown({0, 1}), "#ERRORE!");
}

}  // namespace
}  // namespace zelvo::sheet
