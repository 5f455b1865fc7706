#pragma once
// Reads and writes whose outcome is stored: a value is taken only from a read that succeeded,
// and a failed transaction is tried again with a fresh handshake at most twice more. A link
// failure the user has already been asked about (CommError) is not tried again.

#include "RSComm.h"

#include <optional>

namespace talvern::targetboard {

std::optional<int> ReadChecked(link::RSComm& link, const QString& address);
bool WriteChecked(link::RSComm& link, const QString& address, const QString& value);
// "B" followed by the decimal byte address.
QString ByteAddress(int address);

} // namespace talvern::targetboard
