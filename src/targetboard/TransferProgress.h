#pragma once
// How far a program transfer has got, and how long the rest will take at the present rate.

#include <QString>

namespace talvern::targetboard {

struct TransferProgress {
    int done = 0;        // bytes transferred
    int total = 0;       // bytes to transfer
    double started = -1; // clock time of the first byte, -1 before it
    double now = 0;

    int percent() const { return total > 0 ? static_cast<int>(100LL * done / total) : 0; }
    // Seconds left at the present rate; negative while there is no rate yet.
    double secondsLeft() const {
        if (started < 0 || done <= 0 || now <= started) return -1;
        return (total - done) * (now - started) / done;
    }
    // "37 %, 1:05 left" (or just the percentage before there is a rate).
    QString text() const {
        QString s = QStringLiteral("%1 %").arg(percent());
        const double left = secondsLeft();
        if (left >= 0) {
            const int seconds = static_cast<int>(left + 0.5);
            s += QStringLiteral(", %1:%2 left")
                     .arg(seconds / 60)
                     .arg(seconds % 60, 2, 10, QLatin1Char('0'));
        }
        return s;
    }
};

} // namespace talvern::targetboard
