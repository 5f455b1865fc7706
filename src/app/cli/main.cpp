// talvern-cli: the link for service work without a display, for scripts and for testing over
// real serial devices.
#include "ChangeLog.h"
#include "CliCommands.h"
#include "CliOptions.h"
#include "CommPortSettings.h"
#include "ConsoleAnswers.h"
#include "OnlineState.h"
#include "QtPlatform.h"
#include "RSComm.h"
#include "SideFiles.h"
#include "SimulatedSerialLine.h"
#include "WireRecorder.h"

#include <QCoreApplication>
#include <QDir>
#include <QSettings>
#include <QStandardPaths>
#include <QTextStream>
#include <cstdio>
#include <memory>
#include <unistd.h>

using namespace talvern;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("TALVERN"));
    QString error;
    const std::optional<app::CliOptions> options =
        app::ParseCliOptions(app.arguments().mid(1), &error);
    if (!options) {
        if (!error.isEmpty())
            std::fprintf(stderr, "talvern-cli: %s\n", error.toLocal8Bit().constData());
        // Asked for (--help): the usage is the answer, on standard output; otherwise it
        // explains a mistake, on standard error.
        std::fputs(app::CliUsage().toLocal8Bit().constData(), error.isEmpty() ? stdout : stderr);
        return error.isEmpty() ? app::kDone : app::kUsage;
    }

    link::SteadyClock clock;
    const bool interactive = isatty(STDIN_FILENO) != 0;
    QTextStream input(stdin);
    app::ConsoleAnswers answers(stderr, interactive, options->yes, options->retryOnFailure,
                                [&input]() -> std::optional<QString> {
                                    QString line;
                                    if (!input.readLineInto(&line)) return std::nullopt;
                                    return line;
                                });
    link::NoEventPump events;
    const link::ProgramFolders folders =
        link::FindProgramFolders(QCoreApplication::applicationDirPath());
    link::RSComm link(clock, answers, events, folders.data);
    link.SetSettingsInUserFolder(folders.installed);
    link.SetDeviceOverride(options->device);
    // Without a port on the command line, the device chosen in the window's comm-port dialog
    // wins over the settings file's number, as it does in the window.
    if (options->device.isEmpty() && options->port == 0 && !options->simulate) {
        const QSettings user(
            QDir(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation))
                .filePath(QStringLiteral("talvern.ini")),
            QSettings::IniFormat);
        link.SetDeviceOverride(setup::ChosenDevice(user));
    }
    link.SetPortOverride(options->port, options->baud);

    std::unique_ptr<boards::SimulatedBoards> boards;
    std::unique_ptr<app::BoardsClockFromLinkClock> boardsClock;
    std::unique_ptr<link::SerialLine> port;
    if (options->simulate) {
        boardsClock = std::make_unique<app::BoardsClockFromLinkClock>(clock);
        boards = std::make_unique<boards::SimulatedBoards>(*boardsClock);
        boards->moveCable(options->board == QLatin1String("r7520") ? boards::BoardId::R7520
                                                                   : boards::BoardId::K2510);
        port = std::make_unique<app::SimulatedSerialLine>(*boards, clock);
    } else {
        port = std::make_unique<link::QtSerialLine>(clock);
    }

    std::FILE* traceFile = nullptr;
    std::unique_ptr<link::TracingSerialLine> tracing;
    link::SerialLine* line = port.get();
    if (!options->trace.isEmpty()) {
        traceFile = options->trace == QLatin1String("-")
                        ? stdout
                        : std::fopen(options->trace.toLocal8Bit().constData(), "w");
        if (!traceFile) {
            std::fprintf(stderr, "talvern-cli: cannot write %s\n",
                         options->trace.toLocal8Bit().constData());
            return app::kUsage;
        }
        tracing = std::make_unique<link::TracingSerialLine>(*port, clock, traceFile);
        line = tracing.get();
    }

    // Every value written goes to the change log (the simulated boards' own when simulating),
    // heard through a recorder of the wire as the window hears it.
    setup::ChangeLog changes(setup::ChangeLogPath(options->simulate));
    changes.setTroubleHandler([](const QString& text) {
        std::fprintf(stderr, "talvern-cli: %s\n", text.toLocal8Bit().constData());
    });
    link::WireRecorder recorder(clock.now(), 64);
    recorder.setBoardAddress(QString::fromLatin1(setup::kBoardTypeAddress));
    recorder.onTransaction = [&changes](const link::WireTransaction& t) { changes.heard(t); };
    link.SetObserver(&recorder);

    app::CliContext context{link, *line, answers, stdout, stderr};
    context.changes = &changes;
    const int status = app::RunCliCommand(context, options->command);
    if (status == app::kUsage && !context.troubleSaid)
        std::fputs(app::CliUsage().toLocal8Bit().constData(), stderr);
    if (link.OnlineMode) link.CloseRSComm();
    if (traceFile && traceFile != stdout) std::fclose(traceFile);
    return status;
}
