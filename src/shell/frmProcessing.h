#pragma once
// The small modal window of a data upload or download: what is happening, how far it has got,
// and Cancel. A zero-interval timer runs one step of the transfer per tick, so Cancel, repaints
// and the main window's background poll are served between link transactions.

#include "DataTransfer.h"

#include <QDialog>
#include <QTimer>
#include <functional>
#include <memory>

class QFrame;
class QLabel;
class QProgressBar;
class QPushButton;

namespace talvern::shell {

class frmProcessing : public QDialog {
    Q_OBJECT
public:
    frmProcessing(int mode, link::RSComm& link, setup::SetupData& setup, link::UserAnswers& answers,
                  link::EventPump& events, std::function<bool(int)> checkTargetBoard,
                  QWidget* parent = nullptr);
    ~frmProcessing() override;

    // Starts the steps (on the window's first activation).
    void RunTransfer();
    // One step of the transfer; closes the window after the last.
    void tmrProcessing_Timer();
    void cmdCancel_Click();

    const setup::DataTransfer& transfer() const { return *transfer_; }
    bool running() const { return tmrProcessing.isActive(); }
    // Called once when the transfer has ended, before the window closes.
    std::function<void(const setup::DataTransfer&)> onFinished;

    QFrame* fraProcessing;
    QLabel* lblProcessing;
    QProgressBar* prgProcessing;
    QPushButton* cmdCancel;
    QTimer tmrProcessing;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    link::RSComm& link_;
    std::unique_ptr<setup::DataTransfer> transfer_;
    bool started_ = false;
    bool done_ = false;
    bool stepping_ = false;
};

} // namespace talvern::shell
