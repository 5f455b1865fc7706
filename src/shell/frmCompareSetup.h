#pragma once
// File → Compare Set-up: the open set-up against a second set-up file or a board on the cable,
// a row per set-up value with the factory value beside, the rows that differ marked and counted.
// A board is read by the window-free reader one confirmed read per timer tick, so the window
// stays alive and Cancel works; closing the window ends the reading at once. The table can be
// printed through the report's pages and exported as text.

#include "BoardSetupReader.h"
#include "FileDialogs.h"
#include "Platform.h"
#include "SetupCompare.h"

#include <QDialog>
#include <QTimer>
#include <functional>
#include <memory>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTableWidget;

namespace talvern::shell {

class ReportOutput;

struct CompareSources {
    setup::SetupData open;
    QString openTitle;
    setup::SetupData factory;
    link::RSComm* link = nullptr;
    link::UserAnswers* answers = nullptr;
    std::function<setup::FileDialogs&()> dialogs;
    std::function<bool(int)> checkTargetBoard;
    ReportOutput* output = nullptr;
    QString folder; // where the file dialogs start
};

class frmCompareSetup : public QDialog {
    Q_OBJECT
public:
    // The sources in the list, in order.
    enum Source { kFile = 0, kK2510 = 1, kR7520 = 2 };

    explicit frmCompareSetup(CompareSources sources, QWidget* parent = nullptr);
    ~frmCompareSetup() override;

    void compareWithFile(const QString& path);
    // Starts reading the board; the table fills when the reading has ended.
    void compareWithBoard(setup::Board board);
    bool reading() const { return reader_ != nullptr; }
    // Once a board reading has ended (not when the window closed first).
    std::function<void(const setup::BoardReading&, bool linkFailed)> onBoardRead;
    // When a board reading starts and ends (the caller keeps its own use of the link off it).
    std::function<void(bool reading)> readingChanged;

    const setup::SetupComparison& comparison() const { return comparison_; }
    QString otherTitle() const { return otherTitle_; }

    void cmdCompare_Click();
    void chkOnlyDiffering_Click();
    void cmdCompareExport_Click();
    void cmdComparePrint_Click();
    void cmdComparePreview_Click();

    QComboBox* cboCompareSource;
    QPushButton* cmdCompare;
    QTableWidget* grdCompare;
    QCheckBox* chkOnlyDiffering;
    QLabel* lblCompareCount;
    QPushButton* cmdComparePrint;
    QPushButton* cmdComparePreview;
    QPushButton* cmdCompareExport;
    QPushButton* cmdCompareClose;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void display(setup::SetupComparison comparison, const QString& otherTitle);
    void step();
    void endReading();
    void setBusy(bool busy);

    CompareSources sources_;
    setup::SetupComparison comparison_;
    QString otherTitle_;
    std::unique_ptr<setup::BoardSetupReader> reader_;
    QTimer stepTimer_;
};

} // namespace talvern::shell
