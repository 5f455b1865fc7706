// The target-board page without its window: labels, advice, layout, and the polling against the
// simulated boards.
#include "TargetBoardPage.h"
#include "ProgramSetFixture.h"
#include "TargetBoardMonitor.h"

#include <QCoreApplication>
#include <map>

using namespace talvern;
using namespace talvern::targetboard;
using boards::BoardId;

TEST(TargetBoardTexts, StatusLabelsAndAdviceByCode) {
    EXPECT_EQ(StatusLabel(0, StatusCodeText(0)), QStringLiteral("Current Fault: Code = 00H"));
    EXPECT_EQ(StatusLabel(5, StatusCodeText(0x1A)), QStringLiteral("Last Comm Error: Code = 1AH"));
    EXPECT_EQ(StatusLabel(2, StatusCodeText(12)), QStringLiteral("CO-CPU Slot: 12"));
    const std::pair<int, const char*> advice[] = {
        {0, "None"},
        {1, "Replace CO-CPU board at \"CO-CPU Slot\""},
        {63, "Replace CO-CPU board"},
        {64, "Reset fault and try again."},
        {0x42, "Verify connection of cable"},
        {0x45, "User program executed an sfunc09()"},
        {0x5C, "Program is invalid.  Re-dump"},
        {0x5D, "Program is invalid.  Re-dump"},
        {122, "Reset fault and try again."},
        {123, "None"},
    };
    for (const auto& [code, start] : advice)
        EXPECT_TRUE(CorrectiveAction(code).startsWith(QLatin1String(start))) << code;
    EXPECT_EQ(ClockTimeText(QTime(9, 5, 7)), QStringLiteral("09 : 05 : 07"));
    EXPECT_EQ(ClockDateText(QDate(2026, 3, 14)), QStringLiteral("03 - 14 - 2026"));
}

TEST(TargetBoardTexts, LayoutByBoardType) {
    EXPECT_TRUE(LayoutFor(50).coCpuSlot);
    EXPECT_EQ(LayoutFor(54).networkAddress, (std::array<bool, 2>{false, false}));
    EXPECT_TRUE(LayoutFor(54).clock);
    EXPECT_EQ(LayoutFor(65).networkAddress, (std::array<bool, 2>{false, true}));
    EXPECT_EQ(LayoutFor(68).networkAddress, (std::array<bool, 2>{true, false}));
    EXPECT_FALSE(LayoutFor(68).clock);
}

namespace {

// Records what the monitor shows.
class PageProbe final : public TargetBoardView {
public:
    void showOnlineLook() override { ++onlineLooks; }
    void showOfflineState() override { ++offlineStates; }
    void showStatusLabel(int k, const QString& text) override { labels[k] = text; }
    void showDescription(int k, const QString& text) override { descriptions[k] = text; }
    void setResetFaultsEnabled(bool enabled) override { resetEnabled = enabled; }
    bool coCpuSlotVisible() const override { return coCpu; }
    void showBoardIdent(int part, const QString& text) override { ident[part] = text; }
    void setGoOnlineVisible(bool visible) override { goOnlineVisible = visible; }
    void showField(int i, const QString& text) override { fields[i] = text; }
    void showComputerClock(const QString& time, const QString&) override { clock = time; }
    void wentOffline() override { ++offline; }

