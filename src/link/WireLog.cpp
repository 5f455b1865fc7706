#include "WireLog.h"

namespace talvern::link {

void WireLog::append(WireTransaction t) {
    t.number = end_;
    if (slots_.size() < capacity_)
        slots_.push_back(std::move(t));
    else
        slots_[end_ % capacity_] = std::move(t);
    ++end_;
    if (end_ - first_ > capacity_) first_ = end_ - capacity_;
}

QString KindText(WireKind kind) {
    switch (kind) {
        case WireKind::Read:
            return QStringLiteral("read");
        case WireKind::Write:
            return QStringLiteral("write");
        case WireKind::PlsCommand:
            return QStringLiteral("PLS command");
        case WireKind::ProgramRecord:
            return QStringLiteral("program record");
        case WireKind::Handshake:
            return QStringLiteral("handshake");
    }
    return {};
}

QString OutcomeText(WireOutcome outcome) {
    switch (outcome) {
        case WireOutcome::Good:
            return QStringLiteral("good");
        case WireOutcome::Confirmed:
            return QStringLiteral("confirmed");
        case WireOutcome::Retried:
            return QStringLiteral("retried");
        case WireOutcome::WrongEcho:
            return QStringLiteral("wrong echo");
        case WireOutcome::NoReply:
            return QStringLiteral("no reply");
        case WireOutcome::LateReply:
            return QStringLiteral("late reply");
    }
    return {};
}

QString BoardText(int board) {
    switch (board) {
        case 0:
            return QStringLiteral("-");
        case 1:
            return QStringLiteral("K2510");
        case 3:
            return QStringLiteral("R7520");
        default:
            return QStringLiteral("board %1").arg(board);
    }
}

QString RawBytesText(const WireTransaction& t) {
    QString text;
    auto hex = [](std::uint8_t b) {
        return QStringLiteral("%1").arg(b, 2, 16, QLatin1Char('0')).toUpper();
    };
    bool resend = false;
    for (const WireByte& b : t.bytes) {
        switch (b.event) {
            case WireEvent::Sent:
                // The attention byte sent again after a silence stands in for the byte first
                // sent: its reply is that byte's.
                if (resend) {
                    text += QStringLiteral("(") + hex(b.byte) + QStringLiteral(")");
                    resend = false;
                } else {
                    if (!text.isEmpty()) text += QLatin1Char(' ');
                    text += hex(b.byte);
                }
                break;
            case WireEvent::Received:
                text += QStringLiteral("→") + hex(b.byte);
                break;
            case WireEvent::Overdue:
                text += QStringLiteral("→…");
                resend = true;
                break;
            case WireEvent::Repeated:
                text += QStringLiteral(" |");
                break;
        }
    }
    return text;
}

} // namespace talvern::link
