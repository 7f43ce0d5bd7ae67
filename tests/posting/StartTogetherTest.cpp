// Stations started together on an empty installation (a new office's database, or a new
// folder where two copies of the program were started at once) install into it once, and
// none of them opens what another is still making.

#include <gtest/gtest.h>

#include "YearFixture.h"
#include "app/StartUp.h"
#include "support/Child.h"
#include "support/DataPlace.h"

namespace zelvo {
namespace {

class Fonts : public FontCatalog {
  public:
    bool printerAvailable() const override { return true; }
    bool isInstalled(const std::string&) const override { return true; }
};

TEST(StartTogetherTest, StationsStartedTogetherOnAnEmptyInstallationInstallOnce) {
    test::DataPlace place;
    std::vector<std::unique_ptr<test::Child>> stations;
    for (int i = 0; i < 3; ++i) {
        stations.push_back(std::make_unique<test::Child>([&place](test::Child& self) {
            ScriptedDialogs dialogs;
            FixedClock clock("15/03/2026");
            Session session(dialogs, clock);
            Fonts fonts;
            StartUp startUp(session, fonts);
            startUp.useDataDirectory(place.prefix());
            const bool ok = startUp.run() && dialogs.boxes().empty() &&
                            session.archives().getByKey(arc::kDataz, "AB") == 0;
            self.tell(ok                        ? "started"
                      : dialogs.boxes().empty() ? "failed"
                                                : dialogs.boxes()[0].text);
            return ok ? 0 : 1;
        }));
    }
    for (auto& s : stations) {
        EXPECT_EQ(s->hear(), "started");
        EXPECT_EQ(s->wait(), 0);
    }
    // Every archive holds what one installation puts there, as in one installed by a
    // station alone.
    test::DataPlace alone;
    test::Year one(alone.prefix());
    test::Year year(place.prefix());
    for (int archive : {arc::kDataz, arc::kCiva, arc::kPc, arc::kPr}) {
        std::int64_t expected = -1;
        std::int64_t n = -2;
        one.archives().count(archive, expected);
        year.archives().count(archive, n);
        EXPECT_EQ(n, expected) << Catalog::archiveText(archive);
    }
}

}  // namespace
}  // namespace zelvo
