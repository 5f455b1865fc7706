#include "FocusReturn.h"

#include <QApplication>
#include <QEvent>
#include <QPointer>
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
            // The window it was opened from gets the keyboard back (the About box after its
            // system-information window), else the main window.
            QPointer<QWidget> opener =
                widget->parentWidget() ? widget->parentWidget()->window() : nullptr;
            // After the hide has settled: only when no other window took the keyboard.
            QTimer::singleShot(0, this, [this, opener] {
                if (!main_ || !main_->isVisible() || QApplication::activeWindow() ||
                    QApplication::activeModalWidget())
                    return;
                if (opener && opener->isVisible())
                    opener->activateWindow();
                else
                    main_->activateWindow();
            });
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace talvern::shell
