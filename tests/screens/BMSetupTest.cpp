// The parameter editor on "BM Set-Up Parameters", online against the simulated K2510 and
// offline on the working values, driven by keys and mouse clicks.

#include "ScreenFixture.h"
#include "UpDownSpinner.h"
#include "frmBMSetup.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

namespace talvern::testing {
namespace {

using boards::BoardId;
using screens::frmBMSetup;
constexpr auto K = BoardId::K2510;
constexpr int kLowBdc = 0;   // W1020, 0..359
constexpr int kMaxStop = 2;  // W1024, 0..999
constexpr int kLowSpeed = 3; // W1026, 0..899

class BMSetup : public ScreenFixture {
protected:
    QLineEdit* box(int i) { return screen->editor().box(i); }
    screens::UpDown* spinner(int i) { return screen->editor().spinner(i); }
    void openOnline() {
        goOnline();
        screen = std::make_unique<frmBMSetup>();
        open(*screen);
        runPass(*screen);
        runPass(*screen);
        line.sent.clear();
        answers.asked.clear();
    }
    void openOffline() {
        screen = std::make_unique<frmBMSetup>();
        open(*screen);
        runPass(*screen);
    }
    void type(int i, const QString& text) {
        QTest::mouseClick(box(i), Qt::LeftButton);
        QTest::keyClicks(box(i), text);
    }
    std::unique_ptr<frmBMSetup> screen;
};

// --- Typing and leaving a field ---

TEST_F(BMSetup, OutOfRangeIsRefusedWithTheRangeMessageAndKeepsTheFocus) {
    sim.pokeWord(K, 1020, 45);
    openOnline();
    ASSERT_EQ(box(kLowBdc)->text(), QStringLiteral("45"));
    type(kLowBdc, QStringLiteral("360"));
    QTest::keyClick(box(kLowBdc), Qt::Key_Tab);

    ASSERT_EQ(answers.asked.size(), 1u);
    EXPECT_EQ(answers.asked[0].text,
              QStringLiteral("Only a Number Between 0 and 359 can be Entered"));
    EXPECT_EQ(answers.asked[0].title, QStringLiteral("Set-up"));
    EXPECT_EQ(answers.asked[0].icon, link::Icon::Information);
    EXPECT_EQ(answers.asked[0].buttons, link::Buttons::Ok);
    EXPECT_EQ(box(kLowBdc)->text(), QStringLiteral("45"));
    EXPECT_TRUE(box(kLowBdc)->hasFocus());
    EXPECT_EQ(box(kLowBdc)->selectedText(), QStringLiteral("45"));
    EXPECT_TRUE(screen->editor().Editing(kLowBdc));
    EXPECT_TRUE(line.nothingWritten());
    EXPECT_EQ(boardWord(K, 1020), 45);
    EXPECT_EQ(shell::gSetup.ParamValue[0], 0);
}

class BMSetupRefused : public BMSetup, public ::testing::WithParamInterface<const char*> {};

TEST_P(BMSetupRefused, NonNumericTextIsRefused) {
    sim.pokeWord(K, 1024, 300);
    openOnline();
    QTest::mouseClick(box(kMaxStop), Qt::LeftButton);
    box(kMaxStop)->clear();
    QTest::keyClicks(box(kMaxStop), QString::fromLatin1(GetParam()));
    QTest::keyClick(box(kMaxStop), Qt::Key_Tab);
    ASSERT_EQ(answers.asked.size(), 1u) << GetParam();
    EXPECT_EQ(answers.asked[0].text,
              QStringLiteral("Only a Number Between 0 and 999 can be Entered"));
    EXPECT_EQ(box(kMaxStop)->text(), QStringLiteral("300"));
    EXPECT_TRUE(line.nothingWritten());
}

INSTANTIATE_TEST_SUITE_P(Texts, BMSetupRefused, ::testing::Values("abc", " ", "12abc", "-5"));

TEST_F(BMSetup, EmptyTextIsRefused) {
    openOnline();
    QTest::mouseClick(box(kMaxStop), Qt::LeftButton);
    QTest::keyClick(box(kMaxStop), Qt::Key_Backspace);
    ASSERT_TRUE(box(kMaxStop)->text().isEmpty());
    QTest::keyClick(box(kMaxStop), Qt::Key_Tab);
    ASSERT_EQ(answers.asked.size(), 1u);
    EXPECT_EQ(box(kMaxStop)->text(), QStringLiteral("300"));
}

TEST_F(BMSetup, FractionsAreStoredAndWrittenRoundedTiesToEven) {
    openOnline();
    type(kMaxStop, QStringLiteral("12.5"));
    QTest::keyClick(box(kMaxStop), Qt::Key_Tab);
    EXPECT_TRUE(answers.asked.empty());
    EXPECT_EQ(shell::gSetup.ParamValue[2], 12);
    EXPECT_EQ(boardWord(K, 1024), 12);
    EXPECT_EQ(box(kMaxStop)->text(), QStringLiteral("12"));

    type(kMaxStop, QStringLiteral("13.5"));
    QTest::keyClick(box(kMaxStop), Qt::Key_Tab);
    EXPECT_EQ(shell::gSetup.ParamValue[2], 14);
    EXPECT_EQ(boardWord(K, 1024), 14);
    EXPECT_EQ(line.writesTo(1024), 2);
}

TEST_F(BMSetup, EnterMovesToTheNextFieldAndChecksTheOneLeft) {
    openOnline();
    type(kLowSpeed, QStringLiteral("200"));
    QTest::keyClick(box(kLowSpeed), Qt::Key_Return);
    EXPECT_TRUE(box(kLowSpeed + 1)->hasFocus());
    EXPECT_EQ(boardWord(K, 1026), 200);
    EXPECT_FALSE(screen->editor().Editing(kLowSpeed));
    EXPECT_TRUE(screen->editor().Editing(kLowSpeed + 1));

    type(kLowSpeed + 1, QStringLiteral("1000"));
    QTest::keyClick(box(kLowSpeed + 1), Qt::Key_Enter);
    EXPECT_TRUE(box(kLowSpeed + 1)->hasFocus());
    EXPECT_EQ(answers.asked.size(), 1u);
    EXPECT_EQ(boardWord(K, 1028), 350);
}

TEST_F(BMSetup, LeavingAnUntouchedFieldWritesNothing) {
    openOnline();
    QTest::mouseClick(box(kLowSpeed), Qt::LeftButton);
    QTest::keyClick(box(kLowSpeed), Qt::Key_Tab);
    EXPECT_TRUE(line.nothingWritten());
    EXPECT_FALSE(screen->editor().Editing(kLowSpeed));
}

// --- Escape ---

TEST_F(BMSetup, OneEscapeRestoresTheEntryValueAndASecondLeavesTheField) {
    openOnline();
    type(kLowSpeed, QStringLiteral("123"));
    QTest::keyClick(box(kLowSpeed), Qt::Key_Escape);
    EXPECT_EQ(box(kLowSpeed)->text(), QStringLiteral("250"));
    EXPECT_EQ(box(kLowSpeed)->selectedText(), QStringLiteral("250"));
    EXPECT_TRUE(screen->editor().EscapePending);
    EXPECT_TRUE(box(kLowSpeed)->hasFocus());

    QTest::keyClick(box(kLowSpeed), Qt::Key_Escape);
    EXPECT_FALSE(screen->editor().EscapePending);
    EXPECT_FALSE(screen->editor().Editing(kLowSpeed));
    EXPECT_TRUE(screen->defaultButton()->hasFocus());
    EXPECT_TRUE(answers.asked.empty());
    EXPECT_TRUE(line.nothingWritten());
}

TEST_F(BMSetup, TabWalksTheScreenTopToBottomAlsoAfterAnEditEnded) {
    openOnline();
    type(kLowSpeed, QStringLiteral("1"));
    QTest::keyClick(box(kLowSpeed), Qt::Key_Escape);
    QTest::keyClick(box(kLowSpeed), Qt::Key_Escape);
    ASSERT_TRUE(screen->defaultButton()->hasFocus());
    QTest::keyClick(screen->defaultButton(), Qt::Key_Tab);
    EXPECT_TRUE(screen->chkBMSetup()->hasFocus());
    for (int i = 0; i < 7; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), box(i)) << i;
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_TRUE(screen->chkBMSetup()->hasFocus());
    EXPECT_TRUE(line.nothingWritten());
}

TEST_F(BMSetup, AccessKeysMoveTheFocusToTheirFields) {
    openOnline();
    EXPECT_EQ(screen->windowTitle(), QStringLiteral("BM Set-Up Parameters"));
    EXPECT_EQ(box(6)->objectName(), QStringLiteral("txtBMSetup_6"));
    EXPECT_EQ(screen->editor().label(1)->text(),
              QStringLiteral("Desired BDC Stop Position (hi&gh speed):"));
    EXPECT_EQ(screen->chkBMSetup()->text(), QStringLiteral("E&nable Brake Wear Compensation:"));
    const char keys[] = {'L', 'G', 'M', 'O', 'I', 'X', 'D'};
    for (int i = 0; i < 7; ++i) {
        QTest::keyClick(screen.get(), keys[i], Qt::AltModifier);
        EXPECT_TRUE(box(i)->hasFocus()) << keys[i];
        EXPECT_EQ(box(i)->selectedText(), box(i)->text()) << keys[i];
    }
    QTest::keyClick(screen.get(), 'N', Qt::AltModifier);
    EXPECT_TRUE(screen->chkBMSetup()->hasFocus());
}

TEST_F(BMSetup, AnyOtherKeyCancelsAPendingEscape) {
    openOnline();
    type(kLowSpeed, QStringLiteral("1"));
    QTest::keyClick(box(kLowSpeed), Qt::Key_Escape);
    QTest::keyClick(box(kLowSpeed), Qt::Key_7);
    EXPECT_FALSE(screen->editor().EscapePending);
    QTest::keyClick(box(kLowSpeed), Qt::Key_Escape);
    EXPECT_TRUE(box(kLowSpeed)->hasFocus());
}

TEST_F(BMSetup, EscapeOnThePlaceholderGivesZero) {
    goOnline();
    screen = std::make_unique<frmBMSetup>();
    open(*screen); // no pass yet: every field shows "-"
    ASSERT_EQ(box(kLowSpeed)->text(), QStringLiteral("-"));
    QTest::mouseClick(box(kLowSpeed), Qt::LeftButton);
    QTest::keyClick(box(kLowSpeed), Qt::Key_Escape);
    EXPECT_EQ(box(kLowSpeed)->text(), QStringLiteral("0"));
}

// --- Spinner ---

TEST_F(BMSetup, SpinnerClicksAreWrittenAtOnceAndStopAtTheLimit) {
    sim.pokeWord(K, 1020, 358);
    openOnline();
    QTest::mouseClick(spinner(kLowBdc)->upButton(), Qt::LeftButton);
    EXPECT_EQ(box(kLowBdc)->text(), QStringLiteral("359"));
    EXPECT_EQ(boardWord(K, 1020), 359);
    EXPECT_EQ(shell::gSetup.ParamValue[0], 359);
    EXPECT_TRUE(screen->defaultButton()->hasFocus());

    QTest::mouseClick(spinner(kLowBdc)->upButton(), Qt::LeftButton);
    EXPECT_EQ(box(kLowBdc)->text(), QStringLiteral("359"));
    EXPECT_EQ(line.writesTo(1020), 1);

    QTest::mouseClick(spinner(kLowBdc)->downButton(), Qt::LeftButton);
    QTest::mouseClick(spinner(kLowBdc)->downButton(), Qt::LeftButton);
    EXPECT_EQ(boardWord(K, 1020), 357);
    EXPECT_EQ(line.writesTo(1020), 3);
}

TEST_F(BMSetup, ArrowKeysStepOnlyTheFieldThatHasTheKeyboardFocus) {
    sim.pokeWord(K, 1020, 357);
    openOnline();
    QTest::mouseClick(box(kLowBdc), Qt::LeftButton);
    for (int k = 0; k < 3; ++k) // the third is at the limit: no step, no write
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
    EXPECT_EQ(boardWord(K, 1020), 359);
    EXPECT_EQ(shell::gSetup.ParamValue[0], 359);
    EXPECT_TRUE(box(kLowBdc)->hasFocus());
    QTest::keyClick(box(kLowBdc), Qt::Key_Down);
    EXPECT_EQ(box(kLowBdc)->text(), QStringLiteral("358"));
    EXPECT_EQ(line.writesTo(1020), 3);

    // An arrow clicked leaves the focus on cmdDefault, where the keys step nothing.
    QTest::mouseClick(spinner(kMaxStop)->upButton(), Qt::LeftButton);
    ASSERT_TRUE(screen->defaultButton()->hasFocus());
    QTest::keyClick(screen->defaultButton(), Qt::Key_Up);
    QTest::keyClick(screen->defaultButton(), Qt::Key_Down);
    EXPECT_EQ(line.writesTo(1024), 1);
    EXPECT_EQ(line.writesTo(1020), 3);
    EXPECT_TRUE(answers.asked.empty());
}

TEST_F(BMSetup, SpinnerStepEndsAnEditOnceWithoutAnExtraWrite) {
    openOnline();
    type(kLowSpeed, QStringLiteral("300"));
    QTest::mouseClick(spinner(kLowSpeed)->upButton(), Qt::LeftButton);
    EXPECT_TRUE(answers.asked.empty());
    EXPECT_EQ(box(kLowSpeed)->text(), QStringLiteral("301"));
    EXPECT_EQ(line.writesTo(1026), 1);
    EXPECT_EQ(boardWord(K, 1026), 301);
    EXPECT_FALSE(screen->editor().Editing(kLowSpeed));
}

TEST_F(BMSetup, ArrowsDoNothingWhileTheBoxShowsNoNumber) {
    openOffline(); // the working values are shown, then going online puts "-" back
    goOnline();
    screen->cycle().runStep();
    ASSERT_EQ(box(kLowSpeed)->text(), QStringLiteral("-"));
    QTest::mouseClick(spinner(kLowSpeed)->upButton(), Qt::LeftButton);
    QTest::mouseClick(box(kLowSpeed), Qt::LeftButton);
    QTest::keyClick(box(kLowSpeed), Qt::Key_Down);
    type(kMaxStop, QStringLiteral("abc"));
    QTest::mouseClick(spinner(kMaxStop)->upButton(), Qt::LeftButton);
    EXPECT_EQ(box(kLowSpeed)->text(), QStringLiteral("-"));
    EXPECT_TRUE(line.nothingWritten());
    EXPECT_EQ(shell::gSetup, shell::gSetupDefault);
}

// --- Brake wear check box ---

TEST_F(BMSetup, UncheckingDisablesTheStopPositionsAndWritesTheBit) {
    openOnline();
    ASSERT_TRUE(screen->chkBMSetup()->isChecked());
    QTest::mouseClick(screen->chkBMSetup(), Qt::LeftButton);
    EXPECT_FALSE(box(0)->isEnabled());
    EXPECT_FALSE(box(1)->isEnabled());
    EXPECT_FALSE(spinner(1)->isEnabled());
    EXPECT_TRUE(box(2)->isEnabled());
    EXPECT_FALSE(sim.peekBit(K, 1018, 0));
    EXPECT_EQ(shell::gSetup.ParamValue[7], 0);

    QTest::mouseClick(screen->chkBMSetup(), Qt::LeftButton);
    EXPECT_TRUE(box(0)->isEnabled());
    EXPECT_TRUE(sim.peekBit(K, 1018, 0));
}

TEST_F(BMSetup, BoardSideChangeIsFollowedWrittenBackAndStoredOnce) {
    openOnline();
    shell::gSetup.ParamValue[7] = 1;
    sim.pokeBit(K, 1018, 0, false);
    runPass(*screen);
    EXPECT_FALSE(screen->chkBMSetup()->isChecked());
    EXPECT_FALSE(box(0)->isEnabled());
    EXPECT_EQ(shell::gSetup.ParamValue[7], 0);
    EXPECT_EQ(line.writesTo(1018), 1);
    runPass(*screen);
    EXPECT_EQ(line.writesTo(1018), 1);
}

TEST_F(BMSetup, FirstPassSetsTheBoxWithoutWritingOrStoring) {
    sim.pokeBit(K, 1018, 0, false);
    shell::gSetup.ParamValue[7] = 1;
    goOnline();
    screen = std::make_unique<frmBMSetup>();
    open(*screen);
    runPass(*screen);
    EXPECT_FALSE(screen->chkBMSetup()->isChecked());
    EXPECT_EQ(shell::gSetup.ParamValue[7], 1);
    EXPECT_EQ(line.writesTo(1018), 0);
}

// --- Modes ---

TEST_F(BMSetup, GoingOnlineShowsPlaceholdersUntilTheFirstPass) {
    openOffline();
    goOnline();
    screen->cycle().runStep(); // the pass that follows the change of mode starts
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(box(i)->text(), QStringLiteral("-")) << i;
        EXPECT_TRUE(box(i)->isEnabled() || i < 2) << i;
    }
    runPass(*screen);
    EXPECT_EQ(box(kLowSpeed)->text(), QStringLiteral("250"));
    EXPECT_EQ(box(6)->text(), QStringLiteral("250"));
    EXPECT_TRUE(screen->PassComplete);
}