    int onlineLooks = 0, offlineStates = 0, offline = 0;
    std::map<int, QString> labels, descriptions, fields, ident;
    bool resetEnabled = false;
    bool goOnlineVisible = true;
    bool coCpu = false;
    QString clock;
};

class TargetBoardPolling : public talvern::testing::ProgramTest {
protected:
    TargetBoardPolling()
        : monitor(link, probe, QCoreApplication::applicationDirPath(),
                  [] { return QDateTime(QDate(2026, 12, 7), QTime(4, 5, 6)); }) {}
    void runPass() {
        const int before = monitor.cycle().passesCompleted();
        monitor.start();
        for (int k = 0; k < 100 && monitor.cycle().passesCompleted() == before; ++k)
            monitor.cycle().runStep();
        ASSERT_GT(monitor.cycle().passesCompleted(), before);
    }
    PageProbe probe;
    TargetBoardMonitor monitor;
};

TEST_F(TargetBoardPolling, ReadsFaultsWithAdviceIdentAndFieldsThenShowsOffline) {
    goOnline(BoardId::K2510);
    sim.pokeByte(BoardId::K2510, 8177, 0x5C);
    sim.pokeByte(BoardId::K2510, 8178, 0x02);
    runPass();
    EXPECT_EQ(probe.labels[0], QStringLiteral("Current Fault: Code = 00H"));
    EXPECT_EQ(probe.labels[1], QStringLiteral("Last Fault: Code = 5CH"));
    EXPECT_EQ(probe.labels[5], QStringLiteral("Last Comm Error: Code = 02H"));
    EXPECT_EQ(probe.descriptions[1], QStringLiteral("Program checksum error"));
    EXPECT_EQ(probe.descriptions[5],
              QStringLiteral("Framing error, check the cable and the speed"));
    EXPECT_TRUE(probe.descriptions[3].startsWith(QStringLiteral("Program is invalid.")));
    EXPECT_TRUE(probe.resetEnabled);
    EXPECT_EQ(probe.ident[0], QStringLiteral("TMGPROG"));
    EXPECT_EQ(probe.ident[2], QString::number(0xA7));
    EXPECT_FALSE(probe.goOnlineVisible);
    EXPECT_EQ(probe.fields[0], QStringLiteral("01"));
    EXPECT_EQ(probe.clock, QStringLiteral("04 : 05 : 06"));
    EXPECT_TRUE(monitor.statusRead());

    // The board's clock, each field from its own address; the CO-CPU slot of a board type 50;
    // a board a dump left half-loaded.
    sim.board(BoardId::K2510).setCalendar({2031, 11, 23, 13, 47, 29});
    sim.pokeByte(BoardId::K2510, 8175, 12);
    sim.pokeByte(BoardId::K2510, 61424, 0);
    probe.coCpu = true;
    monitor.refreshStatus();
    runPass();
    for (int i = 2; i < 8; ++i)
        EXPECT_EQ(probe.fields[i], QString::number(std::array{13, 47, 29, 11, 23, 31}[i - 2])) << i;
    EXPECT_EQ(probe.labels[2], QStringLiteral("CO-CPU Slot: 12"));
    EXPECT_EQ(probe.ident, (std::map<int, QString>{{0, kNoValidProgram}, {1, "-"}, {2, "-"}}));

    // Reset Faults clears the codes; the next pass reads the status again.
    ASSERT_TRUE(WriteResetFaults(link));
    monitor.refreshStatus();
    probe.resetEnabled = false;
    runPass();
    EXPECT_EQ(probe.labels[1], QStringLiteral("Last Fault: Code = 00H"));
    EXPECT_FALSE(probe.resetEnabled);

    // A link failure turns the page offline.
    sim.unplug();
    runPass();
    runPass();
    EXPECT_EQ(probe.offline, 1);
    EXPECT_FALSE(link.OnlineMode);
    EXPECT_EQ(probe.offlineStates, 1);
}

// Each clock field goes to its own address, and a write the board does not take is named.
TEST_F(TargetBoardPolling, ClockAndResetWritesGoToTheirAddressesAndAWriteNotTakenIsNamed) {
    goOnline(BoardId::K2510);
    QString failed;
    ASSERT_TRUE(SetBoardTime(link, QTime(13, 47, 29), &failed));
    ASSERT_TRUE(SetBoardDate(link, QDate(2031, 11, 23), &failed));
    const boards::CalendarTime t = sim.board(BoardId::K2510).calendar();
    EXPECT_EQ((std::array{t.hour, t.minute, t.second, t.month, t.day, t.year}),
              (std::array{13, 47, 29, 11, 23, 2031}));
    tap.refused = {43010, 48};
    EXPECT_FALSE(SetBoardTime(link, QTime(13, 48, 0), &failed));
    EXPECT_EQ(failed, QStringLiteral("B43010"));
    tap.refused = {8177, 0};
    EXPECT_FALSE(WriteResetFaults(link, &failed));
    EXPECT_EQ(failed, QStringLiteral("B8177"));
    EXPECT_FALSE(link.CommError) << "the link itself held";
}

} // namespace
