#pragma once
// The wire benchmark: each workload runs through the real link against the simulated boards
// answering at the wire's pace, in real time, and reports the bytes on the line, the wire-time
// floor (bytes x 10 bits / baud), the time taken and their ratio. A workload that confirms what
// it reads is also set against its single-pass floor: the bytes of one read of each value (the
// plain algorithm, every value read or written once, replayed on the paced boards in virtual
// time) x 10 bits / baud. A workload registers itself from its own file with
// TALVERN_WIRE_WORKLOAD.

#include "QtPlatform.h"
#include "RSComm.h"
#include "SimulatedSerialLine.h"
#include "boards/SimulatedBoards.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace talvern::bench {

struct WireResult {
    std::string name;
    long bytes = 0; // both ways
    int baud = 9600;
    double seconds = 0;
    double cpuSeconds = 0;
    bool failed = false;
    // Not the program's work but the measure of the bench itself (kept out of the goal).
    bool reference = false;
    // The bytes of one read of each value; 0 for a workload that reads each value once anyway
    // (a live screen's passes), whose goal is then its ratio to the floor.
    long singlePassBytes = 0;
    double floorSeconds() const { return static_cast<double>(bytes) * 10.0 / baud; }
    double ratio() const { return floorSeconds() > 0 ? seconds / floorSeconds() : 0; }
    double singlePassFloorSeconds() const {
        return static_cast<double>(singlePassBytes > 0 ? singlePassBytes : bytes) * 10.0 / baud;
    }
    double singlePassRatio() const {
        return singlePassFloorSeconds() > 0 ? seconds / singlePassFloorSeconds() : 0;
    }
    bool confirms() const { return singlePassBytes > 0; }
};

// Goals: a live screen keeps the line busy (at most 1.05 x its floor); a workload that confirms
// what it reads takes at most 2.1 x its single-pass floor.
inline constexpr double kScreenGoal = 1.05;
inline constexpr double kConfirmedGoal = 2.1;
bool WithinGoal(const WireResult& r);

// The results as a table, one line a workload, and a last line with the goals.
std::string WireTable(const std::vector<WireResult>& results);
bool AllWithin(const std::vector<WireResult>& results);

using Workload = std::function<WireResult()>;
struct Registered {
    Registered(int order, Workload workload);
};
std::vector<std::pair<int, Workload>>& Workloads();

#define TALVERN_WIRE_WORKLOAD(order, fn)                                                           \
    static const ::talvern::bench::Registered talvernWorkload##order(order, fn)

// Counts the bytes that cross the line each way.
class CountingLine final : public link::SerialLine {
public:
    explicit CountingLine(link::SerialLine& inner) : inner_(inner) {}
    bool open(const link::PortSettings& s, int* n, QString* t) override {
        return inner_.open(s, n, t);
    }
    void close() override { inner_.close(); }
    bool isOpen() const override { return inner_.isOpen(); }
    void sendByte(std::uint8_t byte) override {
        ++bytes;
        inner_.sendByte(byte);
    }
    int bytesWaiting() override { return inner_.bytesWaiting(); }
    int takeByte() override {
        const int b = inner_.takeByte();
        if (b >= 0) ++bytes;
        return b;
    }
    void discardInput() override { inner_.discardInput(); }
    bool waitForInput(double deadline) override { return inner_.waitForInput(deadline); }
    long bytes = 0;

private:
    link::SerialLine& inner_;
};

// Virtual time: a wait jumps to its end.
class VirtualClock final : public link::Clock {
public:
    double now() const override { return now_; }
    void sleepUntil(double t) override { now_ = std::max(now_, t); }

private:
    double now_ = 0;
};

class CancelAnswers final : public link::UserAnswers {
public:
    link::Answer ask(const QString&, const QString&, link::Buttons, link::Icon) override {
        return link::Answer::Cancel;
    }
};

// One link on the paced boards, opened, with the program's globals wired to it as the main
// window wires them.
struct PacedRig {
    static constexpr int kBaud = 9600;
    QTemporaryDir folder;
    link::SteadyClock clock;
    app::BoardsClockFromLinkClock boardsClock{clock};
    boards::SimulatedBoards sim{boardsClock};
    app::SimulatedSerialLine simLine{sim, clock};
    CountingLine line{simLine};
    CancelAnswers answers;
    link::NoEventPump events;
    link::RSComm rs{clock, answers, events, folder.path()};

    explicit PacedRig(boards::BoardId board);
    ~PacedRig();
};

// A link on the paced boards in virtual time, opened, for counting the bytes of a single pass.
struct SinglePassRig {
    QTemporaryDir folder;
    VirtualClock clock;
    app::BoardsClockFromLinkClock boardsClock{clock};
    boards::SimulatedBoards sim{boardsClock};
    app::SimulatedSerialLine simLine{sim, clock};
    CountingLine line{simLine};
    CancelAnswers answers;
    link::NoEventPump events;
    link::RSComm rs{clock, answers, events, folder.path()};

    explicit SinglePassRig(boards::BoardId board);
};
// The bytes the replay puts on the line.
long SinglePassBytes(boards::BoardId board, const std::function<void(SinglePassRig&)>& replay);

double CpuSeconds();

// Measures from construction to result().
class Measure {
public:
    explicit Measure(const PacedRig& rig);
    WireResult result(std::string name) const;

private:
    const PacedRig& rig_;
    long bytes0_;
    double cpu0_;
    QElapsedTimer timer_;
};

} // namespace talvern::bench
