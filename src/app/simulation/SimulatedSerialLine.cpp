#include "SimulatedSerialLine.h"

namespace talvern::app {

bool SimulatedSerialLine::open(const link::PortSettings& settings, int* errorNumber,
                               QString* errorText) {
    settings_ = settings;
    open_ = true;
    if (paced_) boards_.setPacing(settings.baud);
    if (errorNumber) *errorNumber = 0;
    if (errorText) errorText->clear();
    return true;
}

void SimulatedSerialLine::sendByte(std::uint8_t byte) {
    if (open_) boards_.hostSend(byte);
}

int SimulatedSerialLine::bytesWaiting() {
    return open_ ? boards_.repliesAvailable() : 0;
}

int SimulatedSerialLine::takeByte() {
    return open_ ? boards_.takeReply() : -1;
}

void SimulatedSerialLine::discardInput() {
    boards_.discardReplies();
}

bool SimulatedSerialLine::waitForInput(double deadline) {
    if (open_ && boards_.replyAvailable()) return true;
    const auto next = boards_.nextReplyTime();
    if (open_ && next && *next <= deadline) {
        clock_.sleepUntil(*next);
        return boards_.replyAvailable();
    }
    clock_.sleepUntil(deadline);
    return false;
}

} // namespace talvern::app
