#include "LinkFixture.h"

using namespace talvern;
using namespace talvern::testing;
using link::Answer;

namespace {
struct Transaction : LinkTest {
    void SetUp() override { openOnTinyBoard(); }
};
} // namespace

TEST_F(Transaction, WordReadFromIdleBoardHandshakesThenSendsAddressBytes) {
    board.memory[1020] = 0xD2;
    board.memory[1021] = 0x04;
    EXPECT_EQ(link.RSRead("W1020"), "1234");
    EXPECT_EQ(sent(), (Bytes{0xFF, 0x01, 0x03, 0xFC, 0x03, 0xFD}));
    EXPECT_EQ(line.received, (Bytes{0x55, 0x55, 0x03, 0xD2, 0x03, 0x04}));
}

TEST_F(Transaction, ReadsInARowSkipTheHandshakeAndReuseTheParseAcrossARefusedWrite) {
    board.memory[1020] = 0x34;
    board.memory[1021] = 0x12;
    link.RSRead("W1020");
    for (const bool refusedWrite : {false, true}) {
        if (refusedWrite) link.RSWrite("B5", "300"); // parsed, then refused: read mode is kept
        line.clearLog();
        EXPECT_EQ(link.RSRead("w1020"), "4660");
        EXPECT_EQ(sent(), (Bytes{0x03, 0xFC, 0x03, 0xFD}));
    }
}

TEST_F(Transaction, WriteInBetweenForcesHandshakeAndFreshParse) {
    board.memory[1100] = 7;
    link.RSRead("B1100");
    link.RSWrite("W1020", "5");
    line.clearLog();
    EXPECT_EQ(link.RSRead("B1100"), "7");
    EXPECT_EQ(sent(), (Bytes{0xFF, 0x01, 0x04, 0x4C}));
}

TEST_F(Transaction, WordWriteFromReadModeSendsHandshakeAndEchoedBytes) {
    link.RSRead("B1");
    line.clearLog();
    link.RSWrite("W1020", "1234");
    EXPECT_EQ(sent(), (Bytes{0xFF, 0x02, 0x03, 0xFC, 0xD2, 0x03, 0xFD, 0x04}));
    EXPECT_EQ(line.received, (Bytes{0x55, 0x55, 0x03, 0xFC, 0xD2, 0x03, 0xFD, 0x04}));
    EXPECT_EQ(board.memory[1020], 0xD2);
    EXPECT_EQ(board.memory[1021], 0x04);
    line.clearLog();
    link.RSWrite("B5", "1");
    EXPECT_EQ(sent(), (Bytes{0x00, 0x05, 0x01})) << "write mode is kept between writes";
}

TEST_F(Transaction, DoubleUsesBase10000WordsBothWays) {
    link.RSWrite("D1100", "655359999");
    EXPECT_EQ(Bytes(board.memory + 1100, board.memory + 1104), (Bytes{0x0F, 0x27, 0xFF, 0xFF}));
    EXPECT_EQ(link.RSRead("D1100"), "655359999");
    link.RSWrite("D1100", "1,234,567");
    EXPECT_EQ(link.RSRead("D1100"), "1234567");
}

TEST_F(Transaction, ValueTextsAreCleanedOrRefusedWithExactMessages) {
    link.RSWrite("W10", "45.0\u00B0");
    EXPECT_EQ(link.RSRead("W10"), "450");
    link.RSWrite("W10", "");
    EXPECT_EQ(link.RSRead("W10"), "0");
    line.clearLog();

    const std::tuple<const char*, QString, const char*> cases[] = {
        {"W10", "-5", "Only Numerical Data Allowed."},
        {"B1018.0", "2", "Enter 0 or 1 Only."},
        {"B10", "256", "Entry out of Range (0-255)."},
        {"W10", "65536", "Entry out of Range (0-65,535)."},
        {"D10", "655360000", "Entry out of Range (0-655,359,999)."},
        {"D10", "99999999999999999999999", "Entry out of Range (0-655,359,999)."},
    };
    for (const auto& [add, value, says] : cases) {
        answers.asked.clear();
        link.RSWrite(add, value);
        EXPECT_EQ(answers.asked, (Questions{{QString("Error:\r") + says, "ENTRY ALERT",
                                             link::Buttons::Ok, link::Icon::Critical}}))
            << add << " " << value.toStdString();
    }
    EXPECT_TRUE(sent().empty()) << "a refused value sends nothing";
}

TEST_F(Transaction, BitWriteReadsTheByteAndChangesOnlyItsBit) {
    board.memory[1018] = 0xA4;
    link.RSWrite("B1018.0", "1");
    EXPECT_EQ(board.memory[1018], 0xA5);
    board.memory[36] = 0xFF; // F34: bit 2 of byte 36
    link.RSWrite("F34", "0");
    EXPECT_EQ(board.memory[36], 0xFB);
    EXPECT_EQ(link.RSRead("F34"), "0");
    EXPECT_EQ(link.RSRead("B1018.0"), "1");
}

