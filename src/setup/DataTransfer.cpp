#include "DataTransfer.h"

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
    // The record always has the whole table; a shorter one is padded rather than overrun.
    if (setup_.ParamAdd.size() <= gSetupMax || setup_.ParamValue.size() <= gSetupMax) {
        while (setup_.ParamAdd.size() <= gSetupMax)
            setup_.ParamAdd << QString();
        setup_.ParamValue.resize(gSetupMax + 1, 0);
    }
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
    phase_ = Phase::Report;
}

void DataTransfer::endPlsDownload() {
    plsDownloaded_ = true;
    phase_ = Phase::Report;
}

bool DataTransfer::step() {
    switch (phase_) {
        case Phase::CheckBoard:
            if (cancel_ || link_.CommError) {
                endParameters();
            } else if (!checkTargetBoard_(mode_.board)) {
                error_ = true;
                endParameters();
            } else {
                phase_ = Phase::Parameter;
            }
            return true;

        case Phase::Parameter:
            if (mode_.upload) {
                setup_.ParamValue[index_] = NumberOf(link_.RSRead(setup_.ParamAdd.at(index_)));
            } else {
                link_.RSWrite(setup_.ParamAdd.at(index_),
                              QString::number(setup_.ParamValue[index_]));
            }
            ++progress_;
            if (++index_ > mode_.last)
                endParameters();
            else
                phase_ = Phase::CheckBoard;
            return true;

        case Phase::PlsUploadStart:
            label_ = QStringLiteral("Uploading PLS from K2510, Please Standby...");
            phase_ = Phase::PlsConfigUpload;
            return true;

        case Phase::PlsConfigUpload: {
            const std::array<std::int16_t, 19> words = link_.PLSConfigUpload();
            if (!link_.CommError) StorePLSUpload(words, setup_);
            phase_ = link_.CommError ? Phase::Report : Phase::PlsScale;
            return true;
        }

        case Phase::PlsScale: {
            // A failed read gives no scale; the record keeps the one it had rather than the
            // failure mark, which a later download would send to the PLS.
            const QString scale = link_.PLSScaleFactor();
            if (!link_.CommError) setup_.PLSScale = static_cast<std::int16_t>(NumberOf(scale));
            phase_ = link_.CommError ? Phase::Report : Phase::PlsOffset;
            return true;
        }

        case Phase::PlsOffset: {
            const QString offset = link_.PLSOffset();
            if (!link_.CommError) setup_.PLSOfs = static_cast<std::int16_t>(NumberOf(offset));
        }
            channel_ = 0;
            pass_ = 0;
            phase_ = Phase::PlsRecall;
            return true;

        case Phase::PlsRecall:
            if (channel_ > 7 || link_.CommError || error_) {
                phase_ = Phase::Report;
                return true;
            }
            if (!link_.RecallChannel(static_cast<std::int16_t>(channel_))) {
                error_ = true;
                return true;
            }
            switch (link_.ChannelRecallState()) {
                case 1:
                    setup_.PLSSetpoint[channel_][0] = link_.ChannelRecallPos();
                    break;
                case 0:
                    setup_.PLSSetpoint[channel_][1] = link_.ChannelRecallPos();
                    break;
                default:
                    // No setpoints on this channel: it is unused.
                    setup_.PLSSetpoint[channel_] = {0, 0};
                    pass_ = 1;
                    break;
            }
            if (++pass_ >= 2) {
                pass_ = 0;
                ++channel_;
            }
            return true;

        case Phase::PlsDownloadStart:
            label_ = QStringLiteral("Downloading PLS Data to K2510, Please Standby...");
            phase_ = Phase::PlsConfigDownload;
            return true;

        case Phase::PlsConfigDownload:
            if (!link_.PLSConfigDownload(PLSDownloadArray(setup_), setup_.PLSScale)) error_ = true;
            channel_ = 0;
            phase_ = Phase::PlsChannel;
            return true;

        case Phase::PlsChannel: {
            if (channel_ > 7 || link_.CommError) {
                endPlsDownload();
                return true;
            }
            const auto c = static_cast<std::int16_t>(channel_);
            const std::int16_t on = setup_.PLSSetpoint[channel_][0];
            const std::int16_t off = setup_.PLSSetpoint[channel_][1];
            const bool ok = (on != 0 || off != 0) ? link_.SingleSetpoint(c, on, off, true)
                                                  : link_.ClearPLSChan(c);
            if (!ok) {
                error_ = true;
                endPlsDownload();
                return true;
            }
            ++channel_;
            return true;
        }

        case Phase::Report:
            if (link_.CommError || error_) {
                failed_ = true;
                answers_.ask(kProcessErrorText, kProcessErrorTitle, link::Buttons::Ok,
                             link::Icon::Exclamation);
                events_.processPendingEvents();
            }
            phase_ = Phase::Done;
            return false;

        case Phase::Done:
            return false;
    }
    return false;
}

} // namespace talvern::setup
