#pragma once
// A check box that mirrors one board bit pass by pass and writes it when clicked. Online it
// shows the board's state only once that state is confirmed (read alike by two passes in a row,
// or written by the user's own click), and partly checked while it is not known; a confirmed
// change runs the box's handling as a click would, a click while the state is unknown does
// nothing. Offline it shows the working value, and a change runs the handling too.

#include "SeenValue.h"

#include <QObject>
#include <functional>
#include <optional>

class QCheckBox;

namespace talvern::screens {

class BoardCheckBox : public QObject {
    Q_OBJECT
public:
    // handle(on) runs for a click and for a change the passes bring; it may call set() (a
    // declined change goes back).
    BoardCheckBox(QCheckBox* box, std::function<void(bool on)> handle);

    // The state the passes last brought in was the first known since the display set-up (the
    // box is being set, not changed).
    bool settingUp() const { return settingUp_; }

    QCheckBox* box() const { return box_; }
    // The state the box stands for (unchecked until one is known).
    bool on() const { return on_; }
    bool known() const { return seen_.known(); }

    // A pass's reading online, or nothing when the read failed.
    void read(std::optional<bool> value);
    // Offline: the working value.
    void showOffline(bool on);
    // The board took the user's state (false: the write did not get through, nothing is known).
    void wrote(bool took);
    // A new display set-up: nothing known yet.
    void forget();
    // Sets the box without running its handling.
    void set(bool on);

private:
    void showUnknown();
    void change(bool on);

    QCheckBox* box_;
    std::function<void(bool)> handle_;
    setup::SeenValue seen_;
    bool on_ = false;
    bool online_ = false;
    bool everKnown_ = false;
    bool settingUp_ = false;
};

} // namespace talvern::screens
