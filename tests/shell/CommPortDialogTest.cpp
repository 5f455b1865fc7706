// The comm-port dialog: the port entry check, the files a save writes, and the reopen.

#include "CommPortSettings.h"
#include "MainWindowFixture.h"
#include "UpDown.h"
#include "frmSetupComm.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTest>
#include <QToolButton>
#include <set>

namespace talvern::testing {
namespace {

QByteArray Contents(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

TEST(CommPortEntry, AcceptsOnlyNumbersWithinTheLimits) {
    for (const char* good : {"1", " 99 "})
        EXPECT_TRUE(setup::PortEntryValid(good, 1, 99)) << good;
    for (const char* bad : {"0", "100", "x", ""})
        EXPECT_FALSE(setup::PortEntryValid(bad, 1, 99)) << bad;
}

class CommPortDialog : public MainWindowTest {
protected:
    shell::frmSetupComm* open() {
        flushDeletes(); // the dialog closed last
        window->mnuEditCommPort->trigger();
        auto* dialog = window->commPortDialog();
        EXPECT_NE(dialog, nullptr);
        EXPECT_TRUE(dialog->isModal());
        return dialog;
    }
    QString portFile() { return rs().CommSettingsFile(); }
};

TEST_F(CommPortDialog, LeavingTheBoxWithABadPortShowsTheRangeMessage) {
    auto* dialog = open();
    QApplication::setActiveWindow(dialog);
    for (const char* bad : {"100", "a"}) { // which entries pass is the entry check's
        answers.asked.clear();
        dialog->txtCommPort->setFocus();
        dialog->txtCommPort->selectAll();
        QTest::keyClicks(dialog->txtCommPort, bad);
        QTest::keyClick(dialog->txtCommPort, Qt::Key_Tab);
        EXPECT_EQ(OnlyQuestion(answers), "Comm Port|Only a Number Between 1 and 99 can be Entered");
        EXPECT_EQ(answers.asked[0].icon, link::Icon::Information);
        EXPECT_TRUE(dialog->txtCommPort->hasFocus()) << bad;
    }
    dialog->cmdSave->click();
    EXPECT_FALSE(QFile::exists(portFile()));
}

TEST_F(CommPortDialog, ASettingsFileThatCannotBeReadIsReported) {
    ASSERT_TRUE(QDir().mkpath(portFile())); // there, but no file to read
    auto* dialog = open();
    EXPECT_TRUE(
        OnlyQuestion(answers).startsWith("SetupComm CurrentSettings|Error Number = 75\r\n\r\n"));
    EXPECT_GT(answers.asked[0].text.size(), 21) << "and says why";
    EXPECT_EQ(answers.asked[0].icon, link::Icon::Information);
    EXPECT_EQ(dialog->txtCommPort->text(), "1");
    QTest::keyClick(dialog->txtCommPort, Qt::Key_Escape);
}

TEST_F(CommPortDialog, EscapeWritesNothingAndSaveWritesTheSettingsAndEachDevelopmentFolder) {
    QDir(folder.path()).mkdir("BRX51");
    QDir(folder.path()).mkdir("VUD51");
    auto* dialog = open();
    dialog->txtCommPort->setText("4");
    QTest::keyClick(dialog->txtCommPort, Qt::Key_Escape);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_FALSE(QFile::exists(portFile()));
    EXPECT_FALSE(QFile::exists(folder.filePath("BRX51/BRIXEL.SFG")));

    dialog = open();
    EXPECT_EQ(dialog->txtCommPort->text(), "1");
    EXPECT_TRUE(dialog->optPortSpeed[0]->isChecked());
    dialog->txtCommPort->setText("3");
    dialog->optPortSpeed[1]->setChecked(true);
    QTest::keyClick(dialog->txtCommPort, Qt::Key_Return); // Save is the default button
    EXPECT_EQ(Contents(portFile()), "3,19200\r\n");
    for (const char* dev : {"BRX51", "VUD51"})
        EXPECT_EQ(Contents(folder.filePath(dev + QStringLiteral("/BRIXEL.SFG"))), "2\r\n") << dev;
    EXPECT_FALSE(QFileInfo::exists(folder.filePath("BRX96")));
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_FALSE(line.isOpen()); // offline: the new settings wait for the next open
}

TEST_F(CommPortDialog, SavingOnlineWithNothingAnsweringKeepsTheDialogOpen) {
    goOnline();
    auto* dialog = open();
    sim.unplug();
    answers.answers = {link::Answer::Cancel};
    dialog->cmdSave->click();
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(rs().OnlineMode);
    EXPECT_EQ(Contents(portFile()), "1,9600\r\n");
    EXPECT_EQ(panel(2), "OFFLINE");
    dialog->cmdCancel->click();
}

TEST_F(CommPortDialog, AChosenOrTypedDeviceIsKeptForTheNextStartUntilANumberIsChosen) {
    settingsFile = folder.filePath("user/talvern.ini");
    TearDown();
    SetUp();                                    // a window that remembers between runs
    const QString pty = folder.filePath("pty"); // typed: a pseudo-terminal is not listed
    // Opens the dialog, picks the option by its access key, types into the next control, saves.
    auto chooseAndType = [this](Qt::Key key, int option, const QString& text) {
        auto* dialog = open();
        QApplication::setActiveWindow(dialog);
        QTest::keyClick(dialog, key, Qt::AltModifier);
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return dialog->optCommPort[option]->isChecked(); }, 2000));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTest::keyClicks(QApplication::focusWidget(), text);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        EXPECT_FALSE(dialog->isVisible());
    };
    chooseAndType(Qt::Key_D, 1, pty);
    EXPECT_EQ(Contents(portFile()), "1,9600\r\n"); // the port file keeps its two fields
    EXPECT_EQ(QSettings(settingsFile, QSettings::IniFormat).value("CommPort/Device").toString(),
              pty);

