#pragma once
// Test doubles for the link's collaborators: a clock that jumps instead of sleeping, a serial
// line that answers from a script and records every byte, and scripted message-box answers.

#include "Platform.h"

#include <QString>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <ostream>
#include <vector>

namespace talvern::testing {

class FakeClock final : public link::Clock {
public:
    double now() const override { return now_; }
    void sleepUntil(double t) override {
        if (t > now_) now_ = t;
    }
    void advance(double seconds) { now_ += seconds; }

private:
    double now_ = 1000.0;
};

// A line whose replies come from a responder called with every byte sent. Each byte costs a
// millisecond of virtual time, so loops that poll the board make progress in time.
class ScriptedLine final : public link::SerialLine {
public:
    using Responder = std::function<std::optional<int>(std::uint8_t)>;
    explicit ScriptedLine(FakeClock& clock) : clock_(clock) {}

    void setResponder(Responder responder) { responder_ = std::move(responder); }
    // Replies taken in order for the next bytes sent; std::nullopt = silence for that byte.
    void script(std::initializer_list<std::optional<int>> replies);
    // The device goes away after that many more bytes (an adapter pulled out): the line closes
    // and answers nothing more until it is opened again.
    void goneAfter(int bytes) { goneAfter_ = bytes; }

    bool open(const link::PortSettings& settings, int*, QString*) override {
        openedWith = settings;
        goneAfter_ = -1;
        return open_ = true;
    }
    void close() override { open_ = false; }
    bool isOpen() const override { return open_; }
    void sendByte(std::uint8_t byte) override;
    int bytesWaiting() override { return static_cast<int>(pending_.size()); }
    int takeByte() override;
    void discardInput() override { pending_.clear(); }
    bool waitForInput(double deadline) override;

    std::vector<std::uint8_t> sent;     // every byte sent since the last clearLog()
    std::vector<std::uint8_t> received; // every byte taken
    std::vector<double> sendTimes;
    link::PortSettings openedWith;
    void clearLog() {
        sent.clear();
        received.clear();
        sendTimes.clear();
    }

private:
    FakeClock& clock_;
    Responder responder_;
    std::deque<std::optional<int>> script_;
    std::deque<std::uint8_t> pending_;
    bool open_ = false;
    int goneAfter_ = -1;
};

// A board small enough to read in a test: memory, the FF/55 handshake, read mode 1 and write
// mode 2. Anything else is answered with silence.
class TinyBoard {
public:
    std::optional<int> operator()(std::uint8_t byte);
    std::uint8_t memory[65536] = {};
    bool silent = false;

private:
    enum class State { Idle, AwaitMode, Read, Write } state_ = State::Idle;
    int step_ = 0;
    int address_ = 0;
};

struct AskedQuestion {
    QString text;
    QString title;
    link::Buttons buttons;
    link::Icon icon;
    bool operator==(const AskedQuestion&) const = default;
};
void PrintTo(const AskedQuestion& q, std::ostream* out);
using Questions = std::vector<AskedQuestion>;

class ScriptedAnswers final : public link::UserAnswers {
public:
    link::Answer ask(const QString& text, const QString& title, link::Buttons buttons,
                     link::Icon icon) override;
    // Answers given in order; when none is left, Cancel (or No, or OK) ends the question.
    std::deque<link::Answer> answers;
    std::vector<AskedQuestion> asked;
    std::function<void(const AskedQuestion&)> onAsk;
};

} // namespace talvern::testing
