#include "ConfirmedReads.h"

#include "VerifiedTransfer.h"

namespace talvern::link {

namespace {
constexpr int kMostFailures = 3; // a value's failed readings before the block gives up
}

ConfirmedReads::ConfirmedReads(RSComm& link, const QStringList& addresses) : link_(link) {
    items_.reserve(addresses.size());
    for (const QString& address : addresses)
        items_.push_back(Item{address, {}, 0, std::nullopt});
    if (items_.empty()) stage_ = Stage::Done;
}

void ConfirmedReads::runToEnd() {
    while (step()) {}
}

void ConfirmedReads::truncate(int n) {
    if (stage_ != Stage::First || n < 0 || n > next_) return;
    items_.resize(n);
    next_ = n;
    if (items_.empty()) stage_ = Stage::Done;
}

bool ConfirmedReads::read(int i) {
    Item& item = items_[i];
    ++taken_;
    last_ = i;
    const std::optional<QString> text = ReadOnce(link_, item.address);
    if (!text) {
        if (link_.CommError || ++item.failures >= kMostFailures) {
            failedAddress_ = item.address;
            stage_ = Stage::Done;
            return false;
        }
        return true;
    }
    item.readings.push_back(text->toLongLong());
    return true;
}

void ConfirmedReads::settle(Item& item) {
    const std::vector<qint64>& r = item.readings;
    for (std::size_t a = 0; a < r.size() && !item.value; ++a)
        for (std::size_t b = a + 1; b < r.size(); ++b)
            if (r[a] == r[b]) {
                item.value = r[a];
                break;
            }
    if (!item.value && r.size() >= 3) item.value = Middle(r[0], r[1], r[2]);
}

void ConfirmedReads::startRound() {
    round_.clear();
    for (int i = 0; i < size(); ++i)
        if (!items_[i].value) round_.push_back(i);
    next_ = 0;
    if (round_.empty()) {
        stage_ = Stage::Done;
        return;
    }
    stage_ = Stage::Again;
    // Read again after a fresh handshake (a reading that failed has already made the link wait
    // for a quiet line before it).
    link_.HandshakeAfresh();
}

bool ConfirmedReads::step() {
    switch (stage_) {
        case Stage::First:
            if (next_ < size()) return read(next_++);
            // The second reading must not share a disturbance with the first: a byte still on
            // the line is dropped before the second pass begins.
            stage_ = Stage::Second;
            next_ = 0;
            link_.HandshakeAfresh();
            [[fallthrough]];
        case Stage::Second: {
            const int i = next_++;
            if (!read(i)) return false;
            settle(items_[i]);
            if (next_ >= size()) startRound();
            return stage_ != Stage::Done;
        }
        case Stage::Again: {
            const int i = round_[next_++];
            if (!read(i)) return false;
            settle(items_[i]);
            if (next_ >= static_cast<int>(round_.size())) startRound();
            return stage_ != Stage::Done;
        }
        case Stage::Done:
            break;
    }
    return false;
}

} // namespace talvern::link
