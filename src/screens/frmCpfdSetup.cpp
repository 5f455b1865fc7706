#include "frmCpfdSetup.h"

#include "modUtility.h"

#include <QPushButton>
#include <QVBoxLayout>

namespace talvern::screens {

frmCpfdSetup::frmCpfdSetup(QWidget* parent) : ParameterScreen(setup::kBoardR7520, parent) {
    setObjectName(QStringLiteral("frmCpfdSetup"));
    setWindowTitle(QStringLiteral("Cupfeed Set-Up Parameters"));
    const QString stem = QStringLiteral("CpfdSetup");

    addParameter(stem, QStringLiteral("S&top Position at Short Can (counts):"),
                 QStringLiteral("W1110"), 0, 4095, 14);
    addParameter(stem, QStringLiteral("Max Error for \"Out of Sync\" &Disable (counts):"),
                 QStringLiteral("W1130"), 0, 999, 15);
    addParameter(stem, QStringLiteral("Max Error to Enable &Cupfeed Synchronization (counts):"),
                 QStringLiteral("W1132"), 0, 999, 16);
    addParameter(stem, QStringLiteral("Max Error for \"Following Error\" &Alarm (counts):"),
                 QStringLiteral("W1134"), 0, 999, 17);

    QGroupBox* cupfeed = makeGroup(QStringLiteral("fraCpfdSetup_0"), QStringLiteral("Cupfeed:"));
    QGroupBox* limits = makeGroup(QStringLiteral("fraCpfdSetup_1"),
                                  QStringLiteral("Synchronization Error Limits:"));
    addFieldRow(cupfeed, 0);
    for (int field = 1; field <= 3; ++field)
        addFieldRow(limits, field);
    alignColumns();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(cupfeed);
    layout->addWidget(limits);
    layout->addStretch(1);
    layout->addWidget(defaultButton(), 0, Qt::AlignRight);
    load();
}

} // namespace talvern::screens