    TearDown();
    SetUp(); // the next start
    goOnline();
    EXPECT_EQ(line.settings().devicePath, pty);
    EXPECT_EQ(window->statusPanel(2)->toolTip(),
              "Communications Mode: ONLINE on the simulated boards at 9600 baud");
    auto* dialog = open();
    EXPECT_TRUE(dialog->optCommPort[1]->isChecked());
    EXPECT_EQ(dialog->cboCommDevice->currentText(), pty);
    // A listed device is stored by its path, not its caption.
    dialog->cboCommDevice->addItem("ttyUSB9 — FT232R USB UART (FTDI)", "/dev/ttyUSB9");
    dialog->cboCommDevice->setCurrentIndex(dialog->cboCommDevice->count() - 1);
    dialog->cmdSave->click();
    EXPECT_EQ(line.settings().devicePath, "/dev/ttyUSB9");

    chooseAndType(Qt::Key_N, 0, "3");
    EXPECT_EQ(line.settings().devicePath, "");
    EXPECT_EQ(line.settings().port, 3); // reopened at once: it was online
    EXPECT_EQ(panel(2), "ONLINE");
    EXPECT_EQ(Contents(portFile()), "3,9600\r\n");
    EXPECT_FALSE(QSettings(settingsFile, QSettings::IniFormat).contains("CommPort/Device"));
}

TEST_F(CommPortDialog, TabReachesEveryControlAndTheSpinnerStepsWithinOneToNinetyNine) {
    auto* dialog = open();
    dialog->txtCommPort->setText("98");
    dialog->updCommPort->upButton()->click();
    QTest::keyClick(dialog->txtCommPort, Qt::Key_Up);
    EXPECT_EQ(dialog->txtCommPort->text(), "99");
    dialog->txtCommPort->setText("2");
    dialog->updCommPort->downButton()->click();
    QTest::keyClick(dialog->txtCommPort, Qt::Key_Down);
    EXPECT_EQ(dialog->txtCommPort->text(), "1");
    QApplication::setActiveWindow(dialog);
    std::set<QWidget*> reached;
    for (int i = 0; i < 8; ++i, QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab))
        reached.insert(QApplication::focusWidget());
    EXPECT_EQ(reached, (std::set<QWidget*>{dialog->optCommPort[0], dialog->txtCommPort,
                                           dialog->cboCommDevice, dialog->optPortSpeed[0],
                                           dialog->cmdSave, dialog->cmdCancel}));
}

} // namespace
} // namespace talvern::testing
