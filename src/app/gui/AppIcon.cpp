#include "AppIcon.h"

#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

namespace talvern::app {

QIcon TalvernIcon() {
    // Drawn at each size a window manager asks for, so that small sizes stay sharp without
    // relying on an icon-engine plugin being installed.
    QSvgRenderer drawing(QStringLiteral(":/talvern.svg"));
    QIcon icon;
    if (!drawing.isValid()) return icon;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        drawing.render(&painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace talvern::app
