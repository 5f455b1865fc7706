// "Tune Cupfeed Servo Motor" and "Cupfeed Position Diagnostics" against the simulated R7520.

#include "CupfeedTuning.h"
#include "ErrorTraceView.h"
#include "ScreenFixture.h"
#include "TestModeNotice.h"
#include "UpDownSpinner.h"
#include "frmCpfdDiag.h"
#include "frmCpfdTune.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <QToolButton>

namespace talvern::testing {
namespace {

using boards::BoardId;
using screens::frmCpfdDiag;
using screens::frmCpfdTune;
constexpr auto R = BoardId::R7520;
constexpr int kOutput = frmCpfdTune::kOutputField;
const std::vector<int> kTestModeWrites = {153, 1140, 1141}; // B153.7, then W1140

class CpfdTune : public ScreenFixture {
protected:
    CpfdTune() {
        shell::ServoTestModeNotice().set(false);
        sim.moveCable(R);
    }
    ~CpfdTune() override { shell::ServoTestModeNotice().set(false); }
    QLineEdit* box(int i) { return screen->editor().box(i); }
    QCheckBox* check() { return screen->chkCpfdTune(); }
    void openScreen() {
        screen = std::make_unique<frmCpfdTune>();
        screen->setClock(&clock);
        open(*screen);
        runPass(*screen);
        runPass(*screen);
    }
    void openOnline() {
        goOnline();
        openScreen();
        line.sent.clear();
        answers.asked.clear();
    }
    void enterTestMode() {
        answers.answers = {link::Answer::Yes};
        QTest::mouseClick(check(), Qt::LeftButton);
        ASSERT_TRUE(check()->isChecked());
        line.sent.clear();
        answers.asked.clear();
    }
    void typeOutput(const QString& text) { typeOver(box(kOutput), text); }
    bool rowEnabled() {
        return box(kOutput)->isEnabled() && screen->editor().spinner(kOutput)->isEnabled() &&
               screen->lblCpfdTune(7)->isEnabled();
    }
    // Entering or leaving writes the mode bit, then the output at 0 %; the row, the box and
    // the notice follow.
    void expectTestMode(bool on) {
        EXPECT_EQ(line.bytesWritten(), kTestModeWrites);
        EXPECT_EQ(sim.peekBit(R, 153, 7), on);
        EXPECT_EQ(sim.peekWord(R, 1140), 2048);
        EXPECT_EQ(check()->isChecked(), on);
        EXPECT_EQ(rowEnabled(), on);
        EXPECT_EQ(box(kOutput)->text(), QStringLiteral("0"));
        EXPECT_EQ(shell::ServoTestModeNotice().isOn(), on);
    }
    std::unique_ptr<frmCpfdTune> screen;
};

TEST_F(CpfdTune, DecliningEnteringAndLeavingWriteTheModeThenZeroOutputAndDriveTheNotice) {
    openOnline();
    QStatusBar bar;
    QLabel* panel = shell::AddTestModePanel(&bar);
    EXPECT_TRUE(panel->isHidden());
    EXPECT_TRUE(screen->testModeWarning()->isHidden());

    // Declined, the box going back runs the unchecked handling once: test mode off, 0 %.
    sim.pokeWord(R, 1140, 3000);
    answers.answers = {link::Answer::No};
    QTest::mouseClick(check(), Qt::LeftButton);
    EXPECT_EQ(OnlyQuestion(answers), "TALVERN|Enable Servo Amplifier Test Mode?");
    EXPECT_EQ(answers.asked[0].buttons, link::Buttons::YesNo);
    EXPECT_EQ(answers.asked[0].icon, link::Icon::Question);
    expectTestMode(false);
    EXPECT_TRUE(panel->isHidden());

    line.sent.clear();
    sim.pokeWord(R, 1140, 3000);
    answers.answers = {link::Answer::Yes};
    QTest::mouseClick(check(), Qt::LeftButton);
    expectTestMode(true);
    EXPECT_FALSE(panel->isHidden());
    EXPECT_EQ(panel->text(), QStringLiteral("Servo amplifier test mode is ON"));
    EXPECT_FALSE(screen->testModeWarning()->isHidden());

    line.sent.clear();
    sim.pokeWord(R, 1140, 3000);
    QTest::mouseClick(check(), Qt::LeftButton);
    expectTestMode(false);
    EXPECT_TRUE(panel->isHidden());

    // The notice outlives the screen: the board stays in test mode.
    answers.answers = {link::Answer::Yes};
    QTest::mouseClick(check(), Qt::LeftButton);
    screen.reset();
    EXPECT_FALSE(panel->isHidden());
}

TEST_F(CpfdTune, ABoardInTestModeAsksWhenTheScreenOpens) {
    for (const link::Answer answer : {link::Answer::Yes, link::Answer::No}) {
        sim.pokeBit(R, 153, 7, true);
        sim.pokeWord(R, 1140, 2500);
        shell::ServoTestModeNotice().set(false);
        answers.asked.clear();
        answers.answers = {answer};
        goOnline();
        openScreen();
        EXPECT_EQ(OnlyQuestion(answers), "TALVERN|" + setup::kTestModeQuestion);
        expectTestMode(answer == link::Answer::Yes); // Yes resends, No leaves test mode
        screen.reset();
    }
}

TEST_F(CpfdTune, KeysReachEveryControlTheOutputIsSentNeverStoredAndOfflineOnlyTheGainsOpen) {
    openOnline();
    EXPECT_EQ(screen->windowTitle(), QStringLiteral("Tune Cupfeed Servo Motor"));
    const char keys[] = {'P', 'N', 'I', 'D'};
    for (int i = 0; i < 4; ++i) {
        QTest::keyClick(screen.get(), keys[i], Qt::AltModifier);
        EXPECT_TRUE(box(i)->hasFocus()) << keys[i];
    }
    QTest::keyClick(box(3), Qt::Key_Tab);
    EXPECT_TRUE(check()->hasFocus());
    enterTestMode();
    check()->setFocus();
    QTest::keyClick(check(), Qt::Key_Tab);
    EXPECT_TRUE(box(kOutput)->hasFocus());
    // Every output step is sent at once and never stored; the scaling is the tuning logic's.
    const auto before = shell::gSetup.ParamValue;
    QTest::keyClick(box(kOutput), Qt::Key_Up);
    EXPECT_EQ(sim.peekWord(R, 1140), 2068);
    typeOutput(QStringLiteral("100"));
    EXPECT_EQ(sim.peekWord(R, 1140), 4096);
    typeOutput(QStringLiteral("101"));
    EXPECT_EQ(OnlyQuestion(answers), "Set-up|Only a Number Between -100 and 100 can be Entered");
    EXPECT_EQ(sim.peekWord(R, 1140), 4096);
    EXPECT_EQ(shell::gSetup.ParamValue, before);

    // The board's value comes back as a percent.
    QTest::keyClick(box(kOutput), Qt::Key_Escape);
    QTest::keyClick(box(kOutput), Qt::Key_Escape);
    sim.pokeWord(R, 1140, 0);
    runPass(*screen);
    EXPECT_EQ(box(kOutput)->text(), QStringLiteral("-100"));

    // Offline everything is disabled; offline editing opens only the gains.
    goOffline();
    runPass(*screen);
    for (int i = 0; i <= 4; ++i) {
        EXPECT_FALSE(box(i)->isEnabled()) << i;
        EXPECT_FALSE(screen->editor().spinner(i)->isEnabled()) << i;
    }
    for (int i = 0; i <= 7; ++i)
        EXPECT_FALSE(screen->lblCpfdTune(i)->isEnabled()) << i;
    EXPECT_FALSE(check()->isEnabled());
    EXPECT_TRUE(check()->isChecked()) << "the screen only mirrors the board";

    shell::gOfflineEditing = true;
    runPass(*screen);
    runPass(*screen);
    for (int i = 0; i <= 3; ++i)
        EXPECT_TRUE(box(i)->isEnabled()) << i;
    EXPECT_FALSE(check()->isEnabled());
    EXPECT_FALSE(screen->lblCpfdTuneData(4)->isEnabled());
    EXPECT_FALSE(screen->lblCpfdTune(4)->isEnabled());
    auto* testGroup = screen->findChild<QGroupBox*>(QStringLiteral("fraCpfdTune_2"));
    EXPECT_TRUE(box(kOutput)->isEnabledTo(testGroup)) << "the row follows the check box";
    EXPECT_FALSE(testGroup->isEnabled()) << "but nothing offline reaches the amplifier";

    line.sent.clear();
    QTest::mouseClick(screen->editor().spinner(3)->upButton(), Qt::LeftButton);
    EXPECT_EQ(shell::gSetup.ParamValue[21], 26);
    EXPECT_TRUE(line.sent.empty());
}

// A disturbed reply is never acted on, with the amplifier in test mode at +1 %: a wrong echo on
// W1140 shows "-" and Up writes nothing; a flipped bit 7 of B153 unticks nothing; a disturbed
// data byte of W1140 is shown, but the arrows step only from a value two passes read alike.
TEST_F(CpfdTune, ADisturbedReplyIsNeverActedOn) {
    struct Case {
        const char* what;
        int address;
        int reply; // 0: the echo of the address high byte, 1: the data byte
        std::uint8_t mask;
        bool stepUp; // the engineer then clicks Up on the output
    };
    goOnline();
    for (const Case& c : {Case{"wrong echo on W1140", 1140, 0, 0x5A, true},
                          Case{"bit 7 of B153 flipped", 153, 1, 0x80, false},
                          Case{"data byte of W1140 disturbed", 1140, 1, 0x5A, true}}) {
        sim.pokeBit(R, 153, 7, true);
        answers.answers = {link::Answer::Yes}; // asked as the screen opens
        openScreen();
        sim.pokeWord(R, 1140, 2068);
        runPass(*screen);
        runPass(*screen);
        line.sent.clear();
        runPass(*screen);
        const long at = line.readAt(c.address);
        ASSERT_GE(at, 0) << c.what;
        line.sent.clear();
        line.spoilReply(at + c.reply, c.mask);
        runPass(*screen);
        if (c.stepUp)
            QTest::mouseClick(screen->editor().spinner(kOutput)->upButton(), Qt::LeftButton);
        runPass(*screen);
        EXPECT_TRUE(line.nothingWritten()) << c.what;
        EXPECT_EQ(sim.peekWord(R, 1140), 2068) << c.what;
        EXPECT_TRUE(sim.peekBit(R, 153, 7)) << c.what;
        EXPECT_TRUE(check()->isChecked()) << c.what;
        screen.reset();
    }
}

TEST_F(CpfdTune, EachGainAndReadoutIsItsOwnAddressAndTheReadoutsAreKeptForOffline) {
    // The machine stands, so the peaks stay as poked; B1128 keeps the board's own 5.
    for (const auto& [address, value] :
         {std::pair{1126, 17}, {1120, 230}, {1122, 31}, {610, 7}, {612, 65436}})
        sim.pokeWord(R, address, static_cast<std::uint16_t>(value));
    openOnline();
    const struct {
        int address;
        bool byte;
        const char* shown;
        const char* typed;
        int max;
    } gains[] = {{1126, false, "17", "18", 999},
                 {1128, true, "5", "6", 99},
                 {1120, false, "230", "231", 9999},
                 {1122, false, "31", "32", 999}};
    for (int field = 0; field < 4; ++field) {
        const auto& g = gains[field];
        EXPECT_EQ(box(field)->text(), QString::fromLatin1(g.shown)) << g.address;
        EXPECT_EQ(screen->editor().spinner(field)->Max(), g.max) << g.address;
        typeOver(box(field), QString::fromLatin1(g.typed));
        const int now = g.byte ? sim.peekByte(R, g.address) : sim.peekWord(R, g.address);
        EXPECT_EQ(QString::number(now), QString::fromLatin1(g.typed)) << g.address;
        EXPECT_EQ(shell::gSetup.ParamValue[18 + field], now) << g.address;
    }
    runPass(*screen);
    EXPECT_EQ(screen->lblCpfdTuneData(5)->text(), QStringLiteral("7"));
    EXPECT_EQ(screen->lblCpfdTuneData(6)->text(), QStringLiteral("65436"));
    EXPECT_EQ(screen->trace().samples().back().negativePeak, -100) << "the peak is signed";
    std::array<QString, 3> seen;
    for (int i = 4; i <= 6; ++i) {
        seen[i - 4] = screen->lblCpfdTuneData(i)->text();
        EXPECT_EQ(QString::number(shell::gSetup.ParamValue[18 + i]), seen[i - 4]) << i;
    }

    goOffline();
    runPass(*screen);
    runPass(*screen);
    for (int i = 4; i <= 6; ++i) {
        EXPECT_EQ(screen->lblCpfdTuneData(i)->text(), seen[i - 4]) << i;
        EXPECT_FALSE(screen->lblCpfdTuneData(i)->isEnabled());
    }
    EXPECT_EQ(box(1)->text(), QStringLiteral("6"));
}

TEST_F(CpfdTune, TraceFollowsThePassesMarksTheWritesAndIsEmptyOffline) {
    sim.startMachine();
    clock.advance(3);
    openOnline();
    const std::size_t samples = screen->trace().samples().size();
    EXPECT_GE(samples, 1u);
    runPass(*screen);
    EXPECT_EQ(screen->trace().samples().size(), samples + 1) << "one sample a pass";
    EXPECT_EQ(QString::number(screen->trace().samples().back().positivePeak),
              screen->lblCpfdTuneData(5)->text());

    QTest::mouseClick(screen->editor().spinner(0)->upButton(), Qt::LeftButton);
    ASSERT_EQ(screen->trace().markers().size(), 1u);
    EXPECT_EQ(screen->trace().markers()[0].label, QStringLiteral("P 16"));
    enterTestMode();
    EXPECT_EQ(screen->trace().markers().back().label, QStringLiteral("Test on"));
    QTest::mouseClick(screen->editor().spinner(kOutput)->upButton(), Qt::LeftButton);
    EXPECT_EQ(screen->trace().markers().back().label, QStringLiteral("Out 1%"));

    // A write the board did not take is not marked.
    const struct {
        int field;
        const char *typed, *marker;
    } writes[] = {{2, "120", "I 120"}, {kOutput, "10", "Out 10%"}};
    for (const auto& [field, typed, marker] : writes) {
        const std::size_t before = screen->trace().markers().size();
        sim.setSilent(true);
        answers.answers = {link::Answer::Cancel};
        typeOver(box(field), QStringLiteral("7"));
        EXPECT_EQ(screen->trace().markers().size(), before) << marker;
        sim.clearFaults();
        link.CommError = false;
        goOnline();
        typeOver(box(field), QString::fromLatin1(typed));
        EXPECT_EQ(screen->trace().markers().back().label, QString::fromLatin1(marker));
    }

    goOffline();
    runPass(*screen);
    EXPECT_TRUE(screen->trace().empty());
    EXPECT_TRUE(screen->trace().markers().empty());
    runPass(*screen);
    EXPECT_TRUE(screen->trace().empty());
}

class CpfdDiag : public ScreenFixture {
protected:
    std::unique_ptr<frmCpfdDiag> screen;
};

TEST_F(CpfdDiag, ReadsAreKeptAtTwentyFiveToThirtyAndShownDisabledOffline) {
    sim.moveCable(R);
    const std::array<int, 6> addresses = {82, 1104, 80, 1102, 1108, 614};
    sim.pokeWord(R, 1104, 400);
    sim.pokeWord(R, 1102, 1700);
    goOnline();
    screen = std::make_unique<frmCpfdDiag>();
    EXPECT_EQ(screen->lblCpfdDiagData(0)->text(), QStringLiteral("-"));
    open(*screen);
    runPass(*screen);
    runPass(*screen);
    std::array<QString, 6> seen;
    for (int i = 0; i < 6; ++i) {
        seen[i] = screen->lblCpfdDiagData(i)->text();
        EXPECT_EQ(seen[i], QString::number(sim.peekWord(R, addresses[i]))) << i;
        EXPECT_EQ(shell::gSetup.ParamValue[25 + i], seen[i].toInt()) << i;
    }
    EXPECT_EQ(seen[1], QStringLiteral("400"));

    goOffline();
    runPass(*screen);
    runPass(*screen);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(screen->lblCpfdDiagData(i)->text(), seen[i]) << i;
        EXPECT_FALSE(screen->lblCpfdDiagData(i)->isEnabled()) << i;
        EXPECT_FALSE(screen->lblCpfdDiag(i)->isEnabled()) << i;
    }
}

} // namespace
} // namespace talvern::testing
