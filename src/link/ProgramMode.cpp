// Program mode: the board takes a program image as a stream of records, each answered by one
// byte, the sum of what it received.
#include "BusyScope.h"
#include "RSComm.h"
#include "WireScope.h"

namespace talvern::link {

int RSComm::SendAttention() {
    BusyScope busy(*this);
    WireScope wire(*this, WireKind::Handshake, QStringLiteral("attention"));
    CurrentMode = 0;
    const int reply = RSSendByte(0xFF, false, true);
    wire.End({}, reply != 0x55);
    return reply;
}

int RSComm::EnterProgramMode() {
    BusyScope busy(*this);
    WireScope wire(*this, WireKind::Handshake, QStringLiteral("program mode"));
    CurrentMode = 0;
    const int reply = RSSendByte(3, false, false);
    wire.End({}, reply == kFailed);
    return reply;
}

int RSComm::SendProgramRecord(int address, const QByteArray& data) {
    BusyScope busy(*this);
    if (CommError || port_ == nullptr || !port_->isOpen()) return -1;
    // Its listener judges the record by the sum that comes back.
    WireScope wire(*this, WireKind::ProgramRecord);
    // The record goes out without waiting between bytes; the board answers once at its end.
    RSSendByte(data.size() & 0xFF, true, true);
    RSSendByte((address >> 8) & 0xFF, true, false);
    RSSendByte(address & 0xFF, true, false);
    for (char b : data)
        RSSendByte(static_cast<std::uint8_t>(b), true, false);
    const double deadline = clock_.now() + 1.0;
    for (;;) {
        if (port_->bytesWaiting() > 0) {
            const int reply = port_->takeByte();
            if (reply >= 0) {
                Observe(WireEvent::Received, reply);
                return reply;
            }
        }
        if (clock_.now() >= deadline) return -1;
        if (!port_->isOpen()) {
            clock_.sleepUntil(deadline);
            continue;
        }
        port_->waitForInput(deadline);
    }
}

} // namespace talvern::link
