#pragma once
// What the target-board page shows and sets, without the window: status codes and their texts,
// the corrective-action advice, the program on disk, the layout by board type, the eight
// set-up fields, and the board actions (Reset Faults, setting the clock and calendar).

#include "Platform.h"
#include "RSComm.h"

#include <QDateTime>
#include <QString>
#include <array>

namespace talvern::targetboard {

// Status addresses in reading order: current fault, last fault, CO-CPU slot, last fault again
// (the source of the advice), current and last communication error.
extern const std::array<const char*, 6> kStatusAddresses;
// Board type the page assumes when the program file cannot tell.
constexpr int kDefaultBoardType = 68;

// A status value as the page shows it: upper-case hexadecimal, at least two digits.
QString StatusCodeText(int value);
// The label of status index k (0, 1, 4, 5) for a code text; CO-CPU (2) takes the value.
QString StatusLabel(int k, const QString& code);
// The corrective action for a last-fault code.
QString CorrectiveAction(int code);
// The description of a code in a description file (the last matching record wins); empty when
// the file or the code is missing.
QString CodeDescription(const QString& file, const QString& code);

// The program on disk beside the chosen program file.
struct DiskProgram {
    int boardType = kDefaultBoardType;
    QString name;
    int revision = 0;
    int checksum = 0;
    QString revisionDate; // last change of the image file, empty without one
};
// The board type of a program file set: the first character of the set's program file (68 when
// it is missing or empty).
int ReadProgramKind(const QString& file);
DiskProgram ReadDiskProgram(const QString& chosenFile);

// The eight set-up fields.
struct SetupField {
    const char* address;
    const char* label;
    int min;
    int max;
};
extern const std::array<SetupField, 8> kSetupFields;

// Which fields a board type shows (network addresses 0, 1) and enables (clock and date 2..7).
struct PageLayout {
    bool coCpuSlot = false;
    std::array<bool, 2> networkAddress{true, false};
    bool clock = false;
};
PageLayout LayoutFor(int boardType);

extern const QString kNetworkComment;
extern const QString kOfflineText;
// The computer's clock as the page shows it: "09 : 05 : 07" and "03 - 14 - 2026".
QString ClockTimeText(const QTime& time);
QString ClockDateText(const QDate& date);

// Reset Faults: the warning (true for Yes), then 0 to B8178, B8179, B8177, B8176 while online
// and the link holds. Each write is checked (and repeated) as WriteVerified does; true when every
// one got through, else *failed is the address of the one that did not (empty when offline).
bool ConfirmResetFaults(link::UserAnswers& answers);
bool WriteResetFaults(link::RSComm& link, QString* failed = nullptr);
inline bool ResetFaults(link::RSComm& link, link::UserAnswers& answers, QString* failed = nullptr) {
    return ConfirmResetFaults(answers) && WriteResetFaults(link, failed);
}
// The computer's time (hour, minute, second) or date (month, day, two-digit year) to the board's
// clock, written as WriteResetFaults writes.
bool SetBoardTime(link::RSComm& link, const QTime& time, QString* failed = nullptr);
bool SetBoardDate(link::RSComm& link, const QDate& date, QString* failed = nullptr);

} // namespace talvern::targetboard
