// The parameter editor on the two set-up screens, driven by keys and mouse clicks.

#include "ScreenFixture.h"
#include "UpDownSpinner.h"
#include "frmBMSetup.h"
#include "frmCpfdSetup.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

namespace talvern::testing {
namespace {

using boards::BoardId;
using screens::frmBMSetup;
using screens::ParameterScreen;
constexpr auto K = BoardId::K2510;
constexpr int kLowBdc = 0;   // W1020, 0..359
constexpr int kMaxStop = 2;  // W1024, 0..999
constexpr int kLowSpeed = 3; // W1026, 0..899

struct Row {
    int field;
    int address;
    int max; // every limit starts at 0
    int position;
};

struct ScreenTable {
    const char* title;
    BoardId board;
    const char* prompt; // the title of its question when the other board is on the cable
    std::function<ParameterScreen*()> make;
    std::vector<Row> rows;
    const char* accessKeys;
};

const ScreenTable kScreens[] = {
    {"BM Set-Up Parameters",
     BoardId::K2510,
     "TMGPROG",
     [] { return new frmBMSetup; },
     {{0, 1020, 359, 0},
      {1, 1022, 359, 1},
      {2, 1024, 999, 2},
      {3, 1026, 899, 3},
      {4, 1028, 999, 4},
      {5, 1032, 999, 5},
      {6, 1034, 999, 6}},
     "LGMOIXD"},
    {"Cupfeed Set-Up Parameters",
     BoardId::R7520,
     "MOTPROG",
     [] { return new screens::frmCpfdSetup; },
     {{0, 1110, 4095, 14}, {1, 1130, 999, 15}, {2, 1132, 999, 16}, {3, 1134, 999, 17}},
     "TDCA"},
};

class SetupTables : public ScreenFixture {};

TEST_F(SetupTables, EveryFieldReadsAndWritesItsOwnAddressWithinItsLimitsAndKeysReachIt) {
    for (const ScreenTable& table : kScreens) {
        SCOPED_TRACE(table.title);
        // With the other board on the cable the screen asks for its own.
        sim.moveCable(table.board == K ? BoardId::R7520 : K);
        goOnline();
        std::unique_ptr<ParameterScreen> screen(table.make());
        open(*screen);
        runPass(*screen);
        EXPECT_TRUE(OnlyQuestion(answers).startsWith(QString::fromLatin1(table.prompt) + '|'));

        answers.asked.clear();
        sim.moveCable(table.board);
        goOnline();
        for (const Row& row : table.rows)
            sim.pokeWord(table.board, row.address, 100 + 11 * row.field);
        runPass(*screen);
        runPass(*screen);
        EXPECT_TRUE(answers.asked.empty());
        EXPECT_EQ(screen->windowTitle(), table.title);
        auto& editor = screen->editor();
        ASSERT_EQ(editor.count(), static_cast<int>(table.rows.size()));
        for (const Row& row : table.rows) {
            SCOPED_TRACE(row.address);
            EXPECT_EQ(editor.box(row.field)->text(), QString::number(100 + 11 * row.field));
            EXPECT_EQ(editor.spinner(row.field)->Min(), 0);
            EXPECT_EQ(editor.spinner(row.field)->Max(), row.max);
            typeOver(editor.box(row.field), QString::number(row.max));
            EXPECT_EQ(sim.peekWord(table.board, row.address), row.max);
            EXPECT_EQ(shell::gSetup.ParamValue[row.position], row.max);
        }
        EXPECT_TRUE(answers.asked.empty());
        // Nothing outside the table (but the brake-wear bit the first pass sets).
        for (int written : line.bytesWritten()) {
            bool inTable = written == 1018 && table.board == K;
            for (const Row& row : table.rows)
                inTable = inTable || written == row.address || written == row.address + 1;
            EXPECT_TRUE(inTable) << written;
        }

        // The access keys and Tab reach every field.
        line.sent.clear();
        const int n = editor.count();
        for (int i = 0; i < n; ++i) {
            QTest::keyClick(screen.get(), table.accessKeys[i], Qt::AltModifier);
            EXPECT_TRUE(editor.box(i)->hasFocus()) << table.accessKeys[i];
            if (i > 0) {
                EXPECT_EQ(editor.box(i)->selectedText(), editor.box(i)->text());
            }
        }
        // Tab walks top to bottom and round again, also after an edit ended on cmdDefault.
        QTest::keyClick(editor.box(n - 1), Qt::Key_Escape);
        QTest::keyClick(editor.box(n - 1), Qt::Key_Escape);
        ASSERT_TRUE(screen->defaultButton()->hasFocus());
        QWidget* check = screen->findChild<QCheckBox*>("chkBMSetup");
        QTest::keyClick(screen->defaultButton(), Qt::Key_Tab);
        if (check) {
            EXPECT_TRUE(check->hasFocus());
            // Its caption starts where the field captions start.
            EXPECT_EQ(check->x(), editor.label(0)->x());
            QTest::keyClick(check, Qt::Key_Tab);
        }
        for (int i = 0; i < n; ++i) {
            EXPECT_EQ(QApplication::focusWidget(), editor.box(i)) << i;
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        EXPECT_EQ(QApplication::focusWidget(), check ? check : editor.box(0));
        EXPECT_TRUE(line.nothingWritten());
        EXPECT_TRUE(answers.asked.empty());
        goOffline();
    }
}

class BMSetup : public ScreenFixture {
protected:
    QLineEdit* box(int i) { return screen->editor().box(i); }
    screens::UpDown* spinner(int i) { return screen->editor().spinner(i); }
    void openOnline() {
        goOnline();
        screen = show<frmBMSetup>(2);
        line.sent.clear();
        answers.asked.clear();
    }
    void openOffline() { screen = show<frmBMSetup>(1); }
    void type(int i, const QString& text) {
        QTest::mouseClick(box(i), Qt::LeftButton);
        QTest::keyClicks(box(i), text);
    }
    std::unique_ptr<frmBMSetup> screen;
};

// Which texts pass is the field check's; the window must show its verdict, keep or move the focus
// and write only what was taken.
TEST_F(BMSetup, RefusedTextGivesTheRangeMessageAndAFractionIsStoredAndWrittenRounded) {
    const struct {
        int field;
        const char* text;
        int taken; // -1: refused, the value restored and the focus kept
    } rows[] = {
        {kLowBdc, "360", -1}, {kMaxStop, "abc", -1}, {kMaxStop, "", -1}, {kMaxStop, "13.5", 14}};
    sim.pokeWord(K, 1020, 45);
    openOnline();
    for (const auto& [field, text, taken] : rows) {
        SCOPED_TRACE(text);
        answers.asked.clear();
        const QString before = box(field)->text();
        QTest::mouseClick(box(field), Qt::LeftButton);
        QTest::keyClick(box(field), Qt::Key_Backspace);
        QTest::keyClicks(box(field), QString::fromLatin1(text));
        QTest::keyClick(box(field), Qt::Key_Tab);
        if (taken >= 0) {
            EXPECT_TRUE(answers.asked.empty());
            EXPECT_EQ(shell::gSetup.ParamValue[2], taken);
            EXPECT_EQ(boardWord(K, 1024), taken);
            EXPECT_EQ(box(field)->text(), QString::number(taken));
            continue;
        }
        EXPECT_EQ(OnlyQuestion(answers), QStringLiteral("Set-up|Only a Number Between 0 and %1 can "
                                                        "be Entered")
                                             .arg(field == kLowBdc ? 359 : 999));
        EXPECT_EQ(answers.asked[0].icon, link::Icon::Information);
        EXPECT_EQ(answers.asked[0].buttons, link::Buttons::Ok);
        EXPECT_EQ(box(field)->text(), before);
        EXPECT_TRUE(box(field)->hasFocus());
        EXPECT_EQ(box(field)->selectedText(), before);
        EXPECT_TRUE(screen->editor().Editing(field));
    }
    EXPECT_EQ(line.bytesWritten(), (std::vector<int>{1024, 1025})) << "only the number taken";
    auto expected = shell::gSetupDefault;
    expected.ParamValue[2] = 14;
    EXPECT_EQ(shell::gSetup, expected);
}

TEST_F(BMSetup, AfterARefusalInAMessageWindowTheNextLeaveIsCheckedToo) {
    openOnline();
    // The focus comes back to the field when the screen is activated again.
    questionsTakeTheActivation();
    for (const char* text : {"900", "901"}) {
        SCOPED_TRACE(text);
        if (!box(kLowSpeed)->hasFocus()) QTest::mouseClick(box(kLowSpeed), Qt::LeftButton);
        box(kLowSpeed)->selectAll();
        QTest::keyClicks(box(kLowSpeed), QString::fromLatin1(text));
        QTest::keyClick(box(kLowSpeed), Qt::Key_Tab);
        QApplication::setActiveWindow(screen.get());
        EXPECT_EQ(answers.asked.size(), text[2] == '0' ? 1u : 2u);
        EXPECT_TRUE(box(kLowSpeed)->hasFocus());
        EXPECT_EQ(box(kLowSpeed)->text(), QStringLiteral("250"));
    }
    EXPECT_TRUE(line.nothingWritten());
}

TEST_F(BMSetup, EnterMovesToTheNextFieldAndChecksOnlyAFieldTypedIn) {
    openOnline();
    QTest::mouseClick(box(kMaxStop), Qt::LeftButton);
    QTest::keyClick(box(kMaxStop), Qt::Key_Return); // untouched: nothing written
    EXPECT_TRUE(line.nothingWritten());
    EXPECT_FALSE(screen->editor().Editing(kMaxStop));
    QTest::keyClicks(box(kLowSpeed), QStringLiteral("200"));
    QTest::keyClick(box(kLowSpeed), Qt::Key_Return);
    EXPECT_TRUE(box(kLowSpeed + 1)->hasFocus());
    EXPECT_EQ(boardWord(K, 1026), 200);
    EXPECT_TRUE(screen->editor().Editing(kLowSpeed + 1));

    QTest::keyClicks(box(kLowSpeed + 1), QStringLiteral("1000"));
    QTest::keyClick(box(kLowSpeed + 1), Qt::Key_Enter);
    EXPECT_TRUE(box(kLowSpeed + 1)->hasFocus());
    EXPECT_EQ(answers.asked.size(), 1u);
    EXPECT_EQ(boardWord(K, 1028), 350);
}

TEST_F(BMSetup, OneEscapeRestoresTheEntryValueAndASecondLeavesTheField) {
    goOnline();
    screen = show<frmBMSetup>(0); // no pass yet: "-" everywhere, which Escape turns into "0"
    QTest::mouseClick(box(kMaxStop), Qt::LeftButton);
    QTest::keyClick(box(kMaxStop), Qt::Key_Escape);
    EXPECT_EQ(box(kMaxStop)->text(), QStringLiteral("0"));
    runPass(*screen);
    runPass(*screen);
    line.sent.clear();

    type(kLowSpeed, QStringLiteral("123"));
    QTest::keyClick(box(kLowSpeed), Qt::Key_Escape);
    EXPECT_EQ(box(kLowSpeed)->text(), QStringLiteral("250"));
    EXPECT_EQ(box(kLowSpeed)->selectedText(), QStringLiteral("250"));
    QTest::keyClick(box(kLowSpeed), Qt::Key_7); // any other key cancels the pending Escape
    QTest::keyClick(box(kLowSpeed), Qt::Key_Escape);
    EXPECT_TRUE(box(kLowSpeed)->hasFocus());
    QTest::keyClick(box(kLowSpeed), Qt::Key_Escape);
    EXPECT_TRUE(screen->defaultButton()->hasFocus());
    EXPECT_TRUE(answers.asked.empty());
    EXPECT_TRUE(line.nothingWritten());
}

TEST_F(BMSetup, APassLeavesAFieldBeingTypedInAloneAndNothingIsWrittenWhileALinkFailureIsFlagged) {
    openOnline();
    type(kLowSpeed, QStringLiteral("12"));
    sim.pokeWord(K, 1026, 222);
    sim.pokeWord(K, 1028, 333);
    runPass(*screen);
    EXPECT_EQ(box(kLowSpeed)->text(), QStringLiteral("12"));
    EXPECT_EQ(box(kLowSpeed + 1)->text(), QStringLiteral("333"));

    line.sent.clear();
    link.CommError = true;
    typeOver(box(kLowSpeed), QStringLiteral("200"));
    QTest::mouseClick(spinner(kMaxStop)->upButton(), Qt::LeftButton);
    QTest::mouseClick(screen->chkBMSetup(), Qt::LeftButton);
    EXPECT_EQ(shell::gSetup.ParamValue[3], 200);
    EXPECT_EQ(shell::gSetup.ParamValue[2], 301);
    EXPECT_EQ(shell::gSetup.ParamValue[7], 0);
    EXPECT_TRUE(line.sent.empty());
}

TEST_F(BMSetup, ArrowKeysStepOnlyTheFocusedFieldAndEachStepIsWrittenOnce) {
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
    EXPECT_EQ(shell::gSetup.ParamValue[2], 301);

    // A step ends an edit once, without an extra write.
    type(kLowSpeed, QStringLiteral("300"));
    QTest::mouseClick(spinner(kLowSpeed)->upButton(), Qt::LeftButton);
    EXPECT_EQ(box(kLowSpeed)->text(), QStringLiteral("301"));
    EXPECT_EQ(line.writesTo(1026), 1);
    EXPECT_EQ(boardWord(K, 1026), 301);
    EXPECT_FALSE(screen->editor().Editing(kLowSpeed));
    EXPECT_TRUE(answers.asked.empty());
}

TEST_F(BMSetup, TheCheckBoxGovernsTheStopPositionsAndIsWrittenOnlyOnceItsStateIsKnown) {
    // Until two passes read the board's state alike the box is partly checked and a click does
    // nothing; then the box is set from the board without writing or storing it.
    sim.pokeBit(K, 1018, 0, false);
    goOnline();
    screen = show<frmBMSetup>(1);
    EXPECT_EQ(screen->chkBMSetup()->checkState(), Qt::PartiallyChecked);
    QTest::mouseClick(screen->chkBMSetup(), Qt::LeftButton);
    EXPECT_EQ(screen->chkBMSetup()->checkState(), Qt::PartiallyChecked);
    runPass(*screen);
    EXPECT_FALSE(screen->chkBMSetup()->isChecked());
    EXPECT_FALSE(box(1)->isEnabled());
    EXPECT_FALSE(spinner(1)->isEnabled());
    EXPECT_TRUE(box(2)->isEnabled());
    EXPECT_EQ(shell::gSetup.ParamValue[7], 1);
    EXPECT_EQ(line.writesTo(1018), 0);

    QTest::mouseClick(screen->chkBMSetup(), Qt::LeftButton);
    EXPECT_TRUE(box(0)->isEnabled());
    EXPECT_TRUE(sim.peekBit(K, 1018, 0));
    EXPECT_EQ(line.writesTo(1018), 1);

    // A change on the board is followed, written back and stored, once.
    sim.pokeBit(K, 1018, 0, false);
    runPass(*screen);
    runPass(*screen);
    EXPECT_FALSE(screen->chkBMSetup()->isChecked());
    EXPECT_FALSE(box(0)->isEnabled());
    EXPECT_EQ(shell::gSetup.ParamValue[7], 0);
    EXPECT_EQ(line.writesTo(1018), 2);
}

TEST_F(BMSetup, GoingOnlineShowsPlaceholdersWhichArrowsCannotStepUntilTheFirstPass) {
    openOffline(); // the working values are shown, then going online puts "-" back
    goOnline();
    screen->cycle().runStep(); // the pass that follows the change of mode starts
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(box(i)->text(), QStringLiteral("-")) << i;
        EXPECT_TRUE(box(i)->isEnabled() || i < 2) << i;
    }
    QTest::mouseClick(spinner(kLowSpeed)->upButton(), Qt::LeftButton);
    EXPECT_EQ(box(kLowSpeed)->text(), QStringLiteral("-")); // the other ways are the spinner's
    EXPECT_TRUE(line.nothingWritten());
    EXPECT_EQ(shell::gSetup, shell::gSetupDefault);
    runPass(*screen);
    EXPECT_EQ(box(kLowSpeed)->text(), QStringLiteral("250"));
    EXPECT_EQ(box(6)->text(), QStringLiteral("250"));
    EXPECT_TRUE(screen->PassComplete);
}

TEST_F(BMSetup, OfflineEditingSwitchedOnEnablesTheFieldsAtTheNextPassAndEditsOnlyStore) {
    shell::gSetup.ParamValue[3] = 111;
    shell::gSetup.ParamValue[7] = 0;
    openOffline();
    runPass(*screen);
    EXPECT_EQ(box(kLowSpeed)->text(), QStringLiteral("111"));
    for (int i = 0; i < 7; ++i)
        EXPECT_FALSE(box(i)->isEnabled()) << i;
    EXPECT_FALSE(screen->chkBMSetup()->isEnabled());
    EXPECT_FALSE(spinner(kLowSpeed)->isEnabled());
    shell::gSetup.ParamValue[7] = 1; // checked without offline editing: the stop positions stay off
    runPass(*screen);
    EXPECT_TRUE(screen->chkBMSetup()->isChecked());
    EXPECT_FALSE(box(0)->isEnabled());

    shell::gOfflineEditing = true;
    runPass(*screen); // notices the switch
    EXPECT_FALSE(box(kLowSpeed)->isEnabled());
    screen->cycle().runStep(); // the next pass redoes the set-up: "-" and enabled
    EXPECT_EQ(box(kLowSpeed)->text(), QStringLiteral("-"));
    EXPECT_TRUE(box(kLowSpeed)->isEnabled());
    runPass(*screen);
    EXPECT_EQ(box(kLowSpeed)->text(), QStringLiteral("111"));

    typeOver(box(kLowSpeed), QStringLiteral("275"));
    QTest::mouseClick(screen->chkBMSetup(), Qt::LeftButton);
    EXPECT_EQ(shell::gSetup.ParamValue[3], 275);
    EXPECT_EQ(shell::gSetup.ParamValue[7], 0);
    EXPECT_TRUE(line.sent.empty());
    EXPECT_EQ(boardWord(K, 1026), 250);

    shell::gOfflineEditing = false;
    runPass(*screen);
    runPass(*screen);
    EXPECT_FALSE(box(kLowSpeed)->isEnabled());
    EXPECT_EQ(box(kLowSpeed)->text(), QStringLiteral("275"));
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
    screen->close();
    EXPECT_FALSE(screen->ScreenActive);
    EXPECT_FALSE(screen->cycle().runStep());
}

} // namespace
} // namespace talvern::testing
