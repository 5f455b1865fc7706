#pragma once
// The signature as text: a sample as the table and the export show it, the export layout, and
// the question about unsaved changes.

#include "CpfdData.h"
#include "Platform.h"

#include <QByteArray>
#include <QLocale>
#include <QString>
#include <optional>

namespace talvern::signatures {

inline const QString kCfdFilter = QStringLiteral("Cupfeed Data Files(*.cfd)");
inline const QString kTextFilter = QStringLiteral("Text Files(*.txt)");

// A value as its decimal text: at most 7 significant digits, no trailing zeros, the locale's
// decimal separator ("12.5", "0", "-3.2").
QString SampleText(float value, const QLocale& locale = QLocale());

// The proportional gain with two decimals and digit grouping ("12.05").
QString PGainText(const CpfdData& data, const QLocale& locale = QLocale());

// The export layout: the P, I and D lines, the column header and one line per sample, fields
// separated by a tab, every line ending in lineEnd.
QByteArray ExportText(const CpfdData& data, const QLocale& locale = QLocale(),
                      const QString& lineEnd = QStringLiteral("\r\n"));

// Whether a sample (within the current count) or a gain differs from the saved copy, bit for
// bit. The count itself is not compared.
bool SignatureChanged(const CpfdData& current, const CpfdData& saved);

// Asks "Save Changes to File?" when the signature changed; nothing when it did not.
std::optional<link::Answer> AskSaveChanges(const CpfdData& current, const CpfdData& saved,
                                           link::UserAnswers& answers);

} // namespace talvern::signatures
