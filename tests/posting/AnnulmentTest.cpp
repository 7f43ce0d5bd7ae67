#include <gtest/gtest.h>

#include "YearFixture.h"
#include "duedates/DueDateFields.h"
#include "posting/InvoiceEntry.h"
#include "posting/PostingScreens.h"
#include "posting/RevisionChooser.h"

namespace zelvo {
namespace {

using K = InvoiceEntry::Kind;

std::int64_t Count(Archives& a, int archive) {
    a.open(archive);
    std::int64_t n = 0;
    a.count(archive, n);
    a.close(archive);
    return n;
}

// The single-registration annulment removes a document as its revision would: lines,
// running totals, detail rows, register rows and due dates, after a question.
class AnnulmentTest : public ::testing::TestWithParam<bool> {
  protected:
    AnnulmentTest() {
        ScreenRegistry screens;
        RegisterPostingScreens(screens);
        const char* terms = "Rimessa diretta 30-60 gg f.m. salta agosto";
        year.addItem("00051", "Rossi Mario", "c", "00009", "00003", terms);
        year.addItem("00053", "Vendite merci", "s", "00009", "00003", terms);
    }
    void post(K kind, const char* number) {
        InvoiceEntry s(year.session(), kind, InvoiceEntry::Variant::Lire);
        s.load();
        for (const auto& [control, value] : std::vector<std::pair<const char*, const char*>>{
                 {"TEXT1", "10/03/2026"},
                 {"text2", number},
                 {"text5", kind == K::Sales ? "Rossi Mario" : "Vendite merci"},
                 {"text6", "1200"},
                 {"controp:0", "Vendite merci"},
                 {"imponibile:0", "1000"},
                 {"codiva:0", "20"},
                 {"importoiva:0", "200"}}) {
            s.form().input(control, value);
        }
        s.click("Command1");
        EXPECT_GT(s.lastPosted(), 0);
        s.unload();
    }
    test::DataPlace dir;
    test::Year year{dir.prefix()};
};

TEST_P(AnnulmentTest, RemovesEverythingTheRegistrationWroteOnlyWhenAskedTo) {
    const bool yes = GetParam();
    post(K::Sales, "7");
    post(K::Receipt, "3");
    Archives& a = year.archives();
    ASSERT_EQ(Count(a, arc::kSd), 2);
    const auto before = year.journal();
    RevisionChooser chooser(year.session(), RevisionChooser::Mode::Annul);
    chooser.load();
    for (const char* number : {"1", "4"}) {
        chooser.form().input("text2", number);
        chooser.leave("text2");
        year.dialogs.queueAnswer(yes ? Answer::Yes : Answer::No);
        chooser.click("Command1");
    }
    const auto b = year.dialogs.boxes();
    ASSERT_EQ(b.size(), 2U);
    EXPECT_EQ(b[0].text, "Si vuole annullare la registrazione n. 1 ?");
    if (yes) {
        EXPECT_TRUE(year.journal().empty());
        EXPECT_TRUE(year.storedTotals().empty());
        for (int archive : {arc::kIv, arc::kIc, arc::kSd, arc::kTt}) {
            EXPECT_EQ(Count(a, archive), 0) << archive;
        }
        EXPECT_TRUE(chooser.form().items("List1").empty());
    } else {
        EXPECT_EQ(year.journal(), before);
        EXPECT_EQ(Count(a, arc::kSd), 2);
        EXPECT_EQ(Count(a, arc::kIc), 1);
    }
    EXPECT_EQ(year.storedTotals(), year.recomputedTotals());
    chooser.unload();
}

INSTANTIATE_TEST_SUITE_P(Answers, AnnulmentTest, ::testing::Bool());

}  // namespace
}  // namespace zelvo
