#pragma once
// The program's help: the HTML pages of the Help folder in a browser window of our own.

#include <QDialog>

class QTextBrowser;

namespace talvern::shell {

class HelpWindow : public QDialog {
    Q_OBJECT
public:
    explicit HelpWindow(const QString& contentsPage, QWidget* parent = nullptr);
    QTextBrowser* browser() const { return browser_; }
    void showContents();
    // A page of the help; the contents when that page is missing.
    void showPage(const QString& file);

private:
    QString contents_;
    QTextBrowser* browser_;
};

} // namespace talvern::shell
