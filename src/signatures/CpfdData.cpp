#include "CpfdData.h"

#include "SdtFile.h"

#include <QFile>
#include <cstring>

namespace talvern::signatures {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

void PutI16(QByteArray& out, std::int16_t v) {
    const auto u = static_cast<std::uint16_t>(v);
    out.append(static_cast<char>(u & 0xFF));
    out.append(static_cast<char>(u >> 8));
}

void PutFloats(QByteArray& out, const SampleArray& values) {
    for (float f : values) {
        std::uint32_t u = 0;
        std::memcpy(&u, &f, sizeof u);
        for (int shift = 0; shift < 32; shift += 8)
            out.append(static_cast<char>((u >> shift) & 0xFF));
    }
}

std::int16_t GetI16(const unsigned char* p) {
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(p[0] | (p[1] << 8)));
}

void GetFloats(const unsigned char* p, SampleArray& values) {
    for (float& f : values) {
        const std::uint32_t u = std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) |
                                (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[3]} << 24);
        std::memcpy(&f, &u, sizeof f);
        p += 4;
    }
}

} // namespace

const SampleArray& CpfdData::Trace(int trace) const {
    switch (trace) {
        case 0:
            return Curr;
        case 1:
            return Err;
        case 2:
            return Profile;
        default:
            return Desired;
    }
}

SampleArray& CpfdData::Trace(int trace) {
    return const_cast<SampleArray&>(std::as_const(*this).Trace(trace));
}

bool SameBits(const CpfdData& a, const CpfdData& b) {
    return WriteCfd(a) == WriteCfd(b);
}

QByteArray WriteCfd(const CpfdData& d) {
    QByteArray out;
    out.reserve(kCfdFileBytes);
    PutI16(out, d.Samples);
    for (const SampleArray* a : {&d.Pos, &d.Curr, &d.Err, &d.Profile, &d.Desired})
        PutFloats(out, *a);
    for (std::int16_t v : {d.PGainInt, d.PGainFrac, d.IGain, d.DGain})
        PutI16(out, v);
    return out;
}

CfdReadResult ReadCfd(const QByteArray& bytes) {
    // A longer file (one saved over a longer file by an earlier version) is read as its first
    // record; a shorter one holds no whole record.
    if (bytes.size() < kCfdFileBytes)
        return {std::nullopt,
                QStringLiteral("A cupfeed data file is %1 bytes long; this one is %2 bytes.")
                    .arg(kCfdFileBytes)
                    .arg(bytes.size())};
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
    CpfdData d;
    d.Samples = GetI16(p);
    if (d.Samples < 0 || d.Samples > kMaxSamples)
        return {std::nullopt, QStringLiteral("It claims %1 samples; a signature holds 0 to %2.")
                                  .arg(d.Samples)
                                  .arg(kMaxSamples)};
    p += 2;
    for (SampleArray* a : {&d.Pos, &d.Curr, &d.Err, &d.Profile, &d.Desired}) {
        GetFloats(p, *a);
        p += 4 * kMaxSamples;
    }
    for (std::int16_t* v : {&d.PGainInt, &d.PGainFrac, &d.IGain, &d.DGain}) {
        *v = GetI16(p);
        p += 2;
    }
    return {d, QString()};
}

std::optional<CpfdData> LoadCfdFile(const QString& path, QString* message) {
    const QString head =
        QStringLiteral("Cannot open \"%1\" as a cupfeed data file.").arg(path) + kCrLf;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (message) *message = head + file.errorString();
        return std::nullopt;
    }
    const QByteArray bytes = file.read(kCfdFileBytes);
    if (file.error() != QFileDevice::NoError) {
        if (message) *message = head + file.errorString();
        return std::nullopt;
    }
    CfdReadResult result = ReadCfd(bytes);
    if (!result.data && message) *message = head + result.reason;
    return result.data;
}

bool SaveCfdFile(const QString& path, const CpfdData& data, QString* message) {
    return setup::SaveTextFile(path, WriteCfd(data), message);
}

} // namespace talvern::signatures
