#pragma once
// Menu shortcuts come before a text box's own keys: Ctrl+X exports the shift data even while a
// set-up field has the focus, as engineers used to this program expect. (Cut stays on
// Shift+Delete.)

#include <QObject>
#include <QPointer>

class QWidget;

namespace talvern::shell {

class MenuShortcutsFirst : public QObject {
    Q_OBJECT
public:
    // The shortcuts of every enabled action under `window` win.
    explicit MenuShortcutsFirst(QWidget* window);
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> window_;
};

} // namespace talvern::shell
