#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <tuple>

#include "app/Installation.h"
#include "masterdata/ChartFields.h"
#include "posting/JournalFields.h"
#include "posting/PostingEngine.h"
#include "session/ScreenLogic.h"
#include "session/Session.h"
#include "support/DataPlace.h"

namespace zelvo::test {

// A fresh installation with "Azienda di prova" chosen for 2026 and the journal archives
// open, as an entry screen finds it.
class Year {
  public:
    explicit Year(const std::string& dataDir)
        : m_session(std::make_unique<Session>(dialogs, clock)) {
        m_session->setDataDirectory(dataDir);
        if (!HoldsContainer(dataDir, "dataz")) {
            CreateInstallation(*m_session, "2026");
        }
        m_session->chooseCompany("AB", "Azienda di prova", "2026");
        Archives& a = m_session->archives();
        for (int archive :
             {arc::kDataz, arc::kCiva, arc::kPr, arc::kCt, arc::kPc, arc::kMc, arc::kTt}) {
            a.open(archive, 1);
        }
    }
    Session& session() { return *m_session; }
    Archives& archives() { return m_session->archives(); }

    // Every movement line of the year, in line order.
    std::vector<isam::Record> journal() {
        Archives& a = archives();
        std::vector<isam::Record> out;
        a.bof(arc::kMc, 0);
        while (a.get(arc::kMc, 0, isam::op::kNext, "") == 0) {
            out.push_back(a.readBuffer(arc::kMc));
        }
        return out;
    }

    // The running totals of every chart item, recomputed from the movement lines: each line
    // counts for its sub-account, the sub-account's conto and mastro.
    std::map<std::string, std::pair<double, double>> recomputedTotals() {
        Archives& a = archives();
        std::map<std::string, std::pair<double, double>> sums;
        a.bof(arc::kMc, 0);
        std::vector<isam::Record> lines;
        while (a.get(arc::kMc, 0, isam::op::kNext, "") == 0) {
            lines.push_back(a.readBuffer(arc::kMc));
        }
        for (const auto& l : lines) {
            std::string account = l.text(mcf::kAccount);
            EXPECT_EQ(a.getByKey(arc::kPc, account), 0) << account;
            const isam::Record& item = a.readBuffer(arc::kPc);
            for (const std::string& k :
                 {account, item.text(chart::kContoNumber), item.text(chart::kMastroNumber)}) {
                sums[k].first += l.number(mcf::kDebit);
                sums[k].second += l.number(mcf::kCredit);
            }
        }
        return sums;
    }

    // The totals the chart carries, for every item that has any.
    std::map<std::string, std::pair<double, double>> storedTotals() {
        Archives& a = archives();
        std::map<std::string, std::pair<double, double>> totals;
        a.bof(arc::kPc, 0);
        while (a.get(arc::kPc, 0, isam::op::kNext, "") == 0) {
            const isam::Record& r = a.readBuffer(arc::kPc);
            double d = r.number(chart::kProgressiveDebit);
            double c = r.number(chart::kProgressiveCredit);
            EXPECT_EQ(r.number(chart::kClosingBalance), r.number(chart::kOpeningBalance) + d - c);
            if (d != 0 || c != 0) {
                totals[a.primaryKey(arc::kPc)] = {d, c};
            }
        }
        return totals;
    }

    // Adds a chart item of the kind under its number; `more` fills further fields.
    void addItem(const std::string& number, const std::string& name, const std::string& kind,
                 const std::function<void(isam::Record&)>& more = {}) {
        Archives& a = archives();
        a.clearWriteBuffer(arc::kPc);
        isam::Record& r = a.writeBuffer(arc::kPc);
        r.setText(chart::kDescription, name);
        r.setText(chart::kKind, kind);
        if (more) {
            more(r);
        }
        ASSERT_EQ(a.put(arc::kPc, number, isam::mode::kAdd), 0);
    }
    // A chart item of the company, under its conto and mastro, with its payment terms.
    void addItem(const std::string& number, const std::string& name, const std::string& kind,
                 const std::string& conto, const std::string& mastro,
                 const std::string& terms = {}) {
        addItem(number, name, kind, [&](isam::Record& r) {
            r.setText(chart::kContoNumber, conto);
            r.setText(chart::kMastroNumber, mastro);
            r.setText(chart::kPaymentTerms, terms);
        });
    }

    // The texts of the boxes shown so far, which are then forgotten.
    std::vector<std::string> takeBoxes() {
        std::vector<std::string> out;
        for (const auto& b : dialogs.boxes()) {
            out.push_back(b.text);
        }
        dialogs.clear();
        return out;
    }

    // One field typed before a confirm, and the one box that confirm must show.
    struct Refusal {
        std::string control;
        std::string value;
        std::string message;
    };
    // Each step is typed into `screen` and confirmed: every confirm must show exactly its
    // step's box, which proves the checks come in their order.
    void expectRefusals(ScreenLogic& screen, const std::vector<Refusal>& steps) {
        for (const Refusal& step : steps) {
            screen.form().input(step.control, step.value);
            screen.click("Command1");
            EXPECT_EQ(takeBoxes(), std::vector<std::string>{step.message}) << step.control;
        }
    }

    ScriptedDialogs dialogs;
    FixedClock clock{"15/03/2026"};

  private:
    std::unique_ptr<Session> m_session;
};

// A generic movement of the given (account, debit, credit) lines.
inline JournalEntry Movement(const std::string& date,
                             std::vector<std::tuple<std::string, double, double>> rows) {
    JournalEntry e;
    e.regDate = date;
    e.docNumber = "1";
    e.docDate = date;
    e.causal = "mg";
    for (const auto& [account, debit, credit] : rows) {
        e.lines.push_back({account, debit, credit, "Movimento "});
    }
    return e;
}

}  // namespace zelvo::test
