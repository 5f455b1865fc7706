// The board check and the passcode on a cable moved between two bare boards that know nothing
// of each other's handshake.
#include "FakePlatform.h"
#include "OnlineState.h"
#include "Passcode.h"
#include "QtPlatform.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace talvern::testing {
namespace {

class TwoBoards : public ::testing::Test, public setup::TextInput {
protected:
    TwoBoards() {
        plc.memory[698] = 1;
        motion.memory[698] = 3;
        plc.memory[1036] = 0x34; // the passcode 0x1234
        plc.memory[1037] = 0x12;
        line.setResponder([this](std::uint8_t byte) { return (*onCable)(byte); });
        rs.SetUserConfigFolder(folder.filePath("user"));
        rs.OnlineMode = true;
        rs.OpenRSComm(line);
    }
    bool check(int board) {
        return setup::CheckTargetBoard(rs, answers, events, board, [] {});
    }
    void changePasscode() {
        setup::ChangeSetupPasscode(rs, *this, [this] { return check(1); });
    }
    QString InputBox(const QString&, const QString&, const QString& defaultText) override {
        shown.push_back(defaultText);
        if (whileAsked) whileAsked();
        return QStringLiteral("4321");
    }

    FakeClock clock;
    ScriptedLine line{clock};
    TinyBoard plc, motion;
    TinyBoard* onCable = &motion;
    ScriptedAnswers answers;
    link::NoEventPump events;
    QTemporaryDir folder;
    link::RSComm rs{clock, answers, events, folder.path()};
    std::vector<QString> shown;
    std::function<void()> whileAsked;
};

TEST_F(TwoBoards, OneRetryIsEnoughAfterTheCableIsMoved) {
    ASSERT_TRUE(rs.OnlineMode);
    ASSERT_TRUE(check(3)); // the link is now in read mode with the motion board
    answers.answers = {link::Answer::Retry};
    answers.onAsk = [this](const AskedQuestion&) { onCable = &plc; };
    EXPECT_TRUE(check(1));
    EXPECT_EQ(answers.asked.size(), 1u);
    EXPECT_FALSE(rs.CommError);
}

TEST_F(TwoBoards, PasscodeIsNeverReadFromOrWrittenToTheMotionBoard) {
    changePasscode(); // Cancel in the board check
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(motion.memory[1036], 0);
    ASSERT_EQ(answers.asked.size(), 1u);
    EXPECT_EQ(answers.asked[0].title, "TMGPROG");

    // On the K2510 it is read and written; moved away while the question is open, the write
    // waits for the cable to come back.
    rs.OnlineMode = true;
    rs.OpenRSComm(line);
    onCable = &plc;
    answers.asked.clear();
    whileAsked = [this] { onCable = &motion; };
    answers.answers = {link::Answer::Retry};
    answers.onAsk = [this](const AskedQuestion&) { onCable = &plc; };
    changePasscode();
    EXPECT_EQ(shown, std::vector<QString>{"4660"});
    EXPECT_EQ(answers.asked.size(), 1u);
    EXPECT_EQ(plc.memory[1036] | plc.memory[1037] << 8, 4321);
    EXPECT_EQ(motion.memory[1036] | motion.memory[1037] << 8, 0);
}

} // namespace
} // namespace talvern::testing
