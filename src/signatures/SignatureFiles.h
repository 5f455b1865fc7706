#pragma once
// The data window's file commands as plain logic: Save and Open of cupfeed data files and the
// text export. The window hands in the record, the user's answers and the file dialogs.
//
// Every command either completes or changes nothing: Cancel in a dialog ends it quietly; a file
// that cannot be read or written is reported and leaves the record, its title and the paths as
// they were.

#include "CpfdData.h"
#include "FileDialogs.h"
#include "Platform.h"

#include <QString>

namespace talvern::signatures {

class SignatureFileCommands {
public:
    SignatureFileCommands(SignatureRecord& record, link::UserAnswers& answers,
                          setup::FileDialogs& dialogs);

    // Offered as the default names of the next dialogs.
    QString dataFilePath;
    QString exportFilePath;

    bool SaveData();
    // Asks about unsaved changes first (Yes saves, and a save that did not happen stops the
    // open); true when a file became the record.
    bool OpenData();
    bool ExportData();

    void setDialogs(setup::FileDialogs& dialogs) { dialogs_ = &dialogs; }

private:
    void tell(const QString& message);

    SignatureRecord& record_;
    link::UserAnswers& answers_;
    setup::FileDialogs* dialogs_;
};

} // namespace talvern::signatures
