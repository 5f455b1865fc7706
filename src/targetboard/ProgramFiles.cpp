#include "ProgramFiles.h"

#include "MarkHex.h"
#include "RSComm.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace talvern::targetboard {

namespace {
const QString kCRLF = QStringLiteral("\r\n");
const QString kHalted = QStringLiteral("Program Downloaded Halted!");

QString ErrorText(int number, const QString& description) {
    return QStringLiteral("Error Number = %1").arg(number) + kCRLF + kCRLF + description;
}
} // namespace

const QString kNoValidProgram = QStringLiteral("No valid program");

ProgramClass ProgramClassOf(int code) {
    switch (code) {
        case 50:
        case 51:
        case 52:
        case 53:
        case 54:
        case 66:
        case 68:
            return ProgramClass::Revision;
        case 56:
        case 58:
        case 59:
        case 60:
        case 61:
        case 65:
            return ProgramClass::RevisionAndConfiguration;
        case 55:
        case 62:
        case 63:
        case 64:
        case 67:
        case 69:
            return ProgramClass::Pls;
        default:
            return ProgramClass::NotDownloadable;
    }
}

MemoryRange ProgramMemoryRange(int code) {
    switch (code) {
        case 50:
            return {0x5000, 45056};
        case 51:
        case 54:
        case 58:
        case 59:
        case 60:
        case 61:
        case 65:
        case 66:
            return {0x2000, 24576};
        case 52:
        case 53:
        case 56:
            return {0x2000, 8192};
        case 68:
            return {0x4000, 32768};
        default:
            return {};
    }
}

QString ByteAddress(int address) {
    return QStringLiteral("B") + QString::number(address);
}

namespace {
bool AllUpper(const QString& text) {
    return !text.isEmpty() && text == text.toUpper() && text != text.toLower();
}
} // namespace

QString CompanionFile(const QString& chosenFile, const QString& extension) {
    const QString base = chosenFile.left(chosenFile.size() - 3);
    const bool upper = AllUpper(chosenFile.right(3));
    const QString own = upper ? extension.toUpper() : extension.toLower();
    for (const QString& e : {own, extension.toLower(), extension.toUpper()})
        if (QFileInfo(base + e).isFile()) return base + e;
    // Any other mix of cases ("Rev"): the folder's names, the base's own case kept.
    const QFileInfo info(base + own);
    const QString prefix = info.fileName().chopped(extension.size());
    const QStringList names = info.dir().entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : names)
        if (name.size() == prefix.size() + extension.size() && name.startsWith(prefix) &&
            name.endsWith(extension, Qt::CaseInsensitive))
            return base + name.right(extension.size());
    return base + own;
}

ProgramFileNames ProgramSetNames(const QString& chosenFile) {
    return {CompanionFile(chosenFile, QStringLiteral("bxl")),
            CompanionFile(chosenFile, QStringLiteral("rev")),
            CompanionFile(chosenFile, QStringLiteral("hex")),
            CompanionFile(chosenFile, QStringLiteral("lcf"))};
}

std::optional<QString> ReadFirstField(const QString& path, QString* error, bool* cut) {
    if (cut) *cut = false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error) *error = file.errorString();
        return std::nullopt;
    }
    // The files are plain ASCII; Latin-1 keeps every byte, zero bytes of an ident included. One
    // byte more than the window tells a field that runs on from one that ends with the file.
    const QString text = QString::fromLatin1(file.read(kFieldWindow + 1));
    const bool more = text.size() > kFieldWindow;
    int i = 0;
    while (i < text.size() && (text.at(i) == QLatin1Char(' ') || text.at(i) == QLatin1Char('\t')))
        ++i;
    if (i < text.size() && text.at(i) == QLatin1Char('"')) {
        const int close = text.indexOf(QLatin1Char('"'), i + 1);
        if (cut) *cut = more && (close < 0 || close >= kFieldWindow);
        return text.mid(i + 1, close < 0 ? -1 : close - i - 1).left(kFieldWindow);
    }
    int end = i;
    while (end < text.size() && text.at(end) != QLatin1Char(',') &&
           text.at(end) != QLatin1Char('\r') && text.at(end) != QLatin1Char('\n'))
        ++end;
    if (cut) *cut = more && end >= kFieldWindow;
    return text.mid(i, std::min(end, kFieldWindow) - i).trimmed();
}

namespace {
bool IsDigitOfEitherHex(QChar c) {
    return (c >= QLatin1Char('0') && c <= QLatin1Char('?')) ||
           (c.toUpper() >= QLatin1Char('A') && c.toUpper() <= QLatin1Char('F'));
}
// Nothing of type T, with the reason in *why.
template <class T> std::optional<T> Refused(QString* why, const QString& reason) {
    if (why) *why = reason;
    return std::nullopt;
}
} // namespace

