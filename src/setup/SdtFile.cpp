#include "SdtFile.h"

#include <QFile>
#include <QSaveFile>

namespace talvern::setup {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

class Writer {
public:
    void u16(std::uint16_t v) {
        bytes_.append(static_cast<char>(v & 0xFF));
        bytes_.append(static_cast<char>(v >> 8));
    }
    void i16(std::int16_t v) { u16(static_cast<std::uint16_t>(v)); }
    void u32(std::uint32_t v) {
        for (int shift = 0; shift < 32; shift += 8)
            bytes_.append(static_cast<char>((v >> shift) & 0xFF));
    }
    void i32(std::int32_t v) { u32(static_cast<std::uint32_t>(v)); }
    void text(const QString& s) {
        QByteArray b = s.toLatin1();
        if (b.size() > 0xFFFF) b.truncate(0xFFFF);
        u16(static_cast<std::uint16_t>(b.size()));
        bytes_.append(b);
    }
    void descriptor(std::uint32_t count) {
        u16(1);
        u32(count);
        u32(0);
    }
    QByteArray bytes_;
};

// Reads from the front; every read checks what is left first.
class Reader {
public:
    explicit Reader(const QByteArray& b) : b_(b) {}
    qsizetype left() const { return b_.size() - pos_; }
    bool u16(std::uint16_t* v) {
        if (left() < 2) return false;
        *v = static_cast<std::uint16_t>(byte(0) | (byte(1) << 8));
        pos_ += 2;
        return true;
    }
    bool i16(std::int16_t* v) {
        std::uint16_t u = 0;
        if (!u16(&u)) return false;
        *v = static_cast<std::int16_t>(u);
        return true;
    }
    bool u32(std::uint32_t* v) {
        if (left() < 4) return false;
        *v = static_cast<std::uint32_t>(byte(0)) | (static_cast<std::uint32_t>(byte(1)) << 8) |
             (static_cast<std::uint32_t>(byte(2)) << 16) |
             (static_cast<std::uint32_t>(byte(3)) << 24);
        pos_ += 4;
        return true;
    }
    bool text(QString* s) {
        std::uint16_t n = 0;
        if (!u16(&n) || left() < n) return false;
        *s = QString::fromLatin1(b_.constData() + pos_, n);
        pos_ += n;
        return true;
    }

private:
    std::uint32_t byte(int k) const { return static_cast<std::uint8_t>(b_.at(pos_ + k)); }
    const QByteArray& b_;
    qsizetype pos_ = 0;
};

const QString kShort = QStringLiteral("The file ends before the set-up record is complete.");

// Reads an array descriptor; the element count is checked against what the rest of the file
// could hold at bytesPerElement each.
bool ReadDescriptor(Reader& r, const QString& name, int bytesPerElement, std::uint32_t* count,
                    QString* reason) {
    std::uint16_t dims = 0;
    std::uint32_t lower = 0;
    if (!r.u16(&dims)) return *reason = kShort, false;
    if (dims != 1) {
        *reason =
            QStringLiteral("The %1 table has %2 dimensions instead of 1.").arg(name).arg(dims);
        return false;
    }
    if (!r.u32(count) || !r.u32(&lower)) return *reason = kShort, false;
    if (lower != 0) {
        *reason =
            QStringLiteral("The %1 table starts at index %2 instead of 0.").arg(name).arg(lower);
        return false;
    }
    if (*count > kSdtMaxEntries) {
        *reason = QStringLiteral("The %1 table claims %2 entries, which no set-up file holds.")
                      .arg(name)
                      .arg(*count);
        return false;
    }
    if (static_cast<qsizetype>(*count) * bytesPerElement > r.left()) {
        *reason = kShort;
        return false;
    }
    return true;
}

} // namespace

