#pragma once
// RSComm: the one way the program talks to a target board. Every board value passes through
// RSRead/RSWrite and the PLS commands of this class; no other code touches the serial line.

#include "Address.h"
#include "LinkObserver.h"
#include "Platform.h"

#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>

namespace talvern::link {

class RSComm {
public:
    // programFolder is where the executable and its support/ and Help/ folders are.
    RSComm(Clock& clock, UserAnswers& answers, EventPump& events, QString programFolder);

    // --- Link state, read and written by the callers ---
    bool OnlineMode = false;
    bool CommError = false;
    bool CommErrorAlert = false;
    std::int16_t TargetboardType = 0;

    // True while a transaction or one of the link's own questions is in progress: timer-driven
    // callers skip their turn instead of entering the link.
    bool IsBusy() const { return busyDepth_ > 0; }

    // --- Port and transactions ---
    void OpenRSComm(SerialLine& CommObj);
    void CloseRSComm();
    QString RSRead(const QString& Add);
    void RSWrite(const QString& Add, const QString& DataValue);
    // Whether the last RSRead, RSWrite or PLS command did not get what it asked for: no value, a
    // wrong echo, a reply that came only after a resend, a byte waiting on the line before the
    // byte it would answer was sent, a write that still mismatched after its repeat, a refused
    // value, a refused handshake, a parameter byte not acknowledged, a recall reply out of range. A
    // PLS command refused by its own checks (a setpoint beyond the scale) is not a link failure.
    // RSRead's "0" stays for the callers whose contract is the text (the command line's read);
    // every other caller reads through ReadOnce and the confirmed reads (VerifiedTransfer.h,
    // ConfirmedReads.h), which give a value or nothing.
    bool LastTransactionFailed() const { return lastFailed_; }
    // Bytes sent on the line since the link was made (a measure of activity, not of success).
    long BytesSent() const { return bytesSent_; }
    // Forgets the board's mode: the next transaction hand-shakes afresh, dropping whatever waits
    // on the line first. Between two readings that must not share a disturbance.
    void HandshakeAfresh() { CurrentMode = 0; }
    // Forgets the board's mode, so that the next transaction hand-shakes afresh, on a quiet line:
    // replies still on the wire (a stray byte) are let in and dropped first. Every transaction
    // that failed does this by itself.
    void ResetHandshake() {
        CurrentMode = 0;
        drainFirst_ = true;
    }
    QString CommSettingsFile() const;
    // A device path that overrides the port number of the settings file (command line --device,
    // or the device chosen in the comm-port dialog); empty: the port number holds. Taken at the
    // next OpenRSComm.
    void SetDeviceOverride(const QString& path) { deviceOverride_ = path; }
    const QString& DeviceOverride() const { return deviceOverride_; }
    // Port and speed to use instead of the settings file's (command line --port, --baud); 0 = none.
    void SetPortOverride(int port, int baud) {
        portOverride_ = port;
        baudOverride_ = baud;
    }
    // Where the settings file goes when the program folder cannot be written.
    void SetUserConfigFolder(const QString& folder) { userConfigFolder_ = folder; }
    // An installed program never writes under its program folder, even where it could (run
    // by root): the settings file is always the one in the user's configuration folder.
    void SetSettingsInUserFolder(bool always) { settingsInUserFolder_ = always; }
    // The settings the last InitializeRSComm put on the line.
    const PortSettings& CurrentPortSettings() const { return settings_; }
    // Who hears every transaction and byte on the line (the wire monitor); nullptr: nobody.
    void SetObserver(LinkObserver* observer) { observer_ = observer; }

    // --- Board catalogue, firmware and faults ---
    static QString TargetboardName(std::int16_t BoardType);
    static QString LCFBoardIndex(std::int16_t BoardType);
    std::int16_t FaultCode();
    std::int16_t FirmwareRev();
    QString FaultDescription(std::int16_t FltCode);

    // --- Address services ---
    static bool ValidAdd(const QString& Var, std::int16_t TargetBoardIndex);
    static QString EquateAdd(const QString& Var, std::int16_t TargetBoardIndex);
    static std::int16_t Dec2Octal(std::int16_t DecNum);
    static std::int16_t Octal2Dec(std::int16_t OctNum);

