#include "frmSetupComm.h"

#include "QtPlatform.h"
#include "UpDown.h"
#include "modUtility.h"

#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSerialPortInfo>
#include <QSettings>
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
                           QString programFolder, QSettings* userSettings, QWidget* parent)
    : QDialog(parent), link_(link), port_(port), answers_(answers),
      programFolder_(std::move(programFolder)), userSettings_(userSettings),
      wasOnline_(link.OnlineMode) {
    setObjectName(QStringLiteral("frmSetupComm"));
    setWindowTitle(QStringLiteral("Comm Port Settings"));

    auto* fraCommPort = new QGroupBox(QStringLiteral("Comm Port"), this);
    fraCommPort->setObjectName(QStringLiteral("fraCommPort"));
    optCommPort[0] = new QRadioButton(QStringLiteral("Port &number"), fraCommPort);
    optCommPort[0]->setObjectName(QStringLiteral("optCommPort0"));
    txtCommPort = new QLineEdit(fraCommPort);
    txtCommPort->setObjectName(QStringLiteral("txtCommPort"));
    txtCommPort->setMaximumWidth(60);
    updCommPort = new UpDown(txtCommPort, fraCommPort);
    updCommPort->setObjectName(QStringLiteral("updCommPort"));
    updCommPort->setRange(setup::kCommPortMin, setup::kCommPortMax);
    updCommPort->setIncrement(1);
    lblCommPortDevice = new QLabel(fraCommPort);
    lblCommPortDevice->setObjectName(QStringLiteral("lblCommPortDevice"));
    optCommPort[1] = new QRadioButton(QStringLiteral("&Device"), fraCommPort);
    optCommPort[1]->setObjectName(QStringLiteral("optCommPort1"));
    cboCommDevice = new QComboBox(fraCommPort);
    cboCommDevice->setObjectName(QStringLiteral("cboCommDevice"));
    cboCommDevice->setEditable(true);
    cboCommDevice->setInsertPolicy(QComboBox::NoInsert);
    cboCommDevice->setMinimumContentsLength(32);
    cboCommDevice->lineEdit()->setPlaceholderText(QStringLiteral("/dev/ttyUSB0"));
    // Listed afresh each time the dialog opens, so an adapter plugged in since is there.
    for (const link::SerialDevice& device : link::AvailableSerialDevices())
        cboCommDevice->addItem(device.caption, device.location);
    auto* lblDeviceHint = new QLabel(
        QStringLiteral("Found on this computer; a path such as /dev/ttyUSB1 may be typed too."),
        fraCommPort);
    lblDeviceHint->setObjectName(QStringLiteral("lblCommDeviceHint"));
    auto* portGrid = new QGridLayout(fraCommPort);
    auto* numberRow = new QHBoxLayout;
    numberRow->addWidget(txtCommPort);
    numberRow->addWidget(updCommPort);
    numberRow->addSpacing(8);
    numberRow->addWidget(lblCommPortDevice, 1);
    portGrid->addWidget(optCommPort[0], 0, 0);
    portGrid->addLayout(numberRow, 0, 1);
    portGrid->addWidget(optCommPort[1], 1, 0);
    portGrid->addWidget(cboCommDevice, 1, 1);
    portGrid->addWidget(lblDeviceHint, 2, 1);
    portGrid->setColumnStretch(1, 1);

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

    CurrentSettings();

    connect(cmdSave, &QPushButton::clicked, this, &frmSetupComm::cmdSave_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmSetupComm::cmdCancel_Click);
    txtCommPort->installEventFilter(this);
    // Changing the number or the device chooses it.
    connect(txtCommPort, &QLineEdit::textChanged, this, &frmSetupComm::showPortDevice);
    connect(txtCommPort, &QLineEdit::textEdited, this,
            [this] { optCommPort[0]->setChecked(true); });
    connect(updCommPort, &UpDown::changed, this, [this] { optCommPort[0]->setChecked(true); });
    connect(cboCommDevice->lineEdit(), &QLineEdit::textEdited, this,
            [this] { optCommPort[1]->setChecked(true); });
    connect(cboCommDevice, &QComboBox::activated, this,
            [this] { optCommPort[1]->setChecked(true); });

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
    showPortDevice();
    optPortSpeed[settings.speed == 19200 ? 1 : 0]->setChecked(true);
    // The device the link takes instead of the number: chosen here before, or given on the
    // command line.
    const QString device = link_.DeviceOverride();
    optCommPort[device.isEmpty() ? 0 : 1]->setChecked(true);
    if (device.isEmpty()) return;
    const int listed = cboCommDevice->findData(link::SerialDeviceName({0, 0, device}));
    if (listed >= 0)
        cboCommDevice->setCurrentIndex(listed);
    else
        cboCommDevice->setEditText(device);
}

void frmSetupComm::showPortDevice() {
    const bool valid =
        setup::PortEntryValid(txtCommPort->text(), updCommPort->Min(), updCommPort->Max());
    lblCommPortDevice->setText(
        valid ? link::SerialDeviceName({setup::ClampedPort(txtCommPort->text()), 0, {}})
              : QString());
}

QString frmSetupComm::chosenDevice() const {
    const QString text = cboCommDevice->currentText().trimmed();
    if (text.isEmpty()) return {};
    for (int i = 0; i < cboCommDevice->count(); ++i)
        if (cboCommDevice->itemText(i) == text) return cboCommDevice->itemData(i).toString();
    return link::SerialDeviceName({0, 0, text});
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
    const QString device = optCommPort[1]->isChecked() ? chosenDevice() : QString();
    if (optCommPort[1]->isChecked() && device.isEmpty()) {
        answers_.ask(QStringLiteral("Choose or type the serial device to use, or choose the "
                                    "port number."),
                     QStringLiteral("Comm Port"), link::Buttons::Ok, link::Icon::Information);
        cboCommDevice->setFocus();
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
    // The settings file keeps its two fields, which older programs read; the device goes beside
    // it into the user's settings.
    if (userSettings_) {
        setup::SetChosenDevice(*userSettings_, device);
        userSettings_->sync();
    }
    link_.SetDeviceOverride(device);
    if (wasOnline_) {
        link_.OpenRSComm(port_);
        if (gOnlineView) gOnlineView->showOnlineState(link_.OnlineMode);
        // A port that does not answer keeps the dialog open to correct the settings or cancel.
        if (!link_.OnlineMode) return;
    }
    accept();
}

void frmSetupComm::cmdCancel_Click() {
    reject();
}

} // namespace talvern::shell
