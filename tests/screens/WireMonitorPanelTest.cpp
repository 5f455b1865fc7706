// The wire monitor's panel while the main display reads the simulated boards.
#include "WireMonitorPanel.h"
#include "ScreenFixture.h"
#include "frmBMMain.h"

#include <QLabel>
#include <QScrollBar>
#include <QTableView>
#include <QTest>

namespace talvern::testing {
namespace {

using Column = shell::WireTableModel::Column;

TEST_F(ScreenFixture, WireMonitorFillsWhileTheMainDisplayRuns) {
    link::WireRecorder recorder(clock.now());
    recorder.setBoardAddress("B698");
    link.SetObserver(&recorder);
    shell::WireMonitorPanel panel(
        {&recorder,
         &clock,
         [] { return 9600; },
         {},
         &answers,
         [](const QString& a, int) { return a == "W182" ? QStringLiteral("Speed") : QString(); },
         folder.path()});
    panel.resize(700, 300);
    panel.show();
    panel.refresh();
    goOnline();
    screens::frmBMMain screen;
    open(screen);
    for (int k = 0; k < 20; ++k)
        runPass(screen.refreshCycle());
    clock.advance(1.0); // the simulated boards answer at once: a second passes only here
    panel.refresh();

    const shell::WireTableModel& rows = panel.model();
    auto cell = [&](int row, Column c) { return rows.data(rows.index(row, c), Qt::DisplayRole); };
    ASSERT_GT(rows.rowCount(), 40);
    const int last = rows.rowCount() - 1;
    EXPECT_EQ(cell(last, Column::Kind), "read");
    EXPECT_EQ(cell(last, Column::Board), "K2510");
    EXPECT_EQ(cell(last, Column::Address).toString() + cell(last, Column::Name).toString(), "W180")
        << "the main display reads speed, then position";
    EXPECT_EQ(cell(last - 1, Column::Name), "Speed");
    EXPECT_EQ(cell(last - 1, Column::Outcome), "confirmed") << "the machine stands still";
    // The view lays out its new rows on later turns of the event loop, however slow the build.
    QScrollBar* bar = panel.grdWireMonitor->verticalScrollBar();
    static_cast<void>(QTest::qWaitFor(
        [&] { return bar->maximum() > 0 && bar->value() == bar->maximum(); }, 10000));
    EXPECT_GT(bar->maximum(), 0);
    EXPECT_EQ(bar->value(), bar->maximum()) << "the newest row is in sight";
    EXPECT_NE(panel.lblWireRate->text(), "Exchanges/s: 0");

    sim.unplug();
    runPass(screen.refreshCycle());
    panel.refresh();
    EXPECT_EQ(cell(rows.rowCount() - 1, Column::Outcome), "no reply");
    EXPECT_EQ(panel.lblWireFailed->text(), "Failed: 1");
    EXPECT_TRUE(panel.lblWireLastFailure->text().startsWith("Last failure: no reply at B698"));
}

} // namespace
} // namespace talvern::testing