std::optional<RevisionLine> ParseRevisionLine(const QString& line, QString* why) {
    const qsizetype n = line.size();
    if (n < 4)
        return Refused<RevisionLine>(
            why, QStringLiteral("Its line is shorter than the four digits of checksum and "
                                "revision."));
    if (n > kIdentLength + 4)
        return Refused<RevisionLine>(
            why, QStringLiteral("Its line is longer than a revision line can be: an ident of at "
                                "most %1 characters and four digits.")
                     .arg(kIdentLength));
    for (QChar c : line.right(4))
        if (!IsDigitOfEitherHex(c))
            return Refused<RevisionLine>(
                why, QStringLiteral("Its checksum and revision \"%1\" are not four hexadecimal "
                                    "digits.")
                         .arg(line.right(4)));
    const QString ident = line.left(n - 4).trimmed();
    if (ident.isEmpty() || ident.at(0).unicode() == 0)
        return Refused<RevisionLine>(why,
                                     QStringLiteral("It names no program: its ident is empty."));
    return RevisionLine{line.left(n - 4), MarkHex2Dec(line.mid(n - 4, 2)),
                        MarkHex2Dec(line.mid(n - 2, 2))};
}

QString MakeRevisionLine(const QString& ident, int checksum, int revision) {
    return ident + ByteToMarkHex(checksum) + ByteToMarkHex(revision);
}

std::optional<std::array<int, 3>> ParseConfigurationLine(const QString& line, QString* why) {
    using Digits = std::array<int, 3>;
    if (line.size() != kConfigurationLineLength)
        return Refused<Digits>(
            why, QStringLiteral("Its line is %1 characters long; a configuration line has %2.")
                     .arg(line.size())
                     .arg(kConfigurationLineLength));
    struct Digit {
        int position;
        char lowest;
        char highest;
    };
    const Digit places[3] = {{36, '1', '3'}, {39, '0', '9'}, {40, '1', '3'}};
    Digits digits{};
    for (int i = 0; i < 3; ++i) {
        const Digit& d = places[i];
        const QChar c = line.at(d.position - 1);
        if (c < QLatin1Char(d.lowest) || c > QLatin1Char(d.highest))
            return Refused<Digits>(
                why, QStringLiteral("Character %1 (configuration digit %2) is \"%3\"; it must "
                                    "be %4 to %5.")
                         .arg(d.position)
                         .arg(i + 1)
                         .arg(c)
                         .arg(QLatin1Char(d.lowest))
                         .arg(QLatin1Char(d.highest)));
        digits[static_cast<std::size_t>(i)] = c.digitValue();
    }
    return digits;
}

QString MakeConfigurationLine(int boardCode, const std::array<int, 3>& digits) {
    return link::RSComm::LCFBoardIndex(static_cast<std::int16_t>(boardCode)) +
           QString(34, QLatin1Char('0')) + QString::number(digits[0]) + QStringLiteral("00") +
           QString::number(digits[1]) + QString::number(digits[2]) + QStringLiteral("000%");
}

std::array<int, 3> ConfigurationValues(const std::array<int, 3>& d) {
    return {d[0] == 1 ? 3 : d[0] == 2 ? 5 : 12, d[1], d[2] == 1 ? 5 : d[2] == 2 ? 10 : 20};
}

std::optional<std::array<int, 3>> ConfigurationDigits(int b8190, int b8189, int b8188,
                                                      QString* why) {
    auto refuse = [why](const char* address, int value, const char* kept) {
        return Refused<std::array<int, 3>>(
            why, QStringLiteral("%1 holds %2; a configuration file keeps only %3 there.")
                     .arg(QLatin1String(address))
                     .arg(value)
                     .arg(QLatin1String(kept)));
    };
    if (b8190 != 3 && b8190 != 5 && b8190 != 12) return refuse("B8190", b8190, "3, 5 or 12");
    if (b8189 < 0 || b8189 > 9) return refuse("B8189", b8189, "0 to 9");
    if (b8188 != 5 && b8188 != 10 && b8188 != 20) return refuse("B8188", b8188, "5, 10 or 20");
    const auto digit = [](int value, int one, int two) {
        return value == one ? 1 : value == two ? 2 : 3;
    };
    return std::array<int, 3>{digit(b8190, 3, 5), b8189, digit(b8188, 5, 10)};
}

QString ProgramSet::BaseName() const {
    return QFileInfo(chosen_).completeBaseName();
}

