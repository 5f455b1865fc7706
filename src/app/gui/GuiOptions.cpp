#include "GuiOptions.h"

#include <cstring>

namespace talvern::app {

std::optional<GuiOptions> ParseGuiOptions(const QStringList& arguments, QString* error) {
    GuiOptions options;
    for (int i = 1; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        auto value = [&](const QString& name) -> std::optional<QString> {
            if (arg.startsWith(name + '=')) return arg.mid(name.size() + 1);
            if (arg == name && i + 1 < arguments.size()) return arguments[++i];
            return std::nullopt;
        };
        if (arg == QLatin1String("--simulate")) {
            options.simulate = true;
        } else if (arg == QLatin1String("--online")) {
            options.online = true;
        } else if (arg == QLatin1String("--monitor")) {
            options.monitor = true;
        } else if (arg == QLatin1String("--alarm") || arg.startsWith(QLatin1String("--alarm="))) {
            const auto v = value(QStringLiteral("--alarm"));
            bool ok = false;
            const int alarm = v ? v->toInt(&ok) : 0;
            if (!ok || alarm < 1 || alarm > 11) {
                *error = QStringLiteral("--alarm needs an alarm number 1..11");
                return std::nullopt;
            }
            options.alarms << alarm;
        } else if (arg == QLatin1String("--device") || arg.startsWith(QLatin1String("--device="))) {
            const auto v = value(QStringLiteral("--device"));
            if (!v || v->isEmpty()) {
                *error = QStringLiteral("--device needs a path");
                return std::nullopt;
            }
            options.device = *v;
        } else if (arg == QLatin1String("--board") || arg.startsWith(QLatin1String("--board="))) {
            const auto v = value(QStringLiteral("--board"));
            const QString board = v ? v->toLower() : QString();
            if (board == QLatin1String("k2510"))
                options.boardR7520 = false;
            else if (board == QLatin1String("r7520"))
                options.boardR7520 = true;
            else {
                *error = QStringLiteral("--board must be k2510 or r7520");
                return std::nullopt;
            }
        } else if (arg.startsWith('-') && arg != QLatin1String("-platform")) {
            *error = QStringLiteral("unknown option %1").arg(arg);
            return std::nullopt;
        } else if (arg == QLatin1String("-platform")) {
            ++i; // Qt's own option, already taken by QApplication
        }
    }
    return options;
}

QString GuiUsage() {
    return QStringLiteral(
        "usage: talvern [--device PATH] [--simulate [--board B] [--alarm N]] [--online] [--monitor]\n"
        "\n"
        "The set-up and monitoring program of the bodymaker and its servo cupfeed, on one\n"
        "RS-232 cable to the PLC board K2510 or the motion board R7520.\n"
        "\n"
        "  --device PATH   serial device to use this time instead of the chosen one or the port\n"
        "  --simulate      talk to simulated boards inside the program\n"
        "  --board B       with --simulate: the board the cable starts on (k2510 or r7520)\n"
        "  --alarm N       with --simulate: system alarm N (1..11) raised from the start\n"
        "  --online        switch online once started\n"
        "  --monitor       open the wire monitor once started\n"
        "  --help          this text\n");
}

bool AsksForHelp(int argc, const char* const* argv) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--help") == 0) return true;
    return false;
}

} // namespace talvern::app
