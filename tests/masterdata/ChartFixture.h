#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/Installation.h"
#include "masterdata/ChartFields.h"
#include "session/ReportSink.h"
#include "session/ScreenLogic.h"
#include "support/TempDir.h"

namespace zelvo::test {

// The program around a screen: counts the settings applied at once.
class RecordingHost : public ScreenHost {
  public:
    void openScreen(const std::string&) override {}
    void openScreen(std::unique_ptr<ScreenLogic>, bool) override {}
    int visibleWindows() const override { return 1; }
    void endProgram() override {}
    void setBusy(bool) override {}
    void panelChanged(int) override {}
    void settingsChanged() override { ++settingsChanges; }
    std::unique_ptr<ReportSink> openReport() override { return nullptr; }

    int settingsChanges = 0;
};

// A fresh installation with "Azienda di prova" chosen for 2026 and its main archives open,
// as the screens find them after the selection window.
class ChartFixture : public ::testing::Test {
  protected:
    ChartFixture() : clock("15/03/2026"), session(dialogs, clock) {
        session.setDataDirectory(dir.prefix());
        session.values().programFolder = dir.prefix();
        session.setHost(&host);
    }
    void SetUp() override {
        ASSERT_EQ(CreateInstallation(session, "2026"), InstallOutcome::Installed);
        session.chooseCompany("AB", "Azienda di prova", "2026");
        for (int archive : {arc::kDataz, arc::kCt, arc::kPr, arc::kPc}) {
            ASSERT_TRUE(archives().open(archive));
        }
    }
    Archives& archives() { return session.archives(); }

    // Writes a chart item directly, as if registered earlier.
    void addItem(const std::string& number, const std::string& description, const std::string& kind,
                 const std::string& mastro = "", const std::string& conto = "", double debit = 0,
                 double opening = 0) {
        archives().clearWriteBuffer(arc::kPc);
        isam::Record& r = archives().writeBuffer(arc::kPc);
        r.setText(chart::kDescription, description);
        r.setText(chart::kKind, kind);
        r.setText(chart::kMastroNumber, mastro);
        r.setText(chart::kContoNumber, conto);
        r.setNumber(chart::kOpeningBalance, opening);
        r.setNumber(chart::kProgressiveDebit, debit);
        r.setNumber(chart::kClosingBalance, opening + debit);
        r.setText(chart::kAccountCode, mastro + conto + number);
        r.setText(chart::kKindKey,
                  (kind == "m" || kind == "cc" ? std::string("x") : kind) + description);
        r.setText(chart::kGroupKey, (kind == "c" || kind == "f" ? "cf" : "ss") + description);
        ASSERT_EQ(archives().put(arc::kPc, number, isam::mode::kWrite), 0);
    }

    std::int64_t count(int archive) {
        std::int64_t n = -1;
        archives().count(archive, n);
        return n;
    }
    double counterValue(const std::string& name) {
        EXPECT_EQ(archives().getByKey(arc::kPr, name), 0) << name;
        return archives().readBuffer(arc::kPr).number(1);
    }
    void setCounter(const std::string& name, double value) {
        archives().clearWriteBuffer(arc::kPr);
        archives().writeBuffer(arc::kPr).setNumber(1, value);
        archives().writeBuffer(arc::kPr).setText(2, "testo");
        ASSERT_EQ(archives().put(arc::kPr, name, isam::mode::kWrite), 0);
    }

    test::TempDir dir;
    ScriptedDialogs dialogs;
    FixedClock clock;
    Session session;
    RecordingHost host;
};

}  // namespace zelvo::test
