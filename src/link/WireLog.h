#pragma once
// The transactions a wire monitor has heard, decoded, kept in a ring of bounded size: the
// oldest is dropped when a new one would not fit, so recording never grows without end and
// never waits for whoever reads it.

#include "LinkObserver.h"

#include <QString>
#include <cstdint>
#include <vector>

namespace talvern::link {

enum class WireOutcome : std::uint8_t {
    Good,
    Confirmed, // a read that gave what the read before it of that address gave
    Retried,   // done, but only after a repeat
    WrongEcho, // a reply other than the one the protocol calls for
    NoReply,
    LateReply, // a reply that came only after the attention byte was sent again
};

inline bool IsFailure(WireOutcome o) {
    return o == WireOutcome::WrongEcho || o == WireOutcome::NoReply || o == WireOutcome::LateReply;
}

struct WireByte {
    float offset; // seconds after the transaction began
    std::uint8_t byte;
    WireEvent event;
};

struct WireTransaction {
    std::uint64_t number = 0; // counts from 0 since the monitor started
    double startedAt = 0;     // seconds since the monitor started
    WireKind kind = WireKind::Read;
    WireOutcome outcome = WireOutcome::Good;
    int board = 0;   // board number read from the board-number address; 0: not known
    QString subject; // the address, the PLS command, the record's address, the handshake
    QString value;   // the value read or written; empty: none
    // A write, or a PLS command that sends a value or a setpoint.
    bool changesBoard = false;
    std::vector<WireByte> bytes;
};

QString KindText(WireKind kind);
QString OutcomeText(WireOutcome outcome);
// "K2510", "R7520", "-" when not known, else "board N".
QString BoardText(int board);
// Each exchange as "SENT→REPLY" ("→…" for a reply that was overdue), a repeat as "|".
QString RawBytesText(const WireTransaction& t);

class WireLog {
public:
    static constexpr std::size_t kDefaultCapacity = 100000;
    explicit WireLog(std::size_t capacity = kDefaultCapacity) : capacity_(capacity) {}

    // Gives the transaction the next number and keeps it, dropping the oldest when full.
    void append(WireTransaction t);
    // Numbers of the oldest kept and one past the newest; at() takes a number in between.
    std::uint64_t first() const { return first_; }
    std::uint64_t end() const { return end_; }
    const WireTransaction& at(std::uint64_t number) const { return slots_[number % capacity_]; }
    std::size_t size() const { return static_cast<std::size_t>(end_ - first_); }
    std::size_t capacity() const { return capacity_; }

private:
    std::size_t capacity_;
    std::vector<WireTransaction> slots_;
    std::uint64_t first_ = 0;
    std::uint64_t end_ = 0;
};

} // namespace talvern::link
