#pragma once
// The port settings the comm-port dialog shows and saves: the program's own settings file and
// the development system's one-line files in its three board-family folders.

#include <QString>
#include <QStringList>

class QSettings;

namespace talvern::setup {

inline constexpr int kCommPortMin = 1;
inline constexpr int kCommPortMax = 99;

struct CommSettings {
    int port = 1;
    int speed = 9600; // 9600 or 19200
};

// Port 1 at 9600 unless the settings file exists and holds something; the port clamped into
// 1..99, any speed but 19200 read as 9600. A file that exists but cannot be read gives the
// defaults and the text of the error message ("Error Number = 75" and the cause).
CommSettings ReadCommSettings(const QString& settingsFile, QString* error = nullptr);

// The development system's folders under the program folder: BRX51, BRX96, VUD51.
QStringList DevelopmentFolders(const QString& programFolder);

// The port entry passes when it is a number within min..max.
bool PortEntryValid(const QString& text, int min, int max);
// "Only a Number Between 1 and 99 can be Entered" for the given limits.
QString RangeMessage(int min, int max);
// The number of the entry clamped into the port limits (non-numeric text gives the lower one).
int ClampedPort(const QString& text);

// Writes "port,speed" into the settings file (creating its folder) and the zero-based port
// index into BRIXEL.SFG of each development folder that exists. False with a reason on failure.
bool SaveCommSettings(const QString& settingsFile, const QString& programFolder,
                      const CommSettings& settings, QString* error);

// The serial device chosen in the comm-port dialog (a USB adapter, a pseudo-terminal), kept in
// the user's settings (talvern.ini) beside the port settings file, whose format older programs
// read; while it is set it wins over the port number. Empty: none chosen.
QString ChosenDevice(const QSettings& settings);
// Stores the choice; an empty device removes it, so that the port number holds again.
void SetChosenDevice(QSettings& settings, const QString& device);

} // namespace talvern::setup
