#pragma once
// The file-open and file-save dialogs, behind an interface so that the file commands run in
// tests with scripted choices.

#include <QString>

class QWidget;

namespace talvern::shell {

class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    // The chosen existing file, or empty when the user cancelled.
    virtual QString openFile(const QString& initialName, const QString& filter) = 0;
    // The chosen file to write (the user has agreed to replace an existing one), or empty.
    virtual QString saveFile(const QString& initialName, const QString& filter) = 0;
};

// The program's dialogs.
class QtFileDialogs final : public FileDialogs {
public:
    explicit QtFileDialogs(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }
    QString openFile(const QString& initialName, const QString& filter) override;
    QString saveFile(const QString& initialName, const QString& filter) override;

private:
    QWidget* parent_;
};

} // namespace talvern::shell
