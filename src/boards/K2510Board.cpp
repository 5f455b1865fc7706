#include "K2510Board.h"

#include <algorithm>
#include <cmath>

namespace talvern::boards {

using namespace k2510;

namespace {

constexpr double kDegreesPerSecondPerSpm = 6.0; // 1 spm = 360° a minute
constexpr double kAcceleration = 125.0;         // spm per second, starting or changing speed
constexpr double kBrakeDeceleration = 1400.0;   // spm per second once stopped
constexpr double kMaxRampStep = 0.01;           // seconds
constexpr double kMaxSpeed = 600.0;

constexpr std::array<std::uint16_t, kChannels> kFactoryOn{150, 200, 155, 110, 150, 150, 120, 180};
constexpr std::array<std::uint16_t, kChannels> kFactoryOff{170, 220, 175, 130, 350, 200, 190, 0};

std::uint16_t flagByte(int flag) {
    return static_cast<std::uint16_t>(kFlags + flag / 8);
}
int flagBit(int flag) {
    return flag % 8;
}

std::uint16_t le16(const std::vector<std::uint8_t>& p, std::size_t i) {
    return static_cast<std::uint16_t>(p[i] | (p[i + 1] << 8));
}

std::uint8_t clampByte(double v) {
    return static_cast<std::uint8_t>(std::clamp(v, 0.0, 255.0));
}

} // namespace

K2510Board::K2510Board(const Clock& clock, double crankAtStart) : Board(BoardId::K2510, clock) {
    Memory& m = memory_;
    // Set-up at the factory defaults.
    m.setWord(kStopLow, 0);
    m.setWord(kStopHigh, 0);
    m.setWord(kMaxStopResponse, 300);
    m.setWord(kSpeedLow, 250);
    m.setWord(kSpeedHigh, 350);
    m.setWord(kTrimmerMax, 375);
    m.setWord(kTrimmerIdle, 250);
    m.setBit(kBrakeCompensation, 0, true);
    m.setWord(kPasscode, 1234);
    // Alarms all normal: "cam in sync" and "servo OK" are the two set bits of B101.
    m.setByte(kAlarms, 0xA0);
    // A shift under way and the last one finished.
    m.setBaseTenThousand(kGoodCans, 48210);
    m.setWord(kShortCans, 37);
    m.setBaseTenThousand(kLastGoodCans, 512345);
    m.setWord(kLastShortCans, 402);
    m.setWord(kBrakeLow, 142);
    m.setWord(kBrakeHigh, 236);

    for (int c = 0; c < kChannels; ++c)
        channels_[c].push_back({kFactoryOn[c], kFactoryOff[c]});
    config_[18] = kChannels;

    // Power-up finds the bodymaker already running at its low speed.
    running_ = true;
    speed_ = m.word(kSpeedLow);
    crank_ = std::clamp(std::fmod(crankAtStart, 360.0), 0.0, 359.999);
    publish(clock.now());
}

void K2510Board::start() {
    update();
    running_ = true;
    braking_ = false;
}

void K2510Board::stop() {
    update();
    if (!running_) return;
    running_ = false;
    if (speed_ > 0) {
        braking_ = true;
        brakingFromHigh_ = highSpeed_;
        brakeTravel_ = 0;
    }
}

double K2510Board::targetSpeed() {
    if (!running_) return 0;
    return std::min<double>(kMaxSpeed, memory_.word(highSpeed_ ? kSpeedHigh : kSpeedLow));
}

void K2510Board::advance(double from, double to) {
    auto turn = [this](double degrees) {
        crank_ += degrees;
        if (braking_) brakeTravel_ += degrees;
        if (crank_ >= 360.0) {
            const double whole = std::floor(crank_ / 360.0);
            revolutions_ += static_cast<std::uint64_t>(whole);
            crank_ -= whole * 360.0;
        }
    };
    double t = from;
    while (t < to) {
        const double target = targetSpeed();
        const double left = to - t;
        if (speed_ == target) {
            turn(speed_ * kDegreesPerSecondPerSpm * left);
            break;
        }
        const double rate = target > speed_ ? kAcceleration
                            : target == 0   ? kBrakeDeceleration
                                            : kAcceleration;
        const double reach = std::abs(target - speed_) / rate;
        const double step = std::min({left, reach, kMaxRampStep});
        const double v1 =
            step >= reach ? target : speed_ + std::copysign(rate * step, target - speed_);
        turn((speed_ + v1) / 2 * kDegreesPerSecondPerSpm * step);
        speed_ = v1;
        t += step;
        if (braking_ && speed_ == 0) {
            // Standstill: the brake response is the travel since the stop command.
            const auto response = static_cast<std::uint16_t>(std::lround(brakeTravel_));
            memory_.setWord(brakingFromHigh_ ? kBrakeHigh : kBrakeLow, response);
            if (response > memory_.word(kMaxStopResponse)) memory_.setBit(kSlot11 + 1, 7, true);
            braking_ = false;
        }
    }
    publish(to);
}

std::uint16_t K2510Board::plsPosition() const {
    const auto raw = static_cast<long>(std::floor(crank_ * scale_ / 360.0)) % scale_;
    return static_cast<std::uint16_t>((raw - offset_ + scale_) % scale_);
}

bool K2510Board::channelOn(int c, double divisions) const {
    // Speed compensation: the channel switches this many milliseconds early.
    const int compIndex = c < 4 ? 1 + c : 2 + c;
    const double advanceDiv = config_[compIndex] / 1000.0 * speed_ / 60.0 * scale_;
    const double p = std::fmod(divisions + advanceDiv, static_cast<double>(scale_));
    for (const Window& w : channels_[c]) {
        if (w.on < w.off && p >= w.on && p < w.off) return true;
        if (w.on > w.off && (p >= w.on || p < w.off)) return true;
    }
    return false;
}

void K2510Board::publish(double now) {
    Memory& m = memory_;
    const std::uint16_t position = plsPosition();
    const bool turning = speed_ > 0;
    m.setWord(kSpeed, static_cast<std::uint16_t>(std::lround(speed_)));
    m.setWord(kPosition, static_cast<std::uint16_t>(position * 360L / scale_));
    m.setWord(kResolverPeriod,
              turning ? static_cast<std::uint16_t>(std::min(65535L, std::lround(60000.0 / speed_)))
                      : 0);
    m.setWord(kScaleFactor, scale_);
    m.setWord(kOffset, offset_);

    std::uint16_t channels = 0;
    for (int c = 0; c < kChannels; ++c)
        if (channelOn(c, position)) channels |= static_cast<std::uint16_t>(1u << c);
    m.setWord(kTimingChannels, channels);

    const bool dieSensor = turning && crank_ >= 160.0 && crank_ < 200.0;
    m.setBit(flagByte(kInput0Flag), flagBit(kInput0Flag), running_);
    m.setBit(flagByte(kInput1Flag), flagBit(kInput1Flag), dieSensor);

    m.setWord(kAnalogIn0,
              static_cast<std::uint16_t>(std::clamp(speed_ / 400.0 * 4095, 0.0, 4095.0)));
    m.setWord(kAnalogIn1, static_cast<std::uint16_t>(2050 + std::lround(40 * std::sin(now * 0.7))));
    const double trimmerMax = std::max<double>(1, m.word(kTrimmerMax));
    const double trimmerRef = turning ? std::max<double>(speed_, m.word(kTrimmerIdle)) : 0.0;
    m.setByte(kAnalogOut0, clampByte(255.0 * trimmerRef / trimmerMax));
    m.setByte(kAnalogOut1, clampByte(255.0 * speed_ / kMaxSpeed));

    // Slot 10 inputs (B100.4 is the short-can alarm and is left alone).
    m.setBit(kSlot10, 0, running_);
    m.setBit(kSlot10, 1, dieSensor);
    m.setBit(kSlot10, 2, turning);
    m.setBit(kSlot10, 3, (channels >> 5) & 1);
    // Slot 11 outputs (B111.7 is the brake-response alarm).
    m.setBit(kSlot11, 0, running_);
    m.setBit(kSlot11, 1, running_);
    m.setBit(kSlot11, 2, !running_);
    m.setBit(kSlot11, 3, (channels >> 4) & 1);
    m.setBit(kSlot11, 4, (channels >> 5) & 1);
    m.setBit(kSlot11, 5, (channels >> 6) & 1);
    countStrokes();
}

void K2510Board::countStrokes() {
    if (revolutions_ == countedRevolutions_) return;
    const std::uint64_t strokes = revolutions_ - countedRevolutions_;
    const std::uint64_t shorts =
        revolutions_ / kShortCanEvery - countedRevolutions_ / kShortCanEvery;
    countedRevolutions_ = revolutions_;
    const std::uint64_t good = memory_.baseTenThousand(kGoodCans) + strokes - shorts;
    memory_.setBaseTenThousand(kGoodCans, static_cast<std::uint32_t>(good % 655360000ULL));
    memory_.setWord(kShortCans, static_cast<std::uint16_t>(memory_.word(kShortCans) + shorts));
}

void K2510Board::afterWrite(std::uint16_t address) {
    if (address == flagByte(kEndOfShiftFlag) && memory_.bit(address, flagBit(kEndOfShiftFlag)))
        endOfShift();
}

void K2510Board::endOfShift() {
    Memory& m = memory_;
    m.setBaseTenThousand(kLastGoodCans, m.baseTenThousand(kGoodCans));
    m.setWord(kLastShortCans, m.word(kShortCans));
    m.setBaseTenThousand(kGoodCans, 0);
    m.setWord(kShortCans, 0);
    m.setBit(flagByte(kEndOfShiftFlag), flagBit(kEndOfShiftFlag), false);
}

std::uint16_t K2510Board::plsReadWord(std::uint8_t code) {
    switch (code) {
        case 24:
            return scale_;
        case 40:
            return offset_;
        case 72:
            return plsPosition();
        case 88:
            return static_cast<std::uint16_t>(std::lround(speed_));
        default:
            return 0;
    }
}

void K2510Board::plsCommand(std::uint8_t code, const std::vector<std::uint8_t>& p) {
    switch (code) {
        case 42:
            offset_ = static_cast<std::uint16_t>(le16(p, 0) % scale_);
            break;
        case 26:
            if (le16(p, 0) > 0) scale_ = le16(p, 0);
            offset_ = static_cast<std::uint16_t>(offset_ % scale_);
            break;
        case 27: {
            const int c = p[0];
            if (c >= kChannels) break;
            if (p[5] != 0)
                channels_[c].push_back({le16(p, 1), le16(p, 3)});
            else
                channels_[c].clear();
            recallPhase_[c] = 0;
            break;
        }
        case 43: {
            const int c = p[0];
            const int start = le16(p, 1);
            const int onDiv = p[3];
            const int period = p[3] + p[4];
            if (c >= kChannels || period == 0) break;
            channels_[c].clear();
            for (int k = 0; k < std::max(1, scale_ / period); ++k) {
                const int on = (start + k * period) % scale_;
                channels_[c].push_back({static_cast<std::uint16_t>(on),
                                        static_cast<std::uint16_t>((on + onDiv) % scale_)});
            }
            recallPhase_[c] = 0;
            break;
        }
        case 59:
        case 75:
        case 91:
        case 107: {
            const int block = (code - 59) / 16;
            for (int i = 0; i < 6; ++i)
                config_[block * 6 + i] = p[i];
            break;
        }
        default:
            return;
    }
    // The PLS takes one READY poll to digest a change.
    busyPolls_ = 1;
    publish(clock_.now());
}

std::vector<std::uint8_t> K2510Board::plsConfigBlock() {
    // Channel count, program, speed compensation of channels 0..7, then the rest as kept.
    std::vector<std::uint8_t> block(19, 0);
    block[0] = config_[18];
    block[1] = config_[0];
    for (int i = 0; i < 4; ++i)
        block[2 + i] = config_[1 + i];
    for (int i = 0; i < 4; ++i)
        block[6 + i] = config_[6 + i];
    for (int i = 10; i < 18; ++i)
        block[i] = config_[i];
    block[18] = config_[5];
    return block;
}

std::array<std::uint8_t, 3> K2510Board::plsRecall(std::uint8_t channel) {
    if (channel >= kChannels || channels_[channel].empty()) return {2, 0, 0};
    // Successive recalls give the ON point (state 1), then the OFF point (state 0).
    const Window& w = channels_[channel].front();
    const bool onPoint = recallPhase_[channel] == 0;
    recallPhase_[channel] ^= 1;
    const std::uint16_t at = onPoint ? w.on : w.off;
    return {static_cast<std::uint8_t>(onPoint ? 1 : 0), static_cast<std::uint8_t>(at & 0xFF),
            static_cast<std::uint8_t>(at >> 8)};
}

bool K2510Board::plsReady() {
    if (busyPolls_ > 0) {
        --busyPolls_;
        return false;
    }
    return !plsStuckBusy_;
}

} // namespace talvern::boards
