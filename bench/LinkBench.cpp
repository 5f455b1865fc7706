// How much the link itself costs per transaction, with the board's wire time taken out: a word
// read, a word write and a PLS setpoint against the simulated boards in virtual time.
#include "QtPlatform.h"
#include "RSComm.h"
#include "SimulatedSerialLine.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace talvern;

namespace {
class VirtualClock final : public link::Clock {
public:
    double now() const override { return now_; }
    void sleepUntil(double t) override { now_ = std::max(now_, t); }

private:
    double now_ = 0;
};

class SilentAnswers final : public link::UserAnswers {
public:
    link::Answer ask(const QString&, const QString&, link::Buttons, link::Icon) override {
        return link::Answer::Cancel;
    }
};

struct Bench {
    QTemporaryDir folder;
    VirtualClock clock;
    app::BoardsClockFromLinkClock boardsClock{clock};
    boards::SimulatedBoards boards{boardsClock};
    app::SimulatedSerialLine line{boards, clock};
    SilentAnswers answers;
    link::NoEventPump events;
    link::RSComm rscomm{clock, answers, events, folder.path()};
    Bench() { rscomm.OpenRSComm(line); }
};

void WordRead(benchmark::State& state) {
    Bench b;
    for (auto _ : state)
        benchmark::DoNotOptimize(b.rscomm.RSRead(QStringLiteral("W1020")));
}
BENCHMARK(WordRead);

void AlternatingReadWrite(benchmark::State& state) {
    Bench b;
    for (auto _ : state) {
        b.rscomm.RSWrite(QStringLiteral("W1020"), QStringLiteral("123"));
        benchmark::DoNotOptimize(b.rscomm.RSRead(QStringLiteral("W1020")));
    }
}
BENCHMARK(AlternatingReadWrite);

void PlsSetpoint(benchmark::State& state) {
    Bench b;
    for (auto _ : state)
        benchmark::DoNotOptimize(b.rscomm.SingleSetpoint(2, 100, 200, true));
}
BENCHMARK(PlsSetpoint);
} // namespace

BENCHMARK_MAIN();
