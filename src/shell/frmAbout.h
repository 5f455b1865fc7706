#pragma once
// The About box, and the small system-information window shown where the platform has no
// system-information program.

#include "Platform.h"

#include <QDialog>
#include <QPointer>

class QLabel;
class QPushButton;

namespace talvern::shell {

// "Version " + major.minor.revision.
QString VersionLabelText(int major, int minor, int revision);

class SystemInfoWindow;

class frmAbout : public QDialog {
    Q_OBJECT
public:
    frmAbout(link::UserAnswers& answers, QString settingsFile, QWidget* parent = nullptr);

    QLabel* lblTitle;
    QLabel* lblVersion;
    QLabel* lblDescription;
    QLabel* lblTechSupport;
    QPushButton* cmdOk;
    QPushButton* cmdSysInfo;

    void cmdOk_Click() { close(); }
    void cmdSysInfo_Click() { StartSysInfo(); }

private:
    void StartSysInfo();

    link::UserAnswers& answers_;
    QString settingsFile_;
    QPointer<SystemInfoWindow> info_;
};

// Program version, Qt version, operating system, serial ports found and the settings file.
class SystemInfoWindow : public QDialog {
    Q_OBJECT
public:
    explicit SystemInfoWindow(const QString& settingsFile, QWidget* parent = nullptr);
    QString text() const;

private:
    QLabel* info_;
};

} // namespace talvern::shell
