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
setup::OnlineStateView* gOnlineView = nullptr;

setup::SetupData gSetup;
setup::SetupData gSetupSaved;
setup::SetupData gSetupDefault;
setup::SetupData gSetupFile;
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
signatures::SignatureRecord gSignature;

void InitSetupTables() {
    gProgramVersion = setup::ProgramVersionTag(setup::ProgramMajor(), setup::ProgramMinor(),
                                               setup::ProgramRevision());
    gSetupDefault = setup::FactoryDefaults(gProgramVersion);
    gSetup = gSetupDefault;
    gSetupSaved = gSetup;
    gNewFile = true;
}

void BuildAlarmTable() {
    gAlarmAdd = setup::AlarmAddresses();
    gAlarmText = setup::AlarmTexts();
}

bool CheckTargetBoard(int BoardType) {
    return setup::CheckTargetBoard(*gLink, *gAnswers, *gEvents, BoardType,
                                   [] { UpdateOnlineState(); });
}

void UpdateOnlineState() {
    setup::UpdateOnlineState(*gLink, *gCommPort, gOnlineView);
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
