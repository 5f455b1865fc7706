#include "VerifiedLink.h"

namespace talvern::targetboard {

namespace {
constexpr int kAttempts = 3;
}

std::optional<int> ReadChecked(link::RSComm& link, const QString& address) {
    for (int attempt = 0; attempt < kAttempts && !link.CommError; ++attempt) {
        if (attempt > 0) link.ResetHandshake();
        const QString value = link.RSRead(address);
        if (!link.LastTransactionFailed()) return value.toInt();
    }
    return std::nullopt;
}

bool WriteChecked(link::RSComm& link, const QString& address, const QString& value) {
    for (int attempt = 0; attempt < kAttempts && !link.CommError; ++attempt) {
        if (attempt > 0) link.ResetHandshake();
        link.RSWrite(address, value);
        if (!link.LastTransactionFailed()) return true;
    }
    return false;
}

QString ByteAddress(int address) {
    return QStringLiteral("B") + QString::number(address);
}

} // namespace talvern::targetboard
