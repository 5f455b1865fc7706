// TALVERN: the windowed set-up and monitoring program.

#include "AppIcon.h"
#include "FocusReturn.h"
#include "GuiOptions.h"
#include "InputBox.h"
#include "MenuShortcutsFirst.h"
#include "QtMessageBoxAnswers.h"
#include "QtPlatform.h"
#include "ScreenRegistry.h"
#include "SideFiles.h"
#include "SimulatedSerialLine.h"
#include "SimulatorMenu.h"
#include "boards/SimulatedBoards.h"
#include "frmMDIMain.h"
#include "frmTargetBoard.h"
#include "modUtility.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QMenuBar>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTimer>
#include <cstdio>
#include <memory>

using namespace talvern;

int main(int argc, char** argv) {
    if (app::AsksForHelp(argc, argv)) {
        std::fputs(qPrintable(app::GuiUsage()), stdout);
        return 0;
    }
    QApplication app(argc, argv);
    // The application name alone names the configuration folder (~/.config/TALVERN), which
    // talvern-cli shares.
    QApplication::setApplicationName(QStringLiteral("TALVERN"));
    QApplication::setDesktopFileName(QStringLiteral("talvern"));
    QApplication::setWindowIcon(app::TalvernIcon());
    QApplication::setApplicationVersion(QStringLiteral("%1.%2.%3")
                                            .arg(setup::ProgramMajor())
                                            .arg(setup::ProgramMinor())
                                            .arg(setup::ProgramRevision()));

    QString error;
    const auto options = app::ParseGuiOptions(QApplication::arguments(), &error);
    if (!options) {
        std::fprintf(stderr, "talvern: %s\n%s", qPrintable(error), qPrintable(app::GuiUsage()));
        return 2;
    }

    link::SteadyClock clock;
    shell::QtMessageBoxAnswers answers;
    shell::QtInputBox input;
    link::NoEventPump events; // the message boxes run the events themselves
    link::QtSerialLine realPort(clock);
    std::unique_ptr<app::BoardsClockFromLinkClock> boardsClock;
    std::unique_ptr<boards::SimulatedBoards> simulated;
    std::unique_ptr<app::SimulatedSerialLine> simulatedPort;
    link::SerialLine* port = &realPort;
    if (options->simulate) {
        boardsClock = std::make_unique<app::BoardsClockFromLinkClock>(clock);
        simulated = std::make_unique<boards::SimulatedBoards>(*boardsClock);
        if (options->boardR7520) simulated->moveCable(boards::BoardId::R7520);
        for (int alarm : options->alarms)
            simulated->setAlarm(alarm, true);
        simulatedPort = std::make_unique<app::SimulatedSerialLine>(*simulated, clock);
        simulatedPort->setPaced(true);
        port = simulatedPort.get();
    }

    shell::MainWindowPlatform platform;
    platform.clock = &clock;
    platform.port = port;
    platform.answers = &answers;
    platform.events = &events;
    platform.input = &input;
    const link::ProgramFolders folders =
        link::FindProgramFolders(QCoreApplication::applicationDirPath());
    const QString userFolder = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    platform.programFolder = folders.data;
    platform.simulated = options->simulate;
    if (folders.installed) platform.userFilesFolder = QDir::homePath();
    platform.settingsFile = QDir(userFolder).filePath(QStringLiteral("talvern.ini"));
    const QString device = options->device;
    platform.configureLink = [device, userFolder, folders](link::RSComm& rs) {
        rs.SetUserConfigFolder(userFolder);
        rs.SetSettingsInUserFolder(folders.installed);
        if (!device.isEmpty()) rs.SetDeviceOverride(device);
    };

    shell::frmMDIMain window(platform);
    answers.setParent(&window);
    input.setParent(&window);
    for (int i = 0; i < shell::frmMDIMain::kChildCount; ++i)
        if (screens::HasChildScreen(i))
            window.registerChild(i, [i] { return screens::CreateChildScreen(i); });
    window.setTargetBoardPage(
        [&window](const QString& file) { screens::frmTargetBoard::Open(file, &window); });
    if (simulated) {
        auto* menu = new app::SimulatorMenu(*simulated, setup::AlarmTexts(), &window);
        window.menuBar()->insertMenu(window.mnuHelp->menuAction(), menu);
        auto* note = new QLabel(QStringLiteral("Simulated boards"), window.statusBar());
        note->setObjectName(QStringLiteral("sbrSimulated"));
        note->setToolTip(QStringLiteral("The K2510 and R7520 are simulated inside this program"));
        note->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        note->setStyleSheet(QStringLiteral("color: darkblue; font-weight: bold;"));
        window.statusBar()->addPermanentWidget(note);
    }
    window.Form_Load();
    window.show();
    new shell::FocusReturn(&window);
    new shell::MenuShortcutsFirst(&window);
    if (options->online)
        QTimer::singleShot(0, &window, [&window] { window.mnuViewOnline->trigger(); });
    if (options->monitor && !window.mnuViewWireMonitor->isChecked())
        window.mnuViewWireMonitor->trigger();
    return app.exec();
}
