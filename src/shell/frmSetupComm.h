#pragma once
// The comm-port dialog: the port number or a serial device (a USB adapter, a pseudo-terminal),
// and the speed, saved to the settings files and applied to the link (reopened at once when it
// was online).

#include "CommPortSettings.h"
#include "Platform.h"
#include "RSComm.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSettings;

namespace talvern::shell {

class UpDown;

class frmSetupComm : public QDialog {
    Q_OBJECT
public:
    // userSettings keeps the chosen device between runs; without it the choice lasts this run.
    frmSetupComm(link::RSComm& link, link::SerialLine& port, link::UserAnswers& answers,
                 QString programFolder, QSettings* userSettings, QWidget* parent = nullptr);

    // optCommPort[0] uses the port number, optCommPort[1] the device.
    QRadioButton* optCommPort[2];
    QLineEdit* txtCommPort;
    UpDown* updCommPort;
    QLabel* lblCommPortDevice; // the device the port number names
    // The serial devices found when the dialog opened; a path may be typed instead.
    QComboBox* cboCommDevice;
    QRadioButton* optPortSpeed[2];
    QPushButton* cmdSave;
    QPushButton* cmdCancel;

    void cmdSave_Click();
    void cmdCancel_Click();
    // The port entry check; false (after the range message) when it fails.
    bool txtCommPort_Validate();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CurrentSettings();
    // The device path the device box names: a listed device's location, or the typed path.
    QString chosenDevice() const;
    void showPortDevice();

    link::RSComm& link_;
    link::SerialLine& port_;
    link::UserAnswers& answers_;
    QString programFolder_;
    QSettings* userSettings_;
    bool wasOnline_;
    bool checking_ = false;
};

// The serial ports the system has, as "name (description)" lines.
QStringList SystemSerialPorts();

} // namespace talvern::shell
