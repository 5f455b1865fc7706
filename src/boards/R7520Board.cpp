#include "R7520Board.h"

#include "K2510Board.h"
#include "R7520Servo.h"

#include <algorithm>
#include <cmath>

namespace talvern::boards {

using namespace r7520;

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kCountsPerTurn = 4096.0;
constexpr double kDegreesPerCount = 360.0 / 4096.0;
constexpr double kNominalSpeed = 250.0;
constexpr double kTestSpeedCounts = 2000.0; // counts a second at full test output
constexpr double kLiftDegrees = 40.0;       // cup stroke seen by the profile
constexpr double kHoldingAmps = 1.2;
constexpr double kPeakAmps = 14.0;

// Cycloidal motion: 0 → 1 over u in [0, 1] with zero speed and acceleration at both ends.
double cycloid(double u) {
    return u - std::sin(2 * kPi * u) / (2 * kPi);
}
double cycloidAccel(double u) {
    return std::sin(2 * kPi * u);
}

// The indexing cam turns once per stroke between 40° and 320° of the crank.
double camTurn(double crank, double* accel) {
    constexpr double kStart = 40.0, kEnd = 320.0;
    if (crank < kStart || crank >= kEnd) {
        *accel = 0;
        return crank < kStart ? 0.0 : 1.0;
    }
    const double u = (crank - kStart) / (kEnd - kStart);
    *accel = cycloidAccel(u);
    return cycloid(u);
}

// The cup lift seen by the profile: rise, dwell, return, dwell.
double lift(double crank, double* accel) {
    *accel = 0;
    if (crank >= 30 && crank < 150) {
        const double u = (crank - 30) / 120;
        *accel = cycloidAccel(u);
        return kLiftDegrees * cycloid(u);
    }
    if (crank >= 150 && crank < 210) return kLiftDegrees;
    if (crank >= 210 && crank < 330) {
        const double u = (crank - 210) / 120;
        *accel = -cycloidAccel(u);
        return kLiftDegrees * (1 - cycloid(u));
    }
    return 0;
}

// Small repeatable disturbance, −1..1.
double ripple(double x) {
    return std::sin(x * 12.9898) * std::cos(x * 4.1414);
}

std::uint8_t toByte(double v) {
    return static_cast<std::uint8_t>(std::lround(std::clamp(v, 0.0, 255.0)));
}

int wrapCounts(double counts) {
    const double c = std::fmod(counts, kCountsPerTurn);
    return static_cast<int>(c < 0 ? c + kCountsPerTurn : c) % 4096;
}

} // namespace

R7520Board::R7520Board(const Clock& clock, K2510Board& bodymaker)
    : Board(BoardId::R7520, clock), bodymaker_(bodymaker) {
    Memory& m = memory_;
    m.setWord(kShortCanStop, 1950);
    m.setWord(kOutOfSyncError, 100);
    m.setWord(kSyncEnableError, 500);
    m.setWord(kFollowingErrorAlarm, 50);
    m.setWord(kProportionalGain, 15);
    m.setByte(kProportionalFine, 5); // P 15.05: the fine part is a value of its own
    m.setWord(kIntegralGain, 100);
    m.setWord(kDerivativeGain, 25);
    m.setWord(kTestOutput, 2048);
    m.setWord(kCrankOffset, 312);
    m.setWord(kCamOffset, 1875);
    m.setWord(kHomePosition, 2020);
    m.setByte(kCapture, kDefaultSamples);
    publish(clock.now());
}

double R7520Board::peakError(double speedSpm) const {
    return SteadyPeakError(ServoGains::from(memory_), speedSpm);
}

void R7520Board::advance(double from, double to) {
    bodymaker_.update();
    const bool testing = memory_.bit(kTestMode, 7);
    if (testing) {
        if (!wasTesting_) testCam_ = memory_.word(kCamPosition);
        const double output = (static_cast<double>(memory_.word(kTestOutput)) - 2048.0) / 2048.0;
        testCam_ = wrapCounts(testCam_ + output * kTestSpeedCounts * (to - from));
    }
    wasTesting_ = testing;
    publish(to);
}

