#pragma once
// How far a program transfer has got, and how long the rest will take at the present rate,
// including what follows the last byte (the dump's settle and its ident writes).

#include <QString>
#include <algorithm>

namespace talvern::targetboard {

struct TransferProgress {
    int done = 0;        // bytes transferred
    int total = 0;       // bytes to transfer
    double started = -1; // clock time of the first byte, -1 before it
    double now = 0;
    double tailSeconds = 0;  // the work after the last byte, as expected
    double tailStarted = -1; // clock time that work began, -1 before it

    // Seconds left; negative while there is no rate yet.
    double secondsLeft() const {
        if (tailStarted >= 0) return std::max(0.0, tailSeconds - (now - tailStarted));
        if (started < 0 || done <= 0 || now <= started) return -1;
        return (total - done) * (now - started) / done + tailSeconds;
    }
    // Of the bytes; with work after them, of the time the whole takes.
    int percent() const {
        if (total <= 0) return 0;
        const double left = secondsLeft();
        if (tailSeconds <= 0 || left < 0 || started < 0)
            return static_cast<int>(100LL * done / total);
        const double elapsed = now - started;
        return elapsed + left > 0 ? static_cast<int>(100.0 * elapsed / (elapsed + left)) : 100;
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
    // The progress as it stands at a later time of the clock (a wait between two steps).
    TransferProgress at(double time) const {
        TransferProgress p = *this;
        p.now = std::max(now, time);
        return p;
    }
};

} // namespace talvern::targetboard
