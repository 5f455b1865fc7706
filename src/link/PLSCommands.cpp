// The PLS command set: a mode handshake whose mode byte is the command code, then parameter
// bytes the PLS acknowledges with 0x55, or reply bytes the host clocks out with 0x55.
#include "BusyScope.h"
#include "RSComm.h"

namespace talvern::link {

namespace {
constexpr int kAck = 0x55;
constexpr int kReadyPoll = 0x38;
constexpr int kFailedRead = -9999;
const QString kCRLF = QStringLiteral("\r\n");

// Bookkeeping mode numbers of the PLS commands.
enum PlsMode {
    ChannelMode = 3,
    ReadWordMode = 4,
    SendWordMode = 5,
    RecallMode = 6,
    SendBlockMode = 7,
    ReadBlockMode = 8
};
enum PlsCode {
    ScaleFactorCode = 24,
    OffsetCode = 40,
    PositionCode = 72,
    RpmCode = 88,
    SetOffsetCode = 42,
    SetScaleCode = 26,
    ChannelCode = 27,
    PulseTrainCode = 43,
    ReadConfigCode = 12,
    RecallCode = 9,
};
constexpr int kConfigBlockCodes[4] = {59, 75, 91, 107};
} // namespace

int RSComm::PLSReadWord(int code) {
    CurrentMode = 0;
    if (!SetPLCMode(ReadWordMode, code) || CommError) {
        CurrentMode = 0;
        trouble_ = true;
        return kFailedRead;
    }
    const int low = RSSendByte(kAck, false, false);
    const int high = low == kFailed || CommError ? kFailed : RSSendByte(kAck, false, false);
    CurrentMode = 0;
    if (high == kFailed || CommError) {
        trouble_ = true;
        return kFailedRead;
    }
    return high * 256 + low;
}

int RSComm::PLSReadWordAgreed(int code) {
    int readings[2] = {};
    int count = 0;
    int failures = 0;
    while (failures < 3 && count < 3) {
        const int resends = resends_;
        const int outOfStep = outOfStep_;
        const int word = PLSReadWord(code);
        if (CommError) return kFailedRead;
        if (word == kFailedRead || resends_ != resends || outOfStep_ != outOfStep) {
            drainFirst_ = true;
            ++failures;
            continue;
        }
        if (count > 0 && (word == readings[0] || (count > 1 && word == readings[1]))) return word;
        if (count < 2) readings[count] = word;
        ++count;
    }
    trouble_ = true;
    return kFailedRead;
}

bool RSComm::PLSSendWord(int code, int value) {
    CurrentMode = 0;
    bool ok = SetPLCMode(SendWordMode, code);
    for (int byte : {value & 0xFF, (value / 256) & 0xFF}) {
        if (!ok) break;
        ok = RSSendByte(byte, false, false) == kAck;
    }
    if (ok) ok = !CommError && WaitPLSReady();
    CurrentMode = 0;
    if (!ok) trouble_ = true;
    return ok;
}

bool RSComm::PLSSendChannel(int code, int channel, int a, int b, int flag) {
    CurrentMode = 0;
    bool ok = SetPLCMode(ChannelMode, code);
    for (int byte : {channel, a & 255, (a / 256) & 0xFF, b & 255, (b / 256) & 0xFF, flag}) {
        if (!ok) break;
        ok = RSSendByte(byte, false, false) == kAck;
    }
    if (ok) ok = !CommError && WaitPLSReady();
    CurrentMode = 0;
    if (!ok) trouble_ = true;
    return ok;
}

bool RSComm::PLSSendBlock(int code, const std::array<int, 6>& values) {
    CurrentMode = 0;
    bool ok = SetPLCMode(SendBlockMode, code);
    for (int value : values) {
        if (!ok) break;
        ok = RSSendByte(value, false, false) == kAck;
    }
    if (ok) ok = !CommError && WaitPLSReady();
    CurrentMode = 0;
    if (!ok) trouble_ = true;
    return ok;
}

bool RSComm::PLSReadBlock(int code) {
    CurrentMode = 0;
    if (!SetPLCMode(ReadBlockMode, code)) {
        trouble_ = true;
        return false;
    }
    for (std::int16_t& element : plsConfig_) {
        const int reply = RSSendByte(kAck, false, false);
        if (reply == kFailed || CommError) {
            trouble_ = true;
            return false;
        }
        element = static_cast<std::int16_t>(reply);
    }
    // CurrentMode stays at the block mode, which makes the next read or write hand-shake.
    return true;
}

bool RSComm::WaitPLSReady() {
    double deadline = clock_.now() + 3.0;
    for (;;) {
        if (clock_.now() >= deadline) {
            const Answer answer =
                Ask(QStringLiteral("Cannot Determine PLS READY Mode Within Target Board."),
                    QStringLiteral("WARNING - Communication Error!"), Buttons::RetryCancel,
                    Icon::Critical);
            if (answer != Answer::Retry) {
                CommError = true;
                return false;
            }
            deadline = clock_.now() + 2.0;
        }
        if (CommError) return false;
        if (RSSendByte(kReadyPoll, false, false) != kAck) continue;
        if (RSSendByte(kAck, false, false) == 0) {
            RSSendByte(kAck, false, false);
            return true;
        }
    }
}

bool RSComm::PLSRecall(int channel) {
    CurrentMode = 0;
    auto fail = [this](std::int16_t state) {
        trouble_ = true;
        recallState_ = state;
        recallPos_ = 0;
        CurrentMode = 0;
        return false;
    };
    if (!SetPLCMode(RecallMode, RecallCode) || CommError) return fail(2);
    if (RSSendByte(channel, false, false) != kAck) return fail(CommError ? 0 : 2);
    int reply[3] = {};
    for (int& r : reply) {
        r = RSSendByte(kAck, false, false);
        if (r == kFailed || CommError) return fail(0);
    }
    recallState_ = static_cast<std::int16_t>(reply[0]);
    if (reply[2] > 16) return fail(2);
    recallPos_ = reply[2] * 256 + reply[1];
    CurrentMode = 0;
    return true;
}

// ---------------------------------------------------------------------------------------------
// Public PLS operations

QString RSComm::PLSScaleFactor() {
    BusyScope busy(*this);
    TransactionScope transaction(*this);
    return QString::number(PLSReadWord(ScaleFactorCode));
}

QString RSComm::PLSOffset() {
    BusyScope busy(*this);
    TransactionScope transaction(*this);
    return QString::number(PLSReadWord(OffsetCode));
}

QString RSComm::PLSPos() {
    BusyScope busy(*this);
    TransactionScope transaction(*this);
    return QString::number(PLSReadWord(PositionCode));
}

QString RSComm::PLSRpm() {
    BusyScope busy(*this);
    TransactionScope transaction(*this);
    return QString::number(PLSReadWord(RpmCode));
}

bool RSComm::SingleSetpoint(std::int16_t Chan, std::int16_t OnSetpoint, std::int16_t OffSetpoint,
                            bool ClearChan) {
    BusyScope busy(*this);
    TransactionScope transaction(*this);
    if (CommError) return false;
    const int scale = PLSReadWordAgreed(ScaleFactorCode);
    if (scale == kFailedRead) return false;
    for (int setpoint : {static_cast<int>(OnSetpoint), static_cast<int>(OffSetpoint)}) {
        if (setpoint > scale - 1) {
            Ask(QStringLiteral("Setpoint setting %1 is greater than scale factor.").arg(setpoint) +
                    kCRLF + kCRLF + QStringLiteral("Channel can not be programmed."),
                QStringLiteral("PLS Single Setpoint"), Buttons::Ok, Icon::Exclamation);
            return false;
        }
    }
    if (ClearChan && (!PLSSendChannel(ChannelCode, Chan, 0, 0, 0) || CommError)) return false;
    return PLSSendChannel(ChannelCode, Chan, OnSetpoint, OffSetpoint, 1);
}

bool RSComm::ClearPLSChan(std::int16_t Chan) {
    BusyScope busy(*this);
    TransactionScope transaction(*this);
    return PLSSendChannel(ChannelCode, Chan, 0, 0, 0);
}

bool RSComm::PulseTrain(std::int16_t Chan, std::int16_t ON_Division, std::int16_t OFF_Division,
                        std::int16_t START_Division) {
    BusyScope busy(*this);
    TransactionScope transaction(*this);
    const QString notProgrammed =
        kCRLF + kCRLF + QStringLiteral("PLS Channel will not be Programmed.");
    auto refuse = [&](const QString& text, Icon icon) {
        Ask(text + notProgrammed, QStringLiteral("PLS Pulse Train"), Buttons::Ok, icon);
        return false;
    };
    const int scale = PLSReadWordAgreed(ScaleFactorCode);
    if (scale == kFailedRead) return false;
    if (ON_Division == 0 || OFF_Division == 0)
        return refuse(QStringLiteral("ON Division and OFF Division Must be Greater Than 0."),
                      Icon::Exclamation);
    const int period = ON_Division + OFF_Division;
    if (period == 0 || scale % period != 0)
        return refuse(QStringLiteral("ON Division Plus OFF Division") + kCRLF +
                          QStringLiteral("Must be a Multiple of %1.").arg(scale),
                      Icon::Exclamation);
    if (ON_Division > 255 || OFF_Division > 255)
        return refuse(QStringLiteral("ON Division or OFF Division Must be Less Than 255."),
                      Icon::Exclamation);
    if (START_Division > scale - 1)
        return refuse(QStringLiteral("Start Position Must Not Be Greater Than %1.").arg(scale - 1),
                      Icon::Exclamation);
    if (!PLSSendChannel(PulseTrainCode, Chan, START_Division,
                        (ON_Division & 0xFF) | ((OFF_Division & 0xFF) << 8), 0))
        return refuse(QStringLiteral("Error Encountered while Programming Pulse Train."),
                      Icon::Information);
    return !CommError;
}

bool RSComm::RecallChannel(std::int16_t Chan) {
    BusyScope busy(*this);
    TransactionScope transaction(*this);
    return PLSRecall(Chan);
}

bool RSComm::SetPLSOffset(std::int16_t Position) {
    BusyScope busy(*this);
    TransactionScope transaction(*this);
    if (CommError) return false;
    const int offset = PLSReadWordAgreed(OffsetCode);
    if (offset == kFailedRead) return false;
    const int position = PLSReadWordAgreed(PositionCode);
    if (position == kFailedRead) return false;
    const int scale = PLSReadWordAgreed(ScaleFactorCode);
    if (scale == kFailedRead) return false;
    if (Position > scale) {
        Ask(QStringLiteral("Desired Position cannot be greater than Scale Factor of %1.")
                    .arg(scale) +
                kCRLF + kCRLF + QStringLiteral("PLS Offset will not be Programmed."),
            QStringLiteral("Set PLS Offset"), Buttons::Ok, Icon::Exclamation);
        return false;
    }
    // A PLS without a scale has no position to correct (and the arithmetic would divide by 0).
    if (scale <= 0) return false;
    // offset + position is the raw position of the PLS; the new offset makes the present
    // position read as the wanted one.
    const int newOffset = (scale + ((offset + position) % scale) - Position) % scale;
    return PLSSendWord(SetOffsetCode, newOffset);
}

bool RSComm::PLSConfigDownload(const std::array<std::int16_t, 24>& CfgParam,
                               std::int16_t ScaleFactor) {
    BusyScope busy(*this);
    TransactionScope transaction(*this);
    for (int block = 0; block < 4; ++block) {
        std::array<int, 6> values{};
        for (int i = 0; i < 6; ++i)
            values[i] = CfgParam[block * 6 + i];
        if (!PLSSendBlock(kConfigBlockCodes[block], values)) return false;
    }
    return PLSSendWord(SetScaleCode, ScaleFactor);
}

std::array<std::int16_t, 19> RSComm::PLSConfigUpload() {
    BusyScope busy(*this);
    TransactionScope transaction(*this);
    if (!PLSReadBlock(ReadConfigCode))
        Ask(QStringLiteral("Not able to Upload Configuration from PLS."),
            QStringLiteral("PLS Upload"), Buttons::Ok, Icon::Exclamation);
    return plsConfig_;
}

} // namespace talvern::link
