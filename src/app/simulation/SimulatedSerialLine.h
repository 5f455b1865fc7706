#pragma once
// The simulated boards as a serial line: what the link sends goes onto the virtual cable, what the
// boards answer comes back as waiting input. One clock drives both sides.

#include "Platform.h"
#include "boards/Clock.h"
#include "boards/SimulatedBoards.h"

namespace talvern::app {

// The boards' clock read from the link's clock, so that one clock drives both.
class BoardsClockFromLinkClock final : public boards::Clock {
public:
    explicit BoardsClockFromLinkClock(const link::Clock& clock) : clock_(clock) {}
    double now() const override { return clock_.now(); }

private:
    const link::Clock& clock_;
};

class SimulatedSerialLine final : public link::SerialLine {
public:
    SimulatedSerialLine(boards::SimulatedBoards& boards, link::Clock& clock)
        : boards_(boards), clock_(clock) {}

    // Always succeeds: an unplugged cable only means that nothing answers.
    bool open(const link::PortSettings& settings, int* errorNumber, QString* errorText) override;
    void close() override { open_ = false; }
    bool isOpen() const override { return open_; }
    void sendByte(std::uint8_t byte) override;
    int bytesWaiting() override;
    int takeByte() override;
    void discardInput() override;
    // Sleeps on the clock until the next reply arrives or the deadline, whichever is first.
    bool waitForInput(double deadline) override;

    QString deviceName() const override { return QStringLiteral("the simulated boards"); }

    const link::PortSettings& settings() const { return settings_; }
    // Paced, the boards answer at the wire's pace of the speed the port is opened with, as a
    // real board does; unpaced (tests), at once.
    void setPaced(bool paced) { paced_ = paced; }

private:
    boards::SimulatedBoards& boards_;
    link::Clock& clock_;
    link::PortSettings settings_;
    bool open_ = false;
    bool paced_ = false;
};

} // namespace talvern::app
