#include "ChangeLog.h"

#include "OnlineState.h"
#include "SetupData.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringList>

namespace talvern::setup {

namespace {

constexpr int kFields = 9; // eight values and the check
const QString kConfirmed = QStringLiteral("confirmed");
const QString kFailed = QStringLiteral("failed");

// A field never holds the separators of the line.
QString Clean(QString text) {
    for (QChar& ch : text)
        if (ch == QLatin1Char('\t') || ch == QLatin1Char('\n') || ch == QLatin1Char('\r'))
            ch = QLatin1Char(' ');
    return text;
}

QString Check(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    return QStringLiteral("%1").arg(qChecksum(bytes), 4, 16, QLatin1Char('0'));
}

QString BoardName(int board) {
    return link::BoardText(board);
}

} // namespace

QString IsoLocalTime(const QDateTime& at) {
    const int offset = at.offsetFromUtc();
    const int minutes = std::abs(offset) / 60;
    return at.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")) +
           (offset < 0 ? QLatin1Char('-') : QLatin1Char('+')) +
           QStringLiteral("%1:%2")
               .arg(minutes / 60, 2, 10, QLatin1Char('0'))
               .arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

QString ChangeLine(const ChangeEntry& e) {
    const QString text = QStringList{IsoLocalTime(e.at), Clean(e.board),
                                     Clean(e.address),   Clean(e.name),
                                     Clean(e.before),    Clean(e.written),
                                     Clean(e.source),    e.confirmed ? kConfirmed : kFailed}
                             .join(QLatin1Char('\t'));
    return text + QLatin1Char('\t') + Check(text);
}

std::optional<ChangeEntry> ParseChangeLine(const QString& line) {
    const QStringList f = line.split(QLatin1Char('\t'));
    if (f.size() != kFields) return std::nullopt;
    const qsizetype checkAt = line.lastIndexOf(QLatin1Char('\t'));
    if (Check(line.left(checkAt)) != f[8]) return std::nullopt;
    if (f[7] != kConfirmed && f[7] != kFailed) return std::nullopt;
    ChangeEntry e;
    e.at = QDateTime::fromString(f[0], Qt::ISODate);
    if (!e.at.isValid()) return std::nullopt;
    e.board = f[1];
    e.address = f[2];
    e.name = f[3];
    e.before = f[4];
    e.written = f[5];
    e.source = f[6];
    e.confirmed = f[7] == kConfirmed;
    return e;
}

QString ChangeText(const ChangeEntry& e) {
    const QString what = e.name.isEmpty() ? e.address : e.address + QLatin1Char(' ') + e.name;
    const QString change =
        (e.before.isEmpty() ? QStringLiteral("?") : e.before) + QStringLiteral(" -> ") + e.written;
    return QStringList{IsoLocalTime(e.at), e.board, what + QStringLiteral(": ") + change, e.source,
                       e.confirmed ? kConfirmed : kFailed}
        .join(QStringLiteral("  "));
}

std::vector<ChangeEntry> ReadChangeLog(const QString& path) {
    std::vector<ChangeEntry> entries;
    for (const QString& p : {path + QStringLiteral(".1"), path}) {
        QFile file(p);
        if (!file.open(QIODevice::ReadOnly)) continue;
        const QList<QByteArray> lines = file.readAll().split('\n');
        for (const QByteArray& line : lines)
            if (auto e = ParseChangeLine(QString::fromUtf8(line))) entries.push_back(*e);
    }
    return entries;
}

bool ChangeFilter::matches(const ChangeEntry& e) const {
    if (!board.isEmpty() && e.board.compare(board, Qt::CaseInsensitive) != 0) return false;
    if (!address.isEmpty() && !e.address.contains(address, Qt::CaseInsensitive)) return false;
    const QDate day = e.at.date();
    if (since.isValid() && day < since) return false;
    if (until.isValid() && day > until) return false;
    return true;
}

QString ChangeLogPath(bool simulated) {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
        .filePath(simulated ? QStringLiteral("changes-simulated.log")
                            : QStringLiteral("changes.log"));
}

QString ParameterNameAt(const QString& address, int board) {
    if (address.compare(QLatin1String(kBoardTypeAddress), Qt::CaseInsensitive) == 0)
        return QStringLiteral("Board number");
    QString any;
    for (const ParameterInfo& p : ParameterTable()) {
        if (address.compare(QLatin1String(p.address), Qt::CaseInsensitive) != 0) continue;
        const QString name = QString::fromLatin1(p.reportLabel);
        if (board == 0 || BoardNumber(p.board) == board) return name;
        if (any.isEmpty()) any = name;
    }
    // An address both boards use names its parameter only once the board is known.
    return board == 0 ? any : QString();
}

ChangeLog::ChangeLog(QString path, std::function<QDateTime()> now, qint64 rotateBytes)
    : path_(std::move(path)), now_(std::move(now)), rotateBytes_(rotateBytes) {
    if (!now_) now_ = [] { return QDateTime::currentDateTime(); };
}

QString ChangeLog::currentSource() const {
    if (!sources_.empty()) return sources_.back().first;
    const QString provided = provider_ ? provider_() : QString();
    return provided.isEmpty() ? QStringLiteral("-") : provided;
}

void ChangeLog::heard(const link::WireTransaction& t) {
    // A write that got no reply was meant for the board last heard on the cable.
    if (t.board != 0) board_ = t.board;
    const int board = t.board != 0 ? t.board : board_;
    const QString key = QString::number(board) + QLatin1Char(' ') + t.subject.toUpper();
    const bool failed = link::IsFailure(t.outcome);
    if (t.kind == link::WireKind::Read) {
        if (!failed && !t.value.isEmpty()) known_.insert(key, t.value);
        return;
    }
    if (!t.changesBoard) return;
    ++writesHeard_;
    const bool pls = t.kind == link::WireKind::PlsCommand;
    const QString before = pls ? QString() : known_.value(key);
    // A write that failed may have changed the value or not: it is not known any more.
    if (failed)
        known_.remove(key);
    else if (!pls)
        known_.insert(key, t.value);
    if (!sources_.empty() && sources_.back().second) return;
    ChangeEntry e;
    e.at = now_();
    // The PLS is the K2510's.
    e.board = BoardName(pls && board == 0 ? kBoardK2510 : board);
    e.address = pls ? QStringLiteral("PLS ") + t.subject : t.subject;
    e.name = pls ? QString() : ParameterNameAt(t.subject, board);
    e.before = before;
    e.written = t.value;
    e.source = currentSource();
    e.confirmed = !failed;
    append(e);
}

void ChangeLog::recordProgramDump(int board, const QString& fileSet, const QString& ident,
                                  bool succeeded) {
    ChangeEntry e;
    e.at = now_();
    e.board = BoardName(board);
    e.address = QStringLiteral("program");
    e.name = fileSet;
    e.written = ident;
    e.source = currentSource();
    e.confirmed = succeeded;
    append(e);
}

bool ChangeLog::append(const ChangeEntry& entry) {
    const QByteArray line = ChangeLine(entry).toUtf8();
    const QFileInfo info(path_);
    bool ok = QDir().mkpath(info.absolutePath());
    if (ok && info.exists() && info.size() > 0 && info.size() + line.size() + 1 > rotateBytes_) {
        const QString previous = path_ + QStringLiteral(".1");
        QFile::remove(previous);
        ok = QFile::rename(path_, previous);
    }
    QFile file(path_);
    if (ok) {
        // A line a crash cut short gets its line end first, so that it stays a line of its own.
        QByteArray text;
        if (file.open(QIODevice::ReadOnly) && file.size() > 0) {
            file.seek(file.size() - 1);
            if (file.read(1) != "\n") text = "\n";
        }
        file.close();
        text += line + '\n';
        ok = file.open(QIODevice::WriteOnly | QIODevice::Append) &&
             file.write(text) == text.size() && file.flush();
    }
    if (!ok && !troubleSaid_) {
        troubleSaid_ = true;
        if (trouble_)
            trouble_(QStringLiteral("The change log cannot be written: ") +
                     QDir::toNativeSeparators(path_));
    }
    return ok;
}

ChangeSource::ChangeSource(ChangeLog* log, const QString& label, bool grouped) : log_(log) {
    if (log_) log_->sources_.emplace_back(label, grouped);
}

ChangeSource::~ChangeSource() {
    if (log_) log_->sources_.pop_back();
}

} // namespace talvern::setup
