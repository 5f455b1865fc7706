#pragma once
// The set-up file (.sdt): one SetupData record in binary form, little-endian, no padding, no
// header. Texts are a 16-bit length and single-byte characters; the two parameter arrays carry
// a descriptor (dimension count, then element count and lower bound of the one dimension).
//
// The reader takes the array sizes from the file, ignores whatever follows the record and
// refuses anything it cannot take apart safely; no count read from a file allocates more than
// the file itself could hold.

#include "SetupData.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace talvern::setup {

// Element counts above this are taken as a foreign file, whatever the file's size.
constexpr std::uint32_t kSdtMaxEntries = 4096;

struct SdtReadResult {
    std::optional<SetupData> data; // empty when refused
    QString reason;                // why it was refused, one sentence
};

QByteArray WriteSdt(const SetupData& data);
SdtReadResult ReadSdt(const QByteArray& bytes);

// Reads a file; on refusal the message names the file and says why.
std::optional<SetupData> LoadSdtFile(const QString& path, QString* message);
// Replaces the file atomically (written beside it, then renamed over it); a writable file in a
// folder where no new file may be created is written in place. On failure the message names
// the file and the cause, and an atomic replacement leaves the old file untouched.
bool SaveSdtFile(const QString& path, const SetupData& data, QString* message);

// Writes text to a file atomically; same failure rules as SaveSdtFile.
bool SaveTextFile(const QString& path, const QByteArray& contents, QString* message);

} // namespace talvern::setup
