#pragma once
// What the fault campaigns share: the faults the simulated cable injects, their names, where in
// an exchange they are put, and how long the link may take to give up on one.

#include "boards/SimulatedBoards.h"

#include <algorithm>
#include <iterator>
#include <vector>

namespace talvern::testing {

using Fault = boards::SimulatedBoards::Fault;

inline constexpr Fault kFaults[] = {Fault::LostReply, Fault::CorruptedReply, Fault::StrayByte,
                                    Fault::Silence, Fault::CablePulled};

// Named in the order of the Fault enumeration.
inline const char* FaultName(Fault f) {
    const char* names[] = {"lost reply", "corrupted reply", "stray byte", "silence",
                           "cable pulled"};
    const auto i = static_cast<std::size_t>(f);
    return i < std::size(names) ? names[i] : "?";
}

// Every position of a short exchange; an even spread over a long one.
inline std::vector<long> Positions(long bytes, long most) {
    std::vector<long> positions;
    const long n = std::min(bytes, most);
    for (long k = 0; k < n; ++k)
        positions.push_back(n == 1 ? 0 : k * (bytes - 1) / (n - 1));
    return positions;
}

// The longest the link waits before it gives up on one fault: an unanswered byte (1 s, then two
// resends 2 s apart), a mode handshake (2 s) and the PLS READY poll (3 s).
inline constexpr double kLinkPatience = 1 + 2 + 2 + 2 + 3;

} // namespace talvern::testing
