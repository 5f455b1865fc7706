// The live screens and the data transfers of the set-up data.
#include "DataTransfer.h"
#include "OnlineState.h"
#include "WireBench.h"
#include "frmBMIO.h"
#include "frmBMMain.h"
#include "modUtility.h"

#include <QApplication>
#include <QEventLoop>
#include <QTimer>

namespace talvern::bench {
namespace {

void RunPasses(setup::RefreshCycle& cycle, int passes) {
    const int target = cycle.passesCompleted() + passes;
    QEventLoop loop;
    QObject::connect(&cycle, &setup::RefreshCycle::passFinished, &loop, [&] {
        if (cycle.passesCompleted() >= target) loop.quit();
    });
    loop.exec();
}

template <typename Screen>
WireResult ScreenPasses(const char* name, int passes, setup::RefreshCycle& (*cycleOf)(Screen&)) {
    PacedRig rig(boards::BoardId::K2510);
    rig.sim.startMachine();
    Screen screen;
    screen.show();
    QApplication::setActiveWindow(&screen);
    setup::RefreshCycle& cycle = cycleOf(screen);
    RunPasses(cycle, 1); // the first pass includes the board check
    Measure m(rig);
    RunPasses(cycle, passes);
    WireResult result = m.result(name);
    screen.close();
    return result;
}

WireResult Transfer(const char* name, int mode, boards::BoardId board) {
    PacedRig rig(board);
    setup::SetupData data = shell::gSetupDefault;
    setup::DataTransfer transfer(mode, rig.rs, data, rig.answers, rig.events, [&](int b) {
        return setup::CheckTargetBoard(rig.rs, rig.answers, rig.events, b, [] {});
    });
    Measure m(rig);
    // Driven as the processing window drives it: one step per turn of the event loop.
    QEventLoop loop;
    QTimer timer;
    timer.setInterval(0);
    QObject::connect(&timer, &QTimer::timeout, &loop, [&] {
        if (!transfer.step()) loop.quit();
    });
    timer.start();
    loop.exec();
    WireResult result = m.result(name);
    result.failed = transfer.failed();
    return result;
}

TALVERN_WIRE_WORKLOAD(10, [] {
    return ScreenPasses<screens::frmBMMain>(
        "BM Main Display, 20 passes", 20,
        [](screens::frmBMMain& s) -> setup::RefreshCycle& { return s.refreshCycle(); });
});
TALVERN_WIRE_WORKLOAD(11, [] {
    return ScreenPasses<screens::frmBMIO>(
        "BM I/O Status, 5 passes", 5,
        [](screens::frmBMIO& s) -> setup::RefreshCycle& { return s.cycle(); });
});
TALVERN_WIRE_WORKLOAD(20, [] {
    return Transfer("upload K2510", setup::kUploadK2510, boards::BoardId::K2510);
});
TALVERN_WIRE_WORKLOAD(21, [] {
    return Transfer("upload R7520", setup::kUploadR7520, boards::BoardId::R7520);
});
TALVERN_WIRE_WORKLOAD(22, [] {
    return Transfer("download K2510", setup::kDownloadK2510, boards::BoardId::K2510);
});
TALVERN_WIRE_WORKLOAD(23, [] {
    return Transfer("download R7520", setup::kDownloadR7520, boards::BoardId::R7520);
});

} // namespace
} // namespace talvern::bench
