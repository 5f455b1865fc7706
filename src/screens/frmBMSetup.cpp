#include "frmBMSetup.h"

#include "BoardCheckBox.h"
#include "FieldCheck.h"
#include "modUtility.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace talvern::screens {

using namespace talvern::shell;

frmBMSetup::frmBMSetup(QWidget* parent) : ParameterScreen(setup::kBoardK2510, parent) {
    setObjectName(QStringLiteral("frmBMSetup"));
    setWindowTitle(QStringLiteral("BM Set-Up Parameters"));
    const QString stem = QStringLiteral("BMSetup");

    addParameter(stem, QStringLiteral("Desired BDC Stop Position (&low speed):"),
                 QStringLiteral("W1020"), 0, 359, 0);
    addParameter(stem, QStringLiteral("Desired BDC Stop Position (hi&gh speed):"),
                 QStringLiteral("W1022"), 0, 359, 1);
    addParameter(stem, QStringLiteral("&Maximum Allowed Stopping Response (degrees):"),
                 QStringLiteral("W1024"), 0, 999, 2);
    addParameter(stem, QStringLiteral("L&ow Speed (SPM):"), QStringLiteral("W1026"), 0, 899, 3);
    addParameter(stem, QStringLiteral("H&igh Speed (SPM):"), QStringLiteral("W1028"), 0, 999, 4);
    addParameter(stem, QStringLiteral("Ma&ximum Speed (full scale calibration):"),
                 QStringLiteral("W1032"), 0, 999, 5);
    addParameter(stem, QStringLiteral("I&dle Speed (W/I stopped):"), QStringLiteral("W1034"), 0,
                 999, 6);
    addAddress(QStringLiteral("B1018.0"), 7);

    QGroupBox* brake =
        makeGroup(QStringLiteral("fraBMSetup_0"), QStringLiteral("Brake Wear Compensation:"));
    QGroupBox* speeds =
        makeGroup(QStringLiteral("fraBMSetup_1"), QStringLiteral("Bodymaker Running Speeds:"));
    QGroupBox* trimmer =
        makeGroup(QStringLiteral("fraBMSetup_2"), QStringLiteral("Trimmer Speed References:"));

    chkBMSetup_ = new QCheckBox(QStringLiteral("E&nable Brake Wear Compensation:"), brake);
    chkBMSetup_->setObjectName(QStringLiteral("chkBMSetup"));
    chkBMSetup_->setLayoutDirection(Qt::RightToLeft);
    // The box stands after its caption; the alignment must not mirror with it.
    static_cast<QGridLayout*>(brake->layout())
        ->addWidget(chkBMSetup_, 0, 0, 1, 2, Qt::AlignAbsolute | Qt::AlignLeft);
    extraControls.push_back(chkBMSetup_);
    for (int field = 0; field <= 2; ++field)
        addFieldRow(brake, field);
    for (int field = 3; field <= 4; ++field)
        addFieldRow(speeds, field);
    for (int field = 5; field <= 6; ++field)
        addFieldRow(trimmer, field);
    // The check box heads the tab order, as it heads the screen; the fields follow it.
    setTabOrder(chkBMSetup_, editor().box(0));
    alignColumns();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(brake);
    layout->addWidget(speeds);
    layout->addWidget(trimmer);
    layout->addStretch(1);
    layout->addWidget(defaultButton(), 0, Qt::AlignRight);

    brakeWear_ = new BoardCheckBox(chkBMSetup_, [this](bool) { chkBMSetup_Click(); });
    load();
}

void frmBMSetup::chkBMSetup_Click() {
    const int value = brakeWear_->on() ? 1 : 0;
    // The two BDC stop positions only matter with brake wear compensation on.
    if (value == 0) {
        editor().setFieldEnabled(0, false);
        editor().setFieldEnabled(1, false);
    } else if (gLink->OnlineMode || gOfflineEditing) {
        editor().setFieldEnabled(0, true);
        editor().setFieldEnabled(1, true);
    }
    // Display set-ups and the first state the passes confirm set the box without it being an
    // edit.
    if (!PassComplete || brakeWear_->settingUp()) return;
    if (gLink->OnlineMode && OnlineShown && !gLink->CommError) {
        gLink->RSWrite(ParamAddr.at(kCheckIndex), QString::number(value));
        brakeWear_->wrote(!gLink->CommError && !gLink->LastTransactionFailed());
    }
    gSetup.ParamValue.at(positions[kCheckIndex]) = value;
}

void frmBMSetup::afterOnlineSetup() {
    brakeWear_->forget();
    chkBMSetup_Click();
}

void frmBMSetup::showRead(int i, const std::optional<QString>& value) {
    if (i == kCheckIndex)
        brakeWear_->read(
            value ? std::optional<bool>(static_cast<std::int16_t>(WholeNumberOf(*value)) != 0)
                  : std::nullopt);
    else
        ParameterScreen::showRead(i, value);
}

void frmBMSetup::showOffline(int i) {
    if (i == kCheckIndex)
        brakeWear_->showOffline(gSetup.ParamValue.at(positions[i]) != 0);
    else
        ParameterScreen::showOffline(i);
}

} // namespace talvern::screens
