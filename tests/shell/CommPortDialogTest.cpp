// The comm-port dialog: the port entry check, the files a save writes, and the reopen.

#include "CommPortSettings.h"
#include "MainWindowFixture.h"
#include "UpDown.h"
#include "frmSetupComm.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>

namespace talvern::testing {
namespace {

QByteArray Contents(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

TEST(CommPortEntry, AcceptsOnlyNumbersWithinTheLimits) {
    EXPECT_TRUE(setup::PortEntryValid("1", 1, 99));
    EXPECT_TRUE(setup::PortEntryValid(" 99 ", 1, 99));
    EXPECT_FALSE(setup::PortEntryValid("0", 1, 99));
    EXPECT_FALSE(setup::PortEntryValid("100", 1, 99));
    EXPECT_FALSE(setup::PortEntryValid("x", 1, 99));
    EXPECT_FALSE(setup::PortEntryValid("", 1, 99));
    EXPECT_EQ(setup::RangeMessage(1, 99), "Only a Number Between 1 and 99 can be Entered");
}

TEST(CommPortEntry, ReadsSettingsWithDefaultsAndClamping) {
    QTemporaryDir dir;
    const QString path = dir.filePath("RSPort.cfg");
    EXPECT_EQ(setup::ReadCommSettings(path).port, 1);
    EXPECT_EQ(setup::ReadCommSettings(path).speed, 9600);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("150,19200\r\n");
    f.close();
    EXPECT_EQ(setup::ReadCommSettings(path).port, 99);
    EXPECT_EQ(setup::ReadCommSettings(path).speed, 19200);
}

class CommPortDialog : public MainWindowTest {
protected:
    shell::frmSetupComm* open() {
        window->mnuEditCommPort->trigger();
        auto* dialog = window->commPortDialog();
        EXPECT_NE(dialog, nullptr);
        EXPECT_TRUE(dialog->isModal());
        return dialog;
    }
    QString settingsFile() { return rs().CommSettingsFile(); }
};

TEST_F(CommPortDialog, LeavingTheBoxWithABadPortShowsTheRangeMessage) {
    auto* dialog = open();
    QApplication::setActiveWindow(dialog);
    for (const char* bad : {"0", "100", "a"}) {
        SCOPED_TRACE(bad);
        answers.asked.clear();
        dialog->txtCommPort->setFocus();
        dialog->txtCommPort->selectAll();
        QTest::keyClicks(dialog->txtCommPort, bad);
        QTest::keyClick(dialog->txtCommPort, Qt::Key_Tab);
        ASSERT_EQ(answers.asked.size(), 1u);
        EXPECT_EQ(answers.asked[0].text, "Only a Number Between 1 and 99 can be Entered");
        EXPECT_EQ(answers.asked[0].title, "Comm Port");
        EXPECT_EQ(answers.asked[0].icon, link::Icon::Information);
        EXPECT_TRUE(dialog->txtCommPort->hasFocus());
    }
    dialog->cmdSave->click();
    EXPECT_FALSE(QFile::exists(settingsFile()));
}

TEST_F(CommPortDialog, ASettingsFileThatCannotBeReadIsReported) {
    ASSERT_TRUE(QDir().mkpath(settingsFile())); // there, but no file to read
    auto* dialog = open();
    ASSERT_EQ(answers.asked.size(), 1u);
    EXPECT_TRUE(answers.asked[0].text.startsWith("Error Number = 75\r\n\r\n"));
    EXPECT_GT(answers.asked[0].text.size(), 21);
    EXPECT_EQ(answers.asked[0].title, "SetupComm CurrentSettings");
    EXPECT_EQ(answers.asked[0].icon, link::Icon::Information);
    EXPECT_EQ(dialog->txtCommPort->text(), "1");
    QTest::keyClick(dialog->txtCommPort, Qt::Key_Escape);
}

TEST_F(CommPortDialog, SpinnerStepsWithinOneToNinetyNineByButtonOrArrowKey) {
    auto* dialog = open();
    dialog->txtCommPort->setText("98");
    dialog->updCommPort->upButton()->click();
    dialog->updCommPort->upButton()->click();
    EXPECT_EQ(dialog->txtCommPort->text(), "99");
    dialog->txtCommPort->setText("1");
    dialog->updCommPort->downButton()->click();
    EXPECT_EQ(dialog->txtCommPort->text(), "1");
    QTest::keyClick(dialog->txtCommPort, Qt::Key_Up);
    QTest::keyClick(dialog->txtCommPort, Qt::Key_Up);
    EXPECT_EQ(dialog->txtCommPort->text(), "3");
    QTest::keyClick(dialog->txtCommPort, Qt::Key_Down);
    EXPECT_EQ(dialog->txtCommPort->text(), "2");
}

TEST_F(CommPortDialog, SaveWritesTheSettingsAndEachExistingDevelopmentFolder) {
    QDir(folder.path()).mkdir("BRX51");
    QDir(folder.path()).mkdir("VUD51");
    auto* dialog = open();
    EXPECT_EQ(dialog->txtCommPort->text(), "1");
    EXPECT_TRUE(dialog->optPortSpeed[0]->isChecked());
    dialog->txtCommPort->setText("3");
    dialog->optPortSpeed[1]->setChecked(true);
    QTest::keyClick(dialog->txtCommPort, Qt::Key_Return); // Save is the default button
    EXPECT_EQ(Contents(settingsFile()), "3,19200\r\n");
    EXPECT_EQ(Contents(folder.filePath("BRX51/BRIXEL.SFG")), "2\r\n");
    EXPECT_EQ(Contents(folder.filePath("VUD51/BRIXEL.SFG")), "2\r\n");
    EXPECT_FALSE(QFileInfo::exists(folder.filePath("BRX96")));
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_FALSE(line.isOpen()); // offline: the new settings wait for the next open
}

TEST_F(CommPortDialog, EscapeCancelsAndWritesNothing) {
    QDir(folder.path()).mkdir("BRX96");
    auto* dialog = open();
    dialog->txtCommPort->setText("4");
    QTest::keyClick(dialog->txtCommPort, Qt::Key_Escape);
    EXPECT_FALSE(QFile::exists(settingsFile()));
    EXPECT_FALSE(QFile::exists(folder.filePath("BRX96/BRIXEL.SFG")));
    EXPECT_FALSE(dialog->isVisible());
}

TEST_F(CommPortDialog, SavingOnlineReopensTheLinkWithTheNewSettings) {
    goOnline();
    auto* dialog = open();
    dialog->txtCommPort->setText("7");
    dialog->cmdSave->click();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_TRUE(rs().OnlineMode);
    EXPECT_EQ(line.settings().port, 7);
    EXPECT_EQ(panel(2), "ONLINE");
}

TEST_F(CommPortDialog, SavingOnlineWithNothingAnsweringKeepsTheDialogOpen) {
    goOnline();
    auto* dialog = open();
    sim.unplug();
    answers.answers = {link::Answer::Cancel};
    dialog->cmdSave->click();
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(rs().OnlineMode);
    EXPECT_EQ(Contents(settingsFile()), "1,9600\r\n");
    dialog->cmdCancel->click();
    EXPECT_EQ(panel(2), "OFFLINE");
}

} // namespace
} // namespace talvern::testing
