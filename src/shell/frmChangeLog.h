#pragma once
// View → Change Log: the values written to the boards, newest first, filtered by board, address
// and date, exported as text. It reads the log file when opened and on Refresh.

#include "ChangeLog.h"
#include "FileDialogs.h"
#include "Platform.h"

#include <QDialog>
#include <functional>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace talvern::shell {

class frmChangeLog : public QDialog {
    Q_OBJECT
public:
    frmChangeLog(QString path, bool simulated, link::UserAnswers& answers,
                 std::function<setup::FileDialogs&()> dialogs, QString folder,
                 QWidget* parent = nullptr);

    // Reads the log again and shows the entries the filter lets through.
    void cmdChangeRefresh_Click();
    void cmdChangeExport_Click();
    setup::ChangeFilter filter() const;
    const std::vector<setup::ChangeEntry>& shown() const { return shown_; }

    QComboBox* cboChangeBoard;
    QLineEdit* txtChangeAddress;
    QCheckBox* chkChangeSince;
    QDateEdit* dtpChangeSince;
    QTableWidget* grdChangeLog;
    QLabel* lblChangeCount;
    QPushButton* cmdChangeRefresh;
    QPushButton* cmdChangeExport;
    QPushButton* cmdChangeClose;

private:
    void applyFilter();

    QString path_;
    link::UserAnswers& answers_;
    std::function<setup::FileDialogs&()> dialogs_;
    QString folder_;
    std::vector<setup::ChangeEntry> entries_; // oldest first, as in the file
    std::vector<setup::ChangeEntry> shown_;   // newest first
};

} // namespace talvern::shell
