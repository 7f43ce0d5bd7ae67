// The due-date screens: manual registration, the listing with its filters and total, the
// variation and deletion of one instalment, and the print.

#include <gtest/gtest.h>

#include "DueDateFixture.h"
#include "duedates/DueDatePrint.h"
#include "duedates/DueDateRegistration.h"
#include "duedates/DueDateVariation.h"
#include "duedates/DueDateView.h"
#include "session/ReportSink.h"
#include "support/Child.h"

namespace zelvo {
namespace {

using R = DueDateRegistration;

struct Entry {
    std::string party = "Rossi Mario";
    std::string number = "15";
    std::string invoiceDate = "10/01/2026";
    std::string amount = "1500";
    std::string dueDate = "31/03/2026";
};

class RegistrationTest : public test::DueDateYear {
  protected:
    void enter(R& screen, const Entry& e, bool suppliers, bool bankReceipts) {
        FormState& f = screen.form();
        f.inputChecked(R::kCustomers, !suppliers);
        f.inputChecked(R::kSuppliers, suppliers);
        f.inputChecked(R::kRemittances, !bankReceipts);
        f.inputChecked(R::kBankReceipts, bankReceipts);
        f.input(R::kParty, e.party);
        f.input(R::kInvoiceNumber, e.number);
        f.input(R::kInvoiceDate, e.invoiceDate);
        f.input(R::kAmount, e.amount);
        f.input(R::kDueDate, e.dueDate);
        screen.click(R::kRegister);
    }
};

struct TargetCase {
    const char* name;
    bool suppliers;
    bool bankReceipts;
    const char* party;
    int archive;
    const char* record;
};

void PrintTo(const TargetCase& c, std::ostream* os) {
    *os << c.name;
}

class RegistrationTargetTest : public RegistrationTest,
                               public ::testing::WithParamInterface<TargetCase> {};

TEST_P(RegistrationTargetTest, TheOptionsChooseTheArchiveAndTheCounterNumbersTheRecord) {
    const TargetCase& c = GetParam();
    R screen(year.session());
    screen.load();
    Entry e;
    e.party = c.party;
    enter(screen, e, c.suppliers, c.bankReceipts);
    enter(screen, e, c.suppliers, c.bankReceipts);
    EXPECT_TRUE(messages().empty());
    const std::string first = std::string("00000001 ") + c.record;
    const std::string second = std::string("00000002 ") + c.record;
    EXPECT_EQ(dump(c.archive), (std::vector<std::string>{first, second}));
    for (int other : {arc::kSd, arc::kSt, arc::kSf}) {
        if (other != c.archive) {
            EXPECT_TRUE(dump(other).empty()) << other;
        }
    }
    // The entry is cleared for the next instalment of the same invoice.
    EXPECT_EQ(screen.form().text(R::kAmount), "");
    EXPECT_EQ(screen.form().text(R::kInvoiceNumber), "15");
    screen.unload();
}

INSTANTIATE_TEST_SUITE_P(
    Options, RegistrationTargetTest,
    ::testing::Values(TargetCase{"customer_rd", false, false, "rossi mario", arc::kSd,
                                 "00051 1500 20260331 0005120260331 "},
                      TargetCase{"customer_rb", false, true, "Rossi Mario", arc::kSt,
                                 "00051 1500 20260331  "},
                      TargetCase{"supplier_rb", true, true, "Verdi Forniture", arc::kSf,
                                 "00053 1500 20260331 0005320260331 rb"},
                      TargetCase{"supplier_rd", true, false, "Verdi Forniture", arc::kSf,
                                 "00053 1500 20260331 0005320260331 rd"}));

TEST_F(RegistrationTest, TwoStationsRegisteringAtOnceNeverShareANumber) {
    constexpr int kEach = 20;
    auto registerMany = [this](test::Year& station) {
        R screen(station.session());
        screen.load();
        for (int i = 0; i < kEach; ++i) {
            enter(screen, Entry{}, false, false);
        }
        screen.unload();
        return station.dialogs.boxes().empty() ? 0 : 1;
    };
    test::Child other([&](test::Child& self) {
        test::Year station(dir.prefix());
        self.tell("ready");
        return registerMany(station);
    });
    ASSERT_EQ(other.hear(), "ready");
    EXPECT_EQ(registerMany(year), 0);
    ASSERT_EQ(other.wait(), 0);
    const std::vector<std::string> records = dump(arc::kSd);
    ASSERT_EQ(records.size(), 2U * kEach);
    EXPECT_EQ(records.back().substr(0, 8), "00000040");
    ASSERT_EQ(year.archives().getByKey(arc::kPr, "scaclird"), 0);
    EXPECT_EQ(year.archives().readBuffer(arc::kPr).number(prf::kValue), 2 * kEach);
}

struct RefusalCase {
    const char* name;
    Entry entry;
    const char* message;
    const char* focus;
};

void PrintTo(const RefusalCase& c, std::ostream* os) {
    *os << c.name;
}

class RegistrationRefusalTest : public RegistrationTest,
                                public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(RegistrationRefusalTest, BadInputIsRefusedWithItsMessageAndNothingIsWritten) {
    const RefusalCase& c = GetParam();
    R screen(year.session());
    screen.load();
    screen.takeFocusRequest();
    enter(screen, c.entry, false, false);
    EXPECT_EQ(messages(), std::vector<std::string>{c.message});
    EXPECT_EQ(screen.takeFocusRequest(), c.focus);
    for (int archive : {arc::kSd, arc::kSt, arc::kSf}) {
        EXPECT_TRUE(dump(archive).empty());
    }
    ASSERT_EQ(year.archives().getByKey(arc::kPr, "scaclird"), 0);
    EXPECT_EQ(year.archives().readBuffer(arc::kPr).number(prf::kValue), 0);
    screen.unload();
}

Entry with(std::string Entry::*field, std::string value) {
    Entry e;
    e.*field = std::move(value);
    return e;
}

constexpr const char* kNoParty = "NON E' STATO INSERITO IL CLIENTE";
constexpr const char* kBadDate = "La data inserita non è valida";

// The refusals of each missing field, in the order the screen checks them, are the operator
// script's (duedates_registration); these are the inputs it does not type.
INSTANTIATE_TEST_SUITE_P(
    Fields, RegistrationRefusalTest,
    ::testing::Values(RefusalCase{"a_prefix", with(&Entry::party, "Ross"), kNoParty, R::kParty},
                      RefusalCase{"zero_amount", with(&Entry::amount, "0"),
                                  "NON E' STATO INSERITO L'IMPORTO", R::kAmount},
                      RefusalCase{"bad_due_date", with(&Entry::dueDate, "29/02/2027"), kBadDate,
                                  R::kDueDate}));

// Rossi Mario (00051) and Bianchi Srl (00052) in "sd", one of Rossi's settled.
class ListingTest : public test::DueDateYear {
  protected:
    ListingTest() {
        instalment(arc::kSd, "00000001", "00051", "1", 100, "20260301");
        instalment(arc::kSd, "00000002", "00052", "2", 200, "20260315");
        instalment(arc::kSd, "00000003", "00051", "3", 300, "20260331", true);
        instalment(arc::kSd, "00000004", "00051", "4", 400, "20260401");
        instalment(arc::kSd, "00000005", "00051", "5", 50, "20260215");
        // Ricevute bancarie have no party + due-date key: Rossi's are written late first.
        instalment(arc::kSt, "00000001", "00051", "7", 70, "20260630");
        instalment(arc::kSt, "00000002", "00052", "8", 80, "20260101");
        instalment(arc::kSt, "00000003", "00051", "9", 90, "20260430");
    }
    std::vector<std::string> keys(const DueDateList& screen) {
        std::vector<std::string> out;
        for (const auto& i : screen.shown()) {
            out.push_back(i.primaryKey);
        }
        return out;
    }
    void show(DueDateView& view, const char* option, const std::string& from,
              const std::string& party) {
        for (const char* o : duedates::kBookOptions) {
            view.form().inputChecked(o, o == std::string(option));
        }
        view.form().input(DueDateView::kFrom, from);
        view.form().input(DueDateView::kParty, party);
        view.leave(DueDateView::kParty);
    }
};

struct FilterCase {
    const char* name;
    const char* option;
    const char* from;
    const char* party;
    std::vector<std::string> keys;
    const char* total;
};

void PrintTo(const FilterCase& c, std::ostream* os) {
    *os << c.name;
}

class ViewFilterTest : public ListingTest, public ::testing::WithParamInterface<FilterCase> {};

TEST_P(ViewFilterTest, ListsTheOpenInstalmentsInDueDateOrderWithTheirTotal) {
    const FilterCase& c = GetParam();
    DueDateView view(year.session());
    view.load();
    show(view, c.option, c.from, c.party);
    EXPECT_EQ(messages(), std::vector<std::string>{});
    EXPECT_EQ(keys(view), c.keys);
    EXPECT_EQ(view.form().items(DueDateView::kList).size(), c.keys.size());
    EXPECT_EQ(view.form().text(DueDateView::kTotal), c.total);
    view.unload();
}

INSTANTIATE_TEST_SUITE_P(
    Filters, ViewFilterTest,
    ::testing::Values(
        FilterCase{"everything",
                   "Option1",
                   "__/__/____",
                   "",
                   {"00000005", "00000001", "00000002", "00000004"},
                   "750"},
        FilterCase{"from_a_date_included",
                   "Option1",
                   "01/03/2026",
                   "",
                   {"00000001", "00000002", "00000004"},
                   "700"},
        FilterCase{
            "one_party", "Option1", "01/03/2026", "Rossi Mario", {"00000001", "00000004"}, "500"},
        FilterCase{"another_party", "Option1", "__/__/____", "Bianchi Srl", {"00000002"}, "200"},
        FilterCase{"bank_receipts_of_a_party_by_date",
                   "Option2",
                   "__/__/____",
                   "Rossi Mario",
                   {"00000003", "00000001"},
                   "160"},
        FilterCase{"bank_receipts_from_a_date", "Option2", "01/05/2026", "", {"00000001"}, "70"},
        FilterCase{"suppliers_empty", "Option3", "__/__/____", "", {}, ""}));

// The customers' heading with its lines under it and a bad date are duedates_view_print's.
TEST_F(ListingTest, TheSuppliersHaveTheirHeadingAndACustomerIsRefused) {
    DueDateView view(year.session());
    view.load();
    show(view, "Option3", "__/__/____", "");
    EXPECT_EQ(view.form().text(DueDateView::kHeading),
              " N. e data fatt.   Fornitore                           Importo  Scadenza ");
    // A customer names no supplier.
    show(view, "Option3", "__/__/____", "Rossi Mario");
    EXPECT_EQ(messages(), std::vector<std::string>{kNoParty});
    view.unload();
}

class VariationTest : public ListingTest {
  protected:
    VariationTest() {
        screen.load();
        EXPECT_TRUE(screen.shown().empty());
        screen.leave(DueDateVariation::kFrom);
    }
    ~VariationTest() override { screen.unload(); }
    void choose(int line) {
        screen.form().inputSelected(DueDateVariation::kList, line);
        screen.change(DueDateVariation::kList);
    }
    DueDateVariation screen{year.session()};
};

TEST_F(VariationTest, VaryingRewritesOnlyTheChosenInstalmentAndMovesItInThePartysOrder) {
    const std::vector<std::string> before = dump(arc::kSd);
    choose(1);  // 00000001, Rossi, 100 on 01/03
    EXPECT_EQ(screen.form().text(DueDateVariation::kAmount), "100");
    EXPECT_EQ(screen.form().text(DueDateVariation::kDueDate), "01/03/2026");
    screen.form().input(DueDateVariation::kAmount, "120");
    screen.form().input(DueDateVariation::kDueDate, "10/04/2026");
    screen.click(DueDateVariation::kVary);
    EXPECT_TRUE(messages().empty());
    std::vector<std::string> after = before;
    after[0] = "00000001 00051 120 20260410 0005120260410 ";
    EXPECT_EQ(dump(arc::kSd), after);
    // Rossi's list now has it after the one of 01/04.
    EXPECT_EQ(keys(screen),
              (std::vector<std::string>{"00000005", "00000002", "00000004", "00000001"}));
    EXPECT_EQ(screen.form().text(DueDateVariation::kAmount), "");
}

// The missing amount and date are the duedates_view_print script's.
TEST_F(VariationTest, ABadDateAndChangesFromAnotherStationWriteNothing) {
    const std::vector<std::string> before = dump(arc::kSd);
    choose(2);
    screen.form().input(DueDateVariation::kAmount, "5");
    screen.form().input(DueDateVariation::kDueDate, "31/06/2026");
    screen.click(DueDateVariation::kVary);
    EXPECT_EQ(messages(), std::vector<std::string>{kBadDate});
    EXPECT_EQ(dump(arc::kSd), before);

    // Settled meanwhile at another station: neither varied nor deleted.
    test::Child other([this](test::Child&) {
        test::Year station(dir.prefix());
        Archives& a = station.archives();
        a.open(arc::kSd);
        return a.update(
            arc::kSd, "00000002",
            [](isam::Record& r) { r.setText(duef::kSettledDate, "20260320"); }, 1, 1);
    });
    ASSERT_EQ(other.wait(), 0);
    const std::vector<std::string> settled = dump(arc::kSd);
    screen.form().input(DueDateVariation::kDueDate, "20/03/2026");
    screen.click(DueDateVariation::kVary);
    EXPECT_EQ(messages(),
              std::vector<std::string>{
                  "La scadenza è stata modificata o eliminata da un'altra postazione."});
    EXPECT_EQ(dump(arc::kSd), settled);
    EXPECT_EQ(keys(screen), (std::vector<std::string>{"00000005", "00000001", "00000004"}));
}

TEST_F(VariationTest, DeletingRemovesOnlyTheChosenInstalment) {
    choose(2);  // 00000002, Bianchi
    screen.click(DueDateVariation::kDelete);
    EXPECT_TRUE(messages().empty());
    EXPECT_EQ(dump(arc::kSd).size(), 4U);
    EXPECT_EQ(keys(screen), (std::vector<std::string>{"00000005", "00000001", "00000004"}));
    EXPECT_EQ(dump(arc::kSt).size(), 3U);
    // With no line chosen there is nothing to delete.
    screen.click(DueDateVariation::kDelete);
    EXPECT_EQ(dump(arc::kSd).size(), 4U);
    EXPECT_EQ(year.dialogs.beeps(), 1);
}

class PrintTest : public ListingTest {
  protected:
    std::string print(duedates::Book book, const duedates::DueFilter& filter) {
        year.session().values().print.linesPerPage = 6;
        const auto path = dir.path() / "scadenzario.txt";
        TextReportSink sink(path.string());
        EXPECT_TRUE(PrintDueDates(year.session(), sink, false, book, filter));
        return test::ReadFile(path);
    }
};

TEST_F(PrintTest, PrintsTheRangeBoundsIncludedOnPagesWithTheTotal) {
    instalment(arc::kSd, "00000006", "00052", "123456", 1234567, "20260331");
    EXPECT_EQ(print(duedates::Book::CustomerRemittances, {"20260301", "20260331", ""}),
              test::ReadFile(ZELVO_DUEDATES_EXPECTED "/march.txt"));
    EXPECT_EQ(print(duedates::Book::CustomerBankReceipts, {"", "", "00051"}),
              test::ReadFile(ZELVO_DUEDATES_EXPECTED "/bank_receipts_rossi.txt"));
}

}  // namespace
}  // namespace zelvo