    // --- PLS ---
    QString PLSScaleFactor();
    QString PLSOffset();
    QString PLSPos();
    QString PLSRpm();
    bool SingleSetpoint(std::int16_t Chan, std::int16_t OnSetpoint, std::int16_t OffSetpoint,
                        bool ClearChan = false);
    bool PulseTrain(std::int16_t Chan, std::int16_t ON_Division, std::int16_t OFF_Division,
                    std::int16_t START_Division);
    bool ClearPLSChan(std::int16_t Chan);
    bool RecallChannel(std::int16_t Chan);
    std::int16_t ChannelRecallPos() const { return static_cast<std::int16_t>(recallPos_); }
    std::int16_t ChannelRecallState() const { return recallState_; }
    bool SetPLSOffset(std::int16_t Position);
    bool PLSConfigDownload(const std::array<std::int16_t, 24>& CfgParam, std::int16_t ScaleFactor);
    std::array<std::int16_t, 19> PLSConfigUpload();

    // --- Program mode (the dump streams a program image into the board) ---
    // The attention byte 0xFF and the board's reply (the usual resends and question), or kFailed.
    int SendAttention();
    // The program-mode byte 3 and the board's reply (not examined), or kFailed.
    int EnterProgramMode();
    // One record streamed without waiting between bytes (count, address high, address low,
    // data), then up to a second for the board's one-byte sum. The sum, or -1 when none came.
    int SendProgramRecord(int address, const QByteArray& data);
    // The clock the link waits by (program transfers pace their waits with it).
    Clock& LinkClock() const { return clock_; }

    // Sentinel of RSSendByte for a failed exchange.
    static constexpr int kFailed = 9999;

private:
    friend class BusyScope;
    friend class TransactionScope;
    friend class WireScope;

    void InitializeRSComm(SerialLine& CommObj);
    int RSSendByte(int value, bool noReply, bool flushFirst);
    bool SetPLCMode(int modeNumber, int modeByte);
    void DrainInput();
    void Observe(WireEvent event, int byte) {
        if (observer_ != nullptr)
            observer_->wireEvent(event, static_cast<std::uint8_t>(byte), clock_.now());
    }
    QString ReadValue(const QString& Add);
    void WriteValue(const QString& Add, const QString& DataValue);
    ParsedAddress ParseAddress(const QString& Add);
    QString CommSettingsPath() const;
    Answer Ask(const QString& text, const QString& title, Buttons buttons, Icon icon);

    int PLSReadWord(int code);
    // A word a command acts on (a scale to check against, the offset and position a new offset
    // is worked out from): read until two readings agree; the failed read's -9999 when three
    // readings differ or three fail.
    int PLSReadWordAgreed(int code);
    bool PLSSendWord(int code, int value);
    bool PLSSendChannel(int code, int channel, int a, int b, int flag);
    bool PLSSendBlock(int code, const std::array<int, 6>& values);
    bool PLSReadBlock(int code);
    bool WaitPLSReady();
    bool PLSRecall(int channel);

    Clock& clock_;
    UserAnswers& answers_;
    EventPump& events_;
    QString programFolder_;
    QString userConfigFolder_;
    bool settingsInUserFolder_ = false;
    QString deviceOverride_;
    int portOverride_ = 0;
    int baudOverride_ = 0;
    PortSettings settings_;
    SerialLine* port_ = nullptr;

    int CurrentMode = 0;
    bool WriteMismatch = false;
    bool InitFailed = false;
    ParsedAddress parsed_;    // the last parse of any kind
    ParsedAddress readParse_; // the last read's own parse
    int readByteCountMinus1_ = 0;
    std::array<std::uint8_t, 4> readBytes_{};
    QString lastReadAdd_;

    std::int32_t recallPos_ = 0;
    std::int16_t recallState_ = 0;
    std::array<std::int16_t, 19> plsConfig_{};

    int busyDepth_ = 0;
    long bytesSent_ = 0;
    int resends_ = 0;         // attention resends since the transaction began
    int outOfStep_ = 0;       // bytes that waited before a byte was sent, since then
    bool lastFailed_ = false; // see LastTransactionFailed
    bool writeDone_ = false;  // the last WriteValue sent every byte with a right echo
    bool drainFirst_ = false; // the next handshake waits for a quiet line (ResetHandshake)
    bool trouble_ = false;    // a PLS command failed on the wire since its transaction began
    LinkObserver* observer_ = nullptr;
    int wireDepth_ = 0; // operations open for the observer (only the outermost is reported)
};

} // namespace talvern::link
