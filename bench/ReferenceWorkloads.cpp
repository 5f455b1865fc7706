// What the bench itself costs: bare attention bytes and their replies on the paced boards, with
// nothing of the program between them. Its ratio is the best any workload can reach on this
// machine (each wait for a reply wakes a little after the reply is due).
#include "WireBench.h"

namespace talvern::bench {
namespace {

WireResult BareExchanges() {
    PacedRig rig(boards::BoardId::K2510);
    constexpr int kExchanges = 400;
    Measure m(rig);
    bool failed = false;
    for (int i = 0; i < kExchanges && !failed; ++i) {
        rig.line.sendByte(0xFF);
        failed = !rig.line.waitForInput(rig.clock.now() + 1.0) || rig.line.takeByte() != 0x55;
    }
    WireResult r = m.result("bare exchanges, 400 (no program)");
    r.failed = failed;
    r.reference = true;
    return r;
}

TALVERN_WIRE_WORKLOAD(0, BareExchanges);

} // namespace
} // namespace talvern::bench
