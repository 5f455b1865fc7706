#pragma once
// The wire monitor's ear on the link: it hears every transaction, decodes it (what it was for,
// the value, how it went, which board answered) into a bounded WireLog, and keeps the counters
// of the line's health. No window: a panel reads the log and the counters when it likes.

#include "LinkObserver.h"
#include "WireLog.h"

#include <QHash>
#include <deque>
#include <functional>
#include <optional>

namespace talvern::link {

struct WireFailure {
    WireOutcome outcome;
    QString subject;
    double at; // seconds since the monitor started
};

struct WireCounters {
    std::uint64_t bytesSent = 0; // since the monitor started
    std::uint64_t bytesReceived = 0;
    int failed = 0; // since the link was last opened
    int retried = 0;
    std::optional<WireFailure> lastFailure;
};

// Failed and retried transactions within a stretch of time.
struct WireTrouble {
    int failed = 0;
    int retried = 0;
};

// "Link: 0 errors", "Link: 3 retries in the last minute", ...
QString LinkHealthText(const WireTrouble& lastMinute);

class WireRecorder final : public LinkObserver {
public:
    // startedAt: the link clock's time when the monitor starts; every time shown counts from it.
    explicit WireRecorder(double startedAt, std::size_t capacity = WireLog::kDefaultCapacity)
        : startedAt_(startedAt), log_(capacity) {}

    // The address where a board holds its board number: a good read of it names the board on
    // the cable for the transactions that follow.
    void setBoardAddress(const QString& address) { boardAddress_ = address; }
    double startedAt() const { return startedAt_; }
    const WireLog& log() const { return log_; }
    const WireCounters& counters() const { return counters_; }
    // The transaction in progress while its reply is overdue (the link may be asking whether to
    // go on waiting): what it is for and when it began.
    std::optional<WireFailure> overdue() const;
    // Failed and retried transactions in the last `seconds` before `now` (the link's clock).
    WireTrouble recentTrouble(double now, double seconds = 60.0);

    // Hears every transaction once it is decoded, before the link reports its result (the
    // change log); it must be quick and must never use the link.
    std::function<void(const WireTransaction&)> onTransaction;

    void linkOpened(double at) override;
    void transactionBegun(WireKind kind, const QString& subject, const QString& value,
                          double at) override;
    void wireEvent(WireEvent event, std::uint8_t byte, double at) override;
    void transactionEnded(const QString& value, bool failed, double at) override;

private:
    struct Seen {
        bool failed;
        QString value;
    };

    double startedAt_;
    WireLog log_;
    WireCounters counters_;
    QString boardAddress_;
    int board_ = 0;
    bool open_ = false;
    double currentAt_ = 0; // when the open transaction began, on the link's clock
    WireTransaction current_;
    // How each address (of each kind, on each board) went last: a repeat after a failure is a
    // retry, a read that agrees with the one before it confirms it.
    QHash<QString, Seen> seen_;
    std::deque<std::pair<double, bool>> trouble_; // when, and whether a failure (else a retry)
};

// Exchanges a second and the share of the time the line carries bytes at a given speed, over
// the last second, from the recorder's byte counts sampled as often as the reader likes.
class WireRate {
public:
    void sample(double now, const WireCounters& counters);
    double exchangesPerSecond() const;
    double busyShare(int baud) const;

private:
    struct Sample {
        double at;
        std::uint64_t sent;
        std::uint64_t received;
    };
    double span() const { return samples_.size() < 2 ? 0 : samples_.back().at - samples_[0].at; }
    std::deque<Sample> samples_;
};

} // namespace talvern::link
