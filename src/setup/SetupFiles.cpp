#include "SetupFiles.h"

#include "SdtFile.h"

#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>

#include <utility>

namespace talvern::setup {

using link::Answer;

bool SetupChanged(const SetupData& current, const SetupData& saved, const QString& programVersion) {
    return current.ParamValue != saved.ParamValue || current.PLSSetpoint != saved.PLSSetpoint ||
           current.Version != programVersion;
}

SetupData FittedToTable(SetupData data) {
    constexpr int n = gSetupMax + 1;
    const auto& table = ParameterTable();
    // An older file has fewer rows: the missing ones come from the table, address and factory
    // value, never an empty address (which the link would take as byte 32, flags F0-F7).
    const qsizetype values = static_cast<qsizetype>(data.ParamValue.size());
    for (qsizetype i = data.ParamAdd.size(); i < n; ++i)
        data.ParamAdd << QString::fromLatin1(table[i].address);
    if (data.ParamAdd.size() > n) data.ParamAdd = data.ParamAdd.mid(0, n);
    data.ParamValue.resize(n, 0);
    for (qsizetype i = values; i < n; ++i)
        data.ParamValue[i] = table[i].defaultValue;
    return data;
}

QByteArray ShiftExportText(const QString& fileTitle, const QString& uploadNow,
                           const SetupData& setup) {
    const auto value = [&](int i) {
        return i < static_cast<int>(setup.ParamValue.size()) ? QString::number(setup.ParamValue[i])
                                                             : QStringLiteral("0");
    };
    const QStringList lines{fileTitle.isEmpty() ? QStringLiteral("untitled") : fileTitle,
                            QStringLiteral("Date: ") + uploadNow,
                            QStringLiteral(" "),
                            QStringLiteral("Current Shift Data:"),
                            QStringLiteral("(Good Can, Short Can)"),
                            value(8),
                            value(9),
                            QStringLiteral(" "),
                            QStringLiteral("Last Shift Data:"),
                            QStringLiteral("(Good Can, Short Can)"),
                            value(10),
                            value(11),
                            QStringLiteral(" "),
                            QStringLiteral("Brake Response Data:"),
                            QStringLiteral("(Low Speed, High Speed)"),
                            value(12),
                            value(13)};
    QByteArray text;
    for (const QString& line : lines)
        text += line.toLatin1() + "\r\n";
    return text;
}

namespace {
QString Visible(const QString& text) {
    QString shown;
    for (const QChar ch : text) {
        const char16_t u = ch.unicode();
        if (u == u'\\')
            shown += QStringLiteral("\\\\");
        else if (u < 0x20 || (u >= 0x7F && u < 0xA0))
            shown += QStringLiteral("\\x%1").arg(static_cast<int>(u), 2, 16, QLatin1Char('0'));
        else
            shown += ch;
    }
    return shown;
}
} // namespace

QStringList SetupListing(const SetupData& d) {
    QStringList lines{QStringLiteral("Version: ") + Visible(d.Version)};
    const auto& table = ParameterTable();
    // One substitution per row: a "%1" inside an address is text, not a place for the next one.
    for (int i = 0; i <= gSetupMax; ++i)
        lines << QStringLiteral("%1  %2 %3  %4")
                     .arg(QString::number(i).rightJustified(2),
                          Visible(d.ParamAdd.at(i)).leftJustified(8),
                          QString::number(d.ParamValue.at(i)).rightJustified(10),
                          QString::fromLatin1(table[i].reportLabel));
    lines << QStringLiteral("PLS channels %1  program %2  scale %3  offset %4")
                 .arg(d.PLSCfg0)
                 .arg(d.PLSCfg1)
                 .arg(d.PLSScale)
                 .arg(d.PLSOfs);
    QStringList advance;
    for (std::int16_t v : d.PLSCfgRest)
        advance << QString::number(v);
    lines << QStringLiteral("PLS speed compensation (ms) ") + advance.join(QLatin1Char(' '));
    for (int ch = 0; ch < 8; ++ch) {
        const auto& sp = d.PLSSetpoint[ch];
        lines << QStringLiteral("CH0%1  ").arg(ch) +
                     (sp[0] == 0 && sp[1] == 0
                          ? QStringLiteral("*****")
                          : QStringLiteral("ON %1  OFF %2").arg(sp[0]).arg(sp[1]));
    }
    return lines;
}

QString GeneralDateText(const QDateTime& when) {
    const QLocale locale = QLocale::system();
    // The long time format without its time-zone part.
    QString timeFormat = locale.timeFormat(QLocale::LongFormat);
    timeFormat.remove(QRegularExpression(QStringLiteral("\\s*t+\\s*")));
    return locale.toString(when.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
           locale.toString(when.time(), timeFormat.trimmed());
}

QString FileTitleOf(const QString& path) {
    return QFileInfo(path).fileName();
}

SetupFileCommands::SetupFileCommands(SetupFileState state, link::UserAnswers& answers,
                                     FileDialogs& dialogs, QString programFolder)
    : nowText([] { return GeneralDateText(QDateTime::currentDateTime()); }), s_(state),
      answers_(answers), dialogs_(dialogs), programFolder_(std::move(programFolder)) {}

void SetupFileCommands::setCaption(const QString& caption) {
    s_.fileNameCaption = caption;
    if (captionChanged) captionChanged();
}

void SetupFileCommands::tell(const QString& message) {
    answers_.ask(message, QStringLiteral("TALVERN"), link::Buttons::Ok, link::Icon::Exclamation);
}

int SetupFileCommands::CheckSaveChanges() {
    if (!SetupChanged(s_.setup, s_.saved, s_.programVersion)) return 0;
    return static_cast<int>(answers_.ask(QStringLiteral("Save Changes to File?"),
                                         QStringLiteral("TALVERN"), link::Buttons::YesNoCancel,
                                         link::Icon::Exclamation));
}

bool SetupFileCommands::SaveChangesFirst() {
    const int answer = CheckSaveChanges();
    if (answer == static_cast<int>(Answer::Cancel)) return false;
    // A save that was cancelled or failed would lose the changes: stop here instead.
    if (answer == static_cast<int>(Answer::Yes)) return Save();
    return true;
}

bool SetupFileCommands::New() {
    if (!SaveChangesFirst()) return false;
    s_.setup = s_.defaults;
    s_.saved = s_.setup;
    s_.newFile = true;
    s_.setupReset = true;
    setCaption(kUnnamedCaption);
    return true;
}

link::Answer SetupFileCommands::AskVersion(const QString& fileVersion) {
    return answers_.ask(QStringLiteral("File created by set-up program version: ") + fileVersion +
                            QStringLiteral("\r\nData tables may not be properly aligned.\r\n\r\n"
                                           "Do you wish to continue?"),
                        QStringLiteral("TALVERN"), link::Buttons::YesNoCancel,
                        link::Icon::Information);
}

bool SetupFileCommands::Open(const QString& chosen) {
    QString initialName = s_.fileNamePath;
    QString given = chosen;
    for (;;) {
        if (!SaveChangesFirst()) return false;
        const QString path = given.isEmpty() ? dialogs_.openFile(initialName, kSetupFilter)
                                             : std::exchange(given, {});
        if (path.isEmpty()) return false;
        QString message;
        std::optional<SetupData> data = LoadSdtFile(path, &message);
        if (!data) {
            tell(message);
            return false;
        }
        // Until the data is accepted, the previous file keeps its name: a later Save must
        // write the previous data where it came from, not into the rejected file.
        const QString previousPath = s_.fileNamePath;
        const QString previousTitle = s_.fileNameTitle;
        const QString previousUpload = s_.uploadNow;
        s_.file = std::move(*data);
        s_.fileNamePath = path;
        s_.fileNameTitle = FileTitleOf(path);
        s_.uploadNow = nowText();
        const Answer answer =
            s_.file.Version == s_.programVersion ? Answer::Yes : AskVersion(s_.file.Version);
        if (answer == Answer::Yes) {
            AcceptFileData();
            if (fileUsed) fileUsed(path);
            return true;
        }
        s_.fileNamePath = previousPath;
        s_.fileNameTitle = previousTitle;
        s_.uploadNow = previousUpload;
        if (answer != Answer::No) return false;
        // No: choose again, starting from the file just turned down.
        initialName = path;
    }
}

void SetupFileCommands::AcceptFileData() {
    s_.file = FittedToTable(std::move(s_.file));
    s_.setup = s_.file;
    s_.saved = s_.setup;
    s_.newFile = false;
    setCaption(QLatin1Char('[') + s_.fileNameTitle + QLatin1Char(']'));
}

bool SetupFileCommands::Save() {
    if (s_.newFile) return SaveAs();
    SetupData stamped = s_.setup;
    stamped.Version = s_.programVersion;
    QString message;
    if (!SaveSdtFile(s_.fileNamePath, stamped, &message)) {
        tell(message);
        return false;
    }
    s_.setup.Version = s_.programVersion;
    setCaption(QLatin1Char('[') + s_.fileNameTitle + QLatin1Char(']'));
    s_.saved = s_.setup;
    if (fileUsed) fileUsed(s_.fileNamePath);
    return true;
}

bool SetupFileCommands::SaveAs() {
    const QString path = dialogs_.saveFile(QString(), kSetupFilter);
    if (path.isEmpty()) return false;
    const bool previousNew = s_.newFile;
    const QString previousPath = s_.fileNamePath;
    const QString previousTitle = s_.fileNameTitle;
    s_.newFile = false;
    s_.fileNamePath = path;
    s_.fileNameTitle = FileTitleOf(path);
    if (Save()) return true;
    s_.newFile = previousNew;
    s_.fileNamePath = previousPath;
    s_.fileNameTitle = previousTitle;
    return false;
}

bool SetupFileCommands::ExportShiftData() {
    const QString initial = s_.fileExportPath.isEmpty() ? programFolder_ : s_.fileExportPath;
    const QString path = dialogs_.saveFile(initial, kTextFilter);
    if (path.isEmpty()) return false;
    QString message;
    if (!SaveTextFile(path, ShiftExportText(s_.fileNameTitle, s_.uploadNow, s_.setup), &message)) {
        tell(message);
        return false;
    }
    s_.fileExportPath = path;
    return true;
}

} // namespace talvern::setup