TEST_F(BMSetup, OfflineWithoutEditingShowsWorkingValuesDisabled) {
    shell::gSetup.ParamValue[3] = 111;
    openOffline();
    runPass(*screen);
    EXPECT_EQ(box(kLowSpeed)->text(), QStringLiteral("111"));
    for (int i = 0; i < 7; ++i)
        EXPECT_FALSE(box(i)->isEnabled()) << i;
    EXPECT_FALSE(screen->chkBMSetup()->isEnabled());
    EXPECT_FALSE(spinner(kLowSpeed)->isEnabled());
}

TEST_F(BMSetup, SwitchingOfflineEditingOnEnablesTheFieldsAtTheNextPass) {
    openOffline();
    runPass(*screen);
    shell::gOfflineEditing = true;
    runPass(*screen); // notices the switch
    EXPECT_FALSE(box(kLowSpeed)->isEnabled());
    screen->cycle().runStep(); // the next pass redoes the set-up: "-" and enabled
    EXPECT_EQ(box(kLowSpeed)->text(), QStringLiteral("-"));
    EXPECT_TRUE(box(kLowSpeed)->isEnabled());
    runPass(*screen);
    EXPECT_EQ(box(kLowSpeed)->text(), QStringLiteral("250"));

    type(kLowSpeed, QStringLiteral("275"));
    QTest::keyClick(box(kLowSpeed), Qt::Key_Tab);
    EXPECT_EQ(shell::gSetup.ParamValue[3], 275);
    EXPECT_TRUE(line.sent.empty());
    EXPECT_EQ(boardWord(K, 1026), 250);

    shell::gOfflineEditing = false;
    runPass(*screen);
    runPass(*screen);
    EXPECT_FALSE(box(kLowSpeed)->isEnabled());
    EXPECT_EQ(box(kLowSpeed)->text(), QStringLiteral("275"));
}

