#include "ScreenFixture.h"
#include "ScreenRegistry.h"

#include <QDir>
#include <QFileInfo>
#include <memory>

namespace talvern::testing {
namespace {

using ScreenHelp = ScreenFixture;

// Each entry of the screen menus opens its own screen, which names a page of the help (F1).
TEST_F(ScreenHelp, EveryMenuEntryOpensItsScreenWhichNamesAPageOfTheHelp) {
    const QDir help(QStringLiteral(TALVERN_SOURCE_HELP_DIR));
    const char* const names[] = {"frmBMMain",   "frmBMSetup",  "frmBMTmg",
                                 "frmBMData",   "frmBMIO",     "frmCpfdSetup",
                                 "frmCpfdTune", "frmCpfdDiag", "frmCpfdData"};
    for (int i = 0; i < 9; ++i) {
        std::unique_ptr<QWidget> screen(screens::CreateChildScreen(i));
        ASSERT_TRUE(screen) << i;
        EXPECT_EQ(screen->objectName(), QLatin1String(names[i]));
        const QString page = screen->property("helpPage").toString();
        EXPECT_TRUE(!page.isEmpty() && QFileInfo(help.filePath(page)).isFile())
            << names[i] << ": " << page.toStdString();
    }
}

} // namespace
} // namespace talvern::testing
