// The real link talking to the simulated boards through the simulated serial line, on one fake
// clock, with the user's answers scripted.

#include "QtPlatform.h"
#include "RSComm.h"
#include "SimulatedRig.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace talvern::testing {
namespace {

using boards::BoardId;
constexpr auto K = BoardId::K2510;
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

TEST_F(RoundTrip, WritesWordsDoublesAndBits) {
    link.RSWrite("W1020", "123");
    EXPECT_EQ(sim.peekWord(K, 1020), 123);
    EXPECT_EQ(link.RSRead("W1020"), "123");

    sim.stopMachine();
    link.RSWrite("D1100", "1234567");
    EXPECT_EQ(sim.peekWord(K, 1100), 4567);
    EXPECT_EQ(sim.peekWord(K, 1102), 123);
    EXPECT_EQ(link.RSRead("D1100"), "1234567");

    link.RSWrite("B1018.0", "0");
    EXPECT_FALSE(sim.peekBit(K, 1018, 0));
    EXPECT_EQ(link.RSRead("B1018.0"), "0");

    link.RSWrite("F34", "1");
    EXPECT_EQ(link.RSRead("D1200"), "1234567");
    EXPECT_EQ(link.RSRead("D1100"), "0");
    EXPECT_EQ(link.RSRead("F34"), "0");
}

TEST_F(RoundTrip, ProgramsRecallsOffsetsAndConfiguresThePlsAndAsksWhenItStaysBusy) {
    EXPECT_EQ(link.PLSScaleFactor(), "360");
    ASSERT_TRUE(link.SingleSetpoint(2, 10, 40, true));
    ASSERT_EQ(sim.k2510().channel(2).size(), 1u);
    EXPECT_EQ(sim.k2510().channel(2)[0].on, 10);
    EXPECT_EQ(sim.k2510().channel(2)[0].off, 40);

    ASSERT_TRUE(link.RecallChannel(2));
    EXPECT_EQ(link.ChannelRecallState(), 1);
    EXPECT_EQ(link.ChannelRecallPos(), 10);
    ASSERT_TRUE(link.RecallChannel(2));
    EXPECT_EQ(link.ChannelRecallState(), 0);
    EXPECT_EQ(link.ChannelRecallPos(), 40);

    ASSERT_TRUE(link.ClearPLSChan(2));
    ASSERT_TRUE(link.RecallChannel(2));
    EXPECT_EQ(link.ChannelRecallState(), 2);

    sim.stopMachine();
    clock.advance(2);
    ASSERT_TRUE(link.SetPLSOffset(0));
    EXPECT_EQ(link.PLSPos(), "0");
    EXPECT_EQ(link.RSRead("W180"), "0");
    EXPECT_EQ(link.PLSRpm(), "0");

    std::array<std::int16_t, 24> cfg{};
    cfg[0] = 2, cfg[1] = 5, cfg[9] = 7, cfg[18] = 8;
    ASSERT_TRUE(link.PLSConfigDownload(cfg, 360));
    const auto back = link.PLSConfigUpload();
    EXPECT_EQ((std::array{back[0], back[1], back[2], back[9]}),
              (std::array<std::int16_t, 4>{8, 2, 5, 7}));
    EXPECT_TRUE(answers.asked.empty());

    sim.setPacing(9600); // the link waits out its READY time-out on the wire
    sim.setPlsStuckBusy(true);
    answers.answers = {link::Answer::Cancel};
    EXPECT_FALSE(link.ClearPLSChan(1));
    ASSERT_FALSE(answers.asked.empty());
    EXPECT_EQ(answers.asked.back().text, "Cannot Determine PLS READY Mode Within Target Board.");
}

} // namespace
} // namespace talvern::testing
