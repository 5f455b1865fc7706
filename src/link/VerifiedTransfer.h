#pragma once
// Reads and writes for every caller below the screens and transfers. A read yields a value or
// nothing: ReadOnce for what is only shown (a live screen's pass), ReadVerified and ReadAgreed
// for a value that is stored or acted on, ConfirmedReads (ConfirmedReads.h) for a block of them.
// The byte protocol has no checksum: a disturbed data byte looks like any other. So a value that
// is kept is never taken from one read alone: a second read confirms it, and when the two differ
// or one failed, the value is read again after a fresh handshake (on a quiet line after a
// failed read).

#include "RSComm.h"

#include <QString>
#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace talvern::link {

// One reading of an address as decimal text, or nothing when the link reported the read as
// failed. Nothing is shown as a screen's empty mark, and is never stored or acted on.
std::optional<QString> ReadOnce(RSComm& link, const QString& address);
// One reading of a PLS word (RSComm::PLSRpm, PLSPos, PLSOffset, PLSScaleFactor), or nothing.
std::optional<std::int16_t> ReadOnce(RSComm& link, QString (RSComm::*plsRead)());

// The value at an address as decimal text, confirmed, or nothing when it could not be read. A
// read the link reports as failed is tried again, at most twice more. A value that is steady on
// the board is read exactly even when one reply is lost, late, doubled or disturbed; a live
// count that moves on between the reads gives the middle of three readings.
std::optional<QString> ReadVerified(RSComm& link, const QString& address);

// Writes a value; false when the value was refused (the link has said why) or the write did not
// get through: RSWrite repeats a mismatching write once, and a write the link still reports as
// failed is tried again with a fresh handshake at most twice more. A bit is written as its whole
// byte, whose other bits are first read as ReadVerified reads, so that a disturbed reply cannot
// change them.
bool WriteVerified(RSComm& link, const QString& address, const QString& value);

// Runs a command that changes the board (a PLS command; it must give the same result when sent
// again) until the link reports it as done, at most three times, each retry after a fresh
// handshake. False when it failed every time, or was refused without a link failure (a refusal
// has shown its own message and is not repeated).
template <class Command> bool SendVerified(RSComm& link, Command command) {
    constexpr int kRetries = 2;
    for (int attempt = 0; attempt <= kRetries; ++attempt) {
        if (attempt > 0) link.ResetHandshake();
        const bool done = command();
        if (!link.LastTransactionFailed()) return done;
        if (link.CommError) return false;
    }
    return false;
}

// The failure messages of a transfer, naming the address or item.
QString ReadFailedMessage(const QString& address);
QString WriteFailedMessage(const QString& address);

// The middle of three readings; element by element for a block of values.
template <class T> T Middle(const T& a, const T& b, const T& c) {
    return std::max(std::min(a, b), std::min(std::max(a, b), c));
}
template <class T, std::size_t N>
std::array<T, N> Middle(const std::array<T, N>& a, const std::array<T, N>& b,
                        const std::array<T, N>& c) {
    std::array<T, N> m{};
    for (std::size_t i = 0; i < N; ++i)
        m[i] = Middle(a[i], b[i], c[i]);
    return m;
}

// The rule of ReadVerified for any reading: readOnce() gives nothing when the link reported
// the read as failed. Every reading after the first starts with a fresh handshake, and one after
// a failed reading on a quiet line (the link sees to it), so a stray byte can put at most one of
// the readings out of step, and never two alike.
template <class T, class ReadOnce> std::optional<T> ReadAgreed(RSComm& link, ReadOnce readOnce) {
    constexpr int kRetries = 2;
    std::vector<T> readings;
    int failures = 0;
    for (int n = 0; readings.size() < 3; ++n) {
        if (n > 0) link.HandshakeAfresh();
        std::optional<T> value = readOnce();
        if (!value) {
            // After a Cancel in the link's question every read fails at once: stop asking.
            if (link.CommError || ++failures > kRetries) return std::nullopt;
            continue;
        }
        readings.push_back(std::move(*value));
        if (readings.size() == 2 && readings[0] == readings[1]) return readings[1];
    }
    return Middle(readings[0], readings[1], readings[2]);
}

} // namespace talvern::link
