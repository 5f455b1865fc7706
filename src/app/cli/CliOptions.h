#pragma once
// The command line of talvern-cli: options, then a command and its arguments.

#include <QString>
#include <QStringList>
#include <optional>

namespace talvern::app {

struct CliOptions {
    QString device;
    int port = 0; // 0 = the settings file's
    int baud = 0;
    bool simulate = false;
    QString board = QStringLiteral("k2510");
    QString trace; // file, "-" for standard output, empty for none
    bool yes = false;
    bool retryOnFailure = false;
    QStringList command; // the command word and its arguments
};

// Empty with a reason on a usage error.
std::optional<CliOptions> ParseCliOptions(const QStringList& args, QString* error);

QString CliUsage();

} // namespace talvern::app
