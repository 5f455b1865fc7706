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
    // The trigger, the polls while the board records, the gains and every sample read once.
    result.singlePassBytes = SinglePassBytes(boards::BoardId::R7520, [](SinglePassRig& r) {
        r.sim.startMachine();
        r.rs.RSWrite(QStringLiteral("B2999"), QStringLiteral("1"));
        int samples = 1;
        for (int polls = 0; samples == 1 && polls < 100000; ++polls)
            samples = r.rs.RSRead(QStringLiteral("B2999")).toInt();
        for (const char* gain : {"W1126", "B1128", "W1120", "W1122"})
            r.rs.RSRead(QString::fromLatin1(gain));
        for (int i = 0; i < samples; ++i)
            for (int base : {3000, 3500, 4000, 4500})
                r.rs.RSRead(QStringLiteral("B%1").arg(base + i));
    });
    return result;
}

TALVERN_WIRE_WORKLOAD(30, Acquisition);

} // namespace
} // namespace talvern::bench
