#include "WireTrace.h"

#include <cstdio>

namespace talvern::link {

QByteArray TraceLine(double seconds, bool sent, std::uint8_t byte) {
    char line[48];
    const int n = std::snprintf(line, sizeof line, "+%.3f %c %02X\n", seconds, sent ? '>' : '<',
                                static_cast<unsigned>(byte));
    return QByteArray(line, n);
}

void AppendTrace(QByteArray& out, const WireTransaction& t) {
    for (const WireByte& b : t.bytes)
        if (b.event == WireEvent::Sent || b.event == WireEvent::Received)
            out += TraceLine(t.startedAt + static_cast<double>(b.offset),
                             b.event == WireEvent::Sent, b.byte);
}

} // namespace talvern::link
