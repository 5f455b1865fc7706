// The link's transactions on a scripted line: address forms, handshakes and modes, echoes,
// value texts and the time-outs of a silent board.
#include "Address.h"
#include "LinkFixture.h"
#include "RSComm.h"

#include <gtest/gtest.h>
#include <tuple>

using namespace talvern;
using namespace talvern::testing;
using link::Answer;
using namespace talvern::link;

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

TEST_F(Transaction, BitWriteChangesOnlyItsBitAndNothingWhenTheByteCannotBeRead) {
    board.memory[1018] = 0xA4;
    link.RSWrite("B1018.0", "1");
    EXPECT_EQ(board.memory[1018], 0xA5);
    board.memory[36] = 0xFF; // F34: bit 2 of byte 36
    link.RSWrite("F34", "0");
    EXPECT_EQ(board.memory[36], 0xFB);
    EXPECT_EQ(link.RSRead("F34"), "0");
    EXPECT_EQ(link.RSRead("B1018.0"), "1");
    line.clearLog();
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

TEST(AddressParse, EveryFormGivesByteWidthAndMask) {
    const std::tuple<const char*, int, char, int, bool> cases[] = {
        {"W1020", 1020, 'W', 0, false},  {"w1020", 1020, 'W', 0, false},
        {"D1100", 1100, 'D', 0, false},  {"B8176", 8176, 'B', 0, false},
        {"B1018.0", 1018, 'B', 1, true}, {"W100.3", 100, 'B', 8, true},
        {"F34", 36, 'B', 4, true},       {"F80", 42, 'B', 1, true},
        {"1FA0H", 8096, 'B', 0, false},  {"A0H", 160, 'B', 0, false},
        {"ffffh", 65535, 'B', 0, false}, {"Wxyz", 0, 'W', 0, false},
        {"Q12", 32, 'B', 0, false},      {"", 32, 'B', 0, false},
    };
    for (const auto& [text, address, width, mask, bit] : cases) {
        const ParsedAddress p = ParseAddressText(text);
        EXPECT_EQ(std::tuple(p.byteAddress, p.width, p.mask, p.isBit),
                  std::tuple(address, QChar(width), mask, bit))
            << text;
    }
}

TEST(AddressServices, ValidAddFollowsBoardGroupsAndEquateAddMapsIoPoints) {
    const std::tuple<const char*, int, bool> valid[] = {
        {"W101", 49, false}, {"W100", 49, true},  {"B300", 49, false}, {"B300", 50, true},
        {"B300", 70, true},  {"B31", 70, false},  {"F120", 49, true},  {"F121", 49, false},
        {"I151", 50, true},  {"I12", 50, false},  {"I10", 58, false},  {"X10", 68, false},
        {"X21", 58, true},   {"B100.3", 49, true}};
    for (const auto& [text, board, ok] : valid)
        EXPECT_EQ(RSComm::ValidAdd(text, board), ok) << text << " on " << board;
    const std::tuple<const char*, int, const char*> equate[] = {
        {"X31", 49, "B50"},   {"Y141.3", 49, "B67.3"}, {"y141.9", 49, "B67.7"},
        {"W100", 49, "W100"}, {"X151", 50, "B191"},    {"I10", 50, "B194"},
        {"Y21", 60, "B54"},   {"X12", 50, "X12"}};
    for (const auto& [text, board, equated] : equate)
        EXPECT_EQ(RSComm::EquateAdd(text, board), equated) << text << " on " << board;
    // The octal conversions go one level only.
    EXPECT_EQ(RSComm::Dec2Octal(17), 21);
    EXPECT_EQ(RSComm::Octal2Dec(21), 17);
    EXPECT_EQ(RSComm::Dec2Octal(15), 17);
}

TEST(Catalogue, NamesAndConfigurationCodes) {
    const std::pair<int, const char*> names[] = {
        {49, "R6010"},      {57, "Not Defined"},       {68, "K2500(PLC)"},
        {69, "K2500(PLS)"}, {48, "0 Is Not Defined."}, {70, "F Is Not Defined."}};
    for (const auto& [code, name] : names)
        EXPECT_EQ(RSComm::TargetboardName(code), name) << code;
    EXPECT_EQ(RSComm::LCFBoardIndex(51), "?");
    EXPECT_EQ(RSComm::LCFBoardIndex(68), "G");
    EXPECT_EQ(RSComm::LCFBoardIndex(55), "");
}