void R7520Board::publish(double now) {
    Memory& m = memory_;
    const double crank = bodymaker_.crankDegrees();
    const double speed = bodymaker_.speedSpm();
    const int crankCounts = wrapCounts(crank / 360.0 * kCountsPerTurn + m.word(kCrankOffset));
    m.setWord(kCrankPosition, static_cast<std::uint16_t>(crankCounts));

    double accel = 0;
    const double desired = camTurn(crank, &accel) * kCountsPerTurn + m.word(kCamOffset);
    const FollowingError following = FollowingErrorAt(ServoGains::from(m), speed, accel, now);
    const double error = following.error;
    if (memory_.bit(kTestMode, 7)) {
        m.setWord(kCamPosition, static_cast<std::uint16_t>(testCam_));
        const int apart = std::abs(wrapCounts(testCam_ - desired));
        m.setWord(kAbsoluteError, static_cast<std::uint16_t>(std::min(apart, 4096 - apart)));
    } else {
        m.setWord(kCamPosition, static_cast<std::uint16_t>(wrapCounts(desired - error)));
        m.setWord(kAbsoluteError, static_cast<std::uint16_t>(std::lround(std::abs(error))));
    }
    if (speed > 0) {
        m.setWord(kPositivePeak, static_cast<std::uint16_t>(std::lround(following.positivePeak)));
        m.setWord(kNegativePeak, static_cast<std::uint16_t>(std::lround(following.negativePeak)));
    }

    if (recording_ && !captureStuck_ && now >= captureEnd_) {
        record();
        recording_ = false;
    }
}

void R7520Board::record() {
    Memory& m = memory_;
    const int n = std::clamp(samplesPerStroke_, 2, 255);
    const double speed = bodymaker_.speedSpm();
    const ServoGains gains = ServoGains::from(m);
    const double load = (speed / kNominalSpeed) * (speed / kNominalSpeed);
    double standstillAccel = 0;
    const double standstillLift = lift(bodymaker_.crankDegrees(), &standstillAccel);
    for (int i = 0; i < n; ++i) {
        const double crank = 360.0 * i / (n - 1);
        double accel = 0;
        double reference = lift(std::min(crank, 359.999), &accel);
        double error = 0; // counts, signed
        double amps = kHoldingAmps;
        if (speed > 0) {
            // The loop as the tuning screen shows it, sample by sample through the stroke just
            // recorded: lagging, ringing or lopsided with its gains.
            const double at = captureEnd_ - 60.0 / speed * (1.0 - static_cast<double>(i) / (n - 1));
            error = FollowingErrorAt(gains, speed, accel, at).error +
                    0.3 * ripple(i + bodymaker_.revolutions());
            amps += kPeakAmps * load * std::abs(accel) + 0.02 * std::abs(error);
        } else {
            reference = standstillLift;
        }
        const double actual = reference - error * kDegreesPerCount;
        const auto at = [&](std::uint16_t base) { return static_cast<std::uint16_t>(base + i); };
        m.setByte(at(kCurrentSamples), toByte(amps / 25.0 * 255.0));
        m.setByte(at(kErrorSamples), toByte(std::abs(error)));
        m.setByte(at(kProfileSamples), toByte(actual / (2 * kDegreesPerCount)));
        m.setByte(at(kReferenceSamples), toByte(reference / (2 * kDegreesPerCount)));
    }
    m.setByte(kCapture, static_cast<std::uint8_t>(n));
}

void R7520Board::afterWrite(std::uint16_t address) {
    if (address != kCapture) return;
    const int command = memory_.byte(kCapture);
    if (command == 1) {
        // One revolution of the machine from now (a standing machine is recorded for a second).
        const double speed = bodymaker_.speedSpm();
        recording_ = true;
        captureEnd_ = clock_.now() + (speed > 0 ? 60.0 / speed : 1.0);
    } else if (command == 0) {
        recording_ = false;
    } else {
        samplesPerStroke_ = command;
        recording_ = false;
    }
}

} // namespace talvern::boards
