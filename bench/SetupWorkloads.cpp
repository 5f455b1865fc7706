// The live screens and the data transfers of the set-up data.
#include "ChangeLog.h"
#include "DataTransfer.h"
#include "OnlineState.h"
#include "WireRecorder.h"
#include "SetupData.h"
#include "WireBench.h"
#include "frmBMIO.h"
#include "frmBMMain.h"
#include "modUtility.h"

#include <QApplication>
#include <QEventLoop>
#include <QTimer>

#include <memory>

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

// The plain transfer, every value read or written once: the board check and the parameter of
// each row, the PLS part, and (a download) the values read back once.
void SinglePassTransfer(SinglePassRig& r, int mode) {
    const setup::TransferMode& m = *setup::FindTransferMode(mode);
    const setup::SetupData data = setup::FactoryDefaults(QString());
    const auto& table = setup::ParameterTable();
    for (int i = m.first; i <= m.last; ++i) {
        r.rs.RSRead(QStringLiteral("B698"));
        const QString address = QString::fromLatin1(table[i].address);
        if (m.upload)
            r.rs.RSRead(address);
        else
            r.rs.RSWrite(address, QString::number(data.ParamValue[i]));
    }
    if (m.pls && m.upload) {
        r.rs.PLSConfigUpload();
        r.rs.PLSScaleFactor();
        r.rs.PLSOffset();
        for (int c = 0; c < 8; ++c)
            for (int pass = 0; pass < 2; ++pass)
                if (!r.rs.RecallChannel(static_cast<std::int16_t>(c)) ||
                    (r.rs.ChannelRecallState() != 0 && r.rs.ChannelRecallState() != 1))
                    break;
    } else if (m.pls) {
        r.rs.PLSConfigDownload(setup::PLSDownloadArray(data), data.PLSScale);
        for (int c = 0; c < 8; ++c) {
            const auto& points = data.PLSSetpoint[c];
            if (points[0] != 0 || points[1] != 0)
                r.rs.SingleSetpoint(static_cast<std::int16_t>(c), points[0], points[1], true);
            else
                r.rs.ClearPLSChan(static_cast<std::int16_t>(c));
        }
    }
    if (!m.upload)
        for (int i = m.first; i <= m.last; ++i)
            r.rs.RSRead(QString::fromLatin1(table[i].address));
}

// With `logged`, the link is heard as the windowed program hears it: the wire recorder decodes
// each transaction and the change log appends every write to a file, flushed line by line.
WireResult Transfer(const char* name, int mode, boards::BoardId board, bool logged = false) {
    PacedRig rig(board);
    std::unique_ptr<link::WireRecorder> recorder;
    std::unique_ptr<setup::ChangeLog> log;
    if (logged) {
        recorder = std::make_unique<link::WireRecorder>(rig.clock.now());
        recorder->setBoardAddress(QStringLiteral("B698"));
        log = std::make_unique<setup::ChangeLog>(rig.folder.filePath(QStringLiteral("changes.log")));
        recorder->onTransaction = [l = log.get()](const link::WireTransaction& t) { l->heard(t); };
        rig.rs.SetObserver(recorder.get());
    }
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
    result.failed = transfer.failed() || (log && log->writesHeard() == 0);
    rig.rs.SetObserver(nullptr);
    result.singlePassBytes =
        SinglePassBytes(board, [mode](SinglePassRig& r) { SinglePassTransfer(r, mode); });
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
TALVERN_WIRE_WORKLOAD(24, [] {
    return Transfer("download K2510, change log on", setup::kDownloadK2510,
                    boards::BoardId::K2510, true);
});

} // namespace
} // namespace talvern::bench
