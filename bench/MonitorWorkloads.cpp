// The main display with the wire monitor recording and its panel open beside it: the line must
// stay as busy as without it (workload 10), for as little more CPU.
#include "WireBench.h"
#include "WireMonitorPanel.h"
#include "frmBMMain.h"

#include <QApplication>
#include <QEventLoop>

namespace talvern::bench {
namespace {

WireResult MainDisplayWithMonitor() {
    PacedRig rig(boards::BoardId::K2510);
    rig.sim.startMachine();
    link::WireRecorder recorder(rig.clock.now());
    recorder.setBoardAddress(QStringLiteral("B698"));
    rig.rs.SetObserver(&recorder);
    shell::WireMonitorPanel panel({&recorder,
                                   &rig.clock,
                                   [] { return PacedRig::kBaud; },
                                   {},
                                   &rig.answers,
                                   [](const QString&, int) { return QString(); },
                                   rig.folder.path()});
    panel.resize(700, 500);
    panel.show();
    screens::frmBMMain screen;
    screen.show();
    QApplication::setActiveWindow(&screen);
    setup::RefreshCycle& cycle = screen.refreshCycle();
    auto runPasses = [&cycle](int passes) {
        const int target = cycle.passesCompleted() + passes;
        QEventLoop loop;
        QObject::connect(&cycle, &setup::RefreshCycle::passFinished, &loop, [&] {
            if (cycle.passesCompleted() >= target) loop.quit();
        });
        loop.exec();
    };
    runPasses(1); // the first pass includes the board check
    Measure m(rig);
    runPasses(100);
    WireResult result = m.result("BM Main Display, 100 passes, monitor");
    result.failed = panel.model().rowCount() == 0;
    screen.close();
    rig.rs.SetObserver(nullptr);
    return result;
}

TALVERN_WIRE_WORKLOAD(12, MainDisplayWithMonitor);

} // namespace
} // namespace talvern::bench
