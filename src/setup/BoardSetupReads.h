#pragma once
// The confirmed reads the set-up compare makes of a board: each gives a value the board sent
// and a second reading agreed with, or nothing. Every board read of the compare is here.

#include "RSComm.h"

#include <array>
#include <cstdint>
#include <optional>

namespace talvern::setup {

std::optional<std::int32_t> ReadParameter(link::RSComm& link, const QString& address);
// The 19 words of the PLS configuration upload.
std::optional<std::array<std::int16_t, 19>> ReadPlsConfiguration(link::RSComm& link);
std::optional<std::int16_t> ReadPlsScale(link::RSComm& link);
std::optional<std::int16_t> ReadPlsOffset(link::RSComm& link);
// A channel's ON and OFF points ({0, 0}: no setpoints).
std::optional<std::array<std::int16_t, 2>> ReadChannelPoints(link::RSComm& link, int channel);

} // namespace talvern::setup
