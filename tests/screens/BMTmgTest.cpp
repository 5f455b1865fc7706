// "Machine Timing" against the simulated K2510, and the dial's geometry.

#include "DialGeometry.h"
#include "ScreenFixture.h"
#include "TimingDial.h"
#include "UpDownSpinner.h"
#include "frmBMTmg.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QToolButton>

namespace talvern::testing {
namespace {

using screens::frmBMTmg;

class BMTmg : public ScreenFixture {
protected:
    QLineEdit* on(int c) { return screen->txtChannel[c]; }
    QLineEdit* off(int c) { return screen->txtChannel[c + 8]; }
    void openOnline() {
        goOnline();
        screen = std::make_unique<frmBMTmg>();
        open(*screen);
        for (int k = 0; k < 40 && !screen->timing().OnlineShown; ++k)
            runPass();
        ASSERT_TRUE(screen->timing().OnlineShown);
        runPass();
        line.sent.clear();
        answers.asked.clear();
    }
    void openOffline() { screen = show<frmBMTmg>(1); }
    void runPass() { ScreenFixture::runPass(screen->cycle()); }
    const boards::K2510Board::Window& window(int c) { return sim.k2510().channel(c).at(0); }
    std::unique_ptr<frmBMTmg> screen;
};

// The checks and the programming are the timing logic's; the window must route each box and arrow
// to them and show the refusal in the box.
TEST_F(BMTmg, BoxesAndArrowsReachTheTimingLogic) {
    goOnline();
    ASSERT_TRUE(link.ClearPLSChan(3));
    openOnline();
    EXPECT_EQ(on(0)->text(), QStringLiteral("150"));
    EXPECT_EQ(off(0)->text(), QStringLiteral("170"));
    EXPECT_EQ(on(3)->text(), QStringLiteral("*****"));
    for (const char* refused : {"170", "360"}) { // ON equal to OFF; out of range
        typeOver(on(0), QString::fromLatin1(refused));
        EXPECT_EQ(on(0)->text(), QStringLiteral("150")) << refused;
        EXPECT_TRUE(on(0)->hasFocus()) << refused;
    }
    ASSERT_EQ(answers.asked.size(), 2u); // the first is the timing logic's
    EXPECT_EQ(answers.asked[1].text,
              QStringLiteral("Only a Number Between 0 and 359 can be Entered"));
    EXPECT_EQ(window(0).on, 150) << "nothing sent";

    // A changed number reprograms the channel (how is the link's).
    typeOver(off(1), QStringLiteral("230"));
    EXPECT_EQ(window(1).on, 200);
    EXPECT_EQ(window(1).off, 230);

    // A channel without setpoints shows no number: its arrows do nothing.
    line.sent.clear();
    QTest::mouseClick(screen->updChannel[3]->upButton(), Qt::LeftButton);
    EXPECT_EQ(on(3)->text(), QStringLiteral("*****"));
    EXPECT_TRUE(line.sent.empty());
    // The arrow reprograms without testing ON against OFF.
    typeOver(on(0), QStringLiteral("169"));
    QTest::mouseClick(screen->updChannel[0]->upButton(), Qt::LeftButton);
    EXPECT_EQ(answers.asked.size(), 2u);
    EXPECT_EQ(on(0)->text(), QStringLiteral("170"));
    EXPECT_EQ(window(0).on, 170);
    EXPECT_EQ(window(0).off, 170);
}

TEST_F(BMTmg, OfflineLayoutWithAndWithoutOfflineEditing) {
    openOffline();
    EXPECT_EQ(on(4)->text(), QStringLiteral("150"));
    EXPECT_EQ(screen->panels[3]->text(), QStringLiteral("Scale: 360"));
    EXPECT_EQ(screen->lblPLSCfg[0]->text(), QStringLiteral("8"));
    EXPECT_FALSE(screen->sbrMachineTiming->isEnabled());
    for (QWidget* w : std::initializer_list<QWidget*>{on(0), screen->txtTmg[1],
                                                      screen->cmdClearChan, screen->cmdRecallChan})
        EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();

    shell::gOfflineEditing = true;
    runPass();
    runPass();
    for (QWidget* w : std::initializer_list<QWidget*>{on(0), off(7), screen->updChannel[3],
                                                      screen->txtTmg[1], screen->cmdClearChan})
        EXPECT_TRUE(w->isEnabled()) << w->objectName().toStdString();
    for (QWidget* w : std::initializer_list<QWidget*>{
             screen->txtTmg[0], screen->cmdSetOffset, screen->cmdRecallChan,
             screen->cmdResetPLSConfig, screen->lblPLSCfg[0]})
        EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();

    // Edits change only the working data.
    typeOver(on(4), QStringLiteral("140"));
    EXPECT_EQ(shell::gSetup.PLSSetpoint[4][0], 140);
    EXPECT_TRUE(line.sent.empty());
}

TEST_F(BMTmg, DialFollowsTheBoxesAndTheStandingMachine) {
    clock.advance(20); // the machine has come to a stand
    openOnline();
    const screens::DialPicture& picture = screen->dial()->picture();
    EXPECT_EQ(picture.channels[4].on, 150);
    EXPECT_EQ(picture.channels[4].off, 350);
    ASSERT_TRUE(picture.position.has_value()); // the machine stands: 0 RPM
    EXPECT_EQ(screen->panels[1]->text(), QStringLiteral("Position: %1").arg(*picture.position));
    typeOver(off(4), QStringLiteral("20"));
    EXPECT_EQ(picture.channels[4].off, 20);
    screen->txtTmg[1]->setText(QStringLiteral("4"));
    answers.answers = {link::Answer::Yes};
    QTest::mouseClick(screen->cmdClearChan, Qt::LeftButton);
    EXPECT_FALSE(picture.channels[4].programmed());
    EXPECT_TRUE(picture.channels[5].programmed());
}

TEST_F(BMTmg, NamesAndKeysAndAnAccessKeyChecksTheBoxBeingTypedInFirst) {
    openOnline();
    EXPECT_EQ(screen->findChild<QLineEdit*>(QStringLiteral("txtChannel_15")), off(7));
    QTest::keyClick(screen.get(), '5', Qt::AltModifier);
    EXPECT_TRUE(on(5)->hasFocus());
    // Enter: to the OFF box, and from the offset box to "Set Offset".
    QTest::keyClick(on(5), Qt::Key_Return);
    EXPECT_TRUE(off(5)->hasFocus());
    screen->txtTmg[0]->setText(QStringLiteral("12.5"));
    QTest::mouseClick(screen->txtTmg[0], Qt::LeftButton);
    EXPECT_EQ(screen->txtTmg[0]->selectedText(), QStringLiteral("12"));
    QTest::keyClick(screen->txtTmg[0], Qt::Key_Return);
    EXPECT_TRUE(screen->cmdSetOffset->hasFocus());
    EXPECT_TRUE(answers.asked.empty());
    // Enter again presses it; so it does each button of the screen.
    answers.answers = {link::Answer::No, link::Answer::No};
    QTest::keyClick(screen->cmdSetOffset, Qt::Key_Return);
    ASSERT_EQ(answers.asked.size(), 1u);
    EXPECT_EQ(answers.asked[0].title, QStringLiteral("Set Offset"));
    screen->cmdClearChan->setFocus();
    QTest::keyClick(screen->cmdClearChan, Qt::Key_Enter, Qt::KeypadModifier);
    ASSERT_EQ(answers.asked.size(), 2u);
    EXPECT_EQ(answers.asked[1].title, QStringLiteral("Clear Channel"));
    for (QPushButton* button : {screen->cmdResetPLSConfig, screen->cmdRecallChan})
        EXPECT_TRUE(button->autoDefault()) << button->objectName().toStdString();

    // A button's access key checks the box being typed in first.
    answers.asked.clear();
    questionsTakeTheActivation();
    QTest::mouseClick(screen->txtTmg[1], Qt::LeftButton);
    screen->txtTmg[1]->selectAll();
    QTest::keyClicks(screen->txtTmg[1], QStringLiteral("9"));
    QTest::keyClick(screen.get(), 'C', Qt::AltModifier);
    QApplication::setActiveWindow(screen.get());
    EXPECT_FALSE(screen->cmdClearChan->isDown()) << "refused: the button is not pressed";
    EXPECT_EQ(OnlyQuestion(answers),
              "Resolver Offset|Only a Number Between 0 and 7 can be Entered");
    EXPECT_TRUE(screen->txtTmg[1]->hasFocus());

    screen->txtTmg[1]->selectAll();
    QTest::keyClicks(screen->txtTmg[1], QStringLiteral("3"));
    QTest::keyClick(screen.get(), 'C', Qt::AltModifier);
    EXPECT_EQ(answers.asked.size(), 1u);
    EXPECT_TRUE(screen->cmdClearChan->hasFocus()) << "accepted: the focus is on the button";
    EXPECT_TRUE(screen->cmdClearChan->isDown()) << "and the button is being pressed";
    EXPECT_TRUE(line.nothingWritten());
}

TEST(DialGeometry, AnglesArcsAndRings) {
    using namespace screens::dial;
    const QPointF c(100, 100);
    struct {
        double degrees;
        QPointF at;
    } points[] = {{0, {100, 150}}, {90, {50, 100}}, {180, {100, 50}}, {270, {150, 100}}};
    for (const auto& p : points) {
        const QPointF got = PointAt(c, 50, p.degrees);
        EXPECT_NEAR(got.x(), p.at.x(), 1e-9) << p.degrees;
        EXPECT_NEAR(got.y(), p.at.y(), 1e-9) << p.degrees;
    }
    struct {
        double on, off, span;
        int start16, span16;
    } arcs[] = {
        {150, 170, 20, 120 * 16, -20 * 16},
        {350, 10, 20, 280 * 16, -20 * 16}, // wraps through BDC
        {180, 0, 180, 90 * 16, -180 * 16},
        {40, 40, 0, 230 * 16, 0},
    };
    for (const auto& a : arcs) {
        EXPECT_DOUBLE_EQ(ArcSpan(a.on, a.off), a.span) << a.on << "-" << a.off;
        EXPECT_EQ(ArcFor(a.on, a.off).start16, a.start16) << a.on;
        EXPECT_EQ(ArcFor(a.on, a.off).span16, a.span16) << a.on;
    }
    EXPECT_DOUBLE_EQ(DegreesOf(180, 720), 90.0);
    EXPECT_DOUBLE_EQ(DegreesOf(360, 360), 0.0);
    for (int ch = 1; ch < kRings; ++ch)
        EXPECT_LT(RingRadius(ch, 100) + RingWidth(100), RingRadius(ch - 1, 100)) << ch;
    EXPECT_LT(RingRadius(0, 100), 93); // inside the ticks
}

} // namespace
} // namespace talvern::testing
