#pragma once
// "Acquire Data Signatures: ": the home of the servo signature. A table of the samples of the
// program's signature, the motion board's samples per stroke, and six commands: acquire a new
// signature, graph it, print it, save it to a cupfeed data file, open one, export it as text.
// While it is open its refresh cycle keeps the controls in line with the link: online it checks
// that the motion board is on the cable and shows its B2999 on every pass.

#include "QtFileDialogs.h"
#include "RefreshCycle.h"
#include "SignatureFiles.h"

#include <QPointer>
#include <QWidget>
#include <array>
#include <memory>

class QGroupBox;
class QLabel;
class QPushButton;
class QTableWidget;

namespace talvern::screens {

class frmAcquireSignatures;
class frmGraph;

class frmCpfdData : public QWidget {
    Q_OBJECT
public:
    explicit frmCpfdData(QWidget* parent = nullptr);
    ~frmCpfdData() override;

    setup::RefreshCycle& cycle() { return *cycle_; }
    void activate();
    void unload();

    void cmdOptions_Click(int index);
    // The text of the selected cells: cells separated by tabs, rows by line breaks.
    QString SelectionText() const;
    void CopySelection();

    void SetOnlineMode();
    void SetOfflineMode();
    void ShowFileSamples();
    void ShowBoardSamples();
    void FillGrid();

    frmAcquireSignatures* acquisitionWindow() const;
    frmGraph* graphWindow() const;
    // The dialogs of Save, Open and Export; tests put scripted ones in.
    void setFileDialogs(setup::FileDialogs* dialogs);
    signatures::SignatureFileCommands& fileCommands() { return files_; }

    QTableWidget* fgCpfdData;
    std::array<QGroupBox*, 2> fraCpfdData{};
    QLabel* lblCpfdData;
    QLabel* lblCpfdDataSamples;
    std::array<QPushButton*, 6> cmdOptions{};
    // Beyond the six: the printout in the print preview and as a PDF file, available whenever
    // "&Print Data" is.
    QPushButton* cmdPreviewData;
    QPushButton* cmdExportPdf;

    QString BaseCaption;
    bool ScreenActive = false;
    bool OnlineApplied = false;
    bool OfflineApplied = false;
    bool OfflineEditSeen = false;
    QString BoardSamples;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    setup::RefreshCycle::Pass buildPass();
    bool head();
    bool checkBoard();
    bool abandonCapture();
    bool showBoard();
    void showCaption();
    bool motionBoardConfirmed();

    void AcquireData();
    void GraphData();
    void PrintData();
    void PreviewData();
    void ExportPdfData();
    void enablePrintoutButtons();
    void SaveData();
    void OpenData();
    void ExportData();

    std::unique_ptr<setup::RefreshCycle> cycle_;
    shell::QtFileDialogs qtDialogs_;
    signatures::SignatureFileCommands files_;
    QPointer<frmAcquireSignatures> acquire_;
    QPointer<frmGraph> graph_;
    bool activated_ = false;
    bool passOnline_ = false;
    bool boardConfirmed_ = false;
    bool abandonPending_ = false;
};

} // namespace talvern::screens
