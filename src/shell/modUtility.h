#pragma once
// The program-wide state and the shared routines. Only windows reach these globals; logic
// takes what it needs as parameters.

#include "CpfdData.h"
#include "OnlineState.h"
#include "Platform.h"
#include "ProgramVersion.h"
#include "RSComm.h"
#include "SetupData.h"

#include <QString>
#include <QStringList>

class QLineEdit;
class QWidget;

namespace talvern::shell {

extern link::RSComm* gLink;                 // the one link object, created at start-up
extern link::SerialLine* gCommPort;         // the serial line handed to the link
extern link::UserAnswers* gAnswers;         // message boxes
extern link::EventPump* gEvents;            // lets pending window events run
extern setup::OnlineStateView* gOnlineView; // the main window's panel and menus

extern setup::SetupData gSetup;        // the current working data
extern setup::SetupData gSetupSaved;   // as last reset, accepted, saved or built (change detection)
extern setup::SetupData gSetupDefault; // factory defaults
extern setup::SetupData gSetupFile;    // as read from a .sdt file, until accepted
extern QString gProgramVersion;
extern bool gOfflineEditing;
extern bool gNewFile;
extern bool gSetupReset;
extern bool gPLSDownloaded;
extern int gProcessMode;
extern int gWaitDisplayMode;
extern QString gSystemMessage;
extern QStringList gAlarmAdd;  // 0..4
extern QStringList gAlarmText; // 0..11
// The servo signature: CpfdData, CpfdDataSaved, CpfdDataNew and CpfdFileTitle.
extern signatures::SignatureRecord gSignature;

// Builds gProgramVersion and the defaults, copies them to gSetup and gSetupSaved, sets gNewFile.
void InitSetupTables();
// Fills gAlarmAdd (the five polled K2510 addresses) and gAlarmText (alarms 0..11).
void BuildAlarmTable();
bool CheckTargetBoard(int BoardType);
void UpdateOnlineState();
void SelectAllText(QLineEdit* box);
void CenterWindow(QWidget* window);

} // namespace talvern::shell
