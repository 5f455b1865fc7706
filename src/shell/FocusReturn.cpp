#include "FocusReturn.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace talvern::shell {

FocusReturn::FocusReturn(QWidget* mainWindow) : QObject(mainWindow), main_(mainWindow) {
    qApp->installEventFilter(this);
}

bool FocusReturn::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Hide && watched != main_) {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget && widget->isWindow()) {
            // After the hide has settled: only when no other window took the keyboard.
            QTimer::singleShot(0, this, [this] {
                if (main_ && main_->isVisible() && !QApplication::activeWindow() &&
                    !QApplication::activeModalWidget())
                    main_->activateWindow();
            });
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace talvern::shell
