#include "ScreenRegistry.h"

#include "frmBMData.h"
#include "frmBMIO.h"
#include "frmBMMain.h"
#include "frmBMSetup.h"
#include "frmBMTmg.h"
#include "frmCpfdData.h"
#include "frmCpfdDiag.h"
#include "frmCpfdSetup.h"
#include "frmCpfdTune.h"

#include <array>

namespace talvern::screens {

namespace {
using Factory = QWidget* (*)();

const std::array<Factory, 9>& Factories() {
    static const std::array<Factory, 9> factories = {
        []() -> QWidget* { return new frmBMMain; },    // 0 "&1 Main Display"
        []() -> QWidget* { return new frmBMSetup; },   // 1 "&2 Set-up Parameters"
        []() -> QWidget* { return new frmBMTmg; },     // 2 "&3 Machine Timing"
        []() -> QWidget* { return new frmBMData; },    // 3 "&4 Shift Data"
        []() -> QWidget* { return new frmBMIO; },      // 4 "&5 I/O States"
        []() -> QWidget* { return new frmCpfdSetup; }, // 5 cupfeed "&1 Set-up Parameters"
        []() -> QWidget* { return new frmCpfdTune; },  // 6 "&2 Tuning"
        []() -> QWidget* { return new frmCpfdDiag; },  // 7 "&3 Diagnostics"
        []() -> QWidget* { return new frmCpfdData; },  // 8 "&4 Acquire Data Signatures"
    };
    return factories;
}
} // namespace

bool HasChildScreen(int index) {
    return index >= 0 && index < static_cast<int>(Factories().size()) && Factories()[index];
}

QWidget* CreateChildScreen(int index) {
    return HasChildScreen(index) ? Factories()[index]() : nullptr;
}

} // namespace talvern::screens
