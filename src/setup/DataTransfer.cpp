#include "DataTransfer.h"

#include "SetupFiles.h"
#include "VerifiedTransfer.h"

namespace talvern::setup {

namespace {
const std::array<TransferMode, 4>& Modes() {
    static const std::array<TransferMode, 4> modes{{
        {kUploadK2510, kBoardK2510, 0, 13, true, true, 14,
         QStringLiteral("Uploading Data from K2510, Please Standby...")},
        {kUploadR7520, kBoardR7520, 14, 30, true, false, 18,
         QStringLiteral("Uploading Data from R7520, Please Standby...")},
        {kDownloadK2510, kBoardK2510, 0, 7, false, true, 9,
         QStringLiteral("Downloading Set-up Data to K2510, Please Standby...")},
        {kDownloadR7520, kBoardR7520, 14, 21, false, false, 9,
         QStringLiteral("Downloading Set-up Data to R7520, Please Standby...")},
    }};
    return modes;
}

int NumberOf(const QString& text) {
    bool ok = false;
    const int n = text.trimmed().toInt(&ok);
    return ok ? n : 0;
}

QString ChannelName(int channel) {
    return QStringLiteral("PLS channel CH0%1").arg(channel);
}
} // namespace

const QString DataTransfer::kProcessErrorText =
    QStringLiteral("Error Processing Request\r\n\r\nProcess Not Complete");
const QString DataTransfer::kProcessErrorTitle = QStringLiteral("Process Error");

const TransferMode* FindTransferMode(int mode) {
    for (const TransferMode& m : Modes())
        if (m.mode == mode) return &m;
    return nullptr;
}

std::array<std::int16_t, 24> PLSDownloadArray(const SetupData& s) {
    std::array<std::int16_t, 24> cfg{};
    cfg[18] = s.PLSCfg0;
    cfg[0] = s.PLSCfg1;
    for (int i = 0; i < 4; ++i)
        cfg[1 + i] = s.PLSCfgRest[i];
    for (int i = 4; i < 8; ++i)
        cfg[2 + i] = s.PLSCfgRest[i];
    return cfg;
}

QString PLSScaleRefusal(const SetupData& s) {
    if (s.PLSScale > 0) return {};
    return QStringLiteral("The PLS scale factor of the set-up data is %1.\r\n"
                          "The PLS data cannot be downloaded.")
        .arg(s.PLSScale);
}

void StorePLSUpload(const std::array<std::int16_t, 19>& words, SetupData& s) {
    s.PLSCfg0 = words[0];
    s.PLSCfg1 = words[1];
    for (int i = 0; i < 8; ++i)
        s.PLSCfgRest[i] = words[2 + i];
}

DataTransfer::DataTransfer(int mode, link::RSComm& link, SetupData& setup,
                           link::UserAnswers& answers, link::EventPump& events,
                           std::function<bool(int)> checkTargetBoard)
    : link_(link), setup_(setup), answers_(answers), events_(events),
      checkTargetBoard_(std::move(checkTargetBoard)) {
    const TransferMode* m = FindTransferMode(mode);
    if (!m) {
        phase_ = Phase::Done;
        return;
    }
    mode_ = *m;
    label_ = mode_.label;
    index_ = mode_.first;
    // The copy always has the whole table; a shorter record is filled from it.
    working_ = FittedToTable(setup_);
    if (mode_.upload) reads_.emplace(link_, rowAddresses(mode_.first, mode_.last + 1));
}

QStringList DataTransfer::rowAddresses(int first, int end) const {
    QStringList addresses;
    for (int i = first; i < end; ++i)
        addresses.append(QString::fromLatin1(ParameterTable()[i].address));
    return addresses;
}

void DataTransfer::runToEnd() {
    while (step()) {}
}

void DataTransfer::endParameters() {
    if (cancel_) cancelledAny_ = true;
    // Neither PLS part runs on a board that was not confirmed; a cancelled download writes
    // nothing more.
    if (mode_.pls && !link_.CommError && !error_) {
        if (mode_.upload) {
            phase_ = Phase::PlsUploadStart;
            return;
        }
        if (!cancel_) {
            phase_ = Phase::PlsDownloadStart;
            return;
        }
    }
    if (!mode_.upload && !link_.CommError && !error_)
        startReadBack();
    else
        phase_ = Phase::Report;
}

void DataTransfer::fail(const QString& reason) {
    error_ = true;
    reason_ = reason;
    phase_ = Phase::Report;
}

// The ON and OFF points of a channel from two recalls (each says which point it gives), or
// {0, 0} for a channel without setpoints; nothing when a recall failed.
std::optional<std::array<std::int16_t, 2>> DataTransfer::recallPoints(int channel) {
    std::array<std::int16_t, 2> points = working_.PLSSetpoint[channel];
    for (int pass = 0; pass < 2; ++pass) {
        if (!link_.RecallChannel(static_cast<std::int16_t>(channel)) ||
            link_.LastTransactionFailed())
            return std::nullopt;
        switch (link_.ChannelRecallState()) {
            case 1:
                points[0] = link_.ChannelRecallPos();
                break;
            case 0:
                points[1] = link_.ChannelRecallPos();
                break;
            default:
                // No setpoints on this channel: it is unused.
                return std::array<std::int16_t, 2>{0, 0};
        }
    }
    return points;
}

void DataTransfer::endPlsDownload() {
    plsDownloaded_ = true;
    startReadBack();
}

void DataTransfer::startReadBack() {
    reads_.emplace(link_, rowAddresses(mode_.first, writtenEnd_));
    phase_ = Phase::ReadBack;
}

bool DataTransfer::step() {
    switch (phase_) {
        case Phase::CheckBoard:
            if (cancel_ && mode_.upload && !link_.CommError) {
                // What the first pass has read is kept, once confirmed.
                cancelledAny_ = true;
                reads_->truncate(reads_->firstPassRead());
                phase_ = Phase::Confirm;
            } else if (cancel_ || link_.CommError) {
                endParameters();
            } else if (!checkTargetBoard_(mode_.board)) {
                error_ = true;
                endParameters();
            } else {
                phase_ = Phase::Parameter;
            }
            return true;

        case Phase::Parameter: {
            if (mode_.upload) {
                // The first reading of this row; the second pass confirms it.
                if (!reads_->step() && reads_->failed()) {
                    fail(link::ReadFailedMessage(reads_->failedAddress()));
                    return true;
                }
            } else {
                const QString address = QString::fromLatin1(ParameterTable()[index_].address);
                writtenEnd_ = index_ + 1;
                if (!link::WriteVerified(link_, address,
                                         QString::number(working_.ParamValue[index_]))) {
                    fail(link::WriteFailedMessage(address));
                    return true;
                }
            }
            ++progress_;
            if (++index_ <= mode_.last)
                phase_ = Phase::CheckBoard;
            else if (mode_.upload)
                phase_ = Phase::Confirm;
            else
                endParameters();
            return true;
        }

        case Phase::Confirm:
            if (reads_->step()) return true;
            if (reads_->failed()) {
                fail(link::ReadFailedMessage(reads_->failedAddress()));
                return true;
            }
            for (int k = 0; k < reads_->size(); ++k)
                working_.ParamValue[mode_.first + k] = static_cast<std::int32_t>(reads_->value(k));
            endParameters();
            return true;

        case Phase::PlsUploadStart:
            label_ = QStringLiteral("Uploading PLS from K2510, Please Standby...");
            phase_ = Phase::PlsConfigUpload;
            return true;

        case Phase::PlsConfigUpload: {
            using Words = std::array<std::int16_t, 19>;
            const std::optional<Words> words =
                link::ReadAgreed<Words>(link_, [this]() -> std::optional<Words> {
                    const Words w = link_.PLSConfigUpload();
                    if (link_.LastTransactionFailed()) return std::nullopt;
                    return w;
                });
            if (!words) {
                fail(link::ReadFailedMessage(QStringLiteral("the PLS configuration")));
                return true;
            }
            StorePLSUpload(*words, working_);
            phase_ = Phase::PlsScale;
            return true;
        }

        case Phase::PlsScale: {
            const std::optional<std::int16_t> scale = link::ReadAgreed<std::int16_t>(
                link_, [this] { return link::ReadOnce(link_, &link::RSComm::PLSScaleFactor); });
            if (!scale) {
                fail(link::ReadFailedMessage(QStringLiteral("the PLS scale factor")));
                return true;
            }
            working_.PLSScale = *scale;
            phase_ = Phase::PlsOffset;
            return true;
        }

        case Phase::PlsOffset: {
            const std::optional<std::int16_t> offset = link::ReadAgreed<std::int16_t>(
                link_, [this] { return link::ReadOnce(link_, &link::RSComm::PLSOffset); });
            if (!offset) {
                fail(link::ReadFailedMessage(QStringLiteral("the PLS offset")));
                return true;
            }
            working_.PLSOfs = *offset;
            channel_ = 0;
            phase_ = Phase::PlsRecall;
            return true;
        }

        case Phase::PlsRecall: {
            if (channel_ > 7) {
                phase_ = Phase::Report;
                return true;
            }
            using Points = std::array<std::int16_t, 2>;
            const std::optional<Points> points =
                link::ReadAgreed<Points>(link_, [this] { return recallPoints(channel_); });
            if (!points) {
                fail(link::ReadFailedMessage(ChannelName(channel_)));
                return true;
            }
            working_.PLSSetpoint[channel_] = *points;
            ++channel_;
            return true;
        }

        case Phase::PlsDownloadStart:
            label_ = QStringLiteral("Downloading PLS Data to K2510, Please Standby...");
            // None of the PLS data is sent with a scale the PLS cannot take.
            if (const QString refusal = PLSScaleRefusal(working_); !refusal.isEmpty()) {
                fail(refusal);
                return true;
            }
            phase_ = Phase::PlsConfigDownload;
            return true;

        case Phase::PlsConfigDownload: {
            plsDownloaded_ = true;
            const std::array<std::int16_t, 24> cfg = PLSDownloadArray(working_);
            if (!link::SendVerified(
                    link_, [&] { return link_.PLSConfigDownload(cfg, working_.PLSScale); })) {
                fail(link::WriteFailedMessage(QStringLiteral("the PLS configuration")));
                return true;
            }
            channel_ = 0;
            phase_ = Phase::PlsChannel;
            return true;
        }

        case Phase::PlsChannel: {
            if (channel_ > 7) {
                endPlsDownload();
                return true;
            }
            const auto c = static_cast<std::int16_t>(channel_);
            const std::int16_t on = working_.PLSSetpoint[channel_][0];
            const std::int16_t off = working_.PLSSetpoint[channel_][1];
            const bool ok = link::SendVerified(link_, [&] {
                return (on != 0 || off != 0) ? link_.SingleSetpoint(c, on, off, true)
                                             : link_.ClearPLSChan(c);
            });
            if (!ok) {
                fail(link::WriteFailedMessage(ChannelName(channel_)));
                return true;
            }
            ++channel_;
            return true;
        }

        case Phase::ReadBack:
            // An attention byte resent in the middle of a later write lands in memory the board
            // had half addressed: so every value written is read back at the end, confirmed,
            // and written again once where it differs.
            if (reads_->step()) return true;
            if (reads_->failed()) {
                fail(link::ReadFailedMessage(reads_->failedAddress()));
                return true;
            }
            index_ = mode_.first;
            phase_ = Phase::ReadBackCheck;
            return true;

        case Phase::ReadBackCheck: {
            if (index_ >= writtenEnd_) {
                phase_ = Phase::Report;
                return true;
            }
            const QString address = QString::fromLatin1(ParameterTable()[index_].address);
            const std::int32_t wanted = working_.ParamValue[index_];
            if (reads_->value(index_ - mode_.first) != wanted) {
                if (!link::WriteVerified(link_, address, QString::number(wanted))) {
                    fail(link::WriteFailedMessage(address));
                    return true;
                }
                const std::optional<QString> held = link::ReadVerified(link_, address);
                if (!held) {
                    fail(link::ReadFailedMessage(address));
                    return true;
                }
                if (NumberOf(*held) != wanted) {
                    fail(link::WriteFailedMessage(address));
                    return true;
                }
            }
            ++index_;
            return true;
        }

        case Phase::Report:
            if (link_.CommError || error_) {
                failed_ = true;
                answers_.ask(reason_.isEmpty()
                                 ? kProcessErrorText
                                 : kProcessErrorText + QStringLiteral("\r\n\r\n") + reason_,
                             kProcessErrorTitle, link::Buttons::Ok, link::Icon::Exclamation);
                events_.processPendingEvents();
            } else if (mode_.upload) {
                setup_ = working_;
            }
            phase_ = Phase::Done;
            return false;

        case Phase::Done:
            return false;
    }
    return false;
}

} // namespace talvern::setup
