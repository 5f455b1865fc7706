#include "ProgramFiles.h"

#include "MarkHex.h"
#include "RSComm.h"

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

ProgramFileNames ProgramSetNames(const QString& chosenFile) {
    const QString base = chosenFile.left(chosenFile.size() - 3);
    return {base + QStringLiteral("bxl"), base + QStringLiteral("rev"),
            base + QStringLiteral("hex"), base + QStringLiteral("lcf")};
}

std::optional<QString> ReadFirstField(const QString& path, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error) *error = file.errorString();
        return std::nullopt;
    }
    // The files are plain ASCII; Latin-1 keeps every byte, zero bytes of an ident included.
    const QString text = QString::fromLatin1(file.read(64 * 1024));
    int i = 0;
    while (i < text.size() && (text.at(i) == QLatin1Char(' ') || text.at(i) == QLatin1Char('\t')))
        ++i;
    if (i < text.size() && text.at(i) == QLatin1Char('"')) {
        const int close = text.indexOf(QLatin1Char('"'), i + 1);
        return text.mid(i + 1, close < 0 ? -1 : close - i - 1);
    }
    int end = i;
    while (end < text.size() && text.at(end) != QLatin1Char(',') &&
           text.at(end) != QLatin1Char('\r') && text.at(end) != QLatin1Char('\n'))
        ++end;
    return text.mid(i, end - i).trimmed();
}

std::optional<RevisionLine> ParseRevisionLine(const QString& line) {
    if (line.size() < 4) return std::nullopt;
    const qsizetype n = line.size();
    return RevisionLine{line.left(n - 4), MarkHex2Dec(line.mid(n - 4, 2)),
                        MarkHex2Dec(line.mid(n - 2, 2))};
}

QString MakeRevisionLine(const QString& ident, int checksum, int revision) {
    return ident + ByteToMarkHex(checksum) + ByteToMarkHex(revision);
}

std::array<int, 3> ParseConfigurationLine(const QString& line) {
    auto digit = [&line](int position) {
        const QChar c = position <= line.size() ? line.at(position - 1) : QChar();
        return c.isDigit() ? c.digitValue() : 0;
    };
    return {digit(36), digit(39), digit(40)};
}

QString MakeConfigurationLine(int boardCode, const std::array<int, 3>& digits) {
    return link::RSComm::LCFBoardIndex(static_cast<std::int16_t>(boardCode)) +
           QString(34, QLatin1Char('0')) + QString::number(digits[0]) + QStringLiteral("00") +
           QString::number(digits[1]) + QString::number(digits[2]) + QStringLiteral("000%");
}

std::array<int, 3> ConfigurationValues(const std::array<int, 3>& d) {
    return {d[0] == 1 ? 3 : d[0] == 2 ? 5 : 12, d[1], d[2] == 1 ? 5 : d[2] == 2 ? 10 : 20};
}

std::array<int, 3> ConfigurationDigits(int b8190, int b8189, int b8188) {
    return {b8190 == 3 ? 1 : b8190 == 5 ? 2 : 3, b8189, b8188 == 5 ? 1 : b8188 == 10 ? 2 : 3};
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
    switch (ProgramClassOf(BoardCode)) {
        case ProgramClass::Revision:
        case ProgramClass::RevisionAndConfiguration: {
            SetProgramIdent(RevisionFileName, answers);
            if (!ValidProgram) {
                answers.ask(RevisionFileName + QStringLiteral(" Revision File is Not Valid") +
                                kCRLF + kCRLF + kHalted,
                            QStringLiteral("Program Download"), link::Buttons::Ok,
                            link::Icon::Exclamation);
                return;
            }
            if (ProgramClassOf(BoardCode) != ProgramClass::RevisionAndConfiguration) return;
            SetProgramConfig(ConfigurationFileName, answers);
            if (!ValidProgram)
                answers.ask(
                    ConfigurationFileName + QStringLiteral(" Configuration File is Not Valid") +
                        kCRLF + kCRLF + kHalted,
                    QStringLiteral("Program Download"), link::Buttons::Ok, link::Icon::Exclamation);
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

void ProgramSet::SetProgramIdent(const QString& file, link::UserAnswers& answers) {
    ValidProgram = false;
    ProgramIdent = ProgramRevision = ProgramChecksum = QStringLiteral("Unknown");
    const QFileInfo info(file);
    if (!info.isFile() || info.size() == 0) return;
    QString error;
    const std::optional<QString> field = ReadFirstField(file, &error);
    const std::optional<RevisionLine> line =
        field ? ParseRevisionLine(*field) : std::optional<RevisionLine>();
    if (!line) {
        answers.ask(field ? ErrorText(5, QStringLiteral("Invalid procedure call or argument"))
                          : ErrorText(75, error),
                    QStringLiteral("RSComm-Set Program Ident"), link::Buttons::Ok,
                    link::Icon::Critical);
        return;
    }
    ProgramIdent = line->ident;
    ProgramChecksum = line->checksum;
    ProgramRevision = line->revision;
    ValidProgram = true;
}

void ProgramSet::SetProgramConfig(const QString& file, link::UserAnswers& answers) {
    ValidProgram = false;
    ConfigDigits = {3, 0, 3};
    const QFileInfo info(file);
    if (!info.isFile() || info.size() == 0) return;
    QString error;
    const std::optional<QString> field = ReadFirstField(file, &error);
    if (!field) {
        answers.ask(ErrorText(75, error), QStringLiteral("RSComm-Set Program Config"),
                    link::Buttons::Ok, link::Icon::Critical);
        return;
    }
    ConfigDigits = ParseConfigurationLine(*field);
    ValidProgram = true;
}

} // namespace talvern::targetboard
