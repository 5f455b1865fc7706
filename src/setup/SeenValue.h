#pragma once
// What a live screen knows of one board value across its passes. A pass reads each value once
// (a live screen costs the wire no more than that) and shows what it read at once; but a value
// is confirmed, for a spinner or check box to act on, only when two passes in a row read it
// alike, or when the user's own write put it there. A failed reading shows as nothing and
// confirms nothing.

#include <cstdint>
#include <optional>

namespace talvern::setup {

class SeenValue {
public:
    // A pass's reading, or nothing when the link reported it as failed.
    void read(std::optional<std::int64_t> value) {
        if (value && last_ && *value == *last_) confirmed_ = value;
        shown_ = value;
        if (value) last_ = value;
    }
    // The board took a value the user gave.
    void wrote(std::int64_t value) { shown_ = last_ = confirmed_ = value; }
    // Nothing is known any more (a new display set-up, a write that did not get through).
    void forget() { *this = SeenValue(); }

    // The last reading; nothing after a failed one.
    const std::optional<std::int64_t>& shown() const { return shown_; }
    const std::optional<std::int64_t>& confirmed() const { return confirmed_; }
    // The value shown is the confirmed one: what a spinner or check box may act on.
    bool known() const { return shown_ && confirmed_ && *shown_ == *confirmed_; }

private:
    std::optional<std::int64_t> shown_;
    std::optional<std::int64_t> last_; // the last good reading
    std::optional<std::int64_t> confirmed_;
};

} // namespace talvern::setup
