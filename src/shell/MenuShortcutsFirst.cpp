#include "MenuShortcutsFirst.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace talvern::shell {

MenuShortcutsFirst::MenuShortcutsFirst(QWidget* window) : QObject(window), window_(window) {
    qApp->installEventFilter(this);
}

bool MenuShortcutsFirst::eventFilter(QObject* watched, QEvent* event) {
    // A key that a text box claims as its own (Ctrl+X: cut) reaches it as a key press instead of
    // running the shortcut; a key whose shortcut ran never arrives here.
    if (event->type() != QEvent::KeyPress || !window_) return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != window_) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (!(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) return false;
    const QKeySequence pressed(key->keyCombination());
    const auto actions = window_->findChildren<QAction*>();
    for (QAction* action : actions) {
        if (action->isEnabled() && !action->shortcut().isEmpty() && action->shortcut() == pressed) {
            action->trigger();
            return true;
        }
    }
    return false;
}

} // namespace talvern::shell
