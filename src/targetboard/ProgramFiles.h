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
// extension (the dot kept) + bxl, rev, hex, lcf. Sets made on a system that ignores case mix the
// case of their extensions (UP.BXL beside UP.rev), so a companion on disk is found whatever the
// case of its extension; one that is not there yet is named in the case of the chosen file's.
struct ProgramFileNames {
    QString program;
    QString revision;
    QString image;
    QString configuration;
};
ProgramFileNames ProgramSetNames(const QString& chosenFile);
// The companion of a chosen file with another extension, found as ProgramSetNames finds it.
QString CompanionFile(const QString& chosenFile, const QString& extension);

// The first field of a text file (up to the first comma or line end; a quoted field up to its
// closing quote), or nothing when the file cannot be read. Empty when the file is empty. Only
// the first kFieldWindow bytes are read: *cut tells that the field runs on beyond them.
constexpr int kFieldWindow = 256;
std::optional<QString> ReadFirstField(const QString& path, QString* error = nullptr,
                                      bool* cut = nullptr);

// The ident block: the program's name as eight character codes (padded with 0), its checksum
// and its revision, from B61424. A block whose first byte is 0 names no program. A dump marks
// the block so before its first record and gives it the program's ident, first character last,
// only once every record is in: a board left half-loaded never shows a program's name.
constexpr int kIdentBlockAddress = 61424;
constexpr int kIdentBytes = 10;
constexpr int kIdentLength = 8;
inline bool IdentNamesProgram(int firstByte) {
    return firstByte != 0;
}
extern const QString kNoValidProgram;

// The revision line split: ident (all but the last four characters), checksum (the third- and
// fourth-last, marked hex) and revision (the last two), both as decimal text. Nothing, with the
// reason in *why, for a line that cannot be one: shorter than its four digits, longer than an
// ident the board can hold and its digits, digits that are not hexadecimal, or an ident that
// names no program (empty: a board whose ident begins with a zero byte holds no valid program).
struct RevisionLine {
    QString ident;
    QString checksum;
    QString revision;
};
std::optional<RevisionLine> ParseRevisionLine(const QString& line, QString* why = nullptr);
// The revision line for an ident block: ident + checksum + revision as marked hex.
QString MakeRevisionLine(const QString& ident, int checksum, int revision);

// The configuration line: 44 characters, of which 36, 39 and 40 are the three digits; digits 1
// and 3 are codes 1..3, digit 2 a value 0..9. Nothing, with the reason in *why, for any other.
constexpr int kConfigurationLineLength = 44;
std::optional<std::array<int, 3>> ParseConfigurationLine(const QString& line,
                                                         QString* why = nullptr);
// The 44-character configuration line of a board code and its three digits (as the line holds
// them: see ConfigurationDigits).
QString MakeConfigurationLine(int boardCode, const std::array<int, 3>& digits);
// Board values for the configuration digits, for B8190, B8189 and B8188 in that order, and the
// digits back from the values read there. A value no digit stands for (B8190 other than 3, 5,
// 12; B8189 above 9; B8188 other than 5, 10, 20) cannot be kept in a configuration file, since
// the file would give the board another value back: nothing, with the reason in *why.
std::array<int, 3> ConfigurationValues(const std::array<int, 3>& digits);
std::optional<std::array<int, 3>> ConfigurationDigits(int b8190, int b8189, int b8188,
                                                      QString* why = nullptr);

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
    // Each reads its file into the set; the reason it is not valid, or empty.
    QString SetProgramIdent(const QString& file, link::UserAnswers& answers);
    QString SetProgramConfig(const QString& file, link::UserAnswers& answers);
    QString chosen_;
};

} // namespace talvern::targetboard
