#pragma once
// The comm-port dialog: port number and speed, saved to the settings files and applied to the
// link (reopened at once when it was online).

#include "CommPortSettings.h"
#include "Platform.h"
#include "RSComm.h"

#include <QDialog>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace talvern::shell {

class UpDown;

class frmSetupComm : public QDialog {
    Q_OBJECT
public:
    frmSetupComm(link::RSComm& link, link::SerialLine& port, link::UserAnswers& answers,
                 QString programFolder, QWidget* parent = nullptr);

    QLineEdit* txtCommPort;
    UpDown* updCommPort;
    QRadioButton* optPortSpeed[2];
    QPushButton* cmdSave;
    QPushButton* cmdCancel;
    QLabel* lblPortsFound;

    void cmdSave_Click();
    void cmdCancel_Click();
    // The port entry check; false (after the range message) when it fails.
    bool txtCommPort_Validate();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CurrentSettings();

    link::RSComm& link_;
    link::SerialLine& port_;
    link::UserAnswers& answers_;
    QString programFolder_;
    bool wasOnline_;
    bool checking_ = false;
};

// The serial ports the system has, as "name (description)" lines.
QStringList SystemSerialPorts();

} // namespace talvern::shell
