#pragma once
// The simulated boards behind the line the link talks through, all on one fake clock, so a test
// runs a live machine in virtual time.

#include "FakePlatform.h"
#include "QtPlatform.h"
#include "RSComm.h"
#include "SimulatedSerialLine.h"
#include "boards/SimulatedBoards.h"

#include <QTemporaryDir>

namespace talvern::testing {

struct SimulatedRig {
    FakeClock clock;
    app::BoardsClockFromLinkClock boardsClock{clock};
    boards::SimulatedBoards sim{boardsClock};
    app::SimulatedSerialLine line{sim, clock};
};

// A link on the rig, run from a temporary program folder, with scripted answers.
struct SimulatedLink : SimulatedRig {
    void goOnline(link::SerialLine* through = nullptr) {
        rs.OnlineMode = true;
        rs.OpenRSComm(through ? *through : line);
    }

    QTemporaryDir folder;
    ScriptedAnswers answers;
    link::NoEventPump events;
    link::RSComm rs{clock, answers, events, folder.path()};
};

} // namespace talvern::testing
