#pragma once
// The PLC board of the bodymaker: the machine itself (speed, crank, strokes, brake), the
// programmable limit switch (PLS) with its eight timing channels, the I/O images, shift counters
// and the system alarms.

#include "Board.h"

#include <array>
#include <cstdint>
#include <utility>
#include <vector>

namespace talvern::boards {

namespace k2510 {
inline constexpr std::uint16_t kSlot10 = 100;     // B100/B101 (B100.4 short-can alarm)
inline constexpr std::uint16_t kAlarms = 101;     // B101: servo alarms, bits 5 and 7 active-low
inline constexpr std::uint16_t kSlot11 = 110;     // B110/B111 (B111.7 brake response alarm)
inline constexpr std::uint16_t kFlags = 32;       // F0 = bit 0 of byte 32
inline constexpr std::uint16_t kAnalogIn0 = 162;  // W162
inline constexpr std::uint16_t kAnalogIn1 = 164;  // W164
inline constexpr std::uint16_t kAnalogOut0 = 166; // B166
inline constexpr std::uint16_t kAnalogOut1 = 167; // B167
inline constexpr std::uint16_t kTimingChannels = 170;
inline constexpr std::uint16_t kPosition = 180;
inline constexpr std::uint16_t kSpeed = 182;
inline constexpr std::uint16_t kResolverPeriod = 184;
inline constexpr std::uint16_t kScaleFactor = 186;
inline constexpr std::uint16_t kOffset = 188;
inline constexpr std::uint16_t kBrakeCompensation = 1018; // bit 0
inline constexpr std::uint16_t kStopLow = 1020;
inline constexpr std::uint16_t kStopHigh = 1022;
inline constexpr std::uint16_t kMaxStopResponse = 1024;
inline constexpr std::uint16_t kSpeedLow = 1026;
inline constexpr std::uint16_t kSpeedHigh = 1028;
inline constexpr std::uint16_t kTrimmerMax = 1032;
inline constexpr std::uint16_t kTrimmerIdle = 1034;
inline constexpr std::uint16_t kPasscode = 1036;
inline constexpr std::uint16_t kBrakeLow = 1040;
inline constexpr std::uint16_t kBrakeHigh = 1042;
inline constexpr std::uint16_t kGoodCans = 1100;  // double
inline constexpr std::uint16_t kShortCans = 1104; // word
inline constexpr std::uint16_t kLastGoodCans = 1200;
inline constexpr std::uint16_t kLastShortCans = 1204;
inline constexpr int kEndOfShiftFlag = 34;
inline constexpr int kDieSensorFlag = 4;
inline constexpr int kTimingSignalFlag = 8;
inline constexpr int kInput0Flag = 80;
inline constexpr int kInput1Flag = 81;
inline constexpr int kChannels = 8;
// One stroke in this many makes a short can.
inline constexpr std::uint64_t kShortCanEvery = 997;
} // namespace k2510

class K2510Board : public Board {
public:
    // The crank stands at crankAtStart degrees when the board powers up.
    explicit K2510Board(const Clock& clock, double crankAtStart = 0.0);

    void start();
    void stop();
    bool running() const { return running_; }
    // Runs at the high running speed (W1028) instead of the low one (W1026).
    void setHighSpeed(bool high) { highSpeed_ = high; }
    bool highSpeed() const { return highSpeed_; }

    // The machine as the motion board sees it through its own encoder (no PLS offset).
    double crankDegrees() const { return crank_; }
    double speedSpm() const { return speed_; }
    std::uint64_t revolutions() const { return revolutions_; }

    // The PLS keeps answering busy to the READY poll while this is set.
    void setPlsStuckBusy(bool stuck) { plsStuckBusy_ = stuck; }
    bool plsStuckBusy() const { return plsStuckBusy_; }

    struct Window {
        std::uint16_t on;
        std::uint16_t off;
    };
    const std::vector<Window>& channel(int c) const { return channels_.at(c); }
    std::uint16_t plsScale() const { return scale_; }
    std::uint16_t plsOffset() const { return offset_; }
    // The 24 configuration bytes as the four configuration blocks left them.
    const std::array<std::uint8_t, 24>& plsConfig() const { return config_; }
    // PLS position in divisions, 0 .. scale − 1.
    std::uint16_t plsPosition() const;

protected:
    void advance(double from, double to) override;
    void afterWrite(std::uint16_t address) override;

    bool hasPls() const override { return true; }
    std::uint16_t plsReadWord(std::uint8_t code) override;
    void plsCommand(std::uint8_t code, const std::vector<std::uint8_t>& params) override;
    std::vector<std::uint8_t> plsConfigBlock() override;
    std::array<std::uint8_t, 3> plsRecall(std::uint8_t channel) override;
    bool plsReady() override;

private:
    double targetSpeed();
    void publish(double now);
    bool channelOn(int c, double divisions) const;
    void endOfShift();
    void countStrokes();

    bool running_ = false;
    bool highSpeed_ = false;
    double speed_ = 0; // strokes per minute
    double crank_ = 0; // degrees 0..360, as the resolver sees it
    std::uint64_t revolutions_ = 0;
    std::uint64_t countedRevolutions_ = 0;
    bool braking_ = false;
    bool brakingFromHigh_ = false;
    double brakeTravel_ = 0; // degrees since the stop command

    std::uint16_t scale_ = 360;
    std::uint16_t offset_ = 0;
    std::array<std::vector<Window>, k2510::kChannels> channels_;
    std::array<int, k2510::kChannels> recallPhase_{};
    std::array<std::uint8_t, 24> config_{};
    int busyPolls_ = 0;
    bool plsStuckBusy_ = false;
};

} // namespace talvern::boards
