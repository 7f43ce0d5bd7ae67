// View wiring: what the generic view hands the logic and what it does with the answers.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSpinBox>
#include <QTest>

#include <optional>
#include <stdexcept>

#include "app/Installation.h"
#include "session/Session.h"
#include "support/TempDir.h"
#include "ui/GenericScreen.h"

namespace zelvo {
namespace {

// A screen that records what it saw and refuses to let an empty date go.
class ProbeLogic : public ScreenLogic {
  public:
    explicit ProbeLogic(Session& s) : ScreenLogic(s, layout()) {
        for (const char* field : {"text1", "text2", "text3", "text4", "text5"}) {
            on(Event::Leave, field, [this, field] { left(field); });
        }
        on(Event::Click, "Command1", [this] { requestClose(); });
        on(Event::Click, "Command2", [this] {
            // A fault in the middle of a registration: one record written, then a throw.
            Registration tx(archives(), arc::kDataz);
            archives().clearWriteBuffer(arc::kDataz);
            archives().put(arc::kDataz, "99", isam::mode::kAdd);
            throw std::runtime_error("guasto di prova");
        });
    }
    static FormSpec layout() {
        FormSpec f;
        f.name = "probe";
        f.date("text1", "Data:", 0);
        f.text("text2", "Anno:", 1, 30, {.allowed = kDigits});
        f.button("Command1", "&Chiudi", 2, 0);
        f.button("Command2", "&Guasto", 2, 1);
        f.amount("text3", "Lire:", 3, 16, Amounts::Lire);
        f.amount("text4", "Euro:", 4, 16, Amounts::Euro);
        f.amount("text5", "Importo:", 5, 16, Amounts::SignedLire);
        f.spin("Spin1", "Pagina:", 6, {.maximum = 4});
        return f;
    }
    void left(const std::string& control) {
        seen.push_back(control + "=" + text(control));
        if (spinGiven) {
            form().setText("Spin1", *spinGiven);
            spinGiven.reset();
        }
        if (control == "text1" && text("text1") == "__/__/____") {
            inputError("La data inserita non è valida", "text1");
        }
    }
    std::vector<std::string> seen;
    std::optional<std::string> spinGiven;  // what the next leave puts into the spinner
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

// Whatever is typed into a numeric field, the field keeps only what its kind accepts and the
// program goes on; whatever number text the logic gives a spinner, it shows one in range.
TEST_F(GenericScreenTest, NumericFieldsTakeAnyInputWithoutFailing) {
    const std::string thirty(30, '9');
    struct Case {
        const char* field;
        std::string typed;
        std::string kept;
    };
    const Case cases[] = {
        {"text2", "abc", ""},
        {"text2", "-", ""},
        {"text2", thirty, thirty},
        {"text3", "12ab-3", "123"},
        {"text3", "-", ""},
        {"text3", thirty, std::string(15, '9')},
        {"text4", "1,234,5", "1,23"},
        {"text4", "-", ""},
        {"text5", "-", "-"},
        {"text5", "--7x", "-7"},
        {"text5", thirty, std::string(15, '9')},
    };
    QTest::keyClicks(edit("text1"), "10032026");
    for (const Case& c : cases) {
        edit(c.field)->setFocus();
        edit(c.field)->clear();
        QTest::keyClicks(edit(c.field), QString::fromStdString(c.typed));
        EXPECT_EQ(edit(c.field)->text().toStdString(), c.kept) << c.field << " " << c.typed;
        edit("text1")->setFocus();  // the logic hears the field left with what it holds
        QApplication::processEvents();
        EXPECT_EQ(probe->seen.back(), std::string(c.field) + "=" + c.kept);
    }
    auto* spin = static_cast<QSpinBox*>(screen->control("Spin1"));
    for (const std::string& given : {std::string("-5"), std::string("x"), std::string(""), thirty,
                                     std::string("-") + thirty, std::string("3")}) {
        probe->spinGiven = given;
        edit("text3")->setFocus();
        QApplication::processEvents();
        EXPECT_GE(spin->value(), 0) << given;
        EXPECT_LE(spin->value(), 4) << given;
        edit("text1")->setFocus();
        QApplication::processEvents();
    }
    EXPECT_EQ(spin->value(), 3);
    EXPECT_TRUE(dialogs.boxes().empty());
}

TEST_F(GenericScreenTest, AFaultInAnEventIsReportedAndItsWritesAreUndone) {
    test::TempDir dir;
    session.setDataDirectory(dir.prefix());
    CreateInstallation(session, "2026");
    ASSERT_TRUE(session.archives().open(arc::kDataz));
    dialogs.clear();
    static_cast<QAbstractButton*>(screen->control("Command2"))->click();
    QApplication::processEvents();
    ASSERT_EQ(dialogs.boxes().size(), 1U);
    EXPECT_EQ(dialogs.boxes()[0].title, "Zelvo");
    EXPECT_EQ(dialogs.boxes()[0].icon, Icon::Critical);
    EXPECT_NE(dialogs.boxes()[0].text.find("guasto di prova"), std::string::npos);
    // The registration the fault interrupted left nothing behind, and the screen still
    // answers.
    EXPECT_EQ(session.archives().getByKey(arc::kDataz, "99"), isam::status::kNotFound);
    session.archives().close(arc::kDataz);
    QPointer<QMdiSubWindow> guard(sub);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    static_cast<QAbstractButton*>(screen->control("Command1"))->click();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(guard.isNull());
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
