// The program's side of a lock wait: the window lives on under the busy cursor.

#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>

#include "app/Installation.h"
#include "archive/RecordLock.h"
#include "support/Child.h"
#include "support/TempDir.h"
#include "ui/Program.h"

namespace zelvo {
namespace {

void OpenYear(Session& s, const std::string& dataDir) {
    s.setDataDirectory(dataDir);
    s.chooseCompany("AB", "Azienda di prova", "2026");
    ASSERT_TRUE(s.archives().open(arc::kPr, 1));
}

TEST(LockWaitTest, AWaitingStationProcessesEventsUnderTheBusyCursor) {
    test::TempDir dir;
    ScriptedDialogs dialogs;
    FixedClock clock{"15/03/2026"};
    Program program({dir.prefix(), &dialogs, &clock});
    Session& session = program.session();
    session.setDataDirectory(dir.prefix());
    CreateInstallation(session, "2026");
    OpenYear(session, dir.prefix());

    // The other station lets its lock go only when our waiting window has turned its event
    // loop: never before we wait, however slow the machine.
    test::Child other([&dir](test::Child& self) {
        ScriptedDialogs d;
        FixedClock c{"15/03/2026"};
        Session station(d, c);
        OpenYear(station, dir.prefix());
        RecordLock held(station.archives(), arc::kPr, "mc", 0);
        self.tell(held.held() ? "locked" : "refused");
        return self.awaitGo() ? 0 : 1;
    });
    ASSERT_EQ(other.hear(), "locked");

    // Runs only if the wait lets the event loop turn.
    bool ran = false;
    Qt::CursorShape shown = Qt::ArrowCursor;
    QTimer::singleShot(0, [&] {
        ran = true;
        if (const QCursor* c = QApplication::overrideCursor()) {
            shown = c->shape();
        }
        other.go();
    });
    {
        RecordLock mine(session.archives(), arc::kPr, "mc", 0);
        EXPECT_TRUE(mine.held());
    }
    EXPECT_TRUE(ran);
    EXPECT_EQ(shown, Qt::WaitCursor);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(other.wait(), 0);
    EXPECT_TRUE(dialogs.events().empty());
}

}  // namespace
}  // namespace zelvo
