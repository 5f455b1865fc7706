#include "SetupData.h"

namespace talvern::setup {

const std::array<ParameterInfo, gSetupMax + 1>& ParameterTable() {
    using B = Board;
    static const std::array<ParameterInfo, gSetupMax + 1> table{{
        {"W1020", B::K2510, "bodymaker set-up", "BDC Stop Position at Low Speed (degrees)", 0,
         true},
        {"W1022", B::K2510, "bodymaker set-up", "BDC Stop Position at High Speed (degrees)", 0,
         true},
        {"W1024", B::K2510, "bodymaker set-up", "Maximum Allowed Stopping Response (degrees)", 300,
         true},
        {"W1026", B::K2510, "bodymaker set-up", "Bodymaker Running Speed-Low (spm)", 250, true},
        {"W1028", B::K2510, "bodymaker set-up", "Bodymaker Running Speed-High (spm)", 350, true},
        {"W1032", B::K2510, "bodymaker set-up", "Trimmer Speed Reference, Maximum Speed (spm)", 375,
         true},
        {"W1034", B::K2510, "bodymaker set-up", "Trimmer Speed Reference, Idle Speed (spm)", 250,
         true},
        {"B1018.0", B::K2510, "bodymaker set-up", "Brake Wear Compensation Enable (0=No, 1=Yes)", 1,
         true},
        {"D1100", B::K2510, "shift data", "Current Shift - Good Can Count", 0, false},
        {"W1104", B::K2510, "shift data", "Current Shift - Short Can Count", 0, false},
        {"D1200", B::K2510, "shift data", "Last Shift - Good Can Count", 0, false},
        {"W1204", B::K2510, "shift data", "Last Shift - Short Can Count", 0, false},
        {"W1040", B::K2510, "brake response", "Brake Response - Low Speed (degrees)", 0, false},
        {"W1042", B::K2510, "brake response", "Brake Response - High Speed (degrees)", 0, false},
        {"W1110", B::R7520, "cupfeed set-up", "Cupfeed Stop Position at Short Can (counts)", 1950,
         true},
        {"W1130", B::R7520, "cupfeed set-up", "Maximum Error for 'Out of Sync' Disable (counts)",
         100, true},
        {"W1132", B::R7520, "cupfeed set-up", "Maximum Error to enable Cupfeed Sync (counts)", 500,
         true},
        {"W1134", B::R7520, "cupfeed set-up", "Maximum Error for 'Following Error' Alarm (counts)",
         50, true},
        {"W1126", B::R7520, "cupfeed tuning", "Proportional Gain (P) - Integer", 15, true},
        {"B1128", B::R7520, "cupfeed tuning", "Proportional Gain (P) - Fractional", 0, true},
        {"W1120", B::R7520, "cupfeed tuning", "Integral Gain (I)", 100, true},
        {"W1122", B::R7520, "cupfeed tuning", "Derivative Gain (D)", 25, true},
        {"W614", B::R7520, "cupfeed tuning (monitor)", "Instantaneous Absolute Error (counts)", 0,
         false},
        {"W610", B::R7520, "cupfeed tuning (monitor)", "Positive Peak Error (counts)", 0, false},
        {"W612", B::R7520, "cupfeed tuning (monitor)", "Negative Peak Error (counts)", 0, false},
        {"W82", B::R7520, "cupfeed diagnostics", "Cupfeed Main Crank Position (counts)", 0, false},
        {"W1104", B::R7520, "cupfeed diagnostics", "Cupfeed Main Crank Offset (counts)", 0, false},
        {"W80", B::R7520, "cupfeed diagnostics", "Cupfeed Cam Position (counts)", 0, false},
        {"W1102", B::R7520, "cupfeed diagnostics", "Cupfeed Cam Offset (counts)", 0, false},
        {"W1108", B::R7520, "cupfeed diagnostics", "Cupfeed Cam Home Position (counts)", 0, false},
        {"W614", B::R7520, "cupfeed diagnostics", "Cupfeed Cam to Main Crank Error (counts)", 0,
         false},
    }};
    return table;
}

QString ProgramVersionTag(int major, int minor, int revision) {
    return QStringLiteral("TALVERN_R%1.%2.%3").arg(major).arg(minor).arg(revision);
}

SetupData FactoryDefaults(const QString& version) {
    SetupData d;
    d.Version = version;
    for (const ParameterInfo& p : ParameterTable()) {
        d.ParamAdd << QString::fromLatin1(p.address);
        d.ParamValue.push_back(p.defaultValue);
    }
    d.PLSCfg0 = 8;
    d.PLSScale = 360;
    d.PLSOfs = 0;
    d.PLSCfg1 = 0;
    d.PLSCfgRest.fill(0);
    constexpr std::int16_t on[8] = {150, 200, 155, 110, 150, 150, 120, 180};
    constexpr std::int16_t off[8] = {170, 220, 175, 130, 350, 200, 190, 0};
    for (int c = 0; c < 8; ++c)
        d.PLSSetpoint[c] = {on[c], off[c]};
    return d;
}

} // namespace talvern::setup
