// What the main window keeps between runs, and F1.
#include "MainWindowFixture.h"
#include "modUtility.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QTest>
#include <QTextBrowser>

namespace talvern::testing {
namespace {

class DesktopWindow : public MainWindowTest {
protected:
    void SetUp() override {
        settingsFile = folder.filePath("user/talvern.ini");
        MainWindowTest::SetUp();
    }
    // Closes the program and starts it again on the same settings file.
    void restart() {
        shell::gSetup = shell::gSetupSaved;
        window->close();
        window.reset();
        flushDeletes();
        MainWindowTest::SetUp();
    }
    void saveAs(const QString& name) {
        files.choices = {folder.filePath(name)};
        window->mnuFileSaveAs->trigger();
    }
    QStringList recentCaptions() const {
        QStringList captions;
        for (QAction* item : window->mnuFileRecent)
            if (item->isVisible()) captions << item->text();
        return captions;
    }
    void writePage(const QString& name, const QByteArray& text) {
        QDir(folder.path()).mkpath("Help");
        QFile page(folder.filePath("Help/" + name));
        ASSERT_TRUE(page.open(QIODevice::WriteOnly));
        page.write("<html><body><p>" + text + "</p></body></html>");
    }
};

TEST_F(DesktopWindow, RecentFilesAreListedAboveExitKeptBetweenRunsAndDroppedWhenGone) {
    EXPECT_TRUE(recentCaptions().isEmpty());
    saveAs("a.sdt");
    saveAs("b.sdt");
    const QString a = folder.filePath("a.sdt"), b = folder.filePath("b.sdt");
    EXPECT_EQ(recentCaptions(), (QStringList{"&1 " + b, "&2 " + a}));
    const QList<QAction*> items = window->mnuFile->actions();
    const qsizetype first = items.indexOf(window->mnuFileRecent[0]);
    EXPECT_EQ(items.indexOf(window->mnuFileRecent[1]), first + 1);
    EXPECT_TRUE(items.at(first - 1)->isSeparator());
    EXPECT_TRUE(items.at(items.size() - 2)->isSeparator());
    EXPECT_EQ(items.last(), window->mnuFileExit);

    restart();
    EXPECT_EQ(recentCaptions(), (QStringList{"&1 " + b, "&2 " + a}));
    // Choosing one opens it at once, without the file dialog, and puts it on top.
    files.calls.clear();
    window->mnuFileRecent[1]->trigger();
    EXPECT_TRUE(files.calls.empty());
    EXPECT_EQ(window->windowTitle(), "TALVERN - [a.sdt]");
    EXPECT_EQ(recentCaptions(), (QStringList{"&1 " + a, "&2 " + b}));

    // One that no longer exists is dropped, with a message, for good.
    ASSERT_TRUE(QFile::remove(b));
    const std::size_t before = answers.asked.size();
    window->mnuFileRecent[1]->trigger();
    ASSERT_EQ(answers.asked.size(), before + 1);
    EXPECT_TRUE(answers.asked.back().text.startsWith(b + "\r\n\r\n"));
    EXPECT_TRUE(answers.asked.back().text.contains("no longer exists"));
    EXPECT_EQ(recentCaptions(), QStringList{"&1 " + a});
    EXPECT_EQ(window->windowTitle(), "TALVERN - [a.sdt]");
    restart();
    EXPECT_EQ(recentCaptions(), QStringList{"&1 " + a});
}

TEST_F(DesktopWindow, SizePlaceAndMaximisedStateComeBack) {
    window->show();
    window->setGeometry(60, 70, 640, 480);
    restart();
    window->show();
    EXPECT_EQ(window->size(), QSize(640, 480));
    EXPECT_FALSE(window->isMaximized());
    window->showMaximized();
    restart();
    window->show();
    EXPECT_TRUE(window->isMaximized());
}

TEST_F(DesktopWindow, F1OpensTheVisibleScreensPageOrTheContentsAsHelpTopicsDoes) {
    writePage("index.html", "All topics");
    writePage("display.html", "About the main display");
    window->show();
    QApplication::setActiveWindow(window.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    window->childWindow(0)->setProperty("helpPage", "display.html");
    QTest::keyClick(window.get(), Qt::Key_F1);
    ASSERT_NE(window->helpWindow(), nullptr);
    EXPECT_TRUE(window->helpWindow()->isVisible());
    EXPECT_TRUE(window->helpWindow()->browser()->toPlainText().contains("About the main display"));
    // A screen without a page, and a page that is missing, give the contents.
    for (const char* page : {"", "missing.html"}) {
        window->ShowChildWindow(1);
        window->childWindow(1)->setProperty("helpPage", page);
        window->ShowScreenHelp();
        EXPECT_TRUE(window->helpWindow()->browser()->toPlainText().contains("All topics")) << page;
        window->ShowChildWindow(0);
    }
    window->helpWindow()->browser()->clear();
    window->mnuHelpHelpTopics->trigger();
    EXPECT_TRUE(window->helpWindow()->browser()->toPlainText().contains("All topics"));
}

} // namespace
} // namespace talvern::testing
