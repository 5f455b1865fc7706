#pragma once
// The cupfeed's position loop as an engineer tuning it sees it: how the following error answers
// the PID gains. Too little proportional gain lets the cam lag (a large error); too much makes
// the loop ring, so the error oscillates and the peaks swing from stroke to stroke; the
// derivative gain damps the ringing, and the integral gain away from its best value leaves the
// error lopsided. The factory gains (P 15, I 100, D 25) are the sweet spot.

#include <cstdint>

namespace talvern::boards {

class Memory;

struct ServoGains {
    double p = 15;  // W1126 plus B1128 hundredths
    double i = 100; // W1120
    double d = 25;  // W1122

    static ServoGains from(const Memory& memory);
};

// The loop's character for a set of gains, independent of time and speed.
struct ServoResponse {
    double lag = 1;         // error at nominal speed relative to the factory gains' error
    double ringing = 0;     // 0: well damped; 1: the error swings by as much again as it lags
    double ringHz = 0;      // frequency of the ringing
    double lopsided = 0.15; // how much smaller the negative peak is than the positive one

    static ServoResponse of(const ServoGains& gains);
};

struct FollowingError {
    double error = 0;        // counts, signed, at this instant
    double positivePeak = 0; // counts, the largest error of the present stroke
    double negativePeak = 0; // counts, magnitude of the most negative error of the stroke
};

// The following error of a cam accelerating at accel (−1..1 of its peak) at speedSpm, at time
// now (seconds). A standing machine has none.
FollowingError FollowingErrorAt(const ServoGains& gains, double speedSpm, double accel, double now);

// The peak following error (counts) the gains give at a speed, without ringing.
double SteadyPeakError(const ServoGains& gains, double speedSpm);

} // namespace talvern::boards
