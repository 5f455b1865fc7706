// A servo signature of 180 samples acquired through the acquisition window, as the engineer
// runs it: the trigger, the polls while the board records one stroke, the gains and the four
// reads of every sample.
#include "WireBench.h"
#include "frmAcquireSignatures.h"
#include "modUtility.h"

#include <QEventLoop>

namespace talvern::bench {
namespace {

WireResult Acquisition() {
    PacedRig rig(boards::BoardId::R7520);
    rig.sim.startMachine();
    shell::gSignature = {};
    Measure m(rig);
    auto* window = new screens::frmAcquireSignatures;
    window->setAttribute(Qt::WA_DeleteOnClose);
    bool acquired = false;
    QEventLoop loop;
    window->onFinished = [&](const signatures::SignatureAcquisition& a) {
        acquired = a.outcome() == signatures::SignatureAcquisition::Outcome::Acquired;
    };
    QObject::connect(window, &QObject::destroyed, &loop, &QEventLoop::quit);
    window->show();
    loop.exec();
    WireResult result = m.result("signature acquisition, 180 samples");
    result.failed = !acquired || shell::gSignature.CpfdData.Samples != 180;
    return result;
}

TALVERN_WIRE_WORKLOAD(30, Acquisition);

} // namespace
} // namespace talvern::bench
