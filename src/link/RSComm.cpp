#include "RSComm.h"

#include "BusyScope.h"
#include "SideFiles.h"
#include "WireScope.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace talvern::link {

namespace {
const QString kCommTitle = QStringLiteral("WARNING - Communication Error!");
const QString kCRLF = QStringLiteral("\r\n");
constexpr int kAttention = 0xFF;
constexpr int kAck = 0x55;
} // namespace

RSComm::RSComm(Clock& clock, UserAnswers& answers, EventPump& events, QString programFolder)
    : clock_(clock), answers_(answers), events_(events), programFolder_(std::move(programFolder)),
      userConfigFolder_(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation)) {}

Answer RSComm::Ask(const QString& text, const QString& title, Buttons buttons, Icon icon) {
    BusyScope busy(*this);
    return answers_.ask(text, title, buttons, icon);
}

ParsedAddress RSComm::ParseAddress(const QString& Add) {
    parsed_ = ParseAddressText(Add);
    return parsed_;
}

// ---------------------------------------------------------------------------------------------
// The byte exchange

int RSComm::RSSendByte(int value, bool noReply, bool flushFirst) {
    if (CommError) return kFailed;
    if (port_ == nullptr) {
        CurrentMode = 0;
        CommError = true;
        return kFailed;
    }
    if (flushFirst) port_->discardInput();
    if (!port_->isOpen()) {
        CurrentMode = 0;
        CommError = true;
        return kFailed;
    }
    if (!flushFirst && !noReply && port_->bytesWaiting() > 0) {
        // One byte back for each byte sent, and nothing else: a byte already waiting answers
        // nothing of ours (a stray byte, or a reply that came after its time). Replies from here
        // on may be one behind, so the transaction fails, and the next handshake waits for the
        // line to fall quiet.
        port_->discardInput();
        ++outOfStep_;
        drainFirst_ = true;
    }
    Observe(WireEvent::Sent, value);
    port_->sendByte(static_cast<std::uint8_t>(value & 0xFF));
    ++bytesSent_;
    CommErrorAlert = false;
    if (noReply) return 0;

    double deadline = clock_.now() + 1.0;
    int failures = 0;
    for (;;) {
        if (port_->bytesWaiting() > 0) {
            const int reply = port_->takeByte();
            if (reply >= 0) {
                Observe(WireEvent::Received, reply);
                CommErrorAlert = false;
                return reply;
            }
        }
        if (clock_.now() >= deadline) {
            CurrentMode = 0;
            CommError = true;
            CommErrorAlert = true;
            deadline = clock_.now() + 2.0;
            ++failures;
            ++resends_;
            Observe(WireEvent::Overdue, 0);
            if (failures < 3) {
                // The attention byte brings an idle board back; a late reply is then taken as
                // the answer to the byte first sent, and the caller's echo test catches it.
                CommError = false;
                port_->discardInput();
                Observe(WireEvent::Sent, kAttention);
                port_->sendByte(kAttention);
                continue;
            }
            const Answer answer = Ask(QStringLiteral("Cannot Communicate with Target Board.\r"
                                                     "Verify RS-232 Cable is Connected Between\r"
                                                     "COMM Port and PROG Port."),
                                      kCommTitle, Buttons::RetryCancel, Icon::Critical);
            if (answer != Answer::Retry) {
                CommError = true;
                return kFailed;
            }
            CommError = false;
            failures = 0;
            continue;
        }
        if (!port_->isOpen()) {
            // A port that went away (a USB adapter pulled out) answers nothing more.
            clock_.sleepUntil(deadline);
            continue;
        }
        port_->waitForInput(deadline);
    }
}

// The input buffer is discarded before every handshake, but a reply still crossing the wire
// arrives after that and would pass for the answer to the attention byte, shifting every reply
// after it by one. So the line is first left until it has been quiet for a while.
void RSComm::DrainInput() {
    constexpr double kQuiet = 0.02; // some twenty byte times at 9600 baud
    constexpr int kMostBytes = 256; // a line that never falls quiet is left to the handshake
    if (port_ == nullptr || !port_->isOpen()) return;
    for (int i = 0; i < kMostBytes; ++i) {
        port_->discardInput();
        if (!port_->waitForInput(clock_.now() + kQuiet)) return;
    }
}

