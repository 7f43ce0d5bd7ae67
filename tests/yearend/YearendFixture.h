#pragma once

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>

#include "posting/YearFixture.h"
#include "yearend/YearFields.h"

namespace zelvo::test {

// A station with "Azienda di prova" chosen for any year whose archives exist, the main
// archives and the journal open.
class Station {
  public:
    Station(const std::string& dataDir, const std::string& year)
        : m_session(std::make_unique<Session>(dialogs, clock)) {
        m_session->setDataDirectory(dataDir);
        m_session->chooseCompany("AB", "Azienda di prova", year);
        for (int archive :
             {arc::kDataz, arc::kCiva, arc::kPr, arc::kCt, arc::kPc, arc::kMc, arc::kTt}) {
            m_session->archives().open(archive, 1);
        }
    }
    Session& session() { return *m_session; }
    Archives& archives() { return m_session->archives(); }

    ScriptedDialogs dialogs;
    FixedClock clock{"15/03/2026"};

  private:
    std::unique_ptr<Session> m_session;
};

// The chart's number fields of one item: opening, debit, credit, closing.
inline std::array<double, 4> Numbers(Archives& a, const std::string& item) {
    EXPECT_EQ(a.getByKey(arc::kPc, item), 0) << item;
    const isam::Record& r = a.readBuffer(arc::kPc);
    return {r.number(chart::kOpeningBalance), r.number(chart::kProgressiveDebit),
            r.number(chart::kProgressiveCredit), r.number(chart::kClosingBalance)};
}

inline void SetNumbers(Archives& a, const std::string& item, std::array<double, 4> n) {
    ASSERT_EQ(a.getByKey(arc::kPc, item), 0) << item;
    a.copyReadToWrite(arc::kPc);
    isam::Record& r = a.writeBuffer(arc::kPc);
    r.setNumber(chart::kOpeningBalance, n[0]);
    r.setNumber(chart::kProgressiveDebit, n[1]);
    r.setNumber(chart::kProgressiveCredit, n[2]);
    r.setNumber(chart::kClosingBalance, n[3]);
    ASSERT_EQ(a.put(arc::kPc, item, isam::mode::kRewrite), 0);
}

// A new item of the chart made from "Iva acquisti" with every balance at 0.
inline void AddItem(Archives& a, const std::string& number, const std::string& description,
                    const std::string& kind, const std::string& nature,
                    const std::string& conto = "00008", const std::string& mastro = "00002") {
    ASSERT_EQ(a.getByKey(arc::kPc, "00011"), 0);
    a.copyReadToWrite(arc::kPc);
    isam::Record& r = a.writeBuffer(arc::kPc);
    r.setText(chart::kDescription, description);
    r.setText(chart::kKind, kind);
    r.setText(chart::kNature, nature);
    r.setText(chart::kContoNumber, conto);
    r.setText(chart::kMastroNumber, mastro);
    for (int field : {chart::kOpeningBalance, chart::kProgressiveDebit, chart::kProgressiveCredit,
                      chart::kClosingBalance}) {
        r.setNumber(field, 0);
    }
    ASSERT_EQ(a.put(arc::kPc, number, isam::mode::kAdd), 0);
}

inline std::string YearFlag(Archives& a, int field) {
    EXPECT_EQ(a.getByKey(arc::kCt, yearrec::kKey), 0);
    return a.readBuffer(arc::kCt).text(field);
}

inline void SetYearFlag(Archives& a, int field, const std::string& value) {
    ASSERT_EQ(a.getByKey(arc::kCt, yearrec::kKey), 0);
    a.copyReadToWrite(arc::kCt);
    a.writeBuffer(arc::kCt).setText(field, value);
    ASSERT_EQ(a.put(arc::kCt, yearrec::kKey, isam::mode::kRewrite), 0);
}

}  // namespace zelvo::test
