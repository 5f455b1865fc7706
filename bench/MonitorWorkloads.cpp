// The main display with the wire monitor recording and its panel open beside it, against the
// same passes with nothing listening to the link: the line must stay as busy (the ratios within
// 1 %), for at most 1 % more CPU.
#include "WireBench.h"
#include "WireMonitorPanel.h"
#include "frmBMMain.h"

#include <QApplication>
#include <QEventLoop>
#include <memory>

namespace talvern::bench {
namespace {

constexpr int kPasses = 300;

WireResult MainDisplay(bool monitor) {
    PacedRig rig(boards::BoardId::K2510);
    rig.sim.startMachine();
    link::WireRecorder recorder(rig.clock.now());
    recorder.setBoardAddress(QStringLiteral("B698"));
    std::unique_ptr<shell::WireMonitorPanel> panel;
    if (monitor) {
        rig.rs.SetObserver(&recorder);
        panel = std::make_unique<shell::WireMonitorPanel>(
            shell::WireMonitorSources{&recorder,
                                      &rig.clock,
                                      [] { return PacedRig::kBaud; },
                                      {},
                                      &rig.answers,
                                      [](const QString&, int) { return QString(); },
                                      rig.folder.path()});
        panel->resize(700, 500);
        panel->show();
    }
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
    runPasses(kPasses);
    WireResult result = m.result(monitor ? "BM Main Display, 300 passes, monitor"
                                         : "BM Main Display, 300 passes, no monitor");
    result.failed = monitor && panel->model().rowCount() == 0;
    screen.close();
    rig.rs.SetObserver(nullptr);
    return result;
}

TALVERN_WIRE_WORKLOAD(12, [] { return MainDisplay(false); });
TALVERN_WIRE_WORKLOAD(13, [] { return MainDisplay(true); });

} // namespace
} // namespace talvern::bench
