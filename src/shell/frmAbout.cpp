#include "frmAbout.h"

#include "frmSetupComm.h"
#include "modUtility.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QSysInfo>
#include <QVBoxLayout>

namespace talvern::shell {

QString VersionLabelText(int major, int minor, int revision) {
    return QStringLiteral("Version %1.%2.%3").arg(major).arg(minor).arg(revision);
}

frmAbout::frmAbout(link::UserAnswers& answers, QString settingsFile, QWidget* parent)
    : QDialog(parent), answers_(answers), settingsFile_(std::move(settingsFile)) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About TALVERN"));
    setAttribute(Qt::WA_DeleteOnClose);

    lblTitle = new QLabel(QStringLiteral("TALVERN"), this);
    QFont big = lblTitle->font();
    big.setPointSize(big.pointSize() + 8);
    big.setBold(true);
    lblTitle->setFont(big);
    lblVersion = new QLabel(
        VersionLabelText(setup::ProgramMajor(), setup::ProgramMinor(), setup::ProgramRevision()),
        this);
    lblDescription = new QLabel(
        QStringLiteral("Set-up and monitoring utility for the bodymaker's PLC board K2510\n"
                       "and the servo cupfeed's motion board R7520.\n\n"
                       "Copyright \u00A9 The TALVERN developers. All rights reserved.\n"
                       "This program is protected by copyright law. Unauthorised copying or\n"
                       "distribution of it, or of any part of it, is not permitted."),
        this);
    lblTechSupport = new QLabel(QStringLiteral("Technical Support:\n"
                                               "TALVERN Controls Service Desk\n"
                                               "Telephone: +44 (0)161 555 0123\n"
                                               "E-mail: support@talvern.local"),
                                this);
    for (QLabel* l : {lblTitle, lblVersion, lblDescription, lblTechSupport})
        l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    lblDescription->setObjectName(QStringLiteral("lblDescription"));
    lblTechSupport->setObjectName(QStringLiteral("lblTechSupport"));

    cmdOk = new QPushButton(QStringLiteral("OK"), this);
    cmdOk->setObjectName(QStringLiteral("cmdOk"));
    cmdOk->setDefault(true);
    cmdSysInfo = new QPushButton(QStringLiteral("&System Info..."), this);
    cmdSysInfo->setObjectName(QStringLiteral("cmdSysInfo"));
    connect(cmdOk, &QPushButton::clicked, this, &frmAbout::cmdOk_Click);
    connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::cmdSysInfo_Click);

    auto* text = new QVBoxLayout;
    text->addWidget(lblTitle);
    text->addWidget(lblVersion);
    text->addSpacing(8);
    text->addWidget(lblDescription);
    text->addSpacing(8);
    text->addWidget(lblTechSupport);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(cmdOk);
    buttons->addWidget(cmdSysInfo);
    buttons->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(text, 1);
    layout->addLayout(buttons);
    adjustSize();
    CenterWindow(this);
}

void frmAbout::StartSysInfo() {
#ifdef Q_OS_WIN
    const QSettings msinfo(
        QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"),
        QSettings::NativeFormat);
    const QString path = msinfo.value(QStringLiteral("PATH")).toString();
    if (!path.isEmpty() && QProcess::startDetached(path, {})) return;
    const QSettings location(
        QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools Location"),
        QSettings::NativeFormat);
    const QString folder = location.value(QStringLiteral("MSINFO")).toString();
    if (!folder.isEmpty()) {
        const QString program = folder + QStringLiteral("\\MSINFO32.EXE");
        if (QFileInfo::exists(program) && QProcess::startDetached(program, {})) return;
    }
    answers_.ask(QStringLiteral("System Information Is Unavailable At This Time"),
                 QStringLiteral("TALVERN"), link::Buttons::Ok, link::Icon::None);
#else
    if (!info_) {
        info_ = new SystemInfoWindow(settingsFile_, this);
        info_->setAttribute(Qt::WA_DeleteOnClose);
    }
    info_->show();
    info_->raise();
    info_->activateWindow();
#endif
}

SystemInfoWindow::SystemInfoWindow(const QString& settingsFile, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("SystemInfoWindow"));
    setWindowTitle(QStringLiteral("System Information"));
    const QStringList ports = SystemSerialPorts();
    const QString text =
        QStringLiteral("Program: TALVERN %1.%2.%3\n")
            .arg(setup::ProgramMajor())
            .arg(setup::ProgramMinor())
            .arg(setup::ProgramRevision()) +
        QStringLiteral("Qt: %1\n").arg(QString::fromLatin1(qVersion())) +
        QStringLiteral("Operating system: %1 (%2)\n")
            .arg(QSysInfo::prettyProductName(), QSysInfo::currentCpuArchitecture()) +
        QStringLiteral("Serial ports found: %1\n")
            .arg(ports.isEmpty() ? QStringLiteral("none") : ports.join(QStringLiteral(", "))) +
        QStringLiteral("Port settings file: %1").arg(settingsFile);
    info_ = new QLabel(text, this);
    info_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(info_);
    layout->addWidget(buttons);
}

QString SystemInfoWindow::text() const {
    return info_->text();
}

} // namespace talvern::shell