bool RSComm::SetPLCMode(int modeNumber, int modeByte) {
    // After a Cancel nothing is sent: there is nothing to wait for.
    if (drainFirst_ && !CommError) {
        drainFirst_ = false;
        DrainInput();
    }
    CurrentMode = 0;
    double deadline = clock_.now() + 2.0;
    while (CurrentMode != modeNumber) {
        if (clock_.now() >= deadline) {
            const Answer answer = Ask(QStringLiteral("Cannot Set PLC Mode Within Target Board."),
                                      kCommTitle, Buttons::RetryCancel, Icon::Critical);
            if (answer != Answer::Retry) {
                CommError = true;
                OnlineMode = false;
                CloseRSComm();
                return false;
            }
            deadline = clock_.now() + 2.0;
        }
        int reply = RSSendByte(kAttention, false, true);
        if (reply == kFailed) return false;
        if (reply != kAck) {
            Observe(WireEvent::Repeated, 0);
            continue;
        }
        reply = RSSendByte(modeByte, false, false);
        if (reply == kFailed) return false;
        CurrentMode = reply == kAck ? modeNumber : 0;
        if (CurrentMode != modeNumber) Observe(WireEvent::Repeated, 0);
    }
    return true;
}

// ---------------------------------------------------------------------------------------------
// Read and write transactions

QString RSComm::ReadValue(const QString& Add) {
    BusyScope busy(*this);
    bool freshParse = false;
    if (CurrentMode != 1) {
        if (!SetPLCMode(1, 1)) return {};
        freshParse = true;
    } else if (Add.compare(lastReadAdd_, Qt::CaseInsensitive) != 0) {
        freshParse = true;
    }
    lastReadAdd_ = Add;
    if (freshParse) {
        readParse_ = ParseAddress(Add);
        readByteCountMinus1_ = readParse_.byteCount() - 1;
    }
    for (int k = 0; k <= readByteCountMinus1_; ++k) {
        const int address = readParse_.byteAddress + k;
        const int high = (address >> 8) & 0xFF;
        int reply = RSSendByte(high, false, false);
        if (reply == kFailed) return {};
        if (reply != high) {
            CurrentMode = 0;
            return {};
        }
        reply = RSSendByte(address & 0xFF, false, false);
        if (reply == kFailed) return {};
        readBytes_[k] = static_cast<std::uint8_t>(reply);
    }
    return QString::number(DecodeValue(readParse_, readBytes_.data()));
}

QString RSComm::RSRead(const QString& Add) {
    WireScope wire(*this, WireKind::Read, Add);
    resends_ = 0;
    outOfStep_ = 0;
    const QString value = ReadValue(Add);
    lastFailed_ = value.isEmpty() || resends_ > 0 || outOfStep_ > 0 || CommError;
    if (lastFailed_) ResetHandshake();
    wire.End(value, lastFailed_);
    return value.isEmpty() ? QStringLiteral("0") : value;
}

void RSComm::WriteValue(const QString& Add, const QString& DataValue) {
    BusyScope busy(*this);
    WriteMismatch = false;
    auto refuse = [this](const QString& line) {
        Ask(QStringLiteral("Error:\r") + line, QStringLiteral("ENTRY ALERT"), Buttons::Ok,
            Icon::Critical);
    };
    const std::optional<std::int64_t> number = ValueTextNumber(DataValue);
    if (!number) {
        refuse(QStringLiteral("Only Numerical Data Allowed."));
        return;
    }
    std::int64_t value = *number;
    const ParsedAddress target = ParseAddress(Add);
    if (target.isBit) {
        if (value != 0 && value != 1) {
            refuse(QStringLiteral("Enter 0 or 1 Only."));
            return;
        }
        const QString current =
            ReadValue(QStringLiteral("B") + QString::number(target.byteAddress));
        // Without the byte's present contents a bit cannot be changed safely.
        if (current.isEmpty()) return;
        const std::int64_t byte = current.toLongLong();
        value =
            value == 1 ? (byte | target.mask) : (byte & ~static_cast<std::int64_t>(target.mask));
        value &= 0xFF;
    }
    if (value > WidthLimit(target.width)) {
        refuse(RangeMessage(target.width));
        return;
    }
    const std::vector<std::uint8_t> bytes = EncodeValue(target.width, value);

    if (CurrentMode != 2 && !SetPLCMode(2, 2)) return;
    int address = target.byteAddress;
    for (std::uint8_t data : bytes) {
        if (WriteMismatch) break;
        for (int out : {(address >> 8) & 0xFF, address & 0xFF, static_cast<int>(data)}) {
            const int reply = RSSendByte(out, false, false);
            if (reply == kFailed) return;
            if (reply != out) {
                WriteMismatch = true;
                break;
            }
        }
        ++address;
    }
    if (WriteMismatch)
        CurrentMode = 0;
    else
        writeDone_ = true;
}

void RSComm::RSWrite(const QString& Add, const QString& DataValue) {
    WireScope wire(*this, WireKind::Write, Add, DataValue);
    resends_ = 0;
    outOfStep_ = 0;
    lastFailed_ = true;
    writeDone_ = false;
    WriteValue(Add, DataValue);
    if (WriteMismatch) {
        Observe(WireEvent::Repeated, 0);
        resends_ = 0;
        outOfStep_ = 0;
        writeDone_ = false;
        WriteValue(Add, DataValue);
    }
    lastFailed_ = !writeDone_ || WriteMismatch || CommError || resends_ > 0 || outOfStep_ > 0;
    // A value refused by its check never reached the wire: the board's mode stands.
    if (WriteMismatch || CommError || resends_ > 0 || outOfStep_ > 0) ResetHandshake();
}

