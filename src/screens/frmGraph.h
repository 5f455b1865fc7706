#pragma once
// "Graph Data Signatures": the signature drawn against main-crank angle, with the traces chosen
// by four check boxes whose captions take the traces' colours. Beyond printing, the window
// zooms and follows the mouse with a cursor (picGraph), compares with a reference signature
// inside a tolerance band, and saves the picture as PNG or PDF.

#include "CpfdData.h"

#include <QDialog>
#include <QPrinter>
#include <array>
#include <memory>
#include <optional>

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QSpinBox;

namespace talvern::setup {
class FileDialogs;
}

namespace talvern::screens {

class GraphPicture;

class frmGraph : public QDialog {
    Q_OBJECT
public:
    // Draws `data` (the program's signature) titled with `fileTitle`.
    frmGraph(const signatures::CpfdData& data, const QString& fileTitle, QWidget* parent = nullptr);
    ~frmGraph() override;

    void chkOptions_Click(int index);
    void cmdPrint_Click();
    void cmdPreview_Click();
    void cmdOk_Click();
    void cmdReference_Click();
    void cmdClearReference_Click();
    void cmdSaveImage_Click();
    void updTolerance_Change();

    // Prints on the given printer as the Print command does after its dialog; false (and the
    // user told) when the printer refused.
    bool printOn(QPrinter& printer);
    // Loads a reference signature (the Reference command after its dialog).
    bool loadReference(const QString& path);

    // The dialogs used by Reference and Save Image; tests put scripted ones in.
    void setFileDialogs(setup::FileDialogs* dialogs) { dialogs_ = dialogs; }

    GraphPicture* picGraph;
    QGroupBox* fraGraph;
    std::array<QCheckBox*, 4> chkOptions{};
    QPushButton* cmdPrint;
    QPushButton* cmdPreview;
    QPushButton* cmdOk;
    QPushButton* cmdReference;
    QPushButton* cmdClearReference;
    QPushButton* cmdSaveImage;
    QSpinBox* updTolerance;
    QLabel* lblGraphBand;
    QLabel* lblGraphCursor;
    // The status line: how many samples the ticked traces leave out.
    QLabel* lblGraphStatus;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void showBand();
    void showCursor(int sample);
    void showLeftOut();

    const signatures::CpfdData& data_;
    std::optional<signatures::CpfdData> reference_;
    QString referencePath_;
    QString imagePath_;
    QPrinter printer_;
    setup::FileDialogs* dialogs_;
    std::unique_ptr<setup::FileDialogs> ownDialogs_;
};

} // namespace talvern::screens
