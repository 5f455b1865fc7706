#pragma once
// The small modal window of a program transfer: what is being transferred and where it has got
// (the address, a percentage of the image or of the upload range, the time left at the present
// rate). It starts the transfer when it is first shown, runs one step of it per timer tick (one
// link transaction), refreshes its label from Timer1 every 250 ms, and closes itself when the
// transfer has ended. A transfer cannot be abandoned half-way: closing waits for its end.

#include "ProgramDump.h"
#include "ProgramFiles.h"
#include "ProgramUpload.h"
#include "ProgramVerify.h"

#include <QDialog>
#include <QTimer>
#include <functional>
#include <memory>

class QFrame;
class QLabel;
class QProgressBar;

namespace talvern::shell {

class frmDownloadProg : public QDialog {
    Q_OBJECT
public:
    enum Mode { kDump = 0, kUpload = 1, kVerify = 2 };

    // boardNumber: the board chosen in the menu, confirmed on the cable first (0: none).
    frmDownloadProg(link::RSComm& link, targetboard::ProgramSet& set, link::UserAnswers& answers,
                    link::Clock& clock, int boardNumber, std::function<bool(int)> checkTargetBoard,
                    QWidget* parent = nullptr);
    ~frmDownloadProg() override;

    // Before the window is shown: 0 dump, 1 upload, 2 verify.
    void SetTransferMode(int Mode);
    int transferMode() const { return mode_; }

    void Timer1_Timer();
    // One step of the transfer; closes the window after the last.
    void runStep();
    bool running() const { return started_ && !done_; }
    bool succeeded() const { return succeeded_; }
    // Called once when the transfer has ended, before the window closes.
    std::function<void(bool succeeded)> onFinished;

    QFrame* fraDownloadProg;
    QLabel* lblWaitDisplay;
    QProgressBar* prgDownloadProg;
    QLabel* lblProgress;
    QTimer Timer1;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void start();
    void scheduleStep();
    const targetboard::TransferProgress* progress() const;

    link::RSComm& link_;
    targetboard::ProgramSet& set_;
    link::UserAnswers& answers_;
    link::Clock& clock_;
    int boardNumber_;
    std::function<bool(int)> checkTargetBoard_;
    int mode_ = kDump;
    std::unique_ptr<targetboard::ProgramDump> dump_;
    std::unique_ptr<targetboard::ProgramUpload> upload_;
    std::unique_ptr<targetboard::ProgramVerify> verify_;
    QTimer stepTimer_;
    bool started_ = false;
    bool done_ = false;
    bool succeeded_ = false;
};

} // namespace talvern::shell
