#pragma once
// A board program on disk: four sibling files with one base name — the program file (bxl), whose
// first character is the board-type code; the revision file (rev) with the program ident,
// checksum and revision; the program image (hex); and for some boards the configuration file
// (lcf). ProgramSet selects such a set, checks that it fits a target board and reads what it
// carries, as the dump and upload need it.

#include "Platform.h"

#include <QString>
#include <array>
#include <cstdint>
#include <optional>

namespace talvern::targetboard {

// What a board-type code allows.
enum class ProgramClass { NotDownloadable, Revision, RevisionAndConfiguration, Pls };
ProgramClass ProgramClassOf(int boardCode);

// The program memory of a board-type code (empty for codes without one).
struct MemoryRange {
    int first = 0;
    int bytes = 0;
    int last() const { return first + bytes - 1; }
    bool contains(int address, int count) const {
        return bytes > 0 && address >= first && address + count - 1 <= last();
    }
};
MemoryRange ProgramMemoryRange(int boardCode);
// The link's name of one byte of a board's memory: "B" followed by the decimal address.
QString ByteAddress(int address);

// The four names of the set a chosen file belongs to: the chosen name without its three-letter
// extension (the dot kept) + bxl, rev, hex, lcf.
struct ProgramFileNames {
    QString program;
    QString revision;
    QString image;
    QString configuration;
};
ProgramFileNames ProgramSetNames(const QString& chosenFile);

// The first field of a text file (up to the first comma or line end; a quoted field up to its
// closing quote), or nothing when the file cannot be read. Empty when the file is empty.
std::optional<QString> ReadFirstField(const QString& path, QString* error = nullptr);

// The revision line split: ident (all but the last four characters), checksum (the third- and
// fourth-last, marked hex) and revision (the last two), both as decimal text. Nothing when the
// line is shorter than the four digits.
struct RevisionLine {
    QString ident;
    QString checksum;
    QString revision;
};
std::optional<RevisionLine> ParseRevisionLine(const QString& line);
// The revision line for an ident block: ident + checksum + revision as marked hex.
QString MakeRevisionLine(const QString& ident, int checksum, int revision);

// The configuration line: characters 36, 39 and 40 as one-digit numbers.
std::array<int, 3> ParseConfigurationLine(const QString& line);
// The 44-character configuration line of a board code and its three digits.
QString MakeConfigurationLine(int boardCode, const std::array<int, 3>& digits);
// Board values for the configuration digits, for B8190, B8189 and B8188 in that order, and the
// digits back from the values read there.
std::array<int, 3> ConfigurationValues(const std::array<int, 3>& digits);
std::array<int, 3> ConfigurationDigits(int b8190, int b8189, int b8188);

class ProgramSet {
public:
    QString ProgramFileName;
    QString RevisionFileName;
    QString ImageFileName;
    QString ConfigurationFileName;
    QString TargetBoardName;
    std::int16_t BoardCode = 0;
    QString ProgramIdent = QStringLiteral("Unknown");
    QString ProgramRevision = QStringLiteral("Unknown");
    QString ProgramChecksum = QStringLiteral("Unknown");
    std::array<int, 3> ConfigDigits{3, 0, 3};
    bool ValidProgram = false;

    // Selects a set for a dump and validates it by the board code's class, telling the user why
    // a set is refused.
    void DownloadFile(const QString& BXL_FileName, link::UserAnswers& answers);
    // Selects a set for an upload: the names, the board code and name; nothing is validated.
    void UploadFile(const QString& BXL_FileName, link::UserAnswers& answers);

    // The chosen file's name without folder and extension.
    QString BaseName() const;

private:
    bool SelectNames(const QString& chosen, const QString& errorTitle, link::UserAnswers& answers);
    void SetProgramIdent(const QString& file, link::UserAnswers& answers);
    void SetProgramConfig(const QString& file, link::UserAnswers& answers);
    QString chosen_;
};

} // namespace talvern::targetboard
