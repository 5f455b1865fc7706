// The Target Board Interface window on the simulated boards.
#include "ScreenFixture.h"
#include "frmTargetBoard.h"

#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTabBar>

using namespace talvern;
using screens::frmTargetBoard;

namespace {

class TargetBoardWindow : public talvern::testing::ScreenFixture {
protected:
    void openPage(const QByteArray& bxl) {
        const QString base = folder.filePath(QStringLiteral("PAGE."));
        for (const auto& [ext, text] :
             {std::pair{"bxl", bxl}, std::pair{"rev", QByteArray("PRG00010;12")},
              std::pair{"hex", QByteArray(":00000001FF")}}) {
            QFile f(base + ext);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(text);
        }
        page = std::make_unique<frmTargetBoard>(QCoreApplication::applicationDirPath());
        page->InitializeForm(base + "bxl");
        ASSERT_TRUE(QTest::qWaitForWindowExposed(page.get()));
    }
    void runPass() { ScreenFixture::runPass(page->monitor().cycle()); }
    std::unique_ptr<frmTargetBoard> page;
};

TEST_F(TargetBoardWindow, ShowsFaultsAdviceAndBothIdentsAndRefusesANetworkAddressOutOfRange) {
    sim.pokeByte(boards::BoardId::K2510, 8177, 0x45);
    goOnline();
    openPage("DPAGE");
    EXPECT_EQ(page->boardType(), 68);
    EXPECT_LT(page->height(), 2 * page->fraTargetBoard[0]->sizeHint().height())
        << "the window is as tall as one tab, not the four stacked";
    EXPECT_EQ(page->lblRevIdentOnDisk[0]->text(), QStringLiteral("PRG0001"));
    EXPECT_EQ(page->lblRevIdentOnDisk[1]->text(), QStringLiteral("18"));
    runPass();
    EXPECT_EQ(page->lblTargetBoard[1]->text(), QStringLiteral("Last Fault: Code = 45H"));
    EXPECT_EQ(page->descriptionText(1),
              QStringLiteral("User program called a system fault function"));
    EXPECT_EQ(page->lblRevIdentInPLC[0]->text(), QStringLiteral("TMGPROG"));
    EXPECT_TRUE(page->cmdResetFaults->isEnabled());
    EXPECT_FALSE(page->txtSetup[0]->isHidden());
    EXPECT_FALSE(page->cmdSetTime->isEnabled()) << "no clock on this board type";

    // A network address outside its limits is refused, and nothing written.
    line.sent.clear();
    answers.asked.clear();
    QLineEdit* box = page->txtSetup[0];
    page->tabTargetBoard->setCurrentIndex(2);
    typeOver(box, QStringLiteral("33"));
    EXPECT_EQ(OnlyQuestion(answers),
              "Set-upCurrent Network Address 1:|Only a Number Between 1 and 32 can be Entered");
    EXPECT_EQ(box->text(), QStringLiteral("1"));
    EXPECT_TRUE(line.nothingWritten());

    QTest::keyClicks(box, QStringLiteral("7"));
    QTest::keyClick(box, Qt::Key_Tab);
    EXPECT_EQ(sim.peekByte(boards::BoardId::K2510, 8180), 7);
}

TEST_F(TargetBoardWindow, GoOnlineWhileOnlineDoesNothingAndABoardWithAClockEnablesItsButtons) {
    goOnline();
    openPage("6PAGE");
    runPass();
    EXPECT_TRUE(page->txtSetup[0]->isHidden());
    EXPECT_TRUE(page->cmdSetTime->isEnabled());
    line.sent.clear();
    page->cmdGoOnline_Click();
    EXPECT_TRUE(line.sent.empty());
    EXPECT_TRUE(link.OnlineMode);
    EXPECT_TRUE(answers.asked.empty());

    // Offline the page says so, and Go Online brings it back.
    goOffline();
    runPass();
    EXPECT_EQ(page->descriptionText(0), QStringLiteral("Cannot Communicate with Target Board."));
    EXPECT_TRUE(page->cmdGoOnline->isVisibleTo(page.get()));
    page->cmdGoOnline_Click();
    EXPECT_TRUE(link.OnlineMode);
    runPass();
    EXPECT_EQ(page->lblTargetBoard[0]->text(), QStringLiteral("Current Fault: Code = 00H"));
}

} // namespace
