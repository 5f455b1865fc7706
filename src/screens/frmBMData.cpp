#include "frmBMData.h"

#include "ValueFormats.h"
#include "modUtility.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace talvern::screens {

using namespace talvern::shell;

frmBMData::frmBMData(QWidget* parent) : BoardScreen(setup::kBoardK2510, parent) {
    setObjectName(QStringLiteral("frmBMData"));
    setWindowTitle(QStringLiteral("BM Shift Data"));
    ParamAddr = {QStringLiteral("D1100"), QStringLiteral("W1104"), QStringLiteral("D1200"),
                 QStringLiteral("W1204"), QStringLiteral("W1040"), QStringLiteral("W1042")};
    const QStringList titles = {QStringLiteral("Current Shift:"), QStringLiteral("Last Shift:"),
                                QStringLiteral("Brake Response (degrees):")};
    const QStringList captions = {QStringLiteral("Total Good Cans:"),
                                  QStringLiteral("Total Short Cans:"), QStringLiteral("Low Speed:"),
                                  QStringLiteral("High Speed:")};

    auto* layout = new QVBoxLayout(this);
    for (int g = 0; g < 3; ++g) {
        auto* group = new QGroupBox(titles[g], this);
        group->setObjectName(QStringLiteral("fraBMData_%1").arg(g));
        auto* grid = new QGridLayout(group);
        grid->setColumnStretch(2, 1);
        for (int row = 0; row < 2; ++row) {
            const int i = g * 2 + row;
            auto* caption = new QLabel(captions[g == 2 ? 2 + row : row], group);
            caption->setObjectName(QStringLiteral("lblBMDataDes_%1").arg(i));
            auto* value = new QLabel(kNotRead, group);
            value->setObjectName(QStringLiteral("lblBMData_%1").arg(i));
            value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            value->setFrameShape(QFrame::StyledPanel);
            value->setFrameShadow(QFrame::Sunken);
            value->setFixedWidth(120);
            value->setTextInteractionFlags(Qt::TextSelectableByMouse);
            grid->addWidget(caption, row, 0);
            grid->addWidget(value, row, 1);
            captions_.push_back(caption);
            values_.push_back(value);
        }
        groups_.push_back(group);
        layout->addWidget(group);
    }
    int widest = 0;
    for (QLabel* caption : captions_)
        widest = std::max(widest, caption->sizeHint().width());
    for (QLabel* caption : captions_)
        caption->setMinimumWidth(widest);

    auto* endOfShift = new QGroupBox(QStringLiteral("End of Shift"), this);
    endOfShift->setObjectName(QStringLiteral("fraBMData_3"));
    auto* row = new QHBoxLayout(endOfShift);
    cmdEndofShift_ = new QPushButton(QStringLiteral("&Transfer Data"), endOfShift);
    cmdEndofShift_->setObjectName(QStringLiteral("cmdEndofShift"));
    // Enter presses the button when it has the focus, as Space does.
    cmdEndofShift_->setAutoDefault(true);
    row->addWidget(cmdEndofShift_);
    row->addStretch(1);
    groups_.push_back(endOfShift);
    layout->addWidget(endOfShift);
    layout->addStretch(1);

    connect(cmdEndofShift_, &QPushButton::clicked, this, [this] { cmdEndofShift_Click(); });
    load();
}

QString frmBMData::Format(int i, const QString& value) {
    return i < 4 ? GroupedCount(value) : WithDegreeSign(value);
}

void frmBMData::setAllEnabled(bool enabled) {
    for (QGroupBox* group : groups_)
        group->setEnabled(enabled);
    for (QLabel* caption : captions_)
        caption->setEnabled(enabled);
    for (QLabel* value : values_)
        value->setEnabled(enabled);
    cmdEndofShift_->setEnabled(enabled);
}

void frmBMData::SetupOnlineDisplay() {
    setAllEnabled(true);
    for (QLabel* value : values_)
        value->setText(kNotRead);
    OnlineShown = true;
}

void frmBMData::SetupOfflineDisplay() {
    for (QLabel* value : values_)
        value->setText(kNotRead);
    setAllEnabled(false);
    OfflineShown = true;
}

void frmBMData::showRead(int i, const std::optional<QString>& value) {
    values_.at(i)->setText(value ? Format(i, *value) : kNotRead);
}

void frmBMData::showOffline(int i) {
    values_.at(i)->setText(Format(i, QString::number(gSetup.ParamValue.at(kFirstPosition + i))));
}

void frmBMData::cmdEndofShift_Click() {
    if (!gLink->CommError) gLink->RSWrite(QStringLiteral("F34"), QStringLiteral("1"));
}

} // namespace talvern::screens