TEST_F(BMSetup, CheckingOfflineWithoutEditingDoesNotEnableTheStopPositions) {
    shell::gSetup.ParamValue[7] = 0;
    openOffline();
    runPass(*screen);
    ASSERT_FALSE(screen->chkBMSetup()->isChecked());
    shell::gSetup.ParamValue[7] = 1;
    runPass(*screen);
    EXPECT_TRUE(screen->chkBMSetup()->isChecked());
    EXPECT_FALSE(box(0)->isEnabled());
}

TEST_F(BMSetup, LinkFailureDuringAPassTurnsTheProgramOffline) {
    openOnline();
    screen->cycle().runStep(); // head
    screen->cycle().runStep(); // board check
    screen->cycle().runStep(); // W1020
    sim.setSilent(true);
    const int passes = screen->cycle().passesCompleted();
    screen->cycle().runStep(); // W1022 fails: the pass ends at once
    EXPECT_EQ(screen->cycle().passesCompleted(), passes + 1);
    EXPECT_TRUE(link.CommError);
    screen->cycle().runStep();
    EXPECT_FALSE(link.OnlineMode);
    runPass(*screen);
    EXPECT_FALSE(box(kLowSpeed)->isEnabled());
    EXPECT_EQ(box(kLowSpeed)->text(), QStringLiteral("250"));
}

TEST_F(BMSetup, ClosingTheScreenEndsTheCycle) {
    openOnline();
    screen->close();
    EXPECT_FALSE(screen->ScreenActive);
    EXPECT_FALSE(screen->cycle().runStep());
    EXPECT_FALSE(screen->editor().Editing(kLowSpeed));
}

} // namespace
} // namespace talvern::testing
