#pragma once
// Inputs kept as files under tests/data: files that once broke a reader.

#include <QByteArray>
#include <QFile>
#include <QString>

namespace talvern::testing {

inline QByteArray TestData(const char* name) {
    QFile file(QStringLiteral(TALVERN_TEST_DATA "/") + QLatin1String(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

} // namespace talvern::testing
