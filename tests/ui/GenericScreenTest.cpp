// View wiring: what the generic view hands the logic and what it does with the answers.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>

#include "session/Session.h"
#include "ui/GenericScreen.h"

namespace zelvo {
namespace {

// A screen that records what it saw and refuses to let an empty date go.
class ProbeLogic : public ScreenLogic {
  public:
    explicit ProbeLogic(Session& s) : ScreenLogic(s, layout()) {}
    static FormSpec layout() {
        FormSpec f;
        f.name = "probe";
        f.date("text1", "Data:", 0);
        f.text("text2", "Anno:", 1).allowed = kDigits;
        f.button("Command1", "&Chiudi", 2, 0);
        return f;
    }
    void leave(const std::string& control) override {
        seen.push_back(control + "=" + text(control));
        if (control == "text1" && text("text1") == "__/__/____") {
            inputError("La data inserita non è valida", "text1");
        }
    }
    void click(const std::string& control) override {
        if (control == "Command1") {
            requestClose();
        }
    }
    std::vector<std::string> seen;
};

class GenericScreenTest : public ::testing::Test {
  protected:
    GenericScreenTest() : session(dialogs, clock) {
        auto logic = std::make_unique<ProbeLogic>(session);
        probe = logic.get();
        screen = new GenericScreen(std::move(logic));
        main.setCentralWidget(area);
        sub = area->addSubWindow(screen);
        main.show();
        sub->show();
        main.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&main));
        screen->start();
    }

    QLineEdit* edit(const char* name) { return static_cast<QLineEdit*>(screen->control(name)); }

    ScriptedDialogs dialogs;
    FixedClock clock{"15/03/2026"};
    Session session;
    QMainWindow main;
    QMdiArea* area = new QMdiArea;
    QMdiSubWindow* sub = nullptr;
    GenericScreen* screen = nullptr;
    ProbeLogic* probe = nullptr;
};

TEST_F(GenericScreenTest, AnUntouchedDateReachesTheLogicAsItsMaskAndTheFocusComesBack) {
    ASSERT_EQ(QApplication::focusWidget(), edit("text1"));
    edit("text2")->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(probe->seen, std::vector<std::string>{"text1=__/__/____"});
    EXPECT_EQ(QApplication::focusWidget(), edit("text1"));
    EXPECT_EQ(dialogs.boxes().size(), 1U);

    QTest::keyClicks(edit("text1"), "10032026");
    edit("text2")->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(probe->seen.back(), "text1=10/03/2026");
    EXPECT_EQ(QApplication::focusWidget(), edit("text2"));
}

TEST_F(GenericScreenTest, DigitFieldsDropOtherKeys) {
    edit("text2")->setFocus();
    QTest::keyClicks(edit("text2"), "2a0-2.6");
    EXPECT_EQ(edit("text2")->text(), "2026");
}

TEST_F(GenericScreenTest, ClosingFromTheLogicClosesOnlyTheChildWindow) {
    QPointer<QMdiSubWindow> guard(sub);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    static_cast<QAbstractButton*>(screen->control("Command1"))->click();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(guard.isNull());
    EXPECT_TRUE(main.isVisible());
}

}  // namespace
}  // namespace zelvo

int main(int argc, char** argv) {
    // Test discovery runs this without the test environment; views need no screen anyway.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
