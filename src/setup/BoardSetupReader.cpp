#include "BoardSetupReader.h"

#include "BoardSetupReads.h"
#include "VerifiedTransfer.h"

namespace talvern::setup {

namespace {
// The items of SetupValues() the PLS reads fill, by their address and name.
int ItemOf(const QString& address, const QString& name) {
    const auto& values = SetupValues();
    for (int i = 0; i < static_cast<int>(values.size()); ++i)
        if (values[i].address == address && values[i].name == name) return i;
    return -1;
}
QString Channel(int c) {
    return QStringLiteral("PLS CH0%1").arg(c);
}
} // namespace

BoardSetupReader::BoardSetupReader(Board board, link::RSComm& link,
                                   std::function<bool(int)> checkTargetBoard)
    : link_(link), checkTargetBoard_(std::move(checkTargetBoard)) {
    reading_.board = board;
    const auto& values = SetupValues();
    reading_.values.assign(values.size(), std::nullopt);
    for (int i = 0; i < static_cast<int>(values.size()); ++i)
        if (values[i].board == board && values[i].address.at(0) != QLatin1Char('P'))
            jobs_.push_back({Job::Parameter, i});
    if (board == Board::K2510) {
        jobs_.push_back({Job::PlsConfiguration, 0});
        jobs_.push_back({Job::PlsScale, 0});
        jobs_.push_back({Job::PlsOffset, 0});
        for (int c = 0; c < 8; ++c)
            jobs_.push_back({Job::Channel, c});
    }
}

void BoardSetupReader::failed(const QString& what) {
    if (reading_.failure.isEmpty()) reading_.failure = link::ReadFailedMessage(what);
}

void BoardSetupReader::readOne(const Step& s) {
    auto& v = reading_.values;
    switch (s.job) {
        case Job::Parameter: {
            const QString& address = SetupValues()[s.index].address;
            v[s.index] = ReadParameter(link_, address);
            if (!v[s.index]) failed(address);
            return;
        }
        case Job::PlsConfiguration: {
            const auto words = ReadPlsConfiguration(link_);
            if (!words) {
                failed(QStringLiteral("the PLS configuration"));
                return;
            }
            v[ItemOf(QStringLiteral("PLS"), QStringLiteral("Number of Channels"))] = (*words)[0];
            v[ItemOf(QStringLiteral("PLS"), QStringLiteral("Program"))] = (*words)[1];
            for (int c = 0; c < 8; ++c)
                v[ItemOf(Channel(c), QStringLiteral("Speed Compensation (msec)"))] =
                    (*words)[2 + c];
            return;
        }
        case Job::PlsScale: {
            const auto scale = ReadPlsScale(link_);
            if (!scale) failed(QStringLiteral("the PLS scale factor"));
            if (scale) v[ItemOf(QStringLiteral("PLS"), QStringLiteral("Scale Factor"))] = *scale;
            return;
        }
        case Job::PlsOffset: {
            const auto offset = ReadPlsOffset(link_);
            if (!offset) failed(QStringLiteral("the PLS offset"));
            if (offset) v[ItemOf(QStringLiteral("PLS"), QStringLiteral("Offset"))] = *offset;
            return;
        }
        case Job::Channel: {
            const auto points = ReadChannelPoints(link_, s.index);
            if (!points) {
                failed(QStringLiteral("PLS channel CH0%1").arg(s.index));
                return;
            }
            v[ItemOf(Channel(s.index), QStringLiteral("ON Setpoint"))] = (*points)[0];
            v[ItemOf(Channel(s.index), QStringLiteral("OFF Setpoint"))] = (*points)[1];
            return;
        }
    }
}

bool BoardSetupReader::step() {
    if (done_) return false;
    if (!checked_) {
        checked_ = true;
        if (cancelled_ || link_.CommError || !checkTargetBoard_(BoardNumber(reading_.board))) {
            linkFailed_ = !cancelled_;
            if (linkFailed_)
                reading_.failure = QStringLiteral("The board on the cable was not confirmed.");
            done_ = true;
        }
        return !done_;
    }
    if (cancelled_ || link_.CommError || next_ >= maximum()) {
        if (link_.CommError) {
            linkFailed_ = true;
            if (reading_.failure.isEmpty())
                reading_.failure = QStringLiteral("The link to the board failed.");
        }
        done_ = true;
        return false;
    }
    readOne(jobs_[next_++]);
    return true;
}

} // namespace talvern::setup
