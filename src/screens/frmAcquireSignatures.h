#pragma once
// "Aquisition of Data:": the small modal window of a signature acquisition, with its progress
// bar and Cancel. The acquisition runs as a step machine on the refresh-cycle engine, one link
// transaction per step, so that Cancel, repaints and the main window are served between them;
// the window closes itself when the acquisition has ended.

#include "AcquireSignatures.h"
#include "RefreshCycle.h"

#include <QDialog>
#include <functional>
#include <memory>

class QGroupBox;
class QLabel;
class QProgressBar;
class QPushButton;

namespace talvern::screens {

class frmAcquireSignatures : public QDialog {
    Q_OBJECT
public:
    explicit frmAcquireSignatures(QWidget* parent = nullptr);
    ~frmAcquireSignatures() override;

    void cmdCancel_Click();

    const signatures::SignatureAcquisition& acquisition() const { return *acquisition_; }
    setup::RefreshCycle& cycle() { return *cycle_; }
    // Called once when the acquisition has ended, before the window closes.
    std::function<void(const signatures::SignatureAcquisition&)> onFinished;

    QGroupBox* fraAcquire;
    QProgressBar* prgAcquire;
    QLabel* lblAcquire;
    QPushButton* cmdCancel;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    bool runStep();

    std::unique_ptr<signatures::SignatureAcquisition> acquisition_;
    std::unique_ptr<setup::RefreshCycle> cycle_;
    bool done_ = false;
};

} // namespace talvern::screens
