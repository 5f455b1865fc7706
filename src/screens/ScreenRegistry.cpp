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

// Each screen and its page in Help/ (F1 opens it; a page that is missing opens the contents).
struct Screen {
    Factory create;
    const char* helpPage;
};

const std::array<Screen, 9>& Screens() {
    static const std::array<Screen, 9> screens = {{
        {[]() -> QWidget* { return new frmBMMain; }, "maindisplay.html"}, // 0 "&1 Main Display"
        {[]() -> QWidget* { return new frmBMSetup; }, "bmsetup.html"}, // 1 "&2 Set-up Parameters"
        {[]() -> QWidget* { return new frmBMTmg; }, "bmtiming.html"},  // 2 "&3 Machine Timing"
        {[]() -> QWidget* { return new frmBMData; }, "bmdata.html"},   // 3 "&4 Shift Data"
        {[]() -> QWidget* { return new frmBMIO; }, "bmio.html"},       // 4 "&5 I/O States"
        {[]() -> QWidget* { return new frmCpfdSetup; },
         "cpfdsetup.html"},                                              // 5 "&1 Set-up Parameters"
        {[]() -> QWidget* { return new frmCpfdTune; }, "cpfdtune.html"}, // 6 "&2 Tuning"
        {[]() -> QWidget* { return new frmCpfdDiag; }, "cpfddiag.html"}, // 7 "&3 Diagnostics"
        {[]() -> QWidget* { return new frmCpfdData; },
         "signatures.html"}, // 8 "&4 Acquire Data Signatures"
    }};
    return screens;
}
} // namespace

bool HasChildScreen(int index) {
    return index >= 0 && index < static_cast<int>(Screens().size()) && Screens()[index].create;
}

QWidget* CreateChildScreen(int index) {
    if (!HasChildScreen(index)) return nullptr;
    QWidget* screen = Screens()[index].create();
    screen->setProperty("helpPage", QString::fromLatin1(Screens()[index].helpPage));
    return screen;
}

} // namespace talvern::screens
