#pragma once
// What a listener (the wire monitor) hears of the link: each transaction as it begins and ends,
// and every byte on the line in between, in order, stamped with the link's clock. RSComm calls
// it from inside the transaction on the user-interface thread, so a listener must be quick and
// must never use the link itself. With no listener the link pays one pointer test a byte.

#include <QString>
#include <cstdint>

namespace talvern::link {

enum class WireKind : std::uint8_t { Read, Write, PlsCommand, ProgramRecord, Handshake };

enum class WireEvent : std::uint8_t {
    Sent,     // a byte went out
    Received, // a byte came back
    Overdue,  // no reply by the deadline; the attention byte goes out again
    Repeated, // the link starts over: a handshake not acknowledged, a write whose echo differed
};

class LinkObserver {
public:
    virtual ~LinkObserver() = default;
    // The port was opened: what is counted "since opening" starts again.
    virtual void linkOpened(double at) = 0;
    // subject: the address of a read or write, or what a handshake is for; value: what a
    // write sends. A PLS command or a program record is known by its bytes alone.
    virtual void transactionBegun(WireKind kind, const QString& subject, const QString& value,
                                  double at) = 0;
    virtual void wireEvent(WireEvent event, std::uint8_t byte, double at) = 0;
    // value: what a read gave (empty: nothing); failed: the link's own verdict
    // (LastTransactionFailed).
    virtual void transactionEnded(const QString& value, bool failed, double at) = 0;
};

} // namespace talvern::link
