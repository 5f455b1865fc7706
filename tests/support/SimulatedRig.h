#pragma once
// The simulated boards behind the line the link talks through, all on one fake clock, so a test
// runs a live machine in virtual time.

#include "FakePlatform.h"
#include "SimulatedSerialLine.h"
#include "boards/SimulatedBoards.h"

namespace talvern::testing {

struct SimulatedRig {
    FakeClock clock;
    app::BoardsClockFromLinkClock boardsClock{clock};
    boards::SimulatedBoards sim{boardsClock};
    app::SimulatedSerialLine line{sim, clock};
};

} // namespace talvern::testing
