// "BM I/O Status" and "BM Shift Data" against the simulated K2510.

#include "ScreenFixture.h"
#include "frmBMData.h"
#include "frmBMIO.h"

#include <QPushButton>

namespace talvern::testing {
namespace {

using boards::BoardId;
using screens::frmBMData;
using screens::frmBMIO;
constexpr auto K = BoardId::K2510;

class BMIO : public ScreenFixture {
protected:
    std::unique_ptr<frmBMIO> screen;
};

TEST_F(BMIO, OfflinePlaceholdersDisabledThenEveryValueAndBitInItsOwnLabel) {
    screen = show<frmBMIO>(1);
    EXPECT_EQ(screen->windowTitle(), QStringLiteral("BM I/O Status"));
    EXPECT_EQ(screen->lblk2510State(0)->text(), QStringLiteral("-"));
    EXPECT_FALSE(screen->lblk2510State(0)->isEnabled());
    EXPECT_EQ(screen->lblTmgChannelState(3)->text(), QStringLiteral("-"));
    EXPECT_TRUE(line.sent.empty());

    useTinyBoard(1);
    tiny.memory[32 + 10] = 0x02; // F81 on, F80 off
    const int words[] = {162, 164, 0, 0, 180, 182, 184, 186, 188};
    for (int i = 0; i < 9; ++i)
        if (words[i]) pokeTinyWord(words[i], 1000 + i);
    tiny.memory[166] = 13;
    tiny.memory[167] = 14;
    pokeTinyWord(170, 5);
    pokeTinyWord(100, 0x0102); // B100.1 and B101.0
    pokeTinyWord(110, 0x8000); // B111.7
    goOnline();
    runPass(*screen);
    runPass(*screen);
    EXPECT_EQ(screen->lblk2510State(0)->text(), QStringLiteral("off"));
    EXPECT_EQ(screen->lblk2510State(1)->text(), QStringLiteral("ON"));
    EXPECT_EQ(screen->lblk2510State(1)->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    EXPECT_EQ(screen->lblk2510State(0)->palette().color(QPalette::WindowText), QColor(192, 0, 0));
    const char* values[] = {"1000", "1001", "13", "14", "1004", "1005", "1006", "1007", "1008"};
    for (int i = 2; i <= 10; ++i)
        EXPECT_EQ(screen->lblk2510State(i)->text(), QString::fromLatin1(values[i - 2])) << i;
    for (int bit = 0; bit < 16; ++bit) {
        SCOPED_TRACE(bit);
        EXPECT_EQ(screen->lblTmgChannelState(bit)->text(), bit == 0 || bit == 2 ? "ON" : "off");
        EXPECT_EQ(screen->lblSlot10State(bit)->text(), bit == 1 || bit == 8 ? "ON" : "off");
        EXPECT_EQ(screen->lblSlot11State(bit)->text(), bit == 15 ? "ON" : "off");
    }
}

class BMData : public ScreenFixture {
protected:
    BMData() { QLocale::setDefault(QLocale(QLocale::English)); }
    ~BMData() override { QLocale::setDefault(QLocale::system()); }
    std::unique_ptr<frmBMData> screen;
};

TEST_F(BMData, OfflineWorkingValuesDisabledThenCountsGroupedAndDegreesEachInItsOwnLabel) {
    shell::gSetup.ParamValue[8] = 2500000;
    shell::gSetup.ParamValue[13] = 7;
    screen = show<frmBMData>(0);
    EXPECT_EQ(screen->windowTitle(), QStringLiteral("BM Shift Data"));
    EXPECT_EQ(screen->cmdEndofShift()->text(), QStringLiteral("&Transfer Data"));
    EXPECT_EQ(screen->lblBMData(0)->text(), QStringLiteral("-"));
    runPass(*screen);
    EXPECT_EQ(screen->lblBMData(0)->text(), QStringLiteral("2,500,000"));
    EXPECT_EQ(screen->lblBMData(5)->text(), QStringLiteral("7") + QChar(176));
    EXPECT_FALSE(screen->lblBMData(0)->isEnabled());
    EXPECT_FALSE(screen->cmdEndofShift()->isEnabled());
    EXPECT_TRUE(line.sent.empty());

    sim.pokeDouble(K, 1100, 1234 * 10000 + 5678);
    sim.pokeWord(K, 1104, 37);
    sim.pokeDouble(K, 1200, 123 * 10000 + 4567);
    sim.pokeWord(K, 1204, 54321);
    sim.pokeWord(K, 1040, 12);
    sim.pokeWord(K, 1042, 34);
    goOnline();
    runPass(*screen);
    runPass(*screen);
    const QString degree(QChar(176));
    const QString shown[] = {"12,345,678", "37",          "1,234,567",
                             "54,321",     "12" + degree, "34" + degree};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(screen->lblBMData(i)->text(), shown[i]) << i;
    EXPECT_TRUE(screen->cmdEndofShift()->isEnabled());
}

TEST_F(BMData, EndOfShiftSetsFlagF34OncePerClick) {
    useTinyBoard(1);
    tiny.memory[36] = 0xA1; // F34 is bit 2 of byte 36; the other bits stay as they are
    goOnline();
    screen = show<frmBMData>(1);
    line.sent.clear();
    QTest::mouseClick(screen->cmdEndofShift(), Qt::LeftButton);
    EXPECT_EQ(tiny.memory[36], 0xA5);
    EXPECT_EQ(line.bytesWritten(), std::vector<int>{36});
    QTest::mouseClick(screen->cmdEndofShift(), Qt::LeftButton);
    EXPECT_EQ(line.writesTo(36), 2);
    screen->cmdEndofShift()->setFocus();
    QTest::keyClick(screen->cmdEndofShift(), Qt::Key_Return);
    EXPECT_EQ(line.writesTo(36), 3) << "Enter presses the focused button";
    EXPECT_TRUE(answers.asked.empty());
}

} // namespace
} // namespace talvern::testing
