// The fault campaign over the live screens: a clean pass of each, then one per byte position
// and fault the simulated cable can inject. Nothing a failed read gave may be stored, written,
// asked about or keep a pass beyond the link's time-outs. The tuning screen runs in test mode at
// 0 %, so that its read-outs stay put while a fault takes its time.

#include "FaultCampaign.h"
#include "ScreenFixture.h"
#include "frmBMIO.h"
#include "frmBMMain.h"
#include "frmBMSetup.h"
#include "frmBMTmg.h"
#include "frmCpfdDiag.h"
#include "frmCpfdTune.h"

#include <cstdio>
#include <functional>

namespace talvern::testing {
namespace {

using boards::BoardId;
constexpr std::int32_t kSentinel = -7777;

// One run's world: fresh boards at rest behind a fresh link, the program's globals wired to it.
struct ScreenRig {
    explicit ScreenRig(const QString& folder) : link(clock, answers, events, folder) {
        link.SetUserConfigFolder(folder + QStringLiteral("/user"));
        sim.setPacing(9600);
        sim.stopMachine();
        clock.advance(60);
    }
    long writesHeard() { return sim.k2510().writesHeard() + sim.r7520().writesHeard(); }
    // A question of the screen's own (the link's questions about a silent board are its own).
    const AskedQuestion* question() const {
        for (const AskedQuestion& q : answers.asked)
            if (q.title != QStringLiteral("WARNING - Communication Error!")) return &q;
        return nullptr;
    }

    FakeClock clock;
    app::BoardsClockFromLinkClock boardsClock{clock};
    boards::SimulatedBoards sim{boardsClock, 90.0};
    app::SimulatedSerialLine simLine{sim, clock};
    ScriptedAnswers answers;
    link::NoEventPump events;
    link::RSComm link;
    ProgramGlobals globals{link, simLine, answers, events};
    std::unique_ptr<QWidget> screen;
    setup::RefreshCycle* cycle = nullptr;
};

struct ScreenRow {
    const char* name;
    BoardId cable;
    std::function<void(ScreenRig&)> open; // board values, then the screen shown and settled
};

template <class Screen> void Show(ScreenRig& r, int passes) {
    auto screen = std::make_unique<Screen>();
    if constexpr (requires { screen->refreshCycle(); })
        r.cycle = &screen->refreshCycle();
    else
        r.cycle = &screen->cycle();
    screen->show();
    QApplication::setActiveWindow(screen.get());
    r.screen = std::move(screen);
    for (int k = 0; k < passes; ++k)
        RunPass(*r.cycle);
}

const std::vector<ScreenRow>& Rows() {
    static const std::vector<ScreenRow> rows{
        {"main_display", BoardId::K2510, [](ScreenRig& r) { Show<screens::frmBMMain>(r, 3); }},
        {"io_status", BoardId::K2510, [](ScreenRig& r) { Show<screens::frmBMIO>(r, 3); }},
        {"setup", BoardId::K2510,
         [](ScreenRig& r) {
             r.sim.pokeBit(BoardId::K2510, 1018, 0, true);
             Show<screens::frmBMSetup>(r, 3);
         }},
        {"tuning", BoardId::R7520,
         [](ScreenRig& r) {
             r.sim.pokeBit(BoardId::R7520, 153, 7, true);
             r.answers.answers = {link::Answer::Yes}; // the question when the screen opens
             Show<screens::frmCpfdTune>(r, 3);
         }},
        {"diagnostics", BoardId::R7520, [](ScreenRig& r) { Show<screens::frmCpfdDiag>(r, 3); }},
        {"machine_timing", BoardId::K2510,
         [](ScreenRig& r) { Show<screens::frmBMTmg>(r, 30); }}, // the set-up's recalls first
    };
    return rows;
}

void PrintTo(const ScreenRow& row, std::ostream* os) {
    *os << row.name;
}

struct Outcome {
    std::vector<std::int32_t> record;  // after the pass after the faulted one
    std::vector<std::int32_t> faulted; // after the faulted pass
    long writes = 0;                   // heard by the boards
    double seconds = 0;
    long bytes = 0;
};

// Opens the row's screen online, marks the working data, and runs one pass (with the fault
// injected at `position` when given) and the pass after it.
Outcome RunAndRecord(ScreenRig& r, const ScreenRow& row,
                     std::optional<std::pair<Fault, long>> fault) {
    r.sim.moveCable(row.cable);
    r.link.OnlineMode = true;
    shell::UpdateOnlineState();
    row.open(r);
    std::fill(shell::gSetup.ParamValue.begin(), shell::gSetup.ParamValue.end(), kSentinel);
    r.answers.asked.clear();
    const long writes = r.writesHeard();
    if (fault) r.sim.injectFault(fault->first, fault->second);
    const long before = r.sim.bytesSent();
    const double began = r.clock.now();
    RunPass(*r.cycle);
    Outcome o;
    o.seconds = r.clock.now() - began;
    o.bytes = r.sim.bytesSent() - before;
    o.faulted.assign(shell::gSetup.ParamValue.begin(), shell::gSetup.ParamValue.end());
    RunPass(*r.cycle);
    o.record.assign(shell::gSetup.ParamValue.begin(), shell::gSetup.ParamValue.end());
    o.writes = r.writesHeard() - writes;
    return o;
}

class ScreenCampaign : public ::testing::TestWithParam<ScreenRow> {};

TEST_P(ScreenCampaign, NoFaultAtAnyByteOfAPassIsStoredWrittenOrActedOn) {
    const ScreenRow& row = GetParam();
    QTemporaryDir folder;
    Outcome clean;
    {
        ScreenRig r(folder.path());
        clean = RunAndRecord(r, row, std::nullopt);
        ASSERT_FALSE(clean.writes > 0 || r.question()) << "without a fault";
    }
    int runs = 0, acted = 0;
    for (Fault fault : kFaults) {
        for (long position : Positions(clean.bytes, 200)) {
            ScreenRig r(folder.path());
            const Outcome o = RunAndRecord(r, row, std::make_pair(fault, position));
            const std::string where = std::string(FaultName(fault)) + " at byte " +
                                      std::to_string(position) + " of " +
                                      std::to_string(clean.bytes);
            ++runs;
            EXPECT_LE(o.seconds, clean.seconds + kLinkPatience) << where;
            bool stored = false;
            // A disturbed data byte looks like any other: the faulted pass may show and keep it,
            // and the next pass replaces it. Every other fault fails its read, which keeps nothing.
            for (const auto* record : {&o.faulted, &o.record}) {
                if (record == &o.faulted && fault == Fault::CorruptedReply) continue;
                for (std::size_t i = 0; i < record->size(); ++i)
                    stored |= (*record)[i] != kSentinel && (*record)[i] != clean.record[i];
            }
            const bool wrote = o.writes > 0;
            const AskedQuestion* asked = r.question();
            if (stored || wrote || asked) {
                ++acted;
                ADD_FAILURE() << where << (stored ? ": stored" : "") << (wrote ? ": wrote" : "")
                              << (asked ? ": asked " + asked->text.toStdString() : "");
            }
        }
    }
    std::printf("%s: %ld bytes a pass, %d faulted runs, %d acted on a failed read\n", row.name,
                clean.bytes, runs, acted);
}

INSTANTIATE_TEST_SUITE_P(Screens, ScreenCampaign, ::testing::ValuesIn(Rows()),
                         [](const ::testing::TestParamInfo<ScreenRow>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
} // namespace talvern::testing
