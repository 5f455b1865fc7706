#include "TargetBoardPage.h"

#include "ProgramFiles.h"
#include "SideFiles.h"
#include "VerifiedTransfer.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <vector>

namespace talvern::targetboard {

namespace {
const QString kQuote = QStringLiteral("\"");
const QString kCRLF = QStringLiteral("\r\n");
} // namespace

const std::array<const char*, 6> kStatusAddresses{"B8176", "B8177", "B8175",
                                                  "B8177", "B8179", "B8178"};

const std::array<SetupField, 8> kSetupFields{{
    {"B8180", "Current Network Address 1:", 1, 32},
    {"B8191", "Current Network Address 2:", 1, 32},
    {"B43012", "Hr.", 0, 23},
    {"B43010", "Min.", 0, 59},
    {"B43008", "Sec.", 0, 59},
    {"B43016", "Mo.", 1, 12},
    {"B43015", "Day", 1, 31},
    {"B43017", "Yr.", 0, 99},
}};

const QString kNetworkComment =
    QStringLiteral("Each R6000 board connected to the R6000 Network must be ") +
    QStringLiteral("assigned a unique network address between 1 and 32.") + kCRLF + kCRLF +
    QStringLiteral("System function sfunc19(); configures the R7516 serial ") +
    QStringLiteral("communication for the K2500 processor.");

const QString kOfflineText = QStringLiteral("Cannot Communicate with Target Board.");

QString StatusCodeText(int value) {
    QString text = QString::number(value, 16).toUpper();
    if (text.size() < 2) text.prepend(QLatin1Char('0'));
    return text;
}

QString StatusLabel(int k, const QString& code) {
    // A code not read shows as the empty mark alone.
    if (code == QLatin1String("-")) {
        QString label = StatusLabel(k, QStringLiteral("00"));
        return label.left(label.indexOf(QLatin1Char(':')) + 1) +
               (k == 2 ? QStringLiteral(" -") : QStringLiteral(" Code = -"));
    }
    switch (k) {
        case 0:
            return QStringLiteral("Current Fault: Code = ") + code + QStringLiteral("H");
        case 1:
            return QStringLiteral("Last Fault: Code = ") + code + QStringLiteral("H");
        case 2:
            return QStringLiteral("CO-CPU Slot: ") + QString::number(code.toInt(nullptr, 16));
        case 4:
            return QStringLiteral("Current Comm Error: Code = ") + code + QStringLiteral("H");
        case 5:
            return QStringLiteral("Last Comm Error: Code = ") + code + QStringLiteral("H");
        default:
            return {};
    }
}

QString CorrectiveAction(int n) {
    if (n >= 1 && n <= 63)
        return QStringLiteral("Replace CO-CPU board at ") + kQuote + QStringLiteral("CO-CPU Slot") +
               kQuote + QStringLiteral(" and try again.  ") +
               QStringLiteral("If fault persists, peplace R6012 processor board and try again.  ") +
               QStringLiteral("If fault persists, verify proper use of ") + kQuote +
               QStringLiteral("sfunc05/06/12") + kQuote + QStringLiteral(" in user program.");
    if (n == 66)
        return QStringLiteral("Verify connection of cable between computer ") + kQuote +
               QStringLiteral("COM") + kQuote + QStringLiteral(" port and target board ") + kQuote +
               QStringLiteral("PROG PORT") + kQuote + QStringLiteral(".  Verify ") +
               QStringLiteral("cable wiring and connectors.  If fault persists, replace target "
                              "board and/or ") +
               QStringLiteral("try a different computer.");
    if (n == 69)
        return QStringLiteral("User program executed an sfunc09() system fault function call.  "
                              "See User ") +
               QStringLiteral("program for details on source of fault and corrective action.");
    if (n == 92 || n == 93)
        return QStringLiteral("Program is invalid.  Re-dump program to target board.  If fault "
                              "persists, ") +
               QStringLiteral("verify cable connections between computer and target board.  If "
                              "fault persists, ") +
               QStringLiteral("replace target board.");
    if (n <= 0 || n > 122) return QStringLiteral("None");
    return QStringLiteral("Reset fault and try again.  If fault persists, replace target board "
                          "and try ") +
           QStringLiteral("again.  See Brixel Manual for more details.");
}

QString CodeDescription(const QString& file, const QString& code) {
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return link::CodeDescriptionIn(f.readAll(), code, true).value_or(QString());
}

int ReadProgramKind(const QString& file) {
    const std::optional<QString> field = ReadFirstField(CompanionFile(file, QStringLiteral("bxl")));
    if (!field || field->isEmpty()) return kDefaultBoardType;
    return field->at(0).unicode();
}

DiskProgram ReadDiskProgram(const QString& chosenFile) {
    DiskProgram disk;
    if (!QFileInfo(chosenFile).isFile()) return disk;
    disk.boardType = ReadProgramKind(chosenFile);
    bool cut = false;
    const std::optional<QString> field =
        ReadFirstField(CompanionFile(chosenFile, QStringLiteral("rev")), nullptr, &cut);
    const std::optional<RevisionLine> line =
        field && !cut ? ParseRevisionLine(*field) : std::nullopt;
    if (line) {
        disk.name = line->ident;
        disk.revision = line->revision.toInt();
        disk.checksum = line->checksum.toInt();
    }
    const QFileInfo image(CompanionFile(chosenFile, QStringLiteral("hex")));
    if (image.isFile())
        disk.revisionDate = QLocale().toString(image.lastModified(), QLocale::ShortFormat);
    return disk;
}

PageLayout LayoutFor(int boardType) {
    PageLayout layout;
    switch (boardType) {
        case 50:
            layout.coCpuSlot = true;
            break;
        case 54:
            layout.networkAddress = {false, false};
            layout.clock = true;
            break;
        case 65:
            layout.networkAddress = {false, true};
            layout.clock = true;
            break;
        default:
            break;
    }
    return layout;
}

QString ClockTimeText(const QTime& t) {
    return t.toString(QStringLiteral("hh' : 'mm' : 'ss"));
}

QString ClockDateText(const QDate& d) {
    return d.toString(QStringLiteral("MM' - 'dd' - 'yyyy"));
}

namespace {
bool WriteAll(link::RSComm& link, const std::vector<std::pair<const char*, int>>& writes,
              QString* failed) {
    if (failed) failed->clear();
    if (!link.OnlineMode) return false;
    for (const auto& [address, value] : writes) {
        if (link.CommError ||
            !link::WriteVerified(link, QString::fromLatin1(address), QString::number(value))) {
            if (failed) *failed = QString::fromLatin1(address);
            return false;
        }
    }
    return true;
}
} // namespace

bool ConfirmResetFaults(link::UserAnswers& answers) {
    return answers.ask(QStringLiteral("Target Board will be reinitialized.") + kCRLF + kCRLF +
                           QStringLiteral("Do you wish to continue?"),
                       QStringLiteral("WARNING - Fault Code Reset!"), link::Buttons::YesNoCancel,
                       link::Icon::Critical) == link::Answer::Yes;
}

bool WriteResetFaults(link::RSComm& link, QString* failed) {
    return WriteAll(link, {{"B8178", 0}, {"B8179", 0}, {"B8177", 0}, {"B8176", 0}}, failed);
}

bool SetBoardTime(link::RSComm& link, const QTime& t, QString* failed) {
    return WriteAll(link, {{"B43012", t.hour()}, {"B43010", t.minute()}, {"B43008", t.second()}},
                    failed);
}

bool SetBoardDate(link::RSComm& link, const QDate& d, QString* failed) {
    return WriteAll(link, {{"B43016", d.month()}, {"B43015", d.day()}, {"B43017", d.year() % 100}},
                    failed);
}

} // namespace talvern::targetboard
