#include "VerifiedTransfer.h"

namespace talvern::link {

std::optional<QString> ReadOnce(RSComm& link, const QString& address) {
    const QString text = link.RSRead(address);
    if (link.LastTransactionFailed()) return std::nullopt;
    return text;
}

std::optional<std::int16_t> ReadOnce(RSComm& link, QString (RSComm::*plsRead)()) {
    const QString text = (link.*plsRead)();
    if (link.LastTransactionFailed()) return std::nullopt;
    return static_cast<std::int16_t>(text.trimmed().toInt());
}

std::optional<QString> ReadVerified(RSComm& link, const QString& address) {
    const std::optional<qint64> value = ReadAgreed<qint64>(link, [&]() -> std::optional<qint64> {
        const std::optional<QString> text = ReadOnce(link, address);
        if (!text) return std::nullopt;
        return text->toLongLong();
    });
    if (!value) return std::nullopt;
    return QString::number(*value);
}

bool WriteVerified(RSComm& link, const QString& address, const QString& value) {
    const ParsedAddress target = ParseAddressText(address);
    const std::optional<std::int64_t> number = ValueTextNumber(value);
    const bool bitValue = number && (*number == 0 || *number == 1);
    if (!number || (target.isBit && !bitValue) ||
        (!target.isBit && *number > WidthLimit(target.width))) {
        // Refused by the link's value check, which tells the user why; nothing to repeat.
        link.RSWrite(address, value);
        return false;
    }
    QString writeAddress = address;
    QString writeValue = value;
    if (target.isBit) {
        writeAddress = QStringLiteral("B") + QString::number(target.byteAddress);
        const std::optional<QString> byte = ReadVerified(link, writeAddress);
        if (!byte) return false;
        const std::int64_t old = byte->toLongLong();
        const std::int64_t updated =
            *number == 1 ? (old | target.mask) : (old & ~std::int64_t(target.mask));
        writeValue = QString::number(updated & 0xFF);
    }
    return SendVerified(link, [&] {
        link.RSWrite(writeAddress, writeValue);
        return true;
    });
}

QString ReadFailedMessage(const QString& address) {
    return QStringLiteral("Unable to read %1 from the board.").arg(address);
}

QString WriteFailedMessage(const QString& address) {
    return QStringLiteral("Unable to write %1 to the board.").arg(address);
}

} // namespace talvern::link
