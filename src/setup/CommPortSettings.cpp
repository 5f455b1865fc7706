#include "CommPortSettings.h"

#include "SideFiles.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSettings>
#include <algorithm>
#include <cmath>

namespace talvern::setup {

namespace {
const QString kDeviceKey = QStringLiteral("CommPort/Device");
}

CommSettings ReadCommSettings(const QString& settingsFile, QString* error) {
    CommSettings settings;
    QFile file(settingsFile);
    if (!file.exists() || file.size() == 0) return settings;
    if (!file.open(QIODevice::ReadOnly)) {
        // Error 75, a path or file access error, as the program numbers the others.
        if (error) *error = QStringLiteral("Error Number = 75\r\n\r\n") + file.errorString();
        return settings;
    }
    const link::PortFileLine line = link::ParsePortFileLine(file.read(256));
    settings.port = std::clamp(line.port, kCommPortMin, kCommPortMax);
    settings.speed = line.speed == QLatin1String("19200") ? 19200 : 9600;
    return settings;
}

QStringList DevelopmentFolders(const QString& programFolder) {
    QStringList folders;
    for (const char* name : {"BRX51", "BRX96", "VUD51"})
        folders << link::FindSideFile(programFolder, QString::fromLatin1(name));
    return folders;
}

bool PortEntryValid(const QString& text, int min, int max) {
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    return ok && std::isfinite(value) && value >= min && value <= max;
}

QString RangeMessage(int min, int max) {
    return QStringLiteral("Only a Number Between %1 and %2 can be Entered").arg(min).arg(max);
}

int ClampedPort(const QString& text) {
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value)) return kCommPortMin;
    return static_cast<int>(
        std::clamp(std::round(value), double(kCommPortMin), double(kCommPortMax)));
}

bool SaveCommSettings(const QString& settingsFile, const QString& programFolder,
                      const CommSettings& settings, QString* error) {
    if (!link::WritePortFile(settingsFile, settings.port, QString::number(settings.speed), error))
        return false;
    for (const QString& folder : DevelopmentFolders(programFolder)) {
        if (!QFileInfo(folder).isDir()) continue;
        QSaveFile file(link::FindSideFile(folder, QStringLiteral("BRIXEL.SFG")));
        if (!file.open(QIODevice::WriteOnly)) {
            if (error) *error = file.errorString();
            return false;
        }
        file.write(QByteArray::number(settings.port - 1) + "\r\n");
        if (!file.commit()) {
            if (error) *error = file.errorString();
            return false;
        }
    }
    return true;
}

QString ChosenDevice(const QSettings& settings) {
    return settings.value(kDeviceKey).toString().trimmed();
}

void SetChosenDevice(QSettings& settings, const QString& device) {
    if (device.trimmed().isEmpty())
        settings.remove(kDeviceKey);
    else
        settings.setValue(kDeviceKey, device.trimmed());
}

} // namespace talvern::setup
