#pragma once
// The servo signature record: one stroke of the cupfeed as the motion board recorded it, with
// the PID gains in force, and its cupfeed data file (.cfd): the record packed little-endian with
// no gaps and no header, 5130 bytes, all 256 elements of every array whatever the count says.

#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>

namespace talvern::signatures {

constexpr int kMaxSamples = 256;
constexpr qint64 kCfdFileBytes = 5130;

using SampleArray = std::array<float, kMaxSamples>;

struct CpfdData {
    std::int16_t Samples = 0;   // valid samples, 0..256
    SampleArray Pos{};          // main-crank angle, degrees
    SampleArray Curr{};         // motor current, amps
    SampleArray Err{};          // following error, degrees
    SampleArray Profile{};      // actual profile position, degrees
    SampleArray Desired{};      // reference profile position, degrees
    std::int16_t PGainInt = 0;  // proportional gain, whole part
    std::int16_t PGainFrac = 0; // proportional gain, hundredths
    std::int16_t IGain = 0;
    std::int16_t DGain = 0;

    // How many elements may be indexed: Samples kept within 0..256, so that no caller ever
    // reads past the arrays whatever a board or a file said.
    int Count() const { return Samples < 0 ? 0 : (Samples > kMaxSamples ? kMaxSamples : Samples); }
    double PGain() const { return PGainInt + PGainFrac / 100.0; }
    // The samples of trace 0 current, 1 error, 2 actual profile, 3 reference profile.
    const SampleArray& Trace(int trace) const;
    SampleArray& Trace(int trace);

    // Field by field; floats compare by value, so NaN never equals itself.
    bool operator==(const CpfdData&) const = default;
};

// Whether every field, floats bit for bit, is the same.
bool SameBits(const CpfdData& a, const CpfdData& b);

// The record and its companions, as the program keeps them for the whole run.
struct SignatureRecord {
    signatures::CpfdData CpfdData;      // the signature shown, graphed, saved
    signatures::CpfdData CpfdDataSaved; // as last loaded or saved
    bool CpfdDataNew = false;           // an acquisition produced data not yet shown in the table
    QString CpfdFileTitle = QStringLiteral("untitled");
};

QByteArray WriteCfd(const CpfdData& data);

struct CfdReadResult {
    std::optional<CpfdData> data; // empty when refused
    QString reason;               // why it was refused, one sentence
};
// Reads the first 5130 bytes; refuses fewer, or a count outside 0..256.
CfdReadResult ReadCfd(const QByteArray& bytes);

// Reads a file; on refusal the message names the file and says why.
std::optional<CpfdData> LoadCfdFile(const QString& path, QString* message);
// Replaces the file atomically; on failure the old file is untouched and the message names
// the file and the cause.
bool SaveCfdFile(const QString& path, const CpfdData& data, QString* message);

} // namespace talvern::signatures
