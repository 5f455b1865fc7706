#pragma once
// Gives the keyboard back when a dialog or message box closes: to the window it was opened from,
// else to the main window.
// A desktop's window manager does this by itself; a bare X server (a kiosk PC, a test rig)
// does not, and the main window's shortcuts and access keys would stay dead.

#include <QObject>
#include <QPointer>

class QWidget;

namespace talvern::shell {

class FocusReturn : public QObject {
    Q_OBJECT
public:
    explicit FocusReturn(QWidget* mainWindow);
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> main_;
};

} // namespace talvern::shell
