// The real link talking to the simulated boards through the simulated serial line, on one fake
// clock, with the user's answers scripted.

#include "FakePlatform.h"
#include "QtPlatform.h"
#include "RSComm.h"
#include "SimulatedSerialLine.h"
#include "boards/SimulatedBoards.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace talvern::testing {
namespace {

using boards::BoardId;
constexpr auto K = BoardId::K2510;
constexpr auto R = BoardId::R7520;

class RoundTrip : public ::testing::Test {
protected:
    RoundTrip() : link(clock, answers, events, folder.path()) {
        link.SetUserConfigFolder(folder.filePath("user"));
        link.OpenRSComm(line);
    }

    QTemporaryDir folder;
    FakeClock clock;
    app::BoardsClockFromLinkClock boardsClock{clock};
    boards::SimulatedBoards sim{boardsClock, 37.0};
    app::SimulatedSerialLine line{sim, clock};
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

TEST_F(RoundTrip, ProgramsRecallsAndOffsetsThePls) {
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
    EXPECT_TRUE(answers.asked.empty());
}

TEST_F(RoundTrip, MovesThePlsConfiguration) {
    std::array<std::int16_t, 24> cfg{};
    cfg[0] = 2;
    cfg[1] = 5;
    cfg[9] = 7;
    cfg[18] = 8;
    ASSERT_TRUE(link.PLSConfigDownload(cfg, 360));
    const auto back = link.PLSConfigUpload();
    EXPECT_EQ(back[0], 8);
    EXPECT_EQ(back[1], 2);
    EXPECT_EQ(back[2], 5);
    EXPECT_EQ(back[9], 7);
}

TEST_F(RoundTrip, ReadsASignatureBackSampleBySample) {
    sim.moveCable(R);
    sim.setPacing(19200); // the wire time lets the stroke go by while the link polls
    ASSERT_EQ(link.RSRead("B698"), "3");
    link.RSWrite("B2999", "1");
    int polls = 0;
    QString status;
    do {
        status = link.RSRead("B2999");
    } while (status == "1" && ++polls < 10000);
    ASSERT_EQ(status, "180");
    EXPECT_GT(polls, 10);
    for (int i = 0; i < 180; ++i) {
        for (int base : {3000, 3500, 4000, 4500}) {
            const auto value = link.RSRead(QStringLiteral("B%1").arg(base + i)).toInt();
            ASSERT_EQ(value, sim.peekByte(R, static_cast<std::uint16_t>(base + i))) << base + i;
        }
    }
    EXPECT_FALSE(link.CommError);
}

TEST_F(RoundTrip, SilenceBringsTheLinksQuestion) {
    sim.unplug();
    answers.answers = {link::Answer::Cancel};
    EXPECT_EQ(link.RSRead("W182"), "0");
    ASSERT_EQ(answers.asked.size(), 1u);
    EXPECT_TRUE(answers.asked[0].text.startsWith("Cannot Communicate with Target Board."));
    EXPECT_TRUE(link.CommError);
}

TEST_F(RoundTrip, ACorruptedEchoBringsTheWriteRetry) {
    link.RSRead("B698"); // into read mode, so the write starts with its own handshake
    const long before = sim.bytesDelivered();
    sim.corruptReplies(1, 4); // FF, 02, high, low echo fine; the data echo is wrong
    link.RSWrite("W1020", "1234");
    EXPECT_EQ(sim.bytesDelivered() - before, 5 + 8) << "the broken write, then all of it again";
    EXPECT_EQ(sim.peekWord(K, 1020), 1234);
    EXPECT_FALSE(link.CommError);
}

TEST_F(RoundTrip, AStuckPlsBringsTheReadyQuestion) {
    sim.setPacing(9600);
    sim.setPlsStuckBusy(true);
    answers.answers = {link::Answer::Cancel};
    EXPECT_FALSE(link.ClearPLSChan(1));
    ASSERT_FALSE(answers.asked.empty());
    EXPECT_EQ(answers.asked.back().text, "Cannot Determine PLS READY Mode Within Target Board.");
}

} // namespace
} // namespace talvern::testing
