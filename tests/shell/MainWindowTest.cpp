// The main window: start-up, menus, online and offline, board check, passcode, screens.

#include "MainWindowFixture.h"

#include <QAction>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QTest>
#include <optional>

namespace talvern::testing {
namespace {

using boards::BoardId;

TEST_F(MainWindowTest, StartsOfflineWithDefaultsAndTheMainDisplay) {
    EXPECT_EQ(window->windowTitle(), "TALVERN - [unnamed]");
    EXPECT_EQ(panel(1), "System Message:");
    EXPECT_EQ(panel(2), "OFFLINE");
    EXPECT_TRUE(window->mnuViewOffline->isChecked());
    EXPECT_FALSE(window->mnuEditPasscode->isEnabled());
    EXPECT_FALSE(rs().OnlineMode);
    EXPECT_EQ(window->visibleChild(), 0);
    EXPECT_EQ(window->loadedChildCount(), 1);
    EXPECT_TRUE(window->mnuBMForm[0]->isChecked());
    EXPECT_EQ(shell::gSetup, shell::gSetupDefault);
    EXPECT_EQ(window->gFileNamePath, QDir(folder.path()).filePath("*.sdt"));
    EXPECT_EQ(panel(3), QLocale().toString(QDate::currentDate(), QLocale::ShortFormat));
}

struct MenuRow {
    const char* name;
    const char* caption;
    QKeySequence shortcut;
    std::optional<bool> enabled; // nothing: depends on whether the command is built yet
};

// The items with a shortcut; the other captions are the menus' own.
TEST_F(MainWindowTest, MenuShortcutsAndStates) {
    const MenuRow rows[] = {
        {"mnuFileNew", "&New...", QKeySequence("Ctrl+N"), true},
        {"mnuFileOpen", "&Open...", QKeySequence("Ctrl+O"), std::nullopt},
        {"mnuFileSave", "&Save", QKeySequence("Ctrl+S"), std::nullopt},
        {"mnuFileExport", "Export Shift Data...", QKeySequence("Ctrl+X"), std::nullopt},
        {"mnuFilePrint", "&Print Report...", QKeySequence("Ctrl+P"), std::nullopt},
        {"mnuEditOfflineEditing", "Enable &Offline Editing", QKeySequence("F2"), true},
        {"mnuEditCommPort", "Co&mm Port", QKeySequence("Ctrl+M"), true},
        {"mnuViewOnline", "O&nline Data", QKeySequence("F3"), true},
        {"mnuViewOffline", "O&ffline Data", QKeySequence("F4"), true},
        {"mnuServoForm1", "&2 Tuning", QKeySequence("F5"), false},
        {"mnuServoForm3", "&4 Acquire Data Signatures", QKeySequence("F6"), false},
        {"mnuHelpHelpTopics", "&Help Topics", QKeySequence("Ctrl+H"), true},
    };
    for (const MenuRow& row : rows) {
        SCOPED_TRACE(row.name);
        auto* item = window->findChild<QAction*>(row.name);
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->text(), row.caption);
        EXPECT_EQ(item->shortcut(), row.shortcut);
        if (row.enabled) {
            EXPECT_EQ(item->isEnabled(), *row.enabled);
        }
    }
    QStringList titles;
    for (QAction* a : window->menuBar()->actions())
        titles << a->text();
    EXPECT_EQ(titles,
              (QStringList{"&File", "&Edit", "&View", "&Bodymaker", "&Serov Cupfeed", "&Help"}));
}

TEST_F(MainWindowTest, EveryWayOfSwitchingShowsTheOutcomeInThePanelMenusAndPasscode) {
    window->show();
    QApplication::setActiveWindow(window.get());
    const std::pair<const char*, std::function<void()>> ways[] = {
        {"View menu",
         [&] { (rs().OnlineMode ? window->mnuViewOffline : window->mnuViewOnline)->trigger(); }},
        {"F3/F4",
         [&] { QTest::keyClick(window.get(), rs().OnlineMode ? Qt::Key_F4 : Qt::Key_F3); }},
        {"panel 2", [&] { QTest::mouseDClick(window->statusPanel(2), Qt::LeftButton); }},
    };
    for (const auto& [way, toggle] : ways) {
        SCOPED_TRACE(way);
        for (bool online : {true, false}) {
            toggle();
            for (int p : {1, 3, 4}) // the other panels do nothing
                QTest::mouseDClick(window->statusPanel(p), Qt::LeftButton);
            EXPECT_EQ(rs().OnlineMode, online);
            EXPECT_EQ(line.isOpen(), online);
            EXPECT_EQ(panel(2), online ? "ONLINE" : "OFFLINE");
            EXPECT_EQ(window->mnuViewOnline->isChecked(), online);
            EXPECT_EQ(window->mnuViewOffline->isChecked(), !online);
            EXPECT_EQ(window->mnuEditPasscode->isEnabled(), online);
        }
    }
    EXPECT_TRUE(answers.asked.empty());
}

TEST_F(MainWindowTest, GoingOnlineWithTheCableUnpluggedEndsOfflineWithACommFault) {
    sim.unplug();
    answers.answers = {link::Answer::Cancel};
    window->mnuViewOnline->trigger();
    ASSERT_EQ(answers.asked.size(), 1u);
    EXPECT_EQ(answers.asked[0].buttons, link::Buttons::RetryCancel);
    EXPECT_FALSE(rs().OnlineMode);
    EXPECT_TRUE(rs().CommError);
    EXPECT_EQ(panel(2), "OFFLINE");
    ticks(1);
    EXPECT_EQ(panel(1), "System Message:  Comm Fault with K2500");
    EXPECT_EQ(shell::gSystemMessage, "Set-up Program is Currently OFFLINE");
}

TEST_F(MainWindowTest,
       BoardCheckAsksForTheProgPortUntilTheCableIsMovedAndCancelOrAFailureGoOffline) {
    sim.moveCable(BoardId::R7520);
    goOnline();
    answers.answers = {link::Answer::Retry};
    answers.onAsk = [&](const AskedQuestion&) { sim.moveCable(BoardId::K2510); };
    EXPECT_TRUE(shell::CheckTargetBoard(1));
    EXPECT_EQ(OnlyQuestion(answers), "TMGPROG|Connect to PROG PORT on K2510 and\r\nPress RETRY to "
                                     "Continue");
    EXPECT_EQ(answers.asked[0].icon, link::Icon::Critical);
    EXPECT_TRUE(rs().OnlineMode);

    answers.onAsk = nullptr;
    answers.answers = {link::Answer::Cancel};
    EXPECT_FALSE(shell::CheckTargetBoard(3));
    EXPECT_EQ(answers.asked.back().title, "MOTPROG");
    EXPECT_EQ(panel(2), "OFFLINE");
    EXPECT_TRUE(window->mnuViewOffline->isChecked());
    EXPECT_FALSE(window->mnuEditPasscode->isEnabled());
    EXPECT_FALSE(line.isOpen());

    // On a failed link the cable question is not asked.
    sim.moveCable(BoardId::K2510);
    goOnline();
    answers.asked.clear();
    sim.unplug();
    answers.answers = {link::Answer::Cancel};
    EXPECT_FALSE(shell::CheckTargetBoard(1));
    EXPECT_TRUE(OnlyQuestion(answers).startsWith("WARNING - Communication Error!|"))
        << "only the link's own question";
    EXPECT_EQ(panel(2), "OFFLINE");
    ticks(1);
    EXPECT_EQ(panel(1), "System Message:  Comm Fault with K2500");
}

TEST_F(MainWindowTest, PasscodeIsReadOfferedAndWrittenAndAnEmptyAnswerWritesNothing) {
    sim.pokeWord(BoardId::K2510, 1036, 1234);
    goOnline();
    input.answers = {"", "4321"};
    window->mnuEditPasscode->trigger();
    EXPECT_EQ(sim.peekWord(BoardId::K2510, 1036), 1234);
    window->mnuEditPasscode->trigger();
    ASSERT_EQ(input.asked.size(), 2u);
    EXPECT_EQ(input.asked[0].prompt, "Please Enter New Passcode (0-65535)");
    EXPECT_EQ(input.asked[0].title, "Keypad Set-up Passcode");
    EXPECT_EQ(input.asked[0].defaultText, "1234");
    EXPECT_EQ(sim.peekWord(BoardId::K2510, 1036), 4321);
}

TEST_F(MainWindowTest, ShowChildWindowKeepsExactlyOneChildLoaded) {
    QPointer<QWidget> first = window->childWindow(0);
    window->mnuBMForm[0]->trigger(); // the visible screen again: nothing happens
    flushDeletes();
    EXPECT_EQ(window->childWindow(0), first.data());
    EXPECT_TRUE(window->mnuBMForm[0]->isChecked());
    EXPECT_FALSE(window->mnuBMForm[4]->isEnabled()); // no factory: the item stays disabled
    window->mnuBMForm[1]->trigger();
    flushDeletes();
    EXPECT_TRUE(first.isNull());
    EXPECT_EQ(alive, 1);
    EXPECT_EQ(window->mdiArea()->subWindowList().size(), 1);
    EXPECT_EQ(window->visibleChild(), 1);
    EXPECT_FALSE(window->mnuBMForm[0]->isChecked());
    EXPECT_TRUE(window->mnuBMForm[1]->isChecked());

    window->mnuServoForm[0]->trigger();
    flushDeletes();
    EXPECT_EQ(alive, 1);
    EXPECT_EQ(window->visibleChild(), 5);
    EXPECT_TRUE(window->mnuServoForm[0]->isChecked());
    EXPECT_FALSE(window->mnuBMForm[1]->isChecked());
}

TEST_F(MainWindowTest, OfflineEditingTogglesAndNewResetsTheWorkingDataToTheDefaults) {
    for (const bool on : {true, false}) {
        window->mnuEditOfflineEditing->trigger();
        EXPECT_EQ(shell::gOfflineEditing, on);
        EXPECT_EQ(window->mnuEditOfflineEditing->isChecked(), on);
    }
    shell::gSetup.ParamValue[3] = 999;
    shell::gSetupReset = false;
    shell::gNewFile = false;
    window->gFileNameCaption = "[line3.sdt]";
    answers.answers = {link::Answer::No}; // the save question, when it is asked
    window->mnuFileNew->trigger();
    EXPECT_EQ(shell::gSetup, shell::gSetupDefault);
    EXPECT_EQ(shell::gSetupSaved, shell::gSetupDefault);
    EXPECT_TRUE(shell::gNewFile);
    EXPECT_TRUE(shell::gSetupReset);
    EXPECT_EQ(window->windowTitle(), "TALVERN - [unnamed]");
}

TEST_F(MainWindowTest, ExitWhileOnlineClosesTheLinkAndUnloadsTheScreens) {
    goOnline();
    window->mnuFileExit->trigger();
    flushDeletes();
    EXPECT_FALSE(line.isOpen());
    EXPECT_FALSE(rs().OnlineMode);
    EXPECT_EQ(alive, 0);
    EXPECT_EQ(window->loadedChildCount(), 0);
    EXPECT_FALSE(window->tmrBackgroungUpdate.isActive());
}

} // namespace
} // namespace talvern::testing