// ---------------------------------------------------------------------------------------------
// Opening and closing the port

namespace {
// Whether a file could be written: an existing file must be writable, a missing one needs its
// nearest existing folder to be writable.
bool CanWrite(const QString& path) {
    const QFileInfo file(path);
    if (file.exists()) return file.isWritable();
    QString dir = file.absolutePath();
    while (!QFileInfo::exists(dir) && QFileInfo(dir).absolutePath() != dir)
        dir = QFileInfo(dir).absolutePath();
    return QFileInfo(dir).isWritable();
}
} // namespace

QString RSComm::CommSettingsPath() const {
    const QString inProgram = FindSideFile(programFolder_, QStringLiteral("Support/RSPort.cfg"));
    if (!settingsInUserFolder_ && CanWrite(inProgram)) return inProgram;
    // An installed copy: the program folder is read-only, so the settings live in the user's
    // configuration folder.
    return QDir(userConfigFolder_).filePath(QStringLiteral("RSPort.cfg"));
}

QString RSComm::CommSettingsFile() const {
    return CommSettingsPath();
}

void RSComm::InitializeRSComm(SerialLine& CommObj) {
    BusyScope busy(*this);
    InitFailed = false;
    int port = 1;
    QString speed = QStringLiteral("9600");
    for (;;) {
        const QString path = CommSettingsPath();
        QString error;
        bool ok = true;
        QFile file(path);
        if (file.exists() && file.size() > 0) {
            if (file.open(QIODevice::ReadOnly)) {
                const PortFileLine line = ParsePortFileLine(file.read(kPortFileBytes));
                port = line.port;
                speed = line.speed;
            } else {
                ok = false;
                error = file.errorString();
            }
        } else {
            // A copy installed read-only may still carry settings worth starting from.
            const QString installed =
                FindSideFile(programFolder_, QStringLiteral("Support/RSPort.cfg"));
            QFile seed(installed);
            if (installed != path && seed.open(QIODevice::ReadOnly) && seed.size() > 0) {
                const PortFileLine line = ParsePortFileLine(seed.read(kPortFileBytes));
                port = line.port;
                speed = line.speed;
            }
            ok = WritePortFile(path, port, speed, &error);
        }
        if (ok) break;
        WritePortFile(path, port, speed, nullptr);
        const Answer answer =
            Ask(QStringLiteral("Error Number = 75\r\n\r\n") + error,
                QStringLiteral("RSComm InitializeRSComm"), Buttons::RetryCancel, Icon::Critical);
        if (answer != Answer::Retry) {
            OnlineMode = false;
            InitFailed = true;
            return;
        }
    }
    if (CommObj.isOpen()) CommObj.close();
    settings_.port = portOverride_ > 0 ? portOverride_ : port;
    settings_.baud = baudOverride_ > 0 ? baudOverride_ : speed.toInt();
    settings_.devicePath = deviceOverride_;
    port_ = &CommObj;
}

void RSComm::OpenRSComm(SerialLine& CommObj) {
    BusyScope busy(*this);
    InitializeRSComm(CommObj);
    if (InitFailed) return;
    int errorNumber = 0;
    QString errorText;
    if (!port_->open(settings_, &errorNumber, &errorText)) {
        CommError = true;
        OnlineMode = false;
        InitFailed = true;
        Ask(QStringLiteral("Error Number = %1\r\nError Source = TALVERN\r\n\r\n%2")
                .arg(errorNumber)
                .arg(errorText),
            QStringLiteral("Comm Port Error"), Buttons::Ok, Icon::Critical);
        return;
    }
    port_->discardInput();
    CurrentMode = 0;
    CommError = false;
    if (observer_ != nullptr) observer_->linkOpened(clock_.now());
    // Any byte back counts as a live board.
    WireScope wire(*this, WireKind::Handshake, QStringLiteral("open"));
    RSSendByte(kAttention, false, false);
    wire.End({}, CommError);
    OnlineMode = !CommError;
}

void RSComm::CloseRSComm() {
    BusyScope busy(*this);
    if (port_ != nullptr && port_->isOpen()) {
        // A last attention byte leaves the board idle.
        if (!CommError) {
            WireScope wire(*this, WireKind::Handshake, QStringLiteral("close"));
            wire.End({}, RSSendByte(kAttention, false, false) == kFailed);
        }
        port_->close();
    }
    CurrentMode = 0;
    OnlineMode = false;
}

} // namespace talvern::link
