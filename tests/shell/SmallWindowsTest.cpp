// The About box, the system-information window, the wait window and the help window.

#include "MainWindowFixture.h"
#include "frmAbout.h"
#include "frmWaitDisplay.h"

#include <QPointer>
#include <QPushButton>
#include <QTest>

namespace talvern::testing {
namespace {

TEST(SmallWindows, AboutShowsTheVersionAndOffersSystemInformation) {
    ScriptedAnswers answers;
    auto* about = new shell::frmAbout(answers, "/tmp/RSPort.cfg");
    EXPECT_EQ(about->windowTitle(), "About TALVERN");
    EXPECT_EQ(shell::VersionLabelText(2, 1, 4), "Version 2.1.4");
    EXPECT_TRUE(about->lblTechSupport->text().startsWith("Technical Support:"));
#ifndef Q_OS_WIN
    about->cmdSysInfo->click();
    auto* info = about->findChild<shell::SystemInfoWindow*>();
    ASSERT_NE(info, nullptr);
    EXPECT_TRUE(info->text().contains("/tmp/RSPort.cfg"));
    EXPECT_TRUE(info->text().contains(QString::fromLatin1(qVersion())));
#endif
    delete about;
}

TEST(SmallWindows, WaitWindowIsPaintedBeforeTheWorkAndClosesAfterwards) {
    shell::frmWaitDisplay wait;
    QImage onScreen;
    QString textDuringWork;
    wait.Run(1, [&] {
        // What the window system shows, not what the widget would draw if asked.
        onScreen = wait.screen()->grabWindow(wait.winId()).toImage();
        textDuringWork = wait.lblWaitDisplay->text();
    });
    EXPECT_EQ(textDuringWork, "Generating Report, Please Standby ...");
    EXPECT_EQ(shell::WaitDisplayText(2), "Formatting Data for Output, Please Standby ...");
    EXPECT_EQ(shell::WaitDisplayText(0), "Please Standby ...");
    QImage blank(onScreen.size(), onScreen.format());
    blank.fill(QColor::fromRgba(onScreen.pixel(0, 0)));
    EXPECT_NE(onScreen, blank) << "nothing drawn on screen";
    EXPECT_FALSE(wait.isVisible());
}

using HelpAndAbout = MainWindowTest;

TEST_F(HelpAndAbout, AboutIsOneBoxWithoutBlockingThatTakesTheKeyboard) {
    window->show();
    QApplication::setActiveWindow(window.get());
    window->mnuHelpAbout->trigger();
    window->mnuHelpAbout->trigger();
    QCoreApplication::processEvents();
    ASSERT_EQ(window->findChildren<shell::frmAbout*>().size(), 1);
    QPointer<shell::frmAbout> about = window->aboutBox();
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(about->isVisible());
    EXPECT_FALSE(about->isModal());
    EXPECT_EQ(QApplication::activeWindow(), about.data());
    QTest::keyClick(about.data(), Qt::Key_Escape);
    flushDeletes();
    EXPECT_TRUE(about.isNull());
    window->mnuHelpAbout->trigger();
    ASSERT_NE(window->aboutBox(), nullptr);
    QTest::keyClick(window->aboutBox(), Qt::Key_Return);
    flushDeletes();
    EXPECT_EQ(window->aboutBox(), nullptr);
}

} // namespace
} // namespace talvern::testing
