#include "WireRecorder.h"

#include <QStringList>
#include <algorithm>

namespace talvern::link {

namespace {

constexpr std::uint8_t kAttention = 0xFF;
constexpr std::uint8_t kAck = 0x55;
constexpr std::uint8_t kReadyPoll = 0x38;
constexpr int kSeenLimit = 4096; // addresses remembered; a program upload would pass 45,000
constexpr std::size_t kTroubleLimit = 10000;

// A byte sent and what came back for it (-1: nothing). The attention byte sent again after a
// silence belongs to the byte first sent, whose reply comes back in its place.
struct Exchange {
    int sent;
    int reply = -1;
};

std::vector<Exchange> Exchanges(const std::vector<WireByte>& bytes) {
    std::vector<Exchange> out;
    bool resend = false;
    for (const WireByte& b : bytes) {
        if (b.event == WireEvent::Sent) {
            if (!resend) out.push_back({b.byte});
            resend = false;
        } else if (b.event == WireEvent::Received) {
            if (!out.empty() && out.back().reply < 0) out.back().reply = b.byte;
        } else if (b.event == WireEvent::Overdue) {
            resend = true;
        }
    }
    return out;
}

// How a transaction went, from its bytes and the link's own verdict.
WireOutcome Verdict(const std::vector<WireByte>& bytes, bool failed) {
    bool overdue = false, repliedSince = false, repeated = false, awaiting = false;
    for (const WireByte& b : bytes) {
        switch (b.event) {
            case WireEvent::Sent:
                awaiting = true;
                break;
            case WireEvent::Received:
                awaiting = false;
                repliedSince = true;
                break;
            case WireEvent::Overdue:
                overdue = true;
                repliedSince = false;
                break;
            case WireEvent::Repeated:
                repeated = true;
                break;
        }
    }
    if (failed) {
        if (overdue) return repliedSince ? WireOutcome::LateReply : WireOutcome::NoReply;
        return awaiting ? WireOutcome::NoReply : WireOutcome::WrongEcho;
    }
    return repeated ? WireOutcome::Retried : WireOutcome::Good;
}

// --- PLS commands: a handshake whose mode byte is the command code, then its parameters ---

enum class Shape { ReadWord, SendWord, Channel, PulseTrain, SendBlock, ReadBlock, Recall };
struct PlsCommand {
    int code;
    Shape shape;
    const char* name;
};
constexpr PlsCommand kPlsCommands[] = {
    {24, Shape::ReadWord, "scale factor"},
    {40, Shape::ReadWord, "offset"},
    {72, Shape::ReadWord, "position"},
    {88, Shape::ReadWord, "speed"},
    {42, Shape::SendWord, "set offset"},
    {26, Shape::SendWord, "set scale factor"},
    {27, Shape::Channel, "channel"},
    {43, Shape::PulseTrain, "pulse train, channel"},
    {59, Shape::SendBlock, "configuration block 1"},
    {75, Shape::SendBlock, "configuration block 2"},
    {91, Shape::SendBlock, "configuration block 3"},
    {107, Shape::SendBlock, "configuration block 4"},
    {12, Shape::ReadBlock, "configuration upload"},
    {9, Shape::Recall, "recall channel"},
};

const PlsCommand* FindPls(int code) {
    for (const PlsCommand& c : kPlsCommands)
        if (c.code == code) return &c;
    return nullptr;
}

std::size_t ParameterCount(Shape shape) {
    switch (shape) {
        case Shape::ReadWord:
        case Shape::SendWord:
            return 2;
        case Shape::ReadBlock:
            return 19;
        case Shape::Recall:
            return 4;
        default:
            return 6;
    }
}

// Subject and value of every command in the transaction (a single setpoint reads the scale
// factor first). Handshakes that were not acknowledged are passed over.
void DecodePls(const std::vector<Exchange>& ex, QString* subject, QString* value,
               bool* changesBoard) {
    QStringList subjects, values;
    std::size_t i = 0;
    while (i + 1 < ex.size()) {
        const PlsCommand* command = FindPls(ex[i + 1].sent);
        if (ex[i].sent != kAttention || ex[i].reply != kAck || ex[i + 1].reply != kAck ||
            !command) {
            ++i;
            continue;
        }
        i += 2;
        const std::size_t n = ParameterCount(command->shape);
        const bool complete = i + n <= ex.size() && ex[i + n - 1].reply >= 0;
        auto sent = [&](std::size_t k) { return ex[i + k].sent; };
        auto reply = [&](std::size_t k) { return ex[i + k].reply; };
        QString name = QString::fromLatin1(command->name);
        QString shown;
        if (complete) {
            switch (command->shape) {
                case Shape::ReadWord:
                    shown = QString::number(reply(1) * 256 + reply(0));
                    break;
                case Shape::SendWord:
                    shown = QString::number(sent(1) * 256 + sent(0));
                    break;
                case Shape::Channel:
                    name += QStringLiteral(" %1").arg(sent(0));
                    shown = sent(5) == 0 && sent(1) + sent(2) + sent(3) + sent(4) == 0
                                ? QStringLiteral("clear")
                                : QStringLiteral("on %1, off %2")
                                      .arg(sent(2) * 256 + sent(1))
                                      .arg(sent(4) * 256 + sent(3));
                    break;
                case Shape::PulseTrain:
                    name += QStringLiteral(" %1").arg(sent(0));
                    shown = QStringLiteral("start %1, on %2, off %3")
                                .arg(sent(2) * 256 + sent(1))
                                .arg(sent(3))
                                .arg(sent(4));
                    break;
                case Shape::SendBlock:
                case Shape::ReadBlock: {
                    QStringList numbers;
                    for (std::size_t k = 0; k < n; ++k)
                        numbers << QString::number(command->shape == Shape::SendBlock ? sent(k)
                                                                                      : reply(k));
                    shown = numbers.join(QLatin1Char(' '));
                    break;
                }
                case Shape::Recall:
                    name += QStringLiteral(" %1").arg(sent(0));
                    shown = QStringLiteral("state %1, position %2")
                                .arg(reply(1))
                                .arg(reply(3) * 256 + reply(2));
                    break;
            }
        }
        subjects << name;
        if (!shown.isEmpty()) values << shown;
        if (command->shape == Shape::SendWord || command->shape == Shape::Channel ||
            command->shape == Shape::PulseTrain || command->shape == Shape::SendBlock)
            *changesBoard = true;
        i = std::min(i + n, ex.size());
        // The ready poll (0x38, then 0x55 until the PLS answers 0) runs up to the next command.
        while (i < ex.size() && (ex[i].sent == kReadyPoll || ex[i].sent == kAck))
            ++i;
    }
    *subject = subjects.join(QStringLiteral(", "));
    *value = values.join(QStringLiteral("; "));
}

// A program record: count, address high and low, the data, then the board's sum of them.
bool DecodeRecord(const std::vector<Exchange>& ex, QString* subject, QString* value) {
    int sum = 0;
    for (const Exchange& e : ex)
        sum += e.sent;
    if (ex.size() >= 3) {
        *subject = QStringLiteral("%1H")
                       .arg(ex[1].sent * 256 + ex[2].sent, 4, 16, QLatin1Char('0'))
                       .toUpper();
        *value = QStringLiteral("%1 bytes").arg(ex[0].sent);
    }
    return ex.empty() || ex.back().reply != (sum & 0xFF); // failed
}

} // namespace

QString LinkHealthText(const WireTrouble& t) {
    auto count = [](int n, const char* one, const char* many) {
        return QStringLiteral("%1 %2").arg(n).arg(QString::fromLatin1(n == 1 ? one : many));
    };
    if (t.failed == 0 && t.retried == 0) return QStringLiteral("Link: 0 errors");
    QStringList parts;
    if (t.failed > 0) parts << count(t.failed, "error", "errors");
    if (t.retried > 0) parts << count(t.retried, "retry", "retries");
    return QStringLiteral("Link: ") + parts.join(QStringLiteral(", ")) +
           QStringLiteral(" in the last minute");
}

WireTrouble WireRecorder::recentTrouble(double now, double seconds) {
    while (!trouble_.empty() && trouble_.front().first < now - seconds)
        trouble_.pop_front();
    WireTrouble t;
    for (const auto& [at, failed] : trouble_)
        ++(failed ? t.failed : t.retried);
    return t;
}

std::optional<WireFailure> WireRecorder::overdue() const {
    if (!open_ || current_.bytes.empty()) return std::nullopt;
    const WireEvent last = current_.bytes.back().event;
    // After an overdue reply the link sends the attention byte again and waits on.
    const bool waiting = last == WireEvent::Overdue ||
                         (last == WireEvent::Sent && current_.bytes.size() >= 2 &&
                          current_.bytes[current_.bytes.size() - 2].event == WireEvent::Overdue);
    if (!waiting) return std::nullopt;
    return WireFailure{WireOutcome::NoReply, current_.subject, current_.startedAt};
}

void WireRecorder::linkOpened(double) {
    counters_.failed = 0;
    counters_.retried = 0;
}

void WireRecorder::transactionBegun(WireKind kind, const QString& subject, const QString& value,
                                    double at) {
    open_ = true;
    currentAt_ = at;
    current_ = WireTransaction{};
    current_.kind = kind;
    current_.subject = subject;
    current_.value = value;
    current_.startedAt = at - startedAt_;
    current_.bytes.reserve(16);
}

void WireRecorder::wireEvent(WireEvent event, std::uint8_t byte, double at) {
    if (event == WireEvent::Sent) ++counters_.bytesSent;
    if (event == WireEvent::Received) ++counters_.bytesReceived;
    if (open_) current_.bytes.push_back({static_cast<float>(at - currentAt_), byte, event});
}

void WireRecorder::transactionEnded(const QString& value, bool failed, double at) {
    if (!open_) return;
    open_ = false;
    // What never reached the cable (a refused value, a link already given up) is not shown.
    if (current_.bytes.empty()) return;
    WireTransaction& t = current_;
    const std::vector<Exchange> ex = Exchanges(t.bytes);
    if (t.kind == WireKind::Read) t.value = value;
    if (t.kind == WireKind::PlsCommand) DecodePls(ex, &t.subject, &t.value, &t.changesBoard);
    if (t.kind == WireKind::Write) t.changesBoard = true;
    if (t.kind == WireKind::ProgramRecord) failed = DecodeRecord(ex, &t.subject, &t.value);
    t.outcome = Verdict(t.bytes, failed);

    if (t.outcome == WireOutcome::NoReply) board_ = 0;
    if (t.kind == WireKind::Read && !failed && !boardAddress_.isEmpty() &&
        t.subject.compare(boardAddress_, Qt::CaseInsensitive) == 0)
        board_ = t.value.toInt();
    t.board = board_;

    if (t.kind != WireKind::Handshake && t.kind != WireKind::ProgramRecord) {
        const QString key = QStringLiteral("%1 %2 ").arg(static_cast<int>(t.kind)).arg(t.board) +
                            t.subject.toUpper();
        const auto it = seen_.constFind(key);
        if (t.outcome == WireOutcome::Good && it != seen_.constEnd()) {
            if (it->failed)
                t.outcome = WireOutcome::Retried;
            else if (t.kind == WireKind::Read && it->value == t.value)
                t.outcome = WireOutcome::Confirmed;
        }
        if (seen_.size() >= kSeenLimit && it == seen_.constEnd()) seen_.clear();
        seen_.insert(key, {IsFailure(t.outcome), t.value});
    }

    const bool failure = IsFailure(t.outcome);
    if (failure || t.outcome == WireOutcome::Retried) {
        ++(failure ? counters_.failed : counters_.retried);
        trouble_.emplace_back(at, failure);
        if (trouble_.size() > kTroubleLimit) trouble_.pop_front();
    }
    if (failure) counters_.lastFailure = WireFailure{t.outcome, t.subject, t.startedAt};
    if (onTransaction) onTransaction(t);
    log_.append(std::move(t));
}

void WireRate::sample(double now, const WireCounters& counters) {
    // After a pause in the looking (the panel was hidden) the rates start afresh.
    if (!samples_.empty() && now - samples_.back().at > 1.0) samples_.clear();
    samples_.push_back({now, counters.bytesSent, counters.bytesReceived});
    // Keep one sample a second or more old, so that the rates cover the last second.
    while (samples_.size() > 2 && samples_[1].at <= now - 1.0)
        samples_.pop_front();
}

double WireRate::exchangesPerSecond() const {
    const double s = span();
    return s > 0 ? static_cast<double>(samples_.back().sent - samples_[0].sent) / s : 0;
}

double WireRate::busyShare(int baud) const {
    const double s = span();
    if (s <= 0 || baud <= 0) return 0;
    const auto bytes = (samples_.back().sent - samples_[0].sent) +
                       (samples_.back().received - samples_[0].received);
    return std::min(1.0, static_cast<double>(bytes) * 10.0 / baud / s);
}

} // namespace talvern::link
