#include "FakePlatform.h"

namespace talvern::testing {

void ScriptedLine::script(std::initializer_list<std::optional<int>> replies) {
    script_.insert(script_.end(), replies.begin(), replies.end());
}

void ScriptedLine::sendByte(std::uint8_t byte) {
    if (goneAfter_ == 0) {
        open_ = false;
        pending_.clear();
        return;
    }
    if (goneAfter_ > 0) --goneAfter_;
    clock_.advance(0.001);
    sent.push_back(byte);
    sendTimes.push_back(clock_.now());
    std::optional<int> reply;
    if (!script_.empty()) {
        reply = script_.front();
        script_.pop_front();
    } else if (responder_) {
        reply = responder_(byte);
    }
    if (reply) pending_.push_back(static_cast<std::uint8_t>(*reply));
}

int ScriptedLine::takeByte() {
    if (pending_.empty()) return -1;
    const int byte = pending_.front();
    pending_.pop_front();
    received.push_back(static_cast<std::uint8_t>(byte));
    return byte;
}

bool ScriptedLine::waitForInput(double deadline) {
    if (!pending_.empty()) return true;
    clock_.sleepUntil(deadline);
    return false;
}

std::optional<int> TinyBoard::operator()(std::uint8_t byte) {
    if (silent) return std::nullopt;
    // Inside an address/data triple 0xFF is an ordinary byte (address 0x03FF, data 255).
    if (byte == 0xFF && step_ == 0) {
        state_ = State::AwaitMode;
        return 0x55;
    }
    switch (state_) {
        case State::AwaitMode:
            if (byte == 1 || byte == 2) {
                state_ = byte == 1 ? State::Read : State::Write;
                step_ = 0;
                return 0x55;
            }
            state_ = State::Idle;
            return std::nullopt;
        case State::Read:
            if (step_ == 0) {
                address_ = byte << 8;
                step_ = 1;
                return byte;
            }
            step_ = 0;
            return memory[address_ | byte];
        case State::Write:
            if (step_ == 0)
                address_ = byte << 8;
            else if (step_ == 1)
                address_ |= byte;
            else
                memory[address_] = byte;
            step_ = (step_ + 1) % 3;
            return byte;
        case State::Idle:
            return std::nullopt;
    }
    return std::nullopt;
}

void PrintTo(const AskedQuestion& q, std::ostream* out) {
    *out << '"' << q.title.toStdString() << "\": \"" << q.text.toStdString() << "\" buttons "
         << static_cast<int>(q.buttons) << " icon " << static_cast<int>(q.icon);
}

link::Answer ScriptedAnswers::ask(const QString& text, const QString& title, link::Buttons buttons,
                                  link::Icon icon) {
    asked.push_back({text, title, buttons, icon});
    if (onAsk) onAsk(asked.back());
    if (answers.empty())
        return buttons == link::Buttons::Ok      ? link::Answer::Ok
               : buttons == link::Buttons::YesNo ? link::Answer::No
                                                 : link::Answer::Cancel;
    const link::Answer answer = answers.front();
    answers.pop_front();
    return answer;
}

} // namespace talvern::testing
