#include "isam/WriteGate.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "support/Child.h"
#include "support/DataPlace.h"
#include "support/TempDir.h"

namespace zelvo::isam {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

class WriteGateTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ZELVO_FOLDER_ONLY("the write gate is a lock file beside a container file");
    }
    std::string lockFile() { return dir.prefix() + "2026AB.isd-lck"; }
    test::TempDir dir;
};

TEST_F(WriteGateTest, OneConnectionAtATimeAndAWaitEndsAtItsLimit) {
    WriteGate first(lockFile());
    WriteGate second(lockFile());  // another connection of the same process
    ASSERT_EQ(first.enter(1s), WriteGate::Outcome::Entered);
    EXPECT_EQ(first.enter(1s), WriteGate::Outcome::Entered);  // already inside

    const auto t0 = Clock::now();
    EXPECT_EQ(second.enter(150ms), WriteGate::Outcome::TimedOut);
    const auto waited = Clock::now() - t0;
    EXPECT_GE(waited, 150ms);
    EXPECT_LT(waited, 2s);
    EXPECT_FALSE(second.inside());

    first.leave();
    EXPECT_EQ(second.enter(150ms), WriteGate::Outcome::Entered);
    second.leave();
    EXPECT_EQ(first.enter(150ms), WriteGate::Outcome::Entered);
}

TEST_F(WriteGateTest, TheNextWriterIsWokenWhenTheHolderLeavesOrDies) {
    for (const bool dies : {false, true}) {
        SCOPED_TRACE(dies ? "holder killed" : "holder leaves");
        test::Child holder([this, dies](test::Child& self) {
            WriteGate gate(lockFile());
            if (gate.enter(1s) != WriteGate::Outcome::Entered) {
                return 1;
            }
            self.tell("inside");
            std::this_thread::sleep_for(dies ? 60s : 300ms);
            gate.leave();
            std::this_thread::sleep_for(60s);
            return 0;
        });
        ASSERT_EQ(holder.hear(), "inside");
        WriteGate waiter(lockFile());
        const auto t0 = Clock::now();
        std::thread killer;
        if (dies) {
            killer = std::thread([&holder] {
                std::this_thread::sleep_for(300ms);
                holder.kill();
            });
        }
        EXPECT_EQ(waiter.enter(10s), WriteGate::Outcome::Entered);
        const auto waited = Clock::now() - t0;
        // Kept out while the holder was inside, and woken at the release, not at some later
        // poll. (The holder's 300 ms began before its word reached us: the lower bound
        // leaves room for a busy machine.)
        EXPECT_GE(waited, 150ms);
        EXPECT_LT(waited, 1500ms);
        if (killer.joinable()) {
            killer.join();
        } else {
            holder.kill();
        }
    }
}

}  // namespace
}  // namespace zelvo::isam