bool ProgramSet::SelectNames(const QString& chosen, const QString& errorTitle,
                             link::UserAnswers& answers) {
    chosen_ = chosen;
    const ProgramFileNames names = ProgramSetNames(chosen);
    ProgramFileName = names.program;
    RevisionFileName = names.revision;
    ImageFileName = names.image;
    ConfigurationFileName = names.configuration;
    QString error;
    const std::optional<QString> field = ReadFirstField(chosen, &error);
    if (!field) {
        answers.ask(ErrorText(75, error), errorTitle, link::Buttons::Ok, link::Icon::Information);
        return false;
    }
    if (field->isEmpty()) return false;
    BoardCode = static_cast<std::int16_t>(field->at(0).unicode());
    TargetBoardName = link::RSComm::TargetboardName(BoardCode);
    return true;
}

void ProgramSet::DownloadFile(const QString& BXL_FileName, link::UserAnswers& answers) {
    ValidProgram = false;
    if (!QFileInfo(BXL_FileName).isFile()) return;
    if (!SelectNames(BXL_FileName, QStringLiteral("RSComm-Download File"), answers)) return;
    auto refuse = [&](const QString& file, const char* what, const QString& why) {
        answers.ask(file + QLatin1String(what) + kCRLF + kCRLF + why + kCRLF + kCRLF + kHalted,
                    QStringLiteral("Program Download"), link::Buttons::Ok, link::Icon::Exclamation);
    };
    switch (ProgramClassOf(BoardCode)) {
        case ProgramClass::Revision:
        case ProgramClass::RevisionAndConfiguration: {
            QString why = SetProgramIdent(RevisionFileName, answers);
            if (!ValidProgram) {
                refuse(RevisionFileName, " Revision File is Not Valid", why);
                return;
            }
            if (ProgramClassOf(BoardCode) != ProgramClass::RevisionAndConfiguration) return;
            why = SetProgramConfig(ConfigurationFileName, answers);
            if (!ValidProgram)
                refuse(ConfigurationFileName, " Configuration File is Not Valid", why);
            return;
        }
        case ProgramClass::Pls:
            answers.ask(
                BaseName() + QStringLiteral(" file is a PLS target board program.") + kCRLF +
                    QStringLiteral("Open PLS program to download to target board.") + kCRLF +
                    kCRLF + QStringLiteral("Program Downloaded Halted."),
                QStringLiteral("PLS Program Download"), link::Buttons::Ok, link::Icon::Information);
            return;
        case ProgramClass::NotDownloadable:
            answers.ask(BaseName() + QStringLiteral(" file is incompatible with target board.") +
                            kCRLF + kCRLF + kHalted,
                        QStringLiteral("Program Download"), link::Buttons::Ok,
                        link::Icon::Critical);
            return;
    }
}

void ProgramSet::UploadFile(const QString& BXL_FileName, link::UserAnswers& answers) {
    if (!QFileInfo(BXL_FileName).isFile()) return;
    SelectNames(BXL_FileName, QStringLiteral("RSComm UploadFile"), answers);
}

namespace {
// The first field of a file every byte of which the set relies on, or the reason there is none.
std::optional<QString> ReadWholeField(const QString& file, const QString& errorTitle,
                                      link::UserAnswers& answers, QString* why) {
    const QFileInfo info(file);
    if (!info.isFile()) return Refused<QString>(why, QStringLiteral("The file does not exist."));
    if (info.size() == 0) return Refused<QString>(why, QStringLiteral("The file is empty."));
    QString error;
    bool cut = false;
    const std::optional<QString> field = ReadFirstField(file, &error, &cut);
    if (!field) {
        answers.ask(ErrorText(75, error), errorTitle, link::Buttons::Ok, link::Icon::Critical);
        return Refused<QString>(why, error);
    }
    if (cut)
        return Refused<QString>(
            why, QStringLiteral("Its line is longer than %1 characters.").arg(kFieldWindow));
    return field;
}

} // namespace

QString ProgramSet::SetProgramIdent(const QString& file, link::UserAnswers& answers) {
    ValidProgram = false;
    ProgramIdent = ProgramRevision = ProgramChecksum = QStringLiteral("Unknown");
    QString why;
    const std::optional<QString> field =
        ReadWholeField(file, QStringLiteral("RSComm-Set Program Ident"), answers, &why);
    if (!field) return why;
    const std::optional<RevisionLine> line = ParseRevisionLine(*field, &why);
    if (!line) return why;
    ProgramIdent = line->ident;
    ProgramChecksum = line->checksum;
    ProgramRevision = line->revision;
    ValidProgram = true;
    return {};
}

QString ProgramSet::SetProgramConfig(const QString& file, link::UserAnswers& answers) {
    ValidProgram = false;
    ConfigDigits = {3, 0, 3};
    QString why;
    const std::optional<QString> field =
        ReadWholeField(file, QStringLiteral("RSComm-Set Program Config"), answers, &why);
    if (!field) return why;
    const std::optional<std::array<int, 3>> digits = ParseConfigurationLine(*field, &why);
    if (!digits) return why;
    ConfigDigits = *digits;
    ValidProgram = true;
    return {};
}

} // namespace talvern::targetboard
