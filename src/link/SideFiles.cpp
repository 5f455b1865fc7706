#include "SideFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace talvern::link {

QString FindSideFile(const QString& folder, const QString& relativePath) {
    QString current = folder;
    const QStringList parts = relativePath.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (const QString& part : parts) {
        QString match = part;
        const QDir dir(current);
        if (dir.exists() && !QFileInfo::exists(dir.filePath(part))) {
            const QStringList entries =
                dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
            for (const QString& entry : entries) {
                if (entry.compare(part, Qt::CaseInsensitive) == 0) {
                    match = entry;
                    break;
                }
            }
        }
        current = dir.filePath(match);
    }
    return current;
}

ProgramFolders FindProgramFolders(const QString& executableFolder) {
    for (const char* side : {"support", "Help"})
        if (QFileInfo(FindSideFile(executableFolder, QString::fromLatin1(side))).isDir())
            return {executableFolder, false};
    const QString shared =
        QDir::cleanPath(QDir(executableFolder).filePath(QStringLiteral("../share/talvern")));
    if (QFileInfo(shared).isDir()) return {shared, true};
    return {executableFolder, false};
}

PortFileLine ParsePortFileLine(const QByteArray& contents) {
    PortFileLine line;
    const QString text = QString::fromLatin1(contents.left(kPortFileBytes));
    const QString first = text.section(QLatin1Char('\n'), 0, 0).remove(QLatin1Char('\r'));
    const QString portText = first.section(QLatin1Char(','), 0, 0).trimmed();
    bool ok = false;
    const qlonglong port = portText.toLongLong(&ok);
    // The port spinner of the comm-port dialog allows 1..99.
    line.port = !ok || port < 1 ? 1 : port > 99 ? 99 : static_cast<int>(port);
    const QString speed = first.section(QLatin1Char(','), 1, 1).trimmed();
    line.speed = speed == QLatin1String("19200") ? speed : QStringLiteral("9600");
    return line;
}

bool WritePortFile(const QString& path, int port, const QString& speed, QString* error) {
    const QFileInfo info(path);
    if (!QDir().mkpath(info.absolutePath())) {
        if (error) *error = QStringLiteral("Path not found: %1").arg(info.absolutePath());
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error) *error = file.errorString();
        return false;
    }
    file.write(QStringLiteral("%1,%2\r\n").arg(port).arg(speed).toLatin1());
    if (!file.commit()) {
        if (error) *error = file.errorString();
        return false;
    }
    return true;
}

QStringList ReadFieldStream(const QByteArray& contents) {
    QStringList fields;
    const QString text = QString::fromLatin1(contents);
    int i = 0;
    const int n = text.size();
    auto isLineEnd = [](QChar c) { return c == QLatin1Char('\n') || c == QLatin1Char('\r'); };
    while (i < n) {
        // Blank lines hold no field.
        while (i < n && isLineEnd(text.at(i)))
            ++i;
        if (i >= n) break;
        while (i < n && (text.at(i) == QLatin1Char(' ') || text.at(i) == QLatin1Char('\t')))
            ++i;
        QString field;
        if (i < n && text.at(i) == QLatin1Char('"')) {
            ++i;
            while (i < n && text.at(i) != QLatin1Char('"'))
                field += text.at(i++);
            if (i < n) ++i; // closing quote
            while (i < n && text.at(i) != QLatin1Char(',') && !isLineEnd(text.at(i)))
                ++i;
        } else {
            while (i < n && text.at(i) != QLatin1Char(',') && !isLineEnd(text.at(i)))
                field += text.at(i++);
            field = field.trimmed();
        }
        fields << field;
        if (i < n && text.at(i) == QLatin1Char(',')) {
            ++i;
            if (i >= n || isLineEnd(text.at(i))) fields << QString(); // "a," ends in an empty field
        }
    }
    return fields;
}

std::optional<QString> CodeDescriptionIn(const QByteArray& contents, const QString& code,
                                         bool lastWins) {
    const QStringList fields = ReadFieldStream(contents);
    std::optional<QString> found;
    for (int i = 0; i + 1 < fields.size(); i += 2) {
        if (fields.at(i).compare(code, Qt::CaseInsensitive) != 0) continue;
        found = fields.at(i + 1);
        if (!lastWins) break;
    }
    return found;
}

} // namespace talvern::link
