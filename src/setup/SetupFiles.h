#pragma once
// The File commands New, Open, Save, Save As and Export Shift Data as plain logic. The main
// window hands in references to the records and its file values, the user's answers and the
// file dialogs; nothing here reaches a global or a window.
//
// Every command either completes or changes nothing: a file that cannot be read or written is
// reported to the user and leaves the records, the file name and the caption as they were.

#include "FileDialogs.h"
#include "Platform.h"
#include "SetupData.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <functional>

namespace talvern::setup {

inline const QString kSetupFilter = QStringLiteral("Setup Files(*.sdt)");
inline const QString kTextFilter = QStringLiteral("Text Files(*.txt)");
inline const QString kDesignCaption = QStringLiteral("TALVERN - ");
inline const QString kUnnamedCaption = QStringLiteral("[unnamed]");

// The data counts as changed when a parameter value or a PLS setpoint differs from the saved
// copy, or when its version tag is not this program's. Addresses, the PLS configuration words,
// scale and offset are not compared.
bool SetupChanged(const SetupData& current, const SetupData& saved, const QString& programVersion);

// Both parameter arrays cut or filled to indices 0..gSetupMax; a missing row takes the table's
// address and factory value.
SetupData FittedToTable(SetupData data);

// The seventeen lines of the shift-data export, each ending in CR LF.
QByteArray ShiftExportText(const QString& fileTitle, const QString& uploadNow,
                           const SetupData& setup);

// A record fitted to the table as talvern-cli lists it: the version, one line per parameter row
// (index, address, value, label), the PLS configuration and the eight channels. Texts from the
// file show control characters as \xNN and a backslash as \\, so that they cannot act on a
// terminal.
QStringList SetupListing(const SetupData& fitted);

// Date and time as the user's locale writes a general date (short date, long time).
QString GeneralDateText(const QDateTime& when);

// The file name without its folder.
QString FileTitleOf(const QString& path);

// What the file commands work on; all of it belongs to the caller.
struct SetupFileState {
    SetupData& setup;
    SetupData& saved;
    const SetupData& defaults;
    SetupData& file;
    const QString& programVersion;
    bool& newFile;
    bool& setupReset;
    QString& fileNameCaption;
    QString& fileNamePath;
    QString& fileNameTitle;
    QString& fileExportPath;
    QString& uploadNow;
};

class SetupFileCommands {
public:
    SetupFileCommands(SetupFileState state, link::UserAnswers& answers, FileDialogs& dialogs,
                      QString programFolder);

    // The current date and time as text (GeneralDateText of now unless replaced).
    std::function<QString()> nowText;
    // Called whenever the caption text (fileNameCaption) has changed.
    std::function<void()> captionChanged;
    // Called with the path of a set-up file that was opened (and accepted) or saved.
    std::function<void(const QString&)> fileUsed;

    // 0 when nothing changed, else the answer to "Save Changes to File?" (6, 7 or 2).
    int CheckSaveChanges();
    // CheckSaveChanges and its consequences: false when the command must be abandoned (Cancel,
    // or Yes and the save did not happen).
    bool SaveChangesFirst();

    bool New();
    // With a path (a file chosen from the recent-file list) the first pass reads that file
    // instead of asking; turning it down at the version question opens the dialog from there.
    bool Open(const QString& chosen = QString());
    bool Save();
    bool SaveAs();
    bool ExportShiftData();
    // Takes the file record as the current data.
    void AcceptFileData();

    // Asks the version question for a file of another release: Yes, No or Cancel.
    link::Answer AskVersion(const QString& fileVersion);

private:
    void setCaption(const QString& caption);
    void tell(const QString& message);

    SetupFileState s_;
    link::UserAnswers& answers_;
    FileDialogs& dialogs_;
    QString programFolder_;
};

} // namespace talvern::setup
