#include "R7520Servo.h"

#include "Memory.h"
#include "R7520Board.h"

#include <algorithm>
#include <cmath>

namespace talvern::boards {

namespace {
constexpr double kPi = 3.14159265358979323846;
constexpr double kNominalSpeed = 250.0;
constexpr double kFactoryP = 15.0;
constexpr double kFactoryI = 100.0;
constexpr double kFactoryD = 25.0;
constexpr double kFactoryPeak = 6.0; // counts at nominal speed
constexpr double kMaxError = 3000.0;
constexpr double kPeakSwingHz = 0.35; // the beat that makes a ringing loop's peaks swing

// Small repeatable disturbance, −1..1.
double ripple(double x) {
    return std::sin(x * 12.9898) * std::cos(x * 4.1414);
}
} // namespace

ServoGains ServoGains::from(const Memory& memory) {
    return ServoGains{memory.word(r7520::kProportionalGain) +
                          memory.byte(r7520::kProportionalFine) / 100.0,
                      static_cast<double>(memory.word(r7520::kIntegralGain)),
                      static_cast<double>(memory.word(r7520::kDerivativeGain))};
}

ServoResponse ServoResponse::of(const ServoGains& gains) {
    ServoResponse r;
    const double stiffness = std::max(gains.p, 0.05) / kFactoryP;
    const double damping = (gains.d + 5) / (kFactoryD + 5);
    const double integral = std::log((gains.i + 10) / (kFactoryI + 10)); // 0 at the factory value
    // A soft loop lags in proportion; a stiff one gains little more.
    const double stiffLag = stiffness < 1 ? 1 / stiffness : 1 / std::sqrt(stiffness);
    // Too little damping rings by itself; too much amplifies noise, which shows as error too.
    const double dampingCost = 1 + 0.5 * std::abs(std::log(damping));
    const double integralCost = 1 + 0.8 * std::abs(integral);
    r.lag = stiffLag * dampingCost * integralCost;
    r.ringing = std::max(0.0, stiffness - 1.3) * 2.0 / damping +
                std::max(0.0, 0.5 - damping) * 1.5 + std::max(0.0, integral - 1.0) * 0.6;
    r.ringHz = 3.0 + 4.0 * stiffness;
    r.lopsided = std::clamp(0.15 - 0.25 * integral, 0.0, 0.8);
    return r;
}

double SteadyPeakError(const ServoGains& gains, double speedSpm) {
    const double load = (speedSpm / kNominalSpeed) * (speedSpm / kNominalSpeed);
    return std::min(kMaxError, kFactoryPeak * ServoResponse::of(gains).lag * load);
}

FollowingError FollowingErrorAt(const ServoGains& gains, double speedSpm, double accel,
                                double now) {
    FollowingError e;
    if (speedSpm <= 0) return e;
    const ServoResponse r = ServoResponse::of(gains);
    const double peak = SteadyPeakError(gains, speedSpm);
    const double ring = r.ringing * peak * std::sin(2 * kPi * r.ringHz * now);
    e.error = std::clamp(peak * accel + ring + ripple(now), -kMaxError, kMaxError);
    // A ringing loop overshoots by a different amount every stroke: the peaks swing.
    const double swing = 0.5 + 0.5 * std::sin(2 * kPi * kPeakSwingHz * now);
    const double swingLate = 0.5 + 0.5 * std::sin(2 * kPi * kPeakSwingHz * now + 2.1);
    e.positivePeak = std::min(kMaxError, peak * (1 + r.ringing * swing));
    e.negativePeak = std::min(kMaxError, peak * (1 - r.lopsided) * (1 + r.ringing * swingLate));
    return e;
}

} // namespace talvern::boards
