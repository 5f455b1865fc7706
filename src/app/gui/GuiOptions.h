#pragma once
// The command line of the windowed program: --device PATH, --simulate, --board k2510|r7520,
// --alarm N, --online, --help.

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace talvern::app {

struct GuiOptions {
    QString device;          // a serial device overriding the settings file's port number
    bool simulate = false;   // in-process simulated boards instead of a serial port
    bool boardR7520 = false; // the simulated cable starts on the R7520 instead of the K2510
    bool online = false;     // switch online once started (demonstrations, screenshots)
    bool monitor = false;    // open the wire monitor once started
    QList<int> alarms;       // with --simulate: system alarms (1..11) raised from the start
};

// The options, or nothing with the reason in *error.
std::optional<GuiOptions> ParseGuiOptions(const QStringList& arguments, QString* error);
QString GuiUsage();
// --help is answered before any window system is reached, so it works without a display.
bool AsksForHelp(int argc, const char* const* argv);

} // namespace talvern::app
