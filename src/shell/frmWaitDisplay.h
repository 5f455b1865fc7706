#pragma once
// The wait window: a stand-by message on screen while a report or a data printout is produced.

#include <QDialog>
#include <functional>

class QLabel;

namespace talvern::shell {

// The message for a wait-display mode (1 report, 2 data printout, else a plain stand-by).
QString WaitDisplayText(int mode);

class frmWaitDisplay : public QDialog {
    Q_OBJECT
public:
    explicit frmWaitDisplay(QWidget* parent = nullptr);
    QLabel* lblWaitDisplay;

    // Shows the message of the mode, does the work with the message on screen, then closes.
    void Run(int mode, const std::function<void()>& work);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // Lets events run until the window system has exposed the window and it is painted.
    void waitUntilPainted();
    bool painted_ = false;
};

} // namespace talvern::shell
