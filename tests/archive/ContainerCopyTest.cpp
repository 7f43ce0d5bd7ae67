#include "isam/ContainerCopy.h"

#include <gtest/gtest.h>

#include <vector>

#include "archive/RecordText.h"
#include "support/TempDir.h"

namespace zelvo {
namespace {

using isam::ContainerTable;
using isam::RecordManager;

struct ArchiveShape {
    const char* table;
    const char* description;
    std::vector<const char*> lines;  // primary key, then the fields (RecordText's lines)
};

struct CopyCase {
    const char* name;
    std::vector<ArchiveShape> archives;
};

void PrintTo(const CopyCase& c, std::ostream* os) {
    *os << c.name;
}

std::int16_t fill(RecordManager& rm, const std::string& container, const ArchiveShape& a) {
    const std::string name = ContainerTable(container, a.table);
    std::int16_t s = rm.VmxCreate(name, 0, 0, 0, 0, a.description);
    std::int16_t h = 0;
    if (s != 0 || (s = rm.VmxOpen(name, 0, 0, h)) != 0) {
        return s;
    }
    for (const char* line : a.lines) {
        std::string pk;
        isam::Record r;
        if (!LineToRecord(line, *rm.description(h), pk, r).empty()) {
            return isam::status::kBadArgument;
        }
        if ((s = rm.VmxPut(h, pk, r, isam::mode::kAdd)) != 0) {
            return s;
        }
    }
    return rm.VmxClose(h);
}

// Everything a station can see of a container: each archive's description, then its
// records in the order of every key field.
std::vector<std::string> contents(RecordManager& rm, const std::string& container) {
    std::vector<std::string> out;
    std::vector<std::string> tables;
    EXPECT_EQ(rm.listArchives(container, tables), 0);
    for (const std::string& table : tables) {
        std::int16_t h = 0;
        EXPECT_EQ(rm.VmxOpen(ContainerTable(container, table), 0, 0, h), 0) << table;
        out.push_back(table + " " + rm.descriptionText(h));
        for (int key = 0; key <= rm.description(h)->count(); ++key) {
            if (key > 0 && !rm.description(h)->isKeyField(key)) {
                continue;
            }
            out.push_back("key " + std::to_string(key));
            EXPECT_EQ(rm.scan(h, static_cast<std::int16_t>(key), "",
                              [&](const std::string& pk, const isam::Record& r) {
                                  out.push_back(RecordToLine(pk, r));
                                  return true;
                              }),
                      0);
        }
        rm.VmxClose(h);
    }
    return out;
}

class ContainerCopyTest : public ::testing::TestWithParam<CopyCase> {};

// Another station (a second record manager) copies the container; what it wrote reads
// exactly as the source in every order, and its record counts match.
TEST_P(ContainerCopyTest, TheCopyReadsAsTheSourceInEveryOrder) {
    test::TempDir dir;
    const std::string source = dir.prefix() + "2026AB.isd";
    const std::string copy = dir.prefix() + "copia/2026AB.isd";
    std::filesystem::create_directories(dir.path() / "copia");
    RecordManager writer(isam::ContainerTables);
    for (const ArchiveShape& a : GetParam().archives) {
        ASSERT_EQ(fill(writer, source, a), 0) << a.table;
    }
    RecordManager other(isam::ContainerTables);
    std::string message;
    ASSERT_EQ(isam::CopyContainer(writer, source, other, copy, message), 0) << message;
    EXPECT_EQ(message, "");
    EXPECT_EQ(contents(other, copy), contents(writer, source));
    EXPECT_EQ(writer.openHandles(), 0);
    EXPECT_EQ(other.openHandles(), 0);

    std::vector<std::pair<std::string, std::int64_t>> counted;
    ASSERT_EQ(isam::CountRecords(other, copy, counted), 0);
    ASSERT_EQ(counted.size(), GetParam().archives.size());
    for (const ArchiveShape& a : GetParam().archives) {
        auto it = std::find_if(counted.begin(), counted.end(),
                               [&](const auto& c) { return c.first == a.table; });
        ASSERT_NE(it, counted.end()) << a.table;
        EXPECT_EQ(it->second, static_cast<std::int64_t>(a.lines.size())) << a.table;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, ContainerCopyTest,
    ::testing::Values(
        CopyCase{"EveryFieldKindWithArraysAndAccents",
                 {{"2026ABpc",
                   "x5$,#,%,&,A3$,$",
                   {"k1\tabc\t1.5\t-3\t70000\tuno\tdue\ttre\tcittà",
                    "K1\tABC\t-0.25\t32767\t-2147483648\t\t\tsolo il terzo\tperché",
                    "k2\tàèìòù\t0\t0\t0\t\t\t\t",
                    "zz\ta\\tb\\\\c\t1e15\t1\t1\triga\\r\\nnuova\t\t\t"}}}},
        CopyCase{"SeveralArchivesOneOfThemEmpty",
                 {{"2026ABct", "$,$,$,$,$,$", {"1\t2026\t\t\t\t\t"}},
                  {"2026ABmc", "x8$,$,$,$,$,#,#,x8$,$,x19$,x13$,x14$,$,$,%,$", {}},
                  {"2026ABpr", "&,$", {"mc\t300000\t", "conto\t50\t", "regia1\t0\t03"}}}},
        CopyCase{"OnlyEmptyArchives",
                 {{"2026ABsi", "#############", {}}, {"2026ABtt", "x8$,$,$,$,$", {}}}},
        CopyCase{"IndexedKeysDifferingOnlyInCase",
                 {{"2026ABsd",
                   "x10$,X5$,$",
                   {"1\tRossi\tAB\tprima", "2\tROSSI\tab\tseconda", "3\trossi\tAb\tterza",
                    "4\tRòssi\taB\tquarta", "Rossi\tbianchi\tzz\tchiave primaria",
                    "rossi\tBianchi\tZZ\tla stessa in minuscolo"}}}}),
    [](const ::testing::TestParamInfo<CopyCase>& info) { return std::string(info.param.name); });

// A destination that already holds an archive is refused and left as it was; what a failed
// copy created is removed container and all.
TEST(ContainerCopyRefusalTest, AnOccupiedDestinationIsRefusedAndACopyCanBeRemoved) {
    test::TempDir dir;
    const std::string source = dir.prefix() + "AB.isd";
    const std::string target = dir.prefix() + "CD.isd";
    RecordManager rm(isam::ContainerTables);
    ASSERT_EQ(fill(rm, source, {"ABax", "$,$", {"1\tuno\t"}}), 0);
    ASSERT_EQ(fill(rm, target, {"CDax", "$", {"9\tnove"}}), 0);
    const std::vector<std::string> before = contents(rm, target);
    std::string message;
    EXPECT_NE(isam::CopyContainer(rm, source, rm, target, message), 0);
    EXPECT_NE(message.find("CDax"), std::string::npos) << message;
    EXPECT_EQ(contents(rm, target), before);

    EXPECT_NE(isam::CopyContainer(rm, dir.prefix() + "assente.isd", rm, target, message), 0);
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "assente.isd"));

    EXPECT_EQ(isam::RemoveContainer(rm, target), 0);
    EXPECT_FALSE(std::filesystem::exists(target));
    EXPECT_EQ(isam::CopyContainer(rm, source, rm, target, message), 0) << message;
    EXPECT_EQ(contents(rm, target).back(), "1\tuno\t");
}

}  // namespace
}  // namespace zelvo
