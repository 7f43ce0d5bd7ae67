#pragma once

#include <string>
#include <vector>

#include "../posting/YearFixture.h"
#include "duedates/DueDateFields.h"
#include "masterdata/ChartFields.h"

namespace zelvo::test {

// A year with two customers and a supplier in the chart, and instalments written straight
// into the due-date archives.
class DueDateYear : public ::testing::Test {
  protected:
    DueDateYear() {
        year.addItem("00051", "Rossi Mario", "c");
        year.addItem("00052", "Bianchi Srl", "c");
        year.addItem("00053", "Verdi Forniture", "f");
        for (int archive : {arc::kSd, arc::kSt, arc::kSf}) {
            year.archives().open(archive);
        }
    }
    // An instalment under primary key `key`; `settled` fills the settlement date.
    void instalment(int archive, const std::string& key, const std::string& party,
                    const std::string& number, double amount, const std::string& due,
                    bool settled = false) {
        Archives& a = year.archives();
        a.clearWriteBuffer(archive);
        isam::Record& r = a.writeBuffer(archive);
        r.setText(duef::kInvoiceNumber, number);
        r.setText(duef::kInvoiceDate, "20260110");
        r.setText(duef::kPartyNumber, party);
        r.setNumber(duef::kAmount, amount);
        r.setText(duef::kDueDate, due);
        r.setText(duef::kSettledDate, settled ? "20260120" : "");
        if (archive != arc::kSt) {
            r.setText(duef::kPartyDueKey, party + due);
        }
        ASSERT_EQ(a.put(archive, key, isam::mode::kAdd), 0);
    }
    // Every record of an archive as "key amount due", in key order.
    std::vector<std::string> dump(int archive) {
        Archives& a = year.archives();
        std::vector<std::string> out;
        a.bof(archive, 0);
        while (a.get(archive, 0, isam::op::kNext, "") == 0) {
            const isam::Record& r = a.readBuffer(archive);
            out.push_back(a.primaryKey(archive) + " " + r.text(duef::kPartyNumber) + " " +
                          std::to_string(static_cast<long long>(r.number(duef::kAmount))) + " " +
                          r.text(duef::kDueDate) + " " + r.text(duef::kPartyDueKey) + " " +
                          r.text(duef::kPaymentType));
        }
        return out;
    }
    std::vector<std::string> messages() { return year.takeBoxes(); }

    test::TempDir dir;
    test::Year year{dir.prefix()};
};

}  // namespace zelvo::test
