#include "ScreenHold.h"

#include "modUtility.h"

#include <QApplication>
#include <QPointer>
#include <QWidget>

namespace talvern::shell {

std::function<bool()> ScreenHold(QWidget* window) {
    QPointer<QWidget> screen(window);
    const bool anyModal = window == nullptr;
    return [screen, anyModal] {
        if (gLink && gLink->IsBusy()) return true;
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr) return false;
        if (anyModal) return true;
        return screen && modal != screen && !modal->isAncestorOf(screen);
    };
}

} // namespace talvern::shell
