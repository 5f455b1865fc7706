#pragma once
// Whether the R7520's servo amplifier is in test mode as far as the program has seen: on from
// the moment the program puts the board in test mode or a read finds it so, off when the
// program takes it out or a read finds it off. Test mode stays on the board when the tuning
// screen closes, so the main window's status bar keeps saying so on every screen. Nothing here
// talks to the board.

#include <QObject>

class QLabel;
class QStatusBar;

namespace talvern::shell {

class TestModeNotice : public QObject {
    Q_OBJECT
public:
    bool isOn() const { return on_; }
    void set(bool on);

signals:
    void changed(bool on);

private:
    bool on_ = false;
};

// The program's one notice.
TestModeNotice& ServoTestModeNotice();

// A status-bar panel ("sbrMain_TESTMODE") that shows "Servo amplifier test mode is ON" while
// the notice is on and hides otherwise.
QLabel* AddTestModePanel(QStatusBar* bar);

} // namespace talvern::shell
