#include "BMMainDisplay.h"

#include <QRegularExpression>

namespace talvern::screens {

namespace {
// The leading decimal number of a text, 0 when there is none ("-" reads as 0).
double SpeedNumber(const QString& text) {
    static const QRegularExpression number(
        QStringLiteral("^\\s*([-+]?(\\d+\\.?\\d*|\\.\\d+)([eE][-+]?\\d+)?)"));
    const auto match = number.match(text);
    return match.hasMatch() ? match.captured(1).toDouble() : 0.0;
}
} // namespace

QString PositionDisplay(const QString& speedShown, const QString& positionRead) {
    if (SpeedNumber(speedShown) > kPositionShownUpToSpm) return QStringLiteral("888");
    return positionRead.trimmed();
}

} // namespace talvern::screens
