// "Cupfeed Set-Up Parameters": the same editor on the R7520.

#include "ScreenFixture.h"
#include "UpDownSpinner.h"
#include "frmCpfdSetup.h"

#include <QLabel>
#include <QLineEdit>

namespace talvern::testing {
namespace {

using boards::BoardId;
using screens::frmCpfdSetup;
constexpr auto R = BoardId::R7520;

class CpfdSetup : public ScreenFixture {
protected:
    std::unique_ptr<frmCpfdSetup> screen;
};

TEST_F(CpfdSetup, ReadsAndWritesTheMotionBoard) {
    sim.moveCable(BoardId::R7520);
    goOnline();
    screen = std::make_unique<frmCpfdSetup>();
    open(*screen);
    runPass(*screen);
    runPass(*screen);
    QLineEdit* stop = screen->editor().box(0);
    EXPECT_EQ(stop->text(), QStringLiteral("1950"));
    EXPECT_EQ(screen->editor().spinner(0)->Max(), 4095);

    QTest::mouseClick(stop, Qt::LeftButton);
    QTest::keyClicks(stop, QStringLiteral("4096"));
    QTest::keyClick(stop, Qt::Key_Tab);
    ASSERT_EQ(answers.asked.size(), 1u);
    EXPECT_EQ(answers.asked[0].text,
              QStringLiteral("Only a Number Between 0 and 4095 can be Entered"));

    QTest::keyClicks(stop, QStringLiteral("2000"));
    QTest::keyClick(stop, Qt::Key_Tab);
    EXPECT_EQ(sim.peekWord(R, 1110), 2000);
    EXPECT_EQ(shell::gSetup.ParamValue[14], 2000);
}

TEST_F(CpfdSetup, AccessKeysAndTabReachEveryField) {
    sim.moveCable(BoardId::R7520);
    goOnline();
    screen = std::make_unique<frmCpfdSetup>();
    open(*screen);
    runPass(*screen);
    EXPECT_EQ(screen->windowTitle(), QStringLiteral("Cupfeed Set-Up Parameters"));
    EXPECT_EQ(screen->editor().label(1)->text(),
              QStringLiteral("Max Error for \"Out of Sync\" &Disable (counts):"));
    const char keys[] = {'T', 'D', 'C', 'A'};
    for (int i = 0; i < 4; ++i) {
        QTest::keyClick(screen.get(), keys[i], Qt::AltModifier);
        EXPECT_TRUE(screen->editor().box(i)->hasFocus()) << keys[i];
    }
    QTest::keyClick(screen->editor().box(3), Qt::Key_Tab);
    EXPECT_TRUE(screen->editor().box(0)->hasFocus());
    QTest::keyClick(screen->editor().box(0), Qt::Key_Tab);
    EXPECT_TRUE(screen->editor().box(1)->hasFocus());
    EXPECT_TRUE(answers.asked.empty());
}

TEST_F(CpfdSetup, WrongBoardPromptsAndCancelTurnsOffline) {
    goOnline(); // the cable is on the K2510
    screen = std::make_unique<frmCpfdSetup>();
    open(*screen);
    runPass(*screen);
    runPass(*screen);
    ASSERT_FALSE(answers.asked.empty());
    EXPECT_EQ(answers.asked[0].title, QStringLiteral("MOTPROG"));
    EXPECT_FALSE(link.OnlineMode);
    runPass(*screen);
    EXPECT_FALSE(screen->editor().box(0)->isEnabled());
    EXPECT_EQ(screen->editor().box(0)->text(), QStringLiteral("1950"));
}

} // namespace
} // namespace talvern::testing
