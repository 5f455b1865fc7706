#include "modUtility.h"

#include "BackgroundUpdate.h"

#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QWidget>

namespace talvern::shell {

link::RSComm* gLink = nullptr;
link::SerialLine* gCommPort = nullptr;
link::UserAnswers* gAnswers = nullptr;
link::EventPump* gEvents = nullptr;
OnlineStateView* gOnlineView = nullptr;

SetupData gSetup;
SetupData gSetupSaved;
SetupData gSetupDefault;
SetupData gSetupFile;
QString gProgramVersion;
bool gOfflineEditing = false;
bool gNewFile = true;
bool gSetupReset = false;
bool gPLSDownloaded = false;
int gProcessMode = 0;
int gWaitDisplayMode = 0;
QString gSystemMessage;
QStringList gAlarmAdd;
QStringList gAlarmText;

int ProgramMajor() {
    return TALVERN_VERSION_MAJOR;
}
int ProgramMinor() {
    return TALVERN_VERSION_MINOR;
}
int ProgramRevision() {
    return TALVERN_VERSION_PATCH;
}

void InitSetupTables() {
    gProgramVersion = ProgramVersionTag(ProgramMajor(), ProgramMinor(), ProgramRevision());
    gSetupDefault = FactoryDefaults(gProgramVersion);
    gSetup = gSetupDefault;
    gSetupSaved = gSetup;
    gNewFile = true;
}

void BuildAlarmTable() {
    gAlarmAdd = AlarmAddresses();
    gAlarmText = AlarmTexts();
}

bool CheckTargetBoard(int BoardType) {
    return shell::CheckTargetBoard(*gLink, *gAnswers, *gEvents, BoardType,
                                   [] { UpdateOnlineState(); });
}

void UpdateOnlineState() {
    shell::UpdateOnlineState(*gLink, *gCommPort, gOnlineView);
}

void SelectAllText(QLineEdit* box) {
    if (box) box->setSelection(0, box->text().size());
}

void CenterWindow(QWidget* window) {
    if (!window) return;
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    window->move(area.left() + (area.width() - window->width()) / 2,
                 area.top() + (area.height() - window->height()) / 2);
}

} // namespace talvern::shell