TEST_F(Transaction, BitWriteWhosePreliminaryReadFailsWritesNothing) {
    board.memory[1018] = 0xA4;
    board.silent = true;
    answers.answers = {Answer::Cancel};
    link.RSWrite("B1018.0", "1");
    EXPECT_TRUE(link.CommError);
    board.silent = false;
    link.CommError = false;
    EXPECT_EQ(board.memory[1018], 0xA4);
    for (std::uint8_t b : sent())
        EXPECT_NE(b, 0x02) << "no write-mode handshake after the failed read";
}

// A wrong address echo, or a late one (the high byte unanswered, then the 0x55 answering the
// resent attention byte taken for its echo), fails the read but not the link; the next read
// hand-shakes again.
TEST_F(Transaction, ABadEchoFailsTheReadAndTheNextOneHandshakes) {
    using Replies = std::vector<std::optional<int>>;
    for (const Replies& replies : {Replies{0x7E}, Replies{std::nullopt, 0x55}}) {
        link.RSRead("B300");
        for (const auto& r : replies)
            line.script({r});
        EXPECT_EQ(link.RSRead("B300"), "0");
        EXPECT_FALSE(link.CommError);
        line.clearLog();
        link.RSRead("B300");
        EXPECT_EQ(sent(), (Bytes{0xFF, 0x01, 0x01, 0x2C}));
    }
}

TEST_F(Transaction, WriteEchoMismatchRepeatsTheWholeWriteOnce) {
    // handshake, high, low echoed; the data echo is wrong.
    line.script({0x55, 0x55, 0x03, 0xFC, 0x00});
    link.RSWrite("B1020", "9");
    EXPECT_EQ(sent(), (Bytes{0xFF, 0x02, 0x03, 0xFC, 0x09, 0xFF, 0x02, 0x03, 0xFC, 0x09}));
    EXPECT_EQ(board.memory[1020], 9);
    EXPECT_TRUE(answers.asked.empty()) << "a mismatch is not reported";
}

TEST_F(Transaction, SilentBoardResendsAttentionOnScheduleThenAsks) {
    board.silent = true;
    const double start = clock.now();
    answers.onAsk = [&](const AskedQuestion&) {
        EXPECT_NEAR(clock.now() - start, 5.001, 0.01);
        EXPECT_TRUE(link.IsBusy()) << "busy while the question is open";
    };
    EXPECT_EQ(link.RSRead("W1020"), "0");
    EXPECT_FALSE(link.IsBusy());
    // FF (handshake) at 0 s, FF resend at 1 s, FF resend at 3 s, question at 5 s.
    ASSERT_EQ(sent(), (Bytes{0xFF, 0xFF, 0xFF}));
    EXPECT_NEAR(line.sendTimes[1] - line.sendTimes[0], 1.0, 0.01);
    EXPECT_NEAR(line.sendTimes[2] - line.sendTimes[1], 2.0, 0.01);
    EXPECT_EQ(answers.asked, (Questions{{"Cannot Communicate with Target Board.\rVerify RS-232 "
                                         "Cable is Connected Between\rCOMM Port and PROG Port.",
                                         "WARNING - Communication Error!",
                                         link::Buttons::RetryCancel, link::Icon::Critical}}));
    EXPECT_TRUE(link.CommError);
    EXPECT_TRUE(link.CommErrorAlert);

    line.clearLog();
    EXPECT_EQ(link.RSRead("W1020"), "0");
    link.RSWrite("W1020", "1");
    EXPECT_TRUE(sent().empty()) << "after Cancel nothing more goes on the line";
    EXPECT_EQ(answers.asked.size(), 1u);
}

TEST_F(Transaction, RetryKeepsResendingUntilTheBoardAnswers) {
    board.memory[1020] = 3;
    board.silent = true;
    answers.onAsk = [&](const AskedQuestion&) { board.silent = false; };
    answers.answers = {Answer::Retry};
    EXPECT_EQ(link.RSRead("W1020"), "3");
    EXPECT_FALSE(link.CommError);
    EXPECT_EQ(answers.asked.size(), 1u);
    // After the question the attention byte is resent until the board answers it.
    EXPECT_EQ(Bytes(line.sent.begin(), line.sent.begin() + 5),
              (Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0x01}));
}

TEST_F(Transaction, HandshakeRefusedForTwoSecondsAsksAndCancelClosesTheLink) {
    line.setResponder([](std::uint8_t b) -> std::optional<int> { return b == 0xFF ? 0x55 : 0x00; });
    EXPECT_EQ(link.RSRead("W1020"), "0");
    EXPECT_EQ(answers.asked, (Questions{{"Cannot Set PLC Mode Within Target Board.",
                                         "WARNING - Communication Error!",
                                         link::Buttons::RetryCancel, link::Icon::Critical}}));
    EXPECT_TRUE(link.CommError);
    EXPECT_FALSE(link.OnlineMode);
    EXPECT_FALSE(line.isOpen());
}
