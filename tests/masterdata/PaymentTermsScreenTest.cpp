#include "masterdata/PaymentTermsScreen.h"

#include <gtest/gtest.h>

#include <sstream>

#include "ChartFixture.h"
#include "masterdata/PaymentTermsFields.h"

namespace zelvo {
namespace {

using test::ChartFixture;

const std::vector<std::vector<std::string>> kGroups = {
    {"tipord", "tiporb"},
    {"rate0", "rate1", "rate2", "rate3", "rate4"},
    {"salto30", "salto60", "salto90", "salto120", "salto150"},
    {"giornodf", "giorno10", "giorno15", "giorno20", "giornofm"},
};

class PaymentTermsTest : public ChartFixture {
  protected:
    void SetUp() override {
        ChartFixture::SetUp();
        screen = std::make_unique<PaymentTermsScreen>(session);
        screen->load();
        ASSERT_FALSE(screen->closeRequested());
        // The screen's own reference keeps the archive open; this one is the test's.
        ASSERT_TRUE(archives().open(arc::kCpag));
    }
    void TearDown() override { screen->unload(); }

    // A click on an option or check box, as the view reports it: an option clears the
    // others of its group, a check box turns over.
    void press(const std::string& control) {
        FormState& f = screen->form();
        for (const auto& group : kGroups) {
            if (std::find(group.begin(), group.end(), control) != group.end()) {
                for (const std::string& o : group) {
                    f.inputChecked(o, o == control);
                }
                screen->change(control);
                return;
            }
        }
        f.inputChecked(control, !f.checked(control));
        screen->change(control);
    }
    void pickEntry(const std::string& description) {
        const auto& items = screen->form().items("List1");
        const auto it = std::find(items.begin(), items.end(), description);
        ASSERT_NE(it, items.end()) << description;
        screen->form().inputSelected("List1", static_cast<int>(it - items.begin()));
        screen->change("List1");
    }
    void add(const std::string& description) {
        screen->form().input("text1", description);
        dialogs.clear();
        screen->click("Command1");
    }
    std::string codeOf(const std::string& description) {
        EXPECT_EQ(archives().getIdentical(arc::kCpag, terms::kDescription, description), 0);
        return archives().primaryKey(arc::kCpag);
    }

    std::unique_ptr<PaymentTermsScreen> screen;
};

struct Stored {
    const char* type;
    // Instalments, first months, due-day rule, August rule, August skipped.
    std::vector<double> numbers;
    const char* name;
    const char* presses;  // the options and check boxes clicked, in order
};

void PrintTo(const Stored& s, std::ostream* os) {
    *os << s.name;
}

class StoredTest : public PaymentTermsTest, public ::testing::WithParamInterface<Stored> {};

TEST_P(StoredTest, TheChoicesMakeTheRecord) {
    const Stored& e = GetParam();
    std::istringstream presses(e.presses);
    for (std::string p; presses >> p;) {
        press(p);
    }
    add(e.name);
    EXPECT_TRUE(dialogs.events().empty());
    ASSERT_EQ(codeOf(e.name), "0009");
    const isam::Record& r = archives().readBuffer(arc::kCpag);
    EXPECT_EQ(r.text(terms::kTermsType), e.type);
    std::vector<double> numbers;
    for (int field = terms::kInstalmentCount; field <= terms::kSkipAugust; ++field) {
        numbers.push_back(r.number(field));
    }
    EXPECT_EQ(numbers, e.numbers);
    const std::vector<std::string>& list = screen->form().items("List1");
    EXPECT_NE(std::find(list.begin(), list.end(), e.name), list.end());
}

// At sight forgetting the months and day chosen before it is the payment_terms script's.
INSTANTIATE_TEST_SUITE_P(
    Cases, StoredTest,
    ::testing::Values(
        Stored{"rb", {3, 2, 30, 0, 1}, "Rb 60 fm", "tiporb rate3 salto60 giornofm Check2"},
        Stored{"rd", {1, 5, 20, 1, 0}, "Rd 150 al 20", "salto150 giorno20 Check1"},
        // The August rules exclude each other: the last one ticked holds.
        Stored{"rd", {2, 1, 10, 2, 0}, "Rd al 10", "rate2 giorno10 Check2 Check1 Check4"},
        Stored{"", {0, 0, 0, 0, 0}, "Solo testo", "tiporb rate4 giornofm Check1 Check3"}));

TEST_F(PaymentTermsTest, AnEmptyTableStartsFrom0001) {
    for (const std::string& d : std::vector<std::string>(screen->form().items("List1"))) {
        pickEntry(d);
        screen->click("Command2");
    }
    EXPECT_TRUE(screen->form().items("List1").empty());
    EXPECT_EQ(count(arc::kCpag), 0);
    add("Prima");
    add("Seconda");
    EXPECT_EQ(codeOf("Prima"), "0001");
    EXPECT_EQ(codeOf("Seconda"), "0002");
    EXPECT_EQ(screen->form().items("List1"), (std::vector<std::string>{"Prima", "Seconda"}));
}

TEST_F(PaymentTermsTest, AtSightAndDescriptionOnlyDisableWhatTheyDoNotUse) {
    const FormState& f = screen->form();
    auto enabled = [&f](std::initializer_list<const char*> names) {
        std::string out;
        for (const char* n : names) {
            out += f.enabled(n) ? "1" : "0";
        }
        return out;
    };
    const auto watched = {"tipord",   "rate1",  "salto30", "giornodf", "giorno10",
                          "giornofm", "Check1", "Check2",  "Check4"};
    EXPECT_EQ(enabled(watched), "111111111");
    press("giornofm");
    press("rate0");
    EXPECT_TRUE(f.checked("giornodf"));
    EXPECT_FALSE(f.checked("giornofm"));
    EXPECT_EQ(enabled(watched), "110100111");
    press("Check3");
    EXPECT_EQ(enabled(watched), "000000000");
    // Cleared again, at sight still holds back the instalment choices.
    press("Check3");
    EXPECT_EQ(enabled(watched), "110100111");
    press("rate2");
    EXPECT_EQ(enabled(watched), "111111111");
}

TEST_F(PaymentTermsTest, ClickingAnEntryShowsItsTerms) {
    const FormState& f = screen->form();
    pickEntry("Ricevuta bancaria 30-60 gg f.m.");
    for (const char* on : {"tiporb", "rate2", "salto30", "giornofm"}) {
        EXPECT_TRUE(f.checked(on)) << on;
    }
    EXPECT_FALSE(f.checked("tipord"));
    EXPECT_FALSE(f.checked("Check3"));
    pickEntry("Solo descrizione");
    EXPECT_TRUE(f.checked("Check3"));
    EXPECT_FALSE(f.enabled("tipord"));
    pickEntry("Rimessa diretta a vista");
    EXPECT_FALSE(f.checked("Check3"));
    EXPECT_TRUE(f.checked("rate0"));
    EXPECT_FALSE(f.enabled("salto30"));
}

}  // namespace
}  // namespace zelvo
