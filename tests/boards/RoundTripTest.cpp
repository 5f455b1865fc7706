// The real link reading the simulated boards through the simulated serial line, on one fake
// clock: a running machine, a slow reply, the cable moved. (Writes and the PLS commands against
// these boards are exercised by the set-up and screen tests.)

#include "QtPlatform.h"
#include "RSComm.h"
#include "SimulatedRig.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace talvern::testing {
namespace {

using boards::BoardId;
constexpr auto R = BoardId::R7520;

class RoundTrip : public ::testing::Test, protected SimulatedRig {
protected:
    RoundTrip() : link(clock, answers, events, folder.path()) {
        link.SetUserConfigFolder(folder.filePath("user"));
        link.OpenRSComm(line);
    }

    QTemporaryDir folder;
    ScriptedAnswers answers;
    link::NoEventPump events;
    link::RSComm link;
};

TEST_F(RoundTrip, ReadsARunningMachineOnEitherBoardWithoutAQuestion) {
    ASSERT_TRUE(link.OnlineMode);
    EXPECT_EQ(link.RSRead("W182"), "250");
    const int first = link.RSRead("W180").toInt();
    clock.advance(0.02); // 30 degrees at 250 spm
    EXPECT_NEAR((link.RSRead("W180").toInt() - first + 360) % 360, 30, 1);
    EXPECT_EQ(link.RSRead("B698"), "1");
    sim.setReplyDelay(0.4); // slow, but within the time-out
    EXPECT_EQ(link.RSRead("W1028"), "350");
    sim.moveCable(R);
    EXPECT_EQ(link.RSRead("B698"), "3");
    EXPECT_EQ(link.RSRead("W1110"), "1950");
    EXPECT_TRUE(answers.asked.empty());
}

} // namespace
} // namespace talvern::testing
