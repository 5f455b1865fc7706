#include "SimulatedBoards.h"

#include <algorithm>
#include <chrono>

namespace talvern::boards {

namespace {

struct AlarmBit {
    std::uint16_t address;
    int bit;
    bool activeLow;
};

std::optional<AlarmBit> alarmBit(int alarm) {
    if (alarm >= 1 && alarm <= 7) return AlarmBit{k2510::kAlarms, alarm, alarm == 5 || alarm == 7};
    switch (alarm) {
        case 8:
            return AlarmBit{k2510::kSlot10, 4, false};
        case 9:
            return AlarmBit{static_cast<std::uint16_t>(k2510::kFlags + k2510::kDieSensorFlag / 8),
                            k2510::kDieSensorFlag % 8, false};
        case 10:
            return AlarmBit{
                static_cast<std::uint16_t>(k2510::kFlags + k2510::kTimingSignalFlag / 8),
                k2510::kTimingSignalFlag % 8, false};
        case 11:
            return AlarmBit{k2510::kSlot11 + 1, 7, false};
        default:
            return std::nullopt;
    }
}

double wallClockCrank() {
    using namespace std::chrono;
    const auto ms = duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
    // 250 strokes a minute = 1.5 degrees a millisecond.
    return static_cast<double>((ms % 240) * 3) / 2.0;
}

} // namespace

bool SimulatedBoards::Countdown::take() {
    if (count <= 0) return false;
    if (skip > 0) {
        --skip;
        return false;
    }
    --count;
    return true;
}

SimulatedBoards::SimulatedBoards(Clock& clock, std::optional<double> crankAtStart)
    : clock_(clock), k2510_(clock, crankAtStart ? *crankAtStart : wallClockCrank()),
      r7520_(clock, k2510_) {}

Board& SimulatedBoards::board(BoardId id) {
    if (id == BoardId::K2510) return k2510_;
    return r7520_;
}

void SimulatedBoards::moveCable(BoardId board) {
    if (board == cable_) return;
    cable_ = board;
    // The new board starts listening from scratch; whatever was on the old wire is gone.
    this->board(board).resetLink();
    replies_.clear();
}

void SimulatedBoards::setHighSpeed(bool high) {
    k2510_.update();
    k2510_.setHighSpeed(high);
}

void SimulatedBoards::setAlarm(int alarm, bool active) {
    const auto a = alarmBit(alarm);
    if (!a) return;
    k2510_.pokeBit(a->address, a->bit, active != a->activeLow);
}

bool SimulatedBoards::alarmActive(int alarm) {
    const auto a = alarmBit(alarm);
    if (!a) return false;
    return k2510_.peekBit(a->address, a->bit) != a->activeLow;
}

void SimulatedBoards::corruptReplies(int count, int skip) {
    corrupt_ = {skip, count};
}
void SimulatedBoards::dropReplies(int count, int skip) {
    drop_ = {skip, count};
}

void SimulatedBoards::injectFault(Fault fault, long position, double seconds) {
    fault_ = fault;
    faultAt_ = sent_ + std::max(0L, position);
    faultSeconds_ = seconds;
}

void SimulatedBoards::injectProgramFault(ProgramFault fault, int afterRecords) {
    programFault_ = fault;
    programFaultAt_ = board(cable_).programRecords() + afterRecords;
}

void SimulatedBoards::clearFaults() {
    silent_ = false;
    fault_.reset();
    silentUntil_ = 0;
    programFault_ = ProgramFault::None;
    corrupt_ = {};
    drop_ = {};
    replyDelay_ = 0;
    k2510_.setPlsStuckBusy(false);
    r7520_.setCaptureStuck(false);
}

void SimulatedBoards::hostSend(std::uint8_t byte) {
    double now = clock_.now();
    if (baud_ > 0) {
        // The byte reaches the board once it has crossed the wire behind any byte before it.
        now = std::max(now, hostLineFreeAt_) + 10.0 / baud_;
        hostLineFreeAt_ = now;
    }
    std::optional<Fault> fault;
    if (fault_ && sent_ == faultAt_) {
        fault = fault_;
        fault_.reset();
    }
    ++sent_;
    if (fault == Fault::CablePulled) plugged_ = false;
    if (fault == Fault::Silence) silentUntil_ = now + faultSeconds_;
    if (!plugged_ || silent_ || now < silentUntil_) return;
    ++delivered_;
    Board& target = board(cable_);
    const long before = target.programRecords();
    auto reply = target.receive(byte);
    if (programFault_ != ProgramFault::None && target.programRecords() > before &&
        before >= programFaultAt_) {
        // The record's sum is the reply at fault.
        if (programFault_ == ProgramFault::Silence) {
            silent_ = true;
            reply.reset();
        } else {
            reply = static_cast<std::uint8_t>(*reply + 1);
        }
        programFault_ = ProgramFault::None;
    }
    if (!reply) return;
    if (drop_.take() || fault == Fault::LostReply) return;
    std::uint8_t out = *reply;
    if (corrupt_.take() || fault == Fault::CorruptedReply)
        out = static_cast<std::uint8_t>(out ^ 0x5A);
    double at = now + replyDelay_;
    if (baud_ > 0) at += 10.0 / baud_;
    if (!replies_.empty()) at = std::max(at, replies_.back().at);
    replies_.push_back({at, out});
    if (fault == Fault::StrayByte) replies_.push_back({at, out});
}

int SimulatedBoards::repliesAvailable() {
    const double now = clock_.now();
    return static_cast<int>(std::count_if(replies_.begin(), replies_.end(),
                                          [now](const Reply& r) { return r.at <= now; }));
}

bool SimulatedBoards::replyAvailable() {
    return !replies_.empty() && replies_.front().at <= clock_.now();
}

int SimulatedBoards::takeReply() {
    if (!replyAvailable()) return -1;
    const std::uint8_t b = replies_.front().byte;
    replies_.pop_front();
    ++repliesSent_;
    return b;
}

void SimulatedBoards::discardReplies() {
    const double now = clock_.now();
    while (!replies_.empty() && replies_.front().at <= now)
        replies_.pop_front();
}

std::optional<double> SimulatedBoards::nextReplyTime() const {
    if (replies_.empty()) return std::nullopt;
    return replies_.front().at;
}

} // namespace talvern::boards
