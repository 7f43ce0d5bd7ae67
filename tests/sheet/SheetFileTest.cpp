// The sheet's files: its own file read back as it was written, the CSV export, and the
// office workbook opened again as a zip whose worksheet keeps the formulas.

#include <gtest/gtest.h>
#include <zip.h>

#include <fstream>

#include "sheet/SheetFile.h"
#include "support/TempDir.h"

namespace zelvo::sheet {
namespace {

// A small statement: a gross amount and its deduction, their net, a total over a range.
Sheet Sample() {
    Sheet s;
    s.title = "Bilancio 2026";
    s.setDefaultFont({"Courier New", 9, false});
    s.setColumnWidth(0, 40);
    s.setEntry({0, 0}, "STATO PATRIMONIALE");
    s.setFont({{0, 0}, {0, 0}}, {"Arial", 10, true});
    s.setEntry({5, 0}, "1)    Costi d'impianto; \"ampliamento\"");
    s.setEntry({5, 2}, "1500000");
    s.setEntry({6, 2}, "250000");
    s.setEntry({5, 3}, "=c6-c7");
    s.setEntry({7, 3}, "1,5");
    s.setEntry({12, 4}, "=sum(d3:d12)");
    s.setEntry({13, 4}, "=1/0");
    s.setFormat({{0, 2}, {13, 4}}, "#.###");
    return s;
}

std::string ZipEntry(const std::string& zipPath, const char* name) {
    int error = 0;
    zip_t* z = zip_open(zipPath.c_str(), ZIP_RDONLY, &error);
    if (z == nullptr) {
        return {};
    }
    std::string out;
    zip_stat_t st;
    if (zip_stat(z, name, 0, &st) == 0) {
        if (zip_file_t* f = zip_fopen(z, name, 0)) {
            out.resize(st.size);
            out.resize(static_cast<size_t>(std::max<zip_int64_t>(
                0, zip_fread(f, out.data(), static_cast<zip_uint64_t>(out.size())))));
            zip_fclose(f);
        }
    }
    zip_close(z);
    return out;
}

TEST(SheetFile, ReadsBackWhatItWrote) {
    test::TempDir dir;
    const std::string path = dir.prefix() + "bilancio.zfg";
    const Sheet written = Sample();
    ASSERT_TRUE(SaveSheet(written, path));
    Sheet read;
    ASSERT_TRUE(OpenSheet(path, read));
    EXPECT_EQ(read.title, "Bilancio 2026");
    EXPECT_EQ(read.columnWidth(0), 40);
    EXPECT_EQ(read.defaultFont(), (CellFont{"Courier New", 9, false}));
    EXPECT_EQ(read.font({0, 0}), (CellFont{"Arial", 10, true}));
    for (int r = 0; r <= written.lastRow(); ++r) {
        for (int c = 0; c <= written.lastColumn(); ++c) {
            EXPECT_EQ(read.entry({r, c}), written.entry({r, c})) << CellLabel({r, c});
            EXPECT_EQ(read.shown({r, c}), written.shown({r, c})) << CellLabel({r, c});
        }
    }
    EXPECT_EQ(read.shown({5, 3}), "1.250.000");
    // Formulas are formulas again: a change recomputes them.
    read.setEntry({6, 2}, "0");
    EXPECT_EQ(read.shown({12, 4}), "1.500.002");
}

TEST(SheetFile, AFileThatIsNotASheetLeavesTheSheetAsItWas) {
    test::TempDir dir;
    Sheet s = Sample();
    const std::string other = dir.prefix() + "altro.txt";
    std::ofstream(other) << "ZELVO-FOGLIO 1\ncella\tC6\n";
    EXPECT_FALSE(OpenSheet(other, s));
    EXPECT_FALSE(OpenSheet(dir.prefix() + "manca.zfg", s));
    EXPECT_EQ(s.shown({5, 3}), "1.250.000");
    EXPECT_EQ(s.title, "Bilancio 2026");
}

TEST(SheetFile, CsvHoldsTheValuesWithSemicolonsAndQuotes) {
    test::TempDir dir;
    Sheet s;
    s.setEntry({0, 0}, "Rossi; Bianchi");
    s.setEntry({0, 1}, "=7/2");
    s.setEntry({1, 1}, "1.500");
    s.setEntry({1, 2}, "=1/0");
    s.setFormat({{1, 1}, {1, 1}}, "#.###");
    ASSERT_TRUE(ExportCsv(s, dir.prefix() + "f.csv"));
    EXPECT_EQ(test::ReadFile(dir.path() / "f.csv"), "\"Rossi; Bianchi\";3,5;\r\n;1500;#DIV/0!\r\n");
}

TEST(SheetFile, TheWorkbookKeepsFormulasFontsAndFormats) {
    test::TempDir dir;
    const std::string path = dir.prefix() + "bilancio.xlsx";
    ASSERT_TRUE(ExportXlsx(Sample(), path));
    const std::string xml = ZipEntry(path, "xl/worksheets/sheet1.xml");
    ASSERT_FALSE(xml.empty());
    EXPECT_NE(xml.find("<f>C6-C7</f><v>1250000</v>"), std::string::npos) << xml;
    EXPECT_NE(xml.find("<f>SUM(D3:D12)</f><v>1250001.5</v>"), std::string::npos) << xml;
    // The failing formula is kept, without a value of its own.
    EXPECT_NE(xml.find("<f>1/0</f>"), std::string::npos) << xml;
    const std::string styles = ZipEntry(path, "xl/styles.xml");
    EXPECT_NE(styles.find("formatCode=\"#,###\""), std::string::npos) << styles;
    EXPECT_NE(styles.find("<name val=\"Arial\"/>"), std::string::npos) << styles;
    EXPECT_NE(styles.find("<name val=\"Courier New\"/>"), std::string::npos);
    const std::string strings = ZipEntry(path, "xl/sharedStrings.xml");
    EXPECT_NE(strings.find("STATO PATRIMONIALE"), std::string::npos);
}

TEST(SheetFile, AWorkbookThatCannotBeWrittenSaysSo) {
    test::TempDir dir;
    EXPECT_FALSE(ExportXlsx(Sample(), dir.prefix() + "manca/bilancio.xlsx"));
    EXPECT_FALSE(SaveSheet(Sample(), dir.prefix() + "manca/bilancio.zfg"));
}

}  // namespace
}  // namespace zelvo::sheet
