#include "base/Dialogs.h"

#include <gtest/gtest.h>

namespace zelvo {
namespace {

using Kind = ScriptedDialogs::Event::Kind;

TEST(ScriptedDialogsTest, RecordsBoxesAndBeepsInOrder) {
    ScriptedDialogs d;
    d.beep();
    d.message("La data inserita non è valida", "Errore", Icon::Exclamation);
    d.beep();
    d.message("OUT OF MEMORY", "Zelvo", Icon::Critical);

    ASSERT_EQ(d.events().size(), 4u);
    EXPECT_EQ(d.events()[0].kind, Kind::Beep);
    EXPECT_EQ(d.events()[1].kind, Kind::Message);
    EXPECT_EQ(d.events()[1].text, "La data inserita non è valida");
    EXPECT_EQ(d.events()[1].title, "Errore");
    EXPECT_EQ(d.events()[1].icon, Icon::Exclamation);
    EXPECT_EQ(d.events()[2].kind, Kind::Beep);
    EXPECT_EQ(d.events()[3].text, "OUT OF MEMORY");
    EXPECT_EQ(d.beeps(), 2);

    const auto boxes = d.boxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].title, "Errore");
    EXPECT_EQ(boxes[1].icon, Icon::Critical);

    d.clear();
    EXPECT_TRUE(d.events().empty());
    EXPECT_EQ(d.beeps(), 0);
}

TEST(ScriptedDialogsTest, AnswersFromTheQueueThenNoMarkedUnanswered) {
    ScriptedDialogs d;
    d.queueAnswer(Answer::Yes);
    d.queueAnswer(Answer::No);
    d.queueAnswer(Answer::Yes);

    EXPECT_EQ(d.ask("Primo?", "Zelvo", Icon::Question, false), Answer::Yes);
    EXPECT_EQ(d.ask("Secondo?", "Zelvo", Icon::Question, true), Answer::No);
    EXPECT_EQ(d.ask("Terzo?", "Zelvo", Icon::Question, true), Answer::Yes);
    EXPECT_EQ(d.ask("Quarto?", "Zelvo", Icon::Question, false), Answer::No);

    const auto& e = d.events();
    ASSERT_EQ(e.size(), 4u);
    EXPECT_EQ(e[0].kind, Kind::Question);
    EXPECT_EQ(e[1].text, "Secondo?");
    EXPECT_FALSE(e[0].unanswered);
    EXPECT_FALSE(e[1].unanswered);
    EXPECT_FALSE(e[2].unanswered);
    EXPECT_TRUE(e[3].unanswered);
    EXPECT_EQ(d.boxes().size(), 4u);
}

TEST(ScriptedDialogsTest, FileChoicesFromTheQueue) {
    ScriptedDialogs d;
    d.queueFile("copia.zip");
    d.queueFile(std::nullopt);  // the operator cancels

    const FileRequest request{"Ripristino", "Archivio(*.zip)|*.zip", "", false};
    EXPECT_EQ(d.chooseFile(request), "copia.zip");
    EXPECT_EQ(d.chooseFile(request), std::nullopt);
    EXPECT_EQ(d.chooseFile(request), std::nullopt);

    const auto& e = d.events();
    ASSERT_EQ(e.size(), 3u);
    EXPECT_EQ(e[0].kind, Kind::File);
    EXPECT_EQ(e[0].text, "Ripristino");
    EXPECT_FALSE(e[1].unanswered);  // a queued cancel is an answer
    EXPECT_TRUE(e[2].unanswered);
    EXPECT_TRUE(d.boxes().empty());
}

}  // namespace
}  // namespace zelvo
