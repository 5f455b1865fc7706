#pragma once
// The boards' own sense of time. Tests drive it by hand; the program hands in a real clock.

namespace talvern::boards {

class Clock {
public:
    virtual ~Clock() = default;
    // Elapsed seconds, monotonic, with sub-second resolution.
    virtual double now() const = 0;
};

} // namespace talvern::boards
