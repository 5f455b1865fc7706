#pragma once
// The background poll of the bodymaker's system alarms: one alarm address per tick, the alarm
// state table, and the texts of status panel 1 and of the system message. Plain logic: the link
// comes in as a parameter.

#include "RSComm.h"

#include <QString>
#include <QStringList>
#include <array>
#include <optional>

namespace talvern::setup {

constexpr int kAlarmCount = 12; // alarms 0..11, alarm 0 is never set

// The K2510 addresses polled in turn (indices 0..4).
QStringList AlarmAddresses();
// The alarm texts (indices 0..11).
QStringList AlarmTexts();

using AlarmStates = std::array<bool, kAlarmCount>;

// Takes the value read from the address at pollIndex into the alarm states: "B101" (index 0)
// sets alarms 1..7 from its bits 1..7, bits 5 and 7 being active-low; indices 1..4 set alarm
// index + 7 when the value is greater than 0.
void ApplyAlarmValue(int pollIndex, std::int32_t value, AlarmStates& states);

// The texts of the active alarms in order, each followed by CR LF except alarm 11.
QString AlarmLines(const AlarmStates& states, const QStringList& texts);

struct SystemMessageTexts {
    QString panel;   // status panel 1
    QString message; // the system message block
};

// What a tick shows offline (commError: the link failed since it was last opened).
SystemMessageTexts OfflineTexts(bool commError);
// What a tick shows while a board other than the K2510 (its board number given) is on the cable.
SystemMessageTexts AlarmsNotReadTexts(int board);
// What a tick shows online for the given alarm states.
SystemMessageTexts OnlineTexts(const AlarmStates& states, const QStringList& texts);

class BackgroundUpdate {
public:
    BackgroundUpdate(QStringList alarmAddresses, QStringList alarmTexts);

    // One tick of the poll: the board number, then (the K2510 on the cable) one alarm address.
    // Nothing when the tick changes no text (the link is busy, or a read failed).
    std::optional<SystemMessageTexts> tick(link::RSComm& link);

    int pollCounter() const { return counter_; }
    const AlarmStates& alarmStates() const { return states_; }

private:
    QStringList addresses_;
    QStringList texts_;
    int counter_ = 0;
    AlarmStates states_{};
};

} // namespace talvern::setup
