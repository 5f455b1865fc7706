#include "frmSetupComm.h"

#include "UpDown.h"
#include "modUtility.h"

#include <QEvent>
#include <QFocusEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSerialPortInfo>
#include <QVBoxLayout>

namespace talvern::shell {

QStringList SystemSerialPorts() {
    QStringList ports;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        QString line = info.systemLocation();
        if (!info.description().isEmpty()) line += QStringLiteral(" (") + info.description() + ')';
        ports << line;
    }
    return ports;
}

frmSetupComm::frmSetupComm(link::RSComm& link, link::SerialLine& port, link::UserAnswers& answers,
                           QString programFolder, QWidget* parent)
    : QDialog(parent), link_(link), port_(port), answers_(answers),
      programFolder_(std::move(programFolder)), wasOnline_(link.OnlineMode) {
    setObjectName(QStringLiteral("frmSetupComm"));
    setWindowTitle(QStringLiteral("Comm Port Settings"));

    auto* fraCommPort = new QGroupBox(QStringLiteral("Comm Port"), this);
    fraCommPort->setObjectName(QStringLiteral("fraCommPort"));
    txtCommPort = new QLineEdit(fraCommPort);
    txtCommPort->setObjectName(QStringLiteral("txtCommPort"));
    txtCommPort->setMaximumWidth(60);
    updCommPort = new UpDown(txtCommPort, fraCommPort);
    updCommPort->setObjectName(QStringLiteral("updCommPort"));
    updCommPort->setRange(setup::kCommPortMin, setup::kCommPortMax);
    updCommPort->setIncrement(1);
#ifdef Q_OS_WIN
    const QString naming = QStringLiteral("Port n is COMn.");
#else
    const QString naming = QStringLiteral("Port n is /dev/ttyS(n-1).");
#endif
    const QStringList found = SystemSerialPorts();
    lblPortsFound = new QLabel(naming + QStringLiteral("\nPorts found on this computer:\n") +
                                   (found.isEmpty() ? QStringLiteral("(none)") : found.join('\n')),
                               fraCommPort);
    lblPortsFound->setObjectName(QStringLiteral("lblPortsFound"));
    lblPortsFound->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* portRow = new QHBoxLayout(fraCommPort);
    portRow->addWidget(txtCommPort);
    portRow->addWidget(updCommPort);
    portRow->addSpacing(12);
    portRow->addWidget(lblPortsFound, 1);

    auto* fraPortSpeed = new QGroupBox(QStringLiteral("Port Speed"), this);
    fraPortSpeed->setObjectName(QStringLiteral("fraPortSpeed"));
    optPortSpeed[0] = new QRadioButton(QStringLiteral("9600"), fraPortSpeed);
    optPortSpeed[1] = new QRadioButton(QStringLiteral("19200"), fraPortSpeed);
    optPortSpeed[0]->setObjectName(QStringLiteral("optPortSpeed0"));
    optPortSpeed[1]->setObjectName(QStringLiteral("optPortSpeed1"));
    auto* speedRow = new QHBoxLayout(fraPortSpeed);
    speedRow->addWidget(optPortSpeed[0]);
    speedRow->addWidget(optPortSpeed[1]);
    speedRow->addStretch();

    cmdSave = new QPushButton(QStringLiteral("&Save"), this);
    cmdSave->setObjectName(QStringLiteral("cmdSave"));
    cmdSave->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdSave);
    buttons->addWidget(cmdCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(fraCommPort);
    layout->addWidget(fraPortSpeed);
    layout->addLayout(buttons);

    connect(cmdSave, &QPushButton::clicked, this, &frmSetupComm::cmdSave_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmSetupComm::cmdCancel_Click);
    txtCommPort->installEventFilter(this);

    CurrentSettings();
    adjustSize();
    CenterWindow(this);
}

void frmSetupComm::CurrentSettings() {
    QString error;
    const setup::CommSettings settings = setup::ReadCommSettings(link_.CommSettingsFile(), &error);
    if (!error.isEmpty())
        answers_.ask(error, QStringLiteral("SetupComm CurrentSettings"), link::Buttons::Ok,
                     link::Icon::Information);
    txtCommPort->setText(QString::number(settings.port));
    optPortSpeed[settings.speed == 19200 ? 1 : 0]->setChecked(true);
}

bool frmSetupComm::txtCommPort_Validate() {
    if (setup::PortEntryValid(txtCommPort->text(), updCommPort->Min(), updCommPort->Max()))
        return true;
    checking_ = true;
    answers_.ask(setup::RangeMessage(updCommPort->Min(), updCommPort->Max()),
                 QStringLiteral("Comm Port"), link::Buttons::Ok, link::Icon::Information);
    txtCommPort->setFocus();
    txtCommPort->selectAll();
    checking_ = false;
    return false;
}

bool frmSetupComm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txtCommPort && event->type() == QEvent::FocusOut && !checking_) {
        // Only a move of focus inside the dialog leaves the field; a message box or another
        // window taking the focus does not.
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            txtCommPort_Validate();
    }
    return QDialog::eventFilter(watched, event);
}

void frmSetupComm::cmdSave_Click() {
    if (!setup::PortEntryValid(txtCommPort->text(), updCommPort->Min(), updCommPort->Max())) {
        txtCommPort_Validate();
        return;
    }
    link_.CloseRSComm();
    setup::CommSettings settings;
    settings.port = setup::ClampedPort(txtCommPort->text());
    settings.speed = optPortSpeed[1]->isChecked() ? 19200 : 9600;
    QString error;
    if (!setup::SaveCommSettings(link_.CommSettingsFile(), programFolder_, settings, &error)) {
        answers_.ask(QStringLiteral("Error Number = 75\r\n\r\n") + error,
                     QStringLiteral("SetupComm"), link::Buttons::Ok, link::Icon::Information);
        return;
    }
    if (wasOnline_) {
        link_.OpenRSComm(port_);
        // A port that does not answer keeps the dialog open to correct the settings or cancel.
        if (!link_.OnlineMode) return;
    }
    accept();
}

void frmSetupComm::cmdCancel_Click() {
    reject();
}

} // namespace talvern::shell
