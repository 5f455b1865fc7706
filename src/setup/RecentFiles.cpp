#include "RecentFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace talvern::setup {

namespace {
const QString kKey = QStringLiteral("RecentFiles");

// One spelling per file: "a/../b.sdt" and "b.sdt" opened from the same folder are one entry.
QString Normalised(const QString& path) {
    return path.isEmpty() ? path : QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}
} // namespace

RecentFiles::RecentFiles(const QStringList& paths) {
    for (auto it = paths.crbegin(); it != paths.crend(); ++it)
        add(*it);
}

void RecentFiles::add(const QString& path) {
    const QString file = Normalised(path);
    if (file.isEmpty()) return;
    paths_.removeAll(file);
    paths_.prepend(file);
    while (paths_.size() > kMaxFiles)
        paths_.removeLast();
}

void RecentFiles::remove(const QString& path) {
    paths_.removeAll(Normalised(path));
}

RecentFiles RecentFiles::load(const QSettings& settings) {
    return RecentFiles(settings.value(kKey).toStringList());
}

void RecentFiles::save(QSettings& settings) const {
    settings.setValue(kKey, paths_);
}

QString RecentFileCaption(int index, const QString& path) {
    constexpr int kLongest = 60;
    QString shown = QDir::toNativeSeparators(path);
    if (shown.size() > kLongest) {
        const QString name = QFileInfo(path).fileName();
        const int head = qMax(3, kLongest - static_cast<int>(name.size()) - 4);
        shown = shown.left(head) + QStringLiteral("...") + QDir::separator() + name;
    }
    shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return QStringLiteral("&%1 %2").arg(index + 1).arg(shown);
}

} // namespace talvern::setup
