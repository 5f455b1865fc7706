// talvern-cli: its options, its console answers, and the link commands against the simulated
// boards.
#include "CliFixture.h"
#include "CliOptions.h"

using namespace talvern;
using namespace talvern::app;

namespace {
using talvern::testing::Slurp;

class CliRun : public talvern::testing::CliFixture {
protected:
    int run(const QStringList& command, bool yes = false, bool retry = false) {
        return runCli(command, yes, retry);
    }
};
} // namespace

TEST(CliOptions, ParsesTheContractAndRefusesNonsense) {
    QString error;
    auto o = ParseCliOptions({"--device", "/dev/pts/3", "--baud", "19200", "--yes", "--on-failure",
                              "retry", "read", "W1"},
                             &error);
    ASSERT_TRUE(o);
    EXPECT_EQ(o->device, "/dev/pts/3");
    EXPECT_EQ(o->baud, 19200);
    EXPECT_TRUE(o->yes);
    EXPECT_TRUE(o->retryOnFailure);
    EXPECT_EQ(o->command, (QStringList{"read", "W1"}));
    EXPECT_FALSE(ParseCliOptions({"--baud", "4800", "read", "W1"}, &error));
    EXPECT_FALSE(ParseCliOptions({"--port", "100", "read", "W1"}, &error));
    EXPECT_FALSE(ParseCliOptions({"--board", "x", "read"}, &error));
    EXPECT_FALSE(ParseCliOptions({"--simulate"}, &error));
    EXPECT_FALSE(ParseCliOptions({"--bogus", "read"}, &error));
}

TEST(ConsoleAnswers, PrintsTitleAndTextAndAnswersByPolicy) {
    std::FILE* err = std::tmpfile();
    ConsoleAnswers cancel(err, false, false, false, nullptr);
    EXPECT_EQ(cancel.ask("a\r\nb\rc", "T", link::Buttons::RetryCancel, link::Icon::Critical),
              link::Answer::Cancel);
    EXPECT_EQ(cancel.ask("q", "Q", link::Buttons::YesNo, link::Icon::Question), link::Answer::No);
    ConsoleAnswers yes(err, false, true, true, nullptr);
    EXPECT_EQ(yes.ask("q", "Q", link::Buttons::YesNoCancel, link::Icon::Question),
              link::Answer::Yes);
    EXPECT_EQ(yes.ask("r", "R", link::Buttons::RetryCancel, link::Icon::Critical),
              link::Answer::Retry);
    EXPECT_TRUE(Slurp(err).startsWith("[T] a\nb\nc\n[Q] q\n"));
    std::fclose(err);
}

TEST(ConsoleAnswers, InteractiveQuestionsReadTheTerminal) {
    std::FILE* err = std::tmpfile();
    std::deque<QString> lines{"maybe", "r"};
    ConsoleAnswers terminal(err, true, false, false, [&]() -> std::optional<QString> {
        if (lines.empty()) return std::nullopt;
        QString l = lines.front();
        lines.pop_front();
        return l;
    });
    EXPECT_EQ(terminal.ask("x", "T", link::Buttons::RetryCancel, link::Icon::Critical),
              link::Answer::Retry);
    EXPECT_EQ(terminal.ask("x", "T", link::Buttons::YesNo, link::Icon::Question), link::Answer::No)
        << "end of input";
    ConsoleAnswers yesAtTerminal(err, true, true, false,
                                 []() -> std::optional<QString> { return QString("c"); });
    EXPECT_EQ(yesAtTerminal.ask("x", "T", link::Buttons::YesNo, link::Icon::Question),
              link::Answer::Yes);
    EXPECT_EQ(yesAtTerminal.ask("x", "T", link::Buttons::RetryCancel, link::Icon::Critical),
              link::Answer::Cancel)
        << "the link's questions are still asked";
    std::fclose(err);
}

TEST_F(CliRun, ReadsShowTheRunningMachine) {
    ASSERT_EQ(run({"read", "B698", "W1026", "W1110"}), kDone);
    EXPECT_EQ(output(), "1\n250\n0\n");
}

TEST_F(CliRun, WriteRefusedByTheValueCheckFailsWithItsMessage) {
    EXPECT_EQ(run({"write", "W1020", "12a"}), kFailed);
    EXPECT_EQ(errors(), "[ENTRY ALERT] Error:\nOnly Numerical Data Allowed.\n");
    EXPECT_EQ(run({"write", "W1020", "123"}), kDone);
    EXPECT_EQ(sim.peekWord(boards::BoardId::K2510, 1020), 123);
}

TEST_F(CliRun, PlsCommandsProgramAndRecall) {
    EXPECT_EQ(run({"pls", "scale"}), kDone);
    EXPECT_EQ(output(), "360\n");
    EXPECT_EQ(run({"pls", "set", "2", "10", "20", "--clear"}), kDone);
    EXPECT_EQ(run({"pls", "set", "2", "10", "400"}), kFailed);
    EXPECT_TRUE(errors().startsWith(
        "[PLS Single Setpoint] Setpoint setting 400 is greater than scale factor."));
    EXPECT_EQ(run({"pls", "config"}), kDone);
    EXPECT_EQ(output().split(' ').size(), 19);
    EXPECT_EQ(run({"pls", "set", "x"}), kUsage);
    EXPECT_EQ(run({"frobnicate"}), kUsage);
}

TEST_F(CliRun, UnpluggedCableEndsInALinkFailure) {
    sim.unplug();
    EXPECT_EQ(run({"read", "W1020"}), kLinkFailure);
    EXPECT_TRUE(errors().startsWith(
        "[WARNING - Communication Error!] Cannot Communicate with Target Board.\n"));
}

TEST_F(CliRun, BoardStatusNamesBoardFaultAndFirmware) {
    sim.pokeByte(boards::BoardId::K2510, 8176, 0x1A);
    ASSERT_EQ(run({"board", "status"}), kDone);
    const QStringList lines = output().split('\n');
    EXPECT_EQ(lines[0], "Board: 1 (K2510)");
    EXPECT_EQ(lines[1], "Fault: Fault Code (1AH): --- Fault File Not Found ---");
    EXPECT_TRUE(lines[2].startsWith("Firmware revision: "));
}
