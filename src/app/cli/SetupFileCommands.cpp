// talvern-cli's set-up file commands: factory defaults and a listing of a .sdt file, data
// upload and download through the same step machine as the processing window, and the
// shift-data export.
#include "CliCommands.h"
#include "DataTransfer.h"
#include "OnlineState.h"
#include "ProgramVersion.h"
#include "QtPlatform.h"
#include "SdtFile.h"
#include "SetupFiles.h"

#include <QDateTime>
#include <QFileInfo>

namespace talvern::app {

namespace {

using setup::SetupData;

QString ThisVersion() {
    return setup::ProgramVersionTag(setup::ProgramMajor(), setup::ProgramMinor(),
                                    setup::ProgramRevision());
}

std::optional<SetupData> Load(CliContext& c, const QString& path) {
    QString message;
    std::optional<SetupData> data = setup::LoadSdtFile(path, &message);
    if (!data) c.tell(kSetupFileTitle, message);
    return data;
}

// Loads a file for a transfer, with the version question for a file of another release;
// nothing when refused.
std::optional<SetupData> LoadForTransfer(CliContext& c, const QString& path) {
    std::optional<SetupData> data = Load(c, path);
    if (!data) return std::nullopt;
    if (data->Version != ThisVersion()) {
        const link::Answer answer = c.answers.ask(
            QStringLiteral("File created by set-up program version: ") + data->Version +
                QStringLiteral("\r\nData tables may not be properly aligned.\r\n\r\n"
                               "Do you wish to continue?"),
            QStringLiteral("TALVERN"), link::Buttons::YesNoCancel, link::Icon::Information);
        if (answer != link::Answer::Yes) return std::nullopt;
    }
    return setup::FittedToTable(std::move(*data));
}

bool Save(CliContext& c, const QString& path, SetupData data) {
    data.Version = ThisVersion();
    QString message;
    if (setup::SaveSdtFile(path, data, &message)) return true;
    c.tell(kSetupFileTitle, message);
    return false;
}

// A text from a file as the terminal should show it: control characters (and the backslash
// that introduces them) written out as \xNN and \\, so that they cannot act on the terminal.
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

int Sdt(CliContext& c, const QStringList& args) {
    if (args.size() != 2) return kUsage;
    const QString& path = args.at(1);
    if (args.at(0) == QLatin1String("new"))
        return Save(c, path, setup::FactoryDefaults(ThisVersion())) ? kDone : kFailed;
    if (args.at(0) != QLatin1String("show")) return kUsage;
    const std::optional<SetupData> read = Load(c, path);
    if (!read) return kFailed;
    const SetupData d = setup::FittedToTable(*read);
    c.print(QStringLiteral("Version: ") + Visible(d.Version));
    const auto& table = setup::ParameterTable();
    // One substitution per row: a "%1" inside an address is text, not a place for the next one.
    for (int i = 0; i <= setup::gSetupMax; ++i)
        c.print(QStringLiteral("%1  %2 %3  %4")
                    .arg(QString::number(i).rightJustified(2),
                         Visible(d.ParamAdd.at(i)).leftJustified(8),
                         QString::number(d.ParamValue[i]).rightJustified(10),
                         QString::fromLatin1(table[i].reportLabel)));
    c.print(QStringLiteral("PLS channels %1  program %2  scale %3  offset %4")
                .arg(d.PLSCfg0)
                .arg(d.PLSCfg1)
                .arg(d.PLSScale)
                .arg(d.PLSOfs));
    QStringList advance;
    for (std::int16_t v : d.PLSCfgRest)
        advance << QString::number(v);
    c.print(QStringLiteral("PLS speed compensation (ms) ") + advance.join(QLatin1Char(' ')));
    for (int ch = 0; ch < 8; ++ch) {
        const auto& sp = d.PLSSetpoint[ch];
        c.print(QStringLiteral("CH0%1  ").arg(ch) +
                (sp[0] == 0 && sp[1] == 0 ? QStringLiteral("*****")
                                          : QStringLiteral("ON %1  OFF %2").arg(sp[0]).arg(sp[1])));
    }
    return kDone;
}

// The board word of a command: 0 for k2510, 1 for r7520, -1 for anything else.
int BoardWord(const QString& word) {
    const QString w = word.toLower();
    if (w == QLatin1String("k2510")) return 0;
    if (w == QLatin1String("r7520")) return 1;
    return -1;
}

int Transfer(CliContext& c, const QStringList& args, bool upload) {
    if (args.size() != 2) return kUsage;
    const int board = BoardWord(args.at(0));
    if (board < 0) return kUsage;
    const QString& path = args.at(1);
    const QString name = board == 0 ? QStringLiteral("K2510") : QStringLiteral("R7520");
    const QString question = upload
                                 ? QStringLiteral("You are about to Upload Data from the ") + name
                                 : QStringLiteral("You are about to Download Data to the ") + name;
    if (c.answers.ask(question + QStringLiteral("\r\n\r\nDo You Wish to Continue?"),
                      upload ? QStringLiteral("Data Upload") : QStringLiteral("Data Download"),
                      link::Buttons::YesNo, link::Icon::Question) != link::Answer::Yes)
        return kFailed;

    std::optional<SetupData> setup;
    if (upload && !QFileInfo::exists(path))
        setup = setup::FactoryDefaults(ThisVersion());
    else
        setup = LoadForTransfer(c, path);
    if (!setup) return kFailed;
    if (!c.ensureOnline()) return kLinkFailure;

    const int mode = upload ? (board == 0 ? setup::kUploadK2510 : setup::kUploadR7520)
                            : (board == 0 ? setup::kDownloadK2510 : setup::kDownloadR7520);
    link::NoEventPump events;
    setup::DataTransfer transfer(mode, c.link, *setup, c.answers, events, [&](int boardType) {
        return setup::CheckTargetBoard(c.link, c.answers, events, boardType,
                                       [&] { c.link.CloseRSComm(); });
    });
    c.print(transfer.label());
    transfer.runToEnd();
    // A failed upload leaves the file as it was; the failure, with the address that failed, has
    // been shown as "Process Error".
    if (transfer.failed()) return c.link.CommError ? kLinkFailure : kFailed;
    if (upload && !Save(c, path, *setup)) return kFailed;
    c.print(QStringLiteral("%1 parameters %2%3")
                .arg(transfer.progress())
                .arg(upload ? QStringLiteral("read") : QStringLiteral("written"))
                .arg(board == 0 ? QStringLiteral(", PLS data ") +
                                      (upload ? QStringLiteral("read") : QStringLiteral("written"))
                                : QString()));
    return kDone;
}

int ExportShift(CliContext& c, const QStringList& args) {
    if (args.size() != 2) return kUsage;
    const std::optional<SetupData> setup = Load(c, args.at(0));
    if (!setup) return kFailed;
    QString message;
    const QByteArray text = setup::ShiftExportText(
        setup::FileTitleOf(args.at(0)), setup::GeneralDateText(QDateTime::currentDateTime()),
        setup::FittedToTable(*setup));
    if (!setup::SaveTextFile(args.at(1), text, &message)) {
        c.tell(kSetupFileTitle, message);
        return kFailed;
    }
    return kDone;
}

} // namespace

void AddSetupFileCommands(CliCommandTable& table) {
    table[QStringLiteral("sdt")] = Sdt;
    table[QStringLiteral("upload")] = [](CliContext& c, const QStringList& a) {
        return Transfer(c, a, true);
    };
    table[QStringLiteral("download")] = [](CliContext& c, const QStringList& a) {
        return Transfer(c, a, false);
    };
    table[QStringLiteral("export-shift")] = ExportShift;
}

} // namespace talvern::app
