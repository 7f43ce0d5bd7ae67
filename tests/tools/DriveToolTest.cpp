#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "support/TempDir.h"

namespace zelvo {
namespace {

namespace fs = std::filesystem;

// The general journal of an empty month, written by `report` into a subfolder and compared
// with the expected text beside the script.
constexpr const char* kScript = R"(today 20/07/2026
install
start
choose "Azienda di prova" 2026
menu mbb1
type TEXT1 15/01/2026
type text2 4
type text3 14/01/2026
type text4 "Acquisto cancelleria"
cell conto 0 "Iva acquisti"
cell dare 0 1500
cell conto 1 "Abbuoni su acquisti"
cell avere 1 1500
click Registra
expect no-message
click Annulla
menu mc7
type text1 01/02/2026
type text2 28/02/2026
report stampe/giornale.txt
click Stampa
expect no-message
expect file stampe/giornale.txt atteso.txt
)";

struct DriveRun {
    int exitCode = -1;
    std::string out;
};

DriveRun drive(const std::string& arguments, const fs::path& tmp) {
    // The driver's own temporary folders go to `tmp`, so that the test sees what it leaves.
    const std::string command = "env -u ZELVO_DRIVE_OUTPUT TMPDIR=" + tmp.string() + " " +
                                ZELVO_DRIVE_TOOL + " " + arguments + " 2>/dev/null";
    DriveRun run;
    FILE* p = popen(command.c_str(), "r");
    char buf[4096];
    size_t n = 0;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) {
        run.out.append(buf, n);
    }
    run.exitCode = WEXITSTATUS(pclose(p));
    return run;
}

std::set<std::string> names(const fs::path& folder) {
    std::set<std::string> out;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        out.insert(fs::relative(entry.path(), folder).string());
    }
    return out;
}

// What a script writes under a relative name lands in the output folder, never beside the
// script (the source tree); `expect file` finds it there and the expected file beside the
// script. Without --output the folder is temporary: gone after a pass, kept after a failure.
TEST(DriveToolTest, RelativeOutputsLandInTheOutputFolderAndNeverBesideTheScript) {
    test::TempDir dir;
    const fs::path scripts = dir.path() / "scripts";
    const fs::path out = dir.path() / "out";
    const fs::path tmp = dir.path() / "tmp";
    fs::create_directories(scripts);
    fs::create_directories(tmp);
    const std::string script = (scripts / "giornale.script").string();
    std::ofstream(script) << kScript;

    // No expected file yet: the run fails at `expect file`, after writing the report.
    DriveRun first = drive("--output " + out.string() + " " + script, tmp);
    EXPECT_EQ(first.exitCode, 1) << first.out;
    const std::string report = test::ReadFile(out / "stampe" / "giornale.txt");
    ASSERT_NE(report.find("GIORNALE"), std::string::npos) << report;
    EXPECT_EQ(names(scripts), (std::set<std::string>{"giornale.script"}));

    std::ofstream(scripts / "atteso.txt", std::ios::binary) << report;
    fs::remove_all(out);
    DriveRun second = drive(script, tmp);
    EXPECT_EQ(second.exitCode, 0) << second.out;
    EXPECT_EQ(second.out, "1 passed, 0 failed\n");
    EXPECT_EQ(names(scripts), (std::set<std::string>{"atteso.txt", "giornale.script"}));
    for (const std::string& left : names(tmp)) {
        EXPECT_NE(left.rfind("zelvo-", 0), 0u) << left;  // Qt's runtime folder may stay
    }
    EXPECT_FALSE(fs::exists(out));

    std::ofstream(scripts / "atteso.txt", std::ios::binary) << report << "altro\n";
    DriveRun third = drive(script, tmp);
    EXPECT_EQ(third.exitCode, 1);
    const std::string kept = "outputs kept in " + tmp.string() + "/zelvo-drive-out-";
    ASSERT_NE(third.out.find(kept), std::string::npos) << third.out;
    const std::string folder = third.out.substr(third.out.find(kept) + 16);
    EXPECT_EQ(test::ReadFile(folder.substr(0, folder.find('\n')) + "/stampe/giornale.txt"), report);
}

}  // namespace
}  // namespace zelvo
