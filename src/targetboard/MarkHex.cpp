#include "MarkHex.h"

namespace talvern::targetboard {

QString MarkHex2HEX(QString& MarkHEX) {
    for (QChar& c : MarkHEX)
        if (c >= QLatin1Char(':') && c <= QLatin1Char('?')) c = QChar(c.unicode() - u':' + u'A');
    return MarkHEX;
}

QString HEX2MarkHEX(QString& HexCode) {
    for (QChar& c : HexCode)
        if (c >= QLatin1Char('A') && c <= QLatin1Char('F')) c = QChar(c.unicode() - u'A' + u':');
    return HexCode;
}

std::int32_t Hex2Dec(const QString& text) {
    std::int32_t value = 0;
    for (QChar c : text.trimmed()) {
        const int digit = QString(c).toInt(nullptr, 16);
        if (!c.isDigit() && !(c.toUpper() >= QLatin1Char('A') && c.toUpper() <= QLatin1Char('F')))
            break;
        value = value * 16 + digit;
    }
    return value;
}

QString MarkHex2Dec(const QString& text) {
    QString hex = text;
    return QString::number(Hex2Dec(MarkHex2HEX(hex)));
}

QString ByteToMarkHex(int value) {
    QString hex = QStringLiteral("%1").arg(value & 0xFF, 2, 16, QLatin1Char('0')).toUpper();
    return HEX2MarkHEX(hex);
}

} // namespace talvern::targetboard
