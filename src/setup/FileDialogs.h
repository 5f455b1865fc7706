#pragma once
// The file-open and file-save dialogs, behind an interface so that the file commands run in
// tests with scripted choices and in the command line without windows.

#include <QString>

namespace talvern::setup {

class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    // The chosen existing file, or empty when the user cancelled.
    virtual QString openFile(const QString& initialName, const QString& filter) = 0;
    // The chosen file to write (the user has agreed to replace an existing one), or empty.
    virtual QString saveFile(const QString& initialName, const QString& filter) = 0;
};

} // namespace talvern::setup
