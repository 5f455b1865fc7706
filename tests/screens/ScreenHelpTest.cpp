// Every screen names its help page, and that page is in Help/ (F1 opens it).
#include "ScreenFixture.h"
#include "ScreenRegistry.h"

#include <QDir>
#include <QFileInfo>
#include <memory>

namespace talvern::testing {
namespace {

using ScreenHelp = ScreenFixture;

TEST_F(ScreenHelp, EveryScreenNamesAPageOfTheHelp) {
    const QDir help(QStringLiteral(TALVERN_SOURCE_HELP_DIR));
    int screensSeen = 0;
    for (int i = 0; i < 9; ++i) {
        if (!screens::HasChildScreen(i)) continue;
        std::unique_ptr<QWidget> screen(screens::CreateChildScreen(i));
        const QString page = screen->property("helpPage").toString();
        EXPECT_FALSE(page.isEmpty()) << "screen " << i;
        EXPECT_TRUE(QFileInfo(help.filePath(page)).isFile())
            << "screen " << i << ": " << page.toStdString();
        ++screensSeen;
    }
    EXPECT_GE(screensSeen, 5);
}

} // namespace
} // namespace talvern::testing
