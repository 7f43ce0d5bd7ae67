#include "masterdata/PaymentTermsScreen.h"

#include <gtest/gtest.h>

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
    const char* name;
    std::vector<const char*> presses;
    const char* type;
    int count, months, dueDay, august, skip;
};

void PrintTo(const Stored& s, std::ostream* os) {
    *os << s.name;
}

class StoredTest : public PaymentTermsTest, public ::testing::WithParamInterface<Stored> {};

TEST_P(StoredTest, TheChoicesMakeTheRecord) {
    const Stored& e = GetParam();
    for (const char* p : e.presses) {
        press(p);
    }
    add(e.name);
    EXPECT_TRUE(dialogs.events().empty());
    ASSERT_EQ(archives().getByKey(arc::kCpag, "0009"), 0);
    const isam::Record& r = archives().readBuffer(arc::kCpag);
    EXPECT_EQ(r.text(terms::kDescription), e.name);
    EXPECT_EQ(r.text(terms::kTermsType), e.type);
    EXPECT_EQ(r.number(terms::kInstalmentCount), e.count);
    EXPECT_EQ(r.number(terms::kFirstInstalmentMonths), e.months);
    EXPECT_EQ(r.number(terms::kDueDayRule), e.dueDay);
    EXPECT_EQ(r.number(terms::kAugustRule), e.august);
    EXPECT_EQ(r.number(terms::kSkipAugust), e.skip);
    EXPECT_NE(std::find(screen->form().items("List1").begin(), screen->form().items("List1").end(),
                        e.name),
              screen->form().items("List1").end());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StoredTest,
    ::testing::Values(
        // At sight forgets the months and day chosen before it.
        Stored{"A vista", {"tiporb", "rate3", "salto90", "giorno15", "rate0"}, "rb", 0, 0, 0, 0, 0},
        Stored{"Rb 60-120-180 fm",
               {"tiporb", "rate3", "salto60", "giornofm", "Check2"},
               "rb",
               3,
               2,
               30,
               0,
               1},
        Stored{"Rd 150 al 20", {"salto150", "giorno20", "Check1"}, "rd", 1, 5, 20, 1, 0},
        // The August rules exclude each other: the last one ticked holds.
        Stored{"Rd 30-60 al 10",
               {"rate2", "giorno10", "Check2", "Check1", "Check4"},
               "rd",
               2,
               1,
               10,
               2,
               0},
        Stored{"Solo testo",
               {"tiporb", "rate4", "salto120", "giornofm", "Check1", "Check3"},
               "",
               0,
               0,
               0,
               0,
               0}));

TEST_F(PaymentTermsTest, TheFirstFreeCodeIsTakenAndADeletedOneIsUsedAgain) {
    pickEntry("Rimessa diretta 30 gg d.f.");
    screen->click("Command2");
    EXPECT_EQ(archives().getByKey(arc::kCpag, "0002"), isam::status::kNotFound);
    add("Nuova A");
    add("Nuova B");
    EXPECT_EQ(codeOf("Nuova A"), "0002");
    EXPECT_EQ(codeOf("Nuova B"), "0009");

    // An empty table starts from "0001".
    for (const std::string& d : std::vector<std::string>(screen->form().items("List1"))) {
        pickEntry(d);
        screen->click("Command2");
    }
    EXPECT_TRUE(screen->form().items("List1").empty());
    EXPECT_EQ(count(arc::kCpag), 0);
    add("Prima");
    EXPECT_EQ(codeOf("Prima"), "0001");
}

struct Refusal {
    const char* description;
    const char* entry;  // chosen in the list; "" none
    const char* button;
    const char* message;
};

class RefusalTest : public PaymentTermsTest, public ::testing::WithParamInterface<Refusal> {};

TEST_P(RefusalTest, WritesNothing) {
    const Refusal& e = GetParam();
    if (e.entry[0] != '\0') {
        pickEntry(e.entry);
    }
    screen->form().input("text1", e.description);
    dialogs.clear();
    screen->click(e.button);
    ASSERT_EQ(dialogs.boxes().size(), 1u);
    EXPECT_EQ(dialogs.boxes()[0].text, e.message);
    EXPECT_EQ(dialogs.boxes()[0].title, "Errore");
    EXPECT_EQ(count(arc::kCpag), 8);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RefusalTest,
    ::testing::Values(Refusal{"", "", "Command1", "Non è stata inserita la descrizione"},
                      Refusal{"SOLO descrizione", "", "Command1", "Descrizione già registrata"},
                      Refusal{"Rimessa diretta a vista", "Solo descrizione", "Command1",
                              "Descrizione già registrata"},
                      Refusal{"Nuova", "", "Command2",
                              "Non è stato selezionato nessun pagamento"}));

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
    pickEntry("Rimessa diretta 30-60 gg f.m. salta agosto");
    EXPECT_TRUE(f.checked("tipord"));
    EXPECT_TRUE(f.checked("Check2"));
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
