#pragma once
// A hand-driven clock and a byte-by-byte host for talking to the simulated boards in tests.

#include "boards/SimulatedBoards.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <utility>
#include <vector>

namespace talvern::boards::testing {

class ManualClock final : public Clock {
public:
    double now() const override { return now_; }
    void advance(double seconds) { now_ += seconds; }

private:
    double now_ = 500.0;
};

// Both boards on a hand-driven clock, the crank pinned at 37 degrees.
class BoardsTest : public ::testing::Test {
protected:
    ManualClock clock;
    SimulatedBoards boards{clock, 37.0};
};

using Bytes = std::vector<int>;
constexpr auto K = BoardId::K2510;
constexpr auto R = BoardId::R7520;

// Sends each byte and takes the reply that is there at once (-1 when none is).
inline Bytes exchange(SimulatedBoards& boards, const Bytes& sent) {
    Bytes replies;
    for (int b : sent) {
        boards.hostSend(static_cast<std::uint8_t>(b));
        replies.push_back(boards.takeReply());
    }
    return replies;
}

// Bytes of a board's memory, each with the value it should hold.
inline void expectBytes(SimulatedBoards& boards, BoardId id,
                        const std::vector<std::pair<int, int>>& bytes) {
    for (const auto& [address, value] : bytes)
        EXPECT_EQ(boards.peekByte(id, static_cast<std::uint16_t>(address)), value) << address;
}

} // namespace talvern::boards::testing
