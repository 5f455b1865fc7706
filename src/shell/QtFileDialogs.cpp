#include "QtFileDialogs.h"

#include <QFileDialog>
#include <QFileInfo>

namespace talvern::shell {

namespace {
// A name such as "folder/*.sdt" opens the dialog in that folder with nothing chosen.
QString StartAt(const QString& initialName) {
    if (initialName.contains(QLatin1Char('*'))) return QFileInfo(initialName).absolutePath();
    return initialName;
}
} // namespace

QString QtFileDialogs::openFile(const QString& initialName, const QString& filter) {
    return QFileDialog::getOpenFileName(parent_, QStringLiteral("Open"), StartAt(initialName),
                                        filter, nullptr, QFileDialog::DontUseNativeDialog);
}

QString QtFileDialogs::saveFile(const QString& initialName, const QString& filter) {
    // QFileDialog asks before replacing an existing file.
    return QFileDialog::getSaveFileName(parent_, QStringLiteral("Save As"), StartAt(initialName),
                                        filter, nullptr, QFileDialog::DontUseNativeDialog);
}

} // namespace talvern::shell
