#pragma once
// The set-up files opened or saved last, newest first, as the File menu lists them.

#include <QString>
#include <QStringList>

class QSettings;

namespace talvern::setup {

class RecentFiles {
public:
    static constexpr int kMaxFiles = 4;

    RecentFiles() = default;
    // Keeps the first kMaxFiles distinct, non-empty entries.
    explicit RecentFiles(const QStringList& paths);

    // Puts the file at the top; a file already listed moves there instead of appearing twice.
    void add(const QString& path);
    void remove(const QString& path);
    const QStringList& paths() const { return paths_; }

    // The list kept in the program's settings ("RecentFiles").
    static RecentFiles load(const QSettings& settings);
    void save(QSettings& settings) const;

private:
    QStringList paths_;
};

// The menu text of entry index (0-based): its access key 1..4, then the path. An "&" in the path
// is doubled so that it shows as itself; very long paths keep their start and their file name.
QString RecentFileCaption(int index, const QString& path);

} // namespace talvern::setup
