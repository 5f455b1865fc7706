// The recent-file list: newest first, once each, at most four; its menu captions; and its place
// in the settings file.
#include "RecentFiles.h"

#include <QDir>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <tuple>

using namespace talvern::setup;

TEST(RecentFiles, NewestFirstOnceEachAtMostFour) {
    const std::tuple<const char*, QStringList, QStringList, QStringList> cases[] = {
        {"newest first", {"/d/a.sdt", "/d/b.sdt"}, {}, {"/d/b.sdt", "/d/a.sdt"}},
        {"a file again moves to the top",
         {"/d/a.sdt", "/d/b.sdt", "/d/c.sdt", "/d/a.sdt"},
         {},
         {"/d/a.sdt", "/d/c.sdt", "/d/b.sdt"}},
        {"the oldest falls off the fifth",
         {"/d/1.sdt", "/d/2.sdt", "/d/3.sdt", "/d/4.sdt", "/d/5.sdt"},
         {},
         {"/d/5.sdt", "/d/4.sdt", "/d/3.sdt", "/d/2.sdt"}},
        {"one spelling per file",
         {"/d/x/../a.sdt", "/d//a.sdt", "", "/d/./a.sdt"},
         {},
         {"/d/a.sdt"}},
        {"removed, by any spelling",
         {"/d/a.sdt", "/d/b.sdt"},
         {"/d/x/../a.sdt", "/d/none.sdt"},
         {"/d/b.sdt"}},
    };
    for (const auto& [what, added, removed, expected] : cases) {
        RecentFiles recent;
        for (const QString& p : added)
            recent.add(p);
        for (const QString& p : removed)
            recent.remove(p);
        EXPECT_EQ(recent.paths(), expected) << what;
    }
}

TEST(RecentFiles, KeptInTheSettingsFileAndCutWhenReadBack) {
    QTemporaryDir dir;
    const QString file = dir.filePath("talvern.ini");
    {
        QSettings settings(file, QSettings::IniFormat);
        settings.setValue("RecentFiles", QStringList{"/d/1.sdt", "/d/2.sdt", "/d/1.sdt", "/d/3.sdt",
                                                     "/d/4.sdt", "/d/5.sdt"});
    }
    QSettings settings(file, QSettings::IniFormat);
    RecentFiles recent = RecentFiles::load(settings);
    EXPECT_EQ(recent.paths(), (QStringList{"/d/1.sdt", "/d/2.sdt", "/d/3.sdt", "/d/4.sdt"}));
    recent.add("/d/9.sdt");
    recent.save(settings);
    EXPECT_EQ(RecentFiles::load(QSettings(file, QSettings::IniFormat)).paths(),
              (QStringList{"/d/9.sdt", "/d/1.sdt", "/d/2.sdt", "/d/3.sdt"}));
}

TEST(RecentFiles, CaptionsCarryTheirAccessKeyAndShowAmpersands) {
    EXPECT_EQ(RecentFileCaption(0, "/home/eng/line 3.sdt"), "&1 /home/eng/line 3.sdt");
    EXPECT_EQ(RecentFileCaption(3, "/home/eng/R&D.sdt"), "&4 /home/eng/R&&D.sdt");
    const QString deep = "/home/eng/" + QString(80, 'x') + "/plant/bodymaker-7.sdt";
    const QString caption = RecentFileCaption(1, deep);
    EXPECT_TRUE(caption.startsWith("&2 /home/eng/xx")) << caption.toStdString();
    EXPECT_TRUE(caption.endsWith(".../bodymaker-7.sdt")) << caption.toStdString();
    EXPECT_LE(caption.size(), 3 + 60);
}
