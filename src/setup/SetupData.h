#pragma once
// One complete set of set-up data (the unit uploaded, edited, saved and downloaded) and the
// table of the 31 set-up parameters that drives the editors, the files and the report.

#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <vector>

namespace talvern::setup {

constexpr int gSetupMax = 30; // upper index of ParamAdd and ParamValue

struct SetupData {
    QString Version;
    QStringList ParamAdd;                 // indices 0..gSetupMax
    std::vector<std::int32_t> ParamValue; // indices 0..gSetupMax
    std::int16_t PLSCfg0 = 0;             // number of PLS channels
    std::int16_t PLSScale = 0;
    std::int16_t PLSOfs = 0;
    std::int16_t PLSCfg1 = 0;                 // PLS program
    std::array<std::int16_t, 8> PLSCfgRest{}; // speed compensation of channels 0..7 (msec)
    // [channel][0 = ON point, 1 = OFF point]; a channel whose points are both 0 is unused.
    std::array<std::array<std::int16_t, 2>, 8> PLSSetpoint{};

    bool operator==(const SetupData&) const = default;
};

enum class Board { K2510, R7520 };

struct ParameterInfo {
    const char* address;
    Board board;
    const char* group;
    const char* reportLabel;
    std::int32_t defaultValue;
    bool downloadable; // a data download writes it back
};

// Rows are identified by index, never by address ("W1104" is on both boards).
const std::array<ParameterInfo, gSetupMax + 1>& ParameterTable();

// "TALVERN_R" + major.minor.revision, plain decimal.
QString ProgramVersionTag(int major, int minor, int revision);

// The factory defaults stamped with the given version tag.
SetupData FactoryDefaults(const QString& version);

// Board numbers as B698 holds them.
constexpr int kBoardK2510 = 1;
constexpr int kBoardR7520 = 3;
inline int BoardNumber(Board board) {
    return board == Board::K2510 ? kBoardK2510 : kBoardR7520;
}

} // namespace talvern::setup
