// "BM I/O Status" and "BM Shift Data": what they show online and offline, and End of Shift.

#include "ScreenFixture.h"
#include "frmBMData.h"
#include "frmBMIO.h"

#include <QLabel>
#include <QPushButton>

namespace talvern::testing {
namespace {

using boards::BoardId;
using screens::frmBMData;
using screens::frmBMIO;
constexpr auto K = BoardId::K2510;

QColor TextColour(const QLabel* label) {
    return label->palette().color(QPalette::WindowText);
}

class BMIO : public ScreenFixture {
protected:
    void openOnTinyBoard() {
        useTinyBoard(1);
        goOnline();
        screen = std::make_unique<frmBMIO>();
        open(*screen);
    }
    std::unique_ptr<frmBMIO> screen;
};

TEST_F(BMIO, TimingChannelsShowTheBitsOfTheWord) {
    openOnTinyBoard();
    pokeTinyWord(170, 5);
    runPass(*screen);
    runPass(*screen);
    for (int bit = 0; bit < 16; ++bit) {
        const bool on = bit == 0 || bit == 2;
        EXPECT_EQ(screen->lblTmgChannelState(bit)->text(), on ? "ON" : "off") << bit;
        EXPECT_EQ(TextColour(screen->lblTmgChannelState(bit)),
                  on ? QColor(0, 0, 255) : QColor(192, 0, 0));
    }
    pokeTinyWord(170, 0x8000);
    runPass(*screen);
    EXPECT_EQ(screen->lblTmgChannelState(15)->text(), QStringLiteral("ON"));
    EXPECT_EQ(screen->lblTmgChannelState(0)->text(), QStringLiteral("off"));
}

TEST_F(BMIO, SlotsInputsAndValues) {
    openOnTinyBoard();
    pokeTinyWord(100, 0x0101);   // B100.0 and B101.0
    tiny.memory[32 + 10] = 0x01; // F80 on, F81 off
    pokeTinyWord(162, 2047);
    tiny.memory[166] = 200;
    runPass(*screen);
    runPass(*screen);
    EXPECT_EQ(screen->lblSlot10State(0)->text(), QStringLiteral("ON"));
    EXPECT_EQ(screen->lblSlot10State(8)->text(), QStringLiteral("ON"));
    EXPECT_EQ(screen->lblSlot10State(1)->text(), QStringLiteral("off"));
    EXPECT_EQ(screen->lblSlot11State(0)->text(), QStringLiteral("off"));
    EXPECT_EQ(screen->lblk2510State(0)->text(), QStringLiteral("ON"));
    EXPECT_EQ(screen->lblk2510State(1)->text(), QStringLiteral("off"));
    EXPECT_EQ(screen->lblk2510State(2)->text(), QStringLiteral("2047"));
    EXPECT_EQ(screen->lblk2510State(4)->text(), QStringLiteral("200"));
}

QString TextOf(const QWidget& screen, const char* name) {
    const auto* label = screen.findChild<QLabel*>(QLatin1String(name));
    return label ? label->text() : QStringLiteral("<no %1>").arg(QLatin1String(name));
}

TEST_F(BMIO, OfflineShowsPlaceholdersDisabled) {
    screen = std::make_unique<frmBMIO>();
    open(*screen);
    EXPECT_EQ(screen->windowTitle(), QStringLiteral("BM I/O Status"));
    EXPECT_EQ(TextOf(*screen, "lblk2510_8"), QStringLiteral("Resolver Period:"));
    EXPECT_EQ(TextOf(*screen, "lblTmgChannel_9"), QStringLiteral("CH11:"));
    EXPECT_EQ(TextOf(*screen, "lblSlot10_7"), QStringLiteral("(B100.7)    7:"));
    EXPECT_EQ(TextOf(*screen, "lblSlot11_15"), QStringLiteral("(B111.7)  17:"));
    runPass(*screen);
    EXPECT_EQ(screen->lblk2510State(0)->text(), QStringLiteral("-"));
    EXPECT_FALSE(screen->lblk2510State(0)->isEnabled());
    EXPECT_EQ(screen->lblTmgChannelState(3)->text(), QStringLiteral("-"));
    EXPECT_TRUE(line.sent.empty());
}

TEST_F(BMIO, FollowsTheRunningMachine) {
    clock.advance(30.0); // the machine has come to a stand
    goOnline();
    screen = std::make_unique<frmBMIO>();
    open(*screen);
    runPass(*screen);
    runPass(*screen);
    EXPECT_EQ(screen->lblk2510State(7)->text(), QStringLiteral("0"));
    EXPECT_EQ(screen->lblk2510State(0)->text(), QStringLiteral("off"));
    sim.startMachine();
    clock.advance(5.0);
    runPass(*screen);
    EXPECT_EQ(screen->lblk2510State(0)->text(), QStringLiteral("ON")); // IN0: running
    EXPECT_GT(screen->lblk2510State(7)->text().toInt(), 0);
}

class BMData : public ScreenFixture {
protected:
    BMData() { QLocale::setDefault(QLocale(QLocale::English)); }
    ~BMData() override { QLocale::setDefault(QLocale::system()); }
    std::unique_ptr<frmBMData> screen;
};

TEST_F(BMData, CountsAreGroupedAndResponsesCarryTheDegreeSign) {
    sim.pokeDouble(K, 1100, 1234 * 10000 + 5678);
    sim.pokeWord(K, 1040, 12);
    goOnline();
    screen = std::make_unique<frmBMData>();
    open(*screen);
    runPass(*screen);
    runPass(*screen);
    EXPECT_EQ(screen->lblBMData(0)->text(), QStringLiteral("12,345,678"));
    EXPECT_EQ(screen->lblBMData(1)->text(), QStringLiteral("37"));
    EXPECT_EQ(screen->lblBMData(4)->text(), QStringLiteral("12") + QChar(176));
    EXPECT_TRUE(screen->cmdEndofShift()->isEnabled());
}

TEST_F(BMData, EndOfShiftWritesOncePerClick) {
    goOnline();
    screen = std::make_unique<frmBMData>();
    open(*screen);
    runPass(*screen);
    line.sent.clear();
    QTest::mouseClick(screen->cmdEndofShift(), Qt::LeftButton);
    EXPECT_EQ(line.bytesWritten().size(), 1u);
    EXPECT_EQ(line.writesTo(32 + 4), 1); // F34: bit 2 of byte 36
    QTest::mouseClick(screen->cmdEndofShift(), Qt::LeftButton);
    EXPECT_EQ(line.writesTo(36), 2);
    EXPECT_TRUE(answers.asked.empty());
}

TEST_F(BMData, OfflineShowsTheWorkingValuesDisabled) {
    shell::gSetup.ParamValue[8] = 2500000;
    shell::gSetup.ParamValue[13] = 7;
    screen = std::make_unique<frmBMData>();
    open(*screen);
    EXPECT_EQ(screen->windowTitle(), QStringLiteral("BM Shift Data"));
    EXPECT_EQ(TextOf(*screen, "lblBMDataDes_3"), QStringLiteral("Total Short Cans:"));
    EXPECT_EQ(TextOf(*screen, "lblBMDataDes_4"), QStringLiteral("Low Speed:"));
    EXPECT_EQ(screen->cmdEndofShift()->objectName(), QStringLiteral("cmdEndofShift"));
    EXPECT_EQ(screen->cmdEndofShift()->text(), QStringLiteral("&Transfer Data"));
    EXPECT_EQ(screen->lblBMData(0)->text(), QStringLiteral("-"));
    runPass(*screen);
    EXPECT_EQ(screen->lblBMData(0)->text(), QStringLiteral("2,500,000"));
    EXPECT_EQ(screen->lblBMData(5)->text(), QStringLiteral("7") + QChar(176));
    EXPECT_FALSE(screen->lblBMData(0)->isEnabled());
    EXPECT_FALSE(screen->cmdEndofShift()->isEnabled());
    EXPECT_TRUE(line.sent.empty());
}

} // namespace
} // namespace talvern::testing
