#pragma once
// The byte trace, one line a byte: "+S.mmm > HH" for a byte sent, "+S.mmm < HH" for a byte
// received, S.mmm the seconds since the trace began. talvern-cli --trace writes it as the bytes
// go; the wire monitor saves what it holds in the same form, so the two read alike.

#include "WireLog.h"

#include <QByteArray>

namespace talvern::link {

QByteArray TraceLine(double seconds, bool sent, std::uint8_t byte);

// The transaction's bytes as trace lines, the seconds counted from when the monitor started.
void AppendTrace(QByteArray& out, const WireTransaction& t);

} // namespace talvern::link
