#pragma once
// What the fuzz targets share: the input as a file's bytes, properties that stop the run like a
// crash when they do not hold, and quiet stand-ins for the user, the clock and the event loop.

#include "Platform.h"

#include <QByteArray>
#include <QList>
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace talvern::fuzz {

inline QByteArray Bytes(const std::uint8_t* data, std::size_t size) {
    return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

[[noreturn]] inline void Fail(const char* what, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: property does not hold: %s\n", file, line, what);
    std::abort();
}

// The input split at each separator into at most maxParts parts; the last part keeps the rest.
inline QList<QByteArray> Parts(const QByteArray& input, const QByteArray& separator, int maxParts) {
    QList<QByteArray> parts;
    qsizetype from = 0;
    while (parts.size() + 1 < maxParts) {
        const qsizetype at = input.indexOf(separator, from);
        if (at < 0) break;
        parts << input.mid(from, at - from);
        from = at + separator.size();
    }
    parts << input.mid(from);
    return parts;
}

// Says yes to every question, OK to every message and Cancel to Retry, as a user who lets each
// command go as far as it will; every text asked is built and counted.
class AnswerYes : public link::UserAnswers {
public:
    link::Answer ask(const QString& text, const QString& title, link::Buttons buttons,
                     link::Icon) override {
        asked += text.size() + title.size();
        switch (buttons) {
            case link::Buttons::YesNo:
            case link::Buttons::YesNoCancel:
                return link::Answer::Yes;
            case link::Buttons::RetryCancel:
            case link::Buttons::OkCancel:
                return link::Answer::Cancel;
            case link::Buttons::Ok:
                break;
        }
        return link::Answer::Ok;
    }
    qsizetype asked = 0;
};

class JumpingClock : public link::Clock {
public:
    double now() const override { return t_; }
    void sleepUntil(double t) override { t_ = std::max(t_, t); }

private:
    double t_ = 0;
};

class NoEvents : public link::EventPump {
public:
    void processPendingEvents() override {}
};

} // namespace talvern::fuzz

// A property of the readers that must hold for every input.
#define FUZZ_REQUIRE(cond) ((cond) ? (void)0 : ::talvern::fuzz::Fail(#cond, __FILE__, __LINE__))
