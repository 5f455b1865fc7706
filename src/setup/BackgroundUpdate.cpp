#include "BackgroundUpdate.h"

#include "OnlineState.h"
#include "SetupData.h"
#include "VerifiedTransfer.h"

namespace talvern::setup {

QStringList AlarmAddresses() {
    return {QStringLiteral("B101"), QStringLiteral("B100.4"), QStringLiteral("F4"),
            QStringLiteral("F8"), QStringLiteral("B111.7")};
}

QStringList AlarmTexts() {
    return {QStringLiteral(" "),
            QStringLiteral("Cupfeed Motor O'Temp"),
            QStringLiteral("Servo Amplifier Fault"),
            QStringLiteral("Cupfeed Cam Following Fault"),
            QStringLiteral("C1/CRA/CRB/CRC Fault"),
            QStringLiteral("Cupfeed Cam Not in Sync"),
            QStringLiteral("Short Can Alarm (to PLC)"),
            QStringLiteral("No Servo Fault"),
            QStringLiteral("Short Can Alarm (from PLC)"),
            QStringLiteral("Die Sensor Fail Alarm"),
            QStringLiteral("Timing Signal Fail Alarm"),
            QStringLiteral("Brake Response Too Long")};
}

void ApplyAlarmValue(int pollIndex, std::int32_t value, AlarmStates& states) {
    if (pollIndex == 0) {
        for (int k = 1; k <= 7; ++k) {
            const bool bit = (value & (1 << k)) != 0;
            const bool activeLow = k == 5 || k == 7;
            states[k] = activeLow ? !bit : bit;
        }
    } else if (pollIndex >= 1 && pollIndex <= 4) {
        states[pollIndex + 7] = value > 0;
    }
}

QString AlarmLines(const AlarmStates& states, const QStringList& texts) {
    QString lines;
    for (int i = 0; i < kAlarmCount; ++i) {
        if (!states[i]) continue;
        lines += texts.value(i);
        if (i < kAlarmCount - 1) lines += QStringLiteral("\r\n");
    }
    return lines;
}

SystemMessageTexts OfflineTexts(bool commError) {
    return {commError ? QStringLiteral("System Message:  Comm Fault with K2500")
                      : QStringLiteral("System Message:  Program is Currently OFFLINE"),
            QStringLiteral("Set-up Program is Currently OFFLINE")};
}

SystemMessageTexts OnlineTexts(const AlarmStates& states, const QStringList& texts) {
    bool any = false;
    for (bool s : states)
        any = any || s;
    if (any)
        return {QStringLiteral("System Message:  Faults Active in PLC"),
                QStringLiteral("***** SYSTEM ALARM *****\r\n") + AlarmLines(states, texts)};
    return {QStringLiteral("System Message:  All Faults Normal"),
            QStringLiteral("-- System Normal --\r\nSet-up Program is Currently ONLINE")};
}

SystemMessageTexts AlarmsNotReadTexts(int board) {
    if (board == kBoardR7520)
        return {QStringLiteral("System Message:  PLC Alarms Not Read (R7520 Connected)"),
                QStringLiteral("-- PLC Alarms Not Read --\r\nMotion Board R7520 is Connected")};
    return {QStringLiteral("System Message:  PLC Alarms Not Read (K2510 Not Connected)"),
            QStringLiteral("-- PLC Alarms Not Read --\r\nPLC Board K2510 is Not Connected")};
}

BackgroundUpdate::BackgroundUpdate(QStringList alarmAddresses, QStringList alarmTexts)
    : addresses_(std::move(alarmAddresses)), texts_(std::move(alarmTexts)) {}

std::optional<SystemMessageTexts> BackgroundUpdate::tick(link::RSComm& link) {
    if (!link.OnlineMode) return OfflineTexts(link.CommError);
    // A transaction or one of the link's questions is in progress: skip this turn without
    // losing the address due.
    if (link.IsBusy()) return std::nullopt;
    if (!link.CommError) {
        // The alarms are the K2510's. Another board answers these addresses with its own data
        // (the R7520's 0 at B101 would raise the two active-low alarms): while it is on the
        // cable the alarm states stay as they were and the address due stays due.
        const std::optional<QString> board =
            link::ReadOnce(link, QString::fromLatin1(kBoardTypeAddress));
        if (!board || link.CommError) return std::nullopt;
        if (board->toInt() != kBoardK2510) return AlarmsNotReadTexts(board->toInt());
    }
    counter_ = counter_ + 1 > 4 ? 0 : counter_ + 1;
    if (link.CommError) return std::nullopt;
    // A failed read, which RSRead would give as 0 (at B101 two alarms), changes nothing.
    const std::optional<QString> value = link::ReadOnce(link, addresses_.value(counter_));
    if (!value || link.CommError) return std::nullopt;
    ApplyAlarmValue(counter_, value->trimmed().toInt(), states_);
    return OnlineTexts(states_, texts_);
}

} // namespace talvern::setup