QByteArray WriteSdt(const SetupData& d) {
    Writer w;
    w.text(d.Version);
    w.descriptor(static_cast<std::uint32_t>(d.ParamAdd.size()));
    for (const QString& a : d.ParamAdd)
        w.text(a);
    w.descriptor(static_cast<std::uint32_t>(d.ParamValue.size()));
    for (std::int32_t v : d.ParamValue)
        w.i32(v);
    w.i16(d.PLSCfg0);
    w.i16(d.PLSScale);
    w.i16(d.PLSOfs);
    w.i16(d.PLSCfg1);
    for (std::int16_t v : d.PLSCfgRest)
        w.i16(v);
    for (int point = 0; point < 2; ++point)
        for (int c = 0; c < 8; ++c)
            w.i16(d.PLSSetpoint[c][point]);
    return w.bytes_;
}

SdtReadResult ReadSdt(const QByteArray& bytes) {
    SdtReadResult result;
    Reader r(bytes);
    SetupData d;
    std::uint32_t count = 0;
    if (!r.text(&d.Version)) return {std::nullopt, kShort};
    if (!ReadDescriptor(r, QStringLiteral("parameter address"), 2, &count, &result.reason))
        return result;
    for (std::uint32_t i = 0; i < count; ++i) {
        QString a;
        if (!r.text(&a)) return {std::nullopt, kShort};
        d.ParamAdd << a;
    }
    if (!ReadDescriptor(r, QStringLiteral("parameter value"), 4, &count, &result.reason))
        return result;
    // Every file has as many values as addresses; a different count would shift the PLS data.
    if (count != static_cast<std::uint32_t>(d.ParamAdd.size())) {
        result.reason = QStringLiteral("The file holds %1 parameter addresses but %2 values.")
                            .arg(d.ParamAdd.size())
                            .arg(count);
        return result;
    }
    d.ParamValue.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        std::uint32_t v = 0;
        r.u32(&v); // the descriptor check made room for all of them
        d.ParamValue.push_back(static_cast<std::int32_t>(v));
    }
    bool ok = r.i16(&d.PLSCfg0) && r.i16(&d.PLSScale) && r.i16(&d.PLSOfs) && r.i16(&d.PLSCfg1);
    for (std::int16_t& v : d.PLSCfgRest)
        ok = ok && r.i16(&v);
    for (int point = 0; point < 2; ++point)
        for (int c = 0; c < 8; ++c)
            ok = ok && r.i16(&d.PLSSetpoint[c][point]);
    if (!ok) return {std::nullopt, kShort};
    result.data = std::move(d);
    return result;
}

std::optional<SetupData> LoadSdtFile(const QString& path, QString* message) {
    const QString head = QStringLiteral("Cannot open \"%1\" as a set-up file.").arg(path) + kCrLf;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (message) *message = head + file.errorString();
        return std::nullopt;
    }
    // The record itself is a few kilobytes at most; a larger file still reads only its front.
    constexpr qint64 kMaxRecordBytes = 1 << 20;
    const QByteArray bytes = file.read(kMaxRecordBytes);
    if (file.error() != QFileDevice::NoError) {
        if (message) *message = head + file.errorString();
        return std::nullopt;
    }
    SdtReadResult result = ReadSdt(bytes);
    if (!result.data && message) *message = head + result.reason;
    return std::move(result.data);
}

bool SaveTextFile(const QString& path, const QByteArray& contents, QString* message) {
    QSaveFile file(path);
    // A writable file in a folder the user may not create files in (a shared folder) is
    // written in place instead of beside it.
    file.setDirectWriteFallback(true);
    const bool ok =
        file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size() && file.commit();
    if (!ok) {
        const QString cause = file.errorString();
        file.cancelWriting();
        if (message) *message = QStringLiteral("Cannot write \"%1\".").arg(path) + kCrLf + cause;
    }
    return ok;
}

bool SaveSdtFile(const QString& path, const SetupData& data, QString* message) {
    return SaveTextFile(path, WriteSdt(data), message);
}

} // namespace talvern::setup
