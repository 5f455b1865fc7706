#pragma once
// A hand-driven clock and a byte-by-byte host for talking to the simulated boards in tests.

#include "boards/SimulatedBoards.h"

#include <cstdint>
#include <vector>

namespace talvern::boards::testing {

class ManualClock final : public Clock {
public:
    double now() const override { return now_; }
    void advance(double seconds) { now_ += seconds; }

private:
    double now_ = 500.0;
};

using Bytes = std::vector<int>;

// Sends each byte and takes the reply that is there at once (-1 when none is).
inline Bytes exchange(SimulatedBoards& boards, const std::vector<std::uint8_t>& sent) {
    Bytes replies;
    for (std::uint8_t b : sent) {
        boards.hostSend(b);
        replies.push_back(boards.takeReply());
    }
    return replies;
}

// A read-mode transaction of `count` bytes from `address` (handshake included).
inline Bytes readBytes(SimulatedBoards& boards, std::uint16_t address, int count) {
    exchange(boards, {0xFF, 0x01});
    Bytes data;
    for (int k = 0; k < count; ++k) {
        const auto a = static_cast<std::uint16_t>(address + k);
        const Bytes r = exchange(
            boards, {static_cast<std::uint8_t>(a >> 8), static_cast<std::uint8_t>(a & 0xFF)});
        data.push_back(r[1]);
    }
    return data;
}

inline int readWord(SimulatedBoards& boards, std::uint16_t address) {
    const Bytes b = readBytes(boards, address, 2);
    return b[1] * 256 + b[0];
}

} // namespace talvern::boards::testing
