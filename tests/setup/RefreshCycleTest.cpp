// The refresh-cycle engine: the wire sets the pace of passes that use it; passes that send
// nothing wait, so an idle screen costs no CPU; a hold keeps every step back.
#include "RefreshCycle.h"

#include <gtest/gtest.h>

using talvern::setup::RefreshCycle;

namespace {

struct Cycle : ::testing::Test {
    long bytes = 0;
    bool held = false;
    int stepsRun = 0;
    bool sends = true;
    RefreshCycle cycle{[this] {
                           RefreshCycle::Pass pass;
                           for (int i = 0; i < 2; ++i)
                               pass.steps.push_back([this] {
                                   ++stepsRun;
                                   if (sends) bytes += 4;
                                   return true;
                               });
                           return pass;
                       },
                       [this] { return held; }};
    void SetUp() override {
        RefreshCycle::SetActivityCounter([this] { return bytes; });
    }
    void TearDown() override { RefreshCycle::SetActivityCounter(nullptr); }
};

TEST_F(Cycle, PassesThatUseTheWireFollowAtOnceIdlePassesWait) {
    for (bool sending : {true, false}) {
        sends = sending;
        cycle.start();
        ASSERT_TRUE(cycle.runStep());
        EXPECT_EQ(cycle.nextStepDelay(), 0) << "between steps";
        ASSERT_TRUE(cycle.runStep());
        EXPECT_EQ(cycle.nextStepDelay(), sending ? 0 : RefreshCycle::kIdlePassInterval);
        cycle.stop();
    }
    EXPECT_EQ(cycle.passesCompleted(), 2);
}

TEST_F(Cycle, AHoldKeepsEveryStepBackAndStopEndsAtOnce) {
    cycle.start();
    held = true;
    EXPECT_FALSE(cycle.runStep());
    EXPECT_EQ(stepsRun, 0);
    held = false;
    EXPECT_TRUE(cycle.runStep());
    cycle.stop();
    EXPECT_FALSE(cycle.runStep());
    EXPECT_EQ(stepsRun, 1);
    EXPECT_EQ(cycle.nextStepDelay(), -1);
}

} // namespace
