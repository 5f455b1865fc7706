#include "BoardSetupReads.h"

#include "VerifiedTransfer.h"

namespace talvern::setup {

namespace {
std::optional<std::int16_t> PlsWord(link::RSComm& link, QString (link::RSComm::*read)()) {
    return link::ReadAgreed<std::int16_t>(link, [&]() -> std::optional<std::int16_t> {
        const QString text = (link.*read)();
        if (link.LastTransactionFailed()) return std::nullopt;
        bool ok = false;
        const int n = text.trimmed().toInt(&ok);
        if (!ok) return std::nullopt;
        return static_cast<std::int16_t>(n);
    });
}

// Two recalls, each naming the point it gives; a channel without setpoints is {0, 0}.
std::optional<std::array<std::int16_t, 2>> RecallOnce(link::RSComm& link, int channel) {
    std::array<std::int16_t, 2> points{0, 0};
    for (int pass = 0; pass < 2; ++pass) {
        if (!link.RecallChannel(static_cast<std::int16_t>(channel)) || link.LastTransactionFailed())
            return std::nullopt;
        switch (link.ChannelRecallState()) {
            case 1:
                points[0] = link.ChannelRecallPos();
                break;
            case 0:
                points[1] = link.ChannelRecallPos();
                break;
            default:
                return std::array<std::int16_t, 2>{0, 0};
        }
    }
    return points;
}
} // namespace

std::optional<std::int32_t> ReadParameter(link::RSComm& link, const QString& address) {
    const std::optional<QString> text = link::ReadVerified(link, address);
    if (!text) return std::nullopt;
    bool ok = false;
    const int n = text->trimmed().toInt(&ok);
    if (!ok) return std::nullopt;
    return n;
}

std::optional<std::array<std::int16_t, 19>> ReadPlsConfiguration(link::RSComm& link) {
    using Words = std::array<std::int16_t, 19>;
    return link::ReadAgreed<Words>(link, [&]() -> std::optional<Words> {
        const Words w = link.PLSConfigUpload();
        if (link.LastTransactionFailed()) return std::nullopt;
        return w;
    });
}

std::optional<std::int16_t> ReadPlsScale(link::RSComm& link) {
    return PlsWord(link, &link::RSComm::PLSScaleFactor);
}

std::optional<std::int16_t> ReadPlsOffset(link::RSComm& link) {
    return PlsWord(link, &link::RSComm::PLSOffset);
}

std::optional<std::array<std::int16_t, 2>> ReadChannelPoints(link::RSComm& link, int channel) {
    using Points = std::array<std::int16_t, 2>;
    return link::ReadAgreed<Points>(link, [&] { return RecallOnce(link, channel); });
}

} // namespace talvern::setup
