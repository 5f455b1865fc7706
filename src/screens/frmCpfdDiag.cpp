#include "frmCpfdDiag.h"

#include "FieldCheck.h"
#include "ValueFormats.h"
#include "modUtility.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QVBoxLayout>
#include <algorithm>

namespace talvern::screens {

using namespace talvern::shell;

namespace {
struct Row {
    const char* address;
    const char* caption;
    int group;
};
constexpr Row kRows[frmCpfdDiag::kValues] = {
    {"W82", "Actual Main Crank Position (0-4095):", 0},
    {"W1104", "Main Crank Offset (0-4095):", 0},
    {"W80", "Actual Cupfeed Cam Position (0-4095):", 1},
    {"W1102", "Cupfeed Cam Offset (0-4095):", 1},
    {"W1108", "Home Position (timing PRX off-to-on):", 1},
    {"W614", "Absolute Error (counts):", 2},
};
constexpr const char* kGroups[3] = {
    "Main Crank (position reference for cupfeed):", "Cupfeed Cam:", "Main Crank to Cupfeed Cam"};
constexpr int kValueWidth = 84;
} // namespace

frmCpfdDiag::frmCpfdDiag(QWidget* parent) : BoardScreen(setup::kBoardR7520, parent) {
    setObjectName(QStringLiteral("frmCpfdDiag"));
    setWindowTitle(QStringLiteral("Cupfeed Position Diagnostics"));
    auto* layout = new QVBoxLayout(this);
    for (int g = 0; g < 3; ++g) {
        auto* group = new QGroupBox(QString::fromLatin1(kGroups[g]), this);
        group->setObjectName(QStringLiteral("fraCpfdDiag_%1").arg(g));
        auto* grid = new QGridLayout(group);
        grid->setColumnStretch(2, 1);
        grid->setHorizontalSpacing(8);
        groups_.push_back(group);
        layout->addWidget(group);
    }
    int widest = 0;
    for (int i = 0; i < kValues; ++i) {
        const Row& row = kRows[i];
        ParamAddr.append(QString::fromLatin1(row.address));
        QGroupBox* group = groups_[row.group];
        auto* caption = new QLabel(QString::fromLatin1(row.caption), group);
        caption->setObjectName(QStringLiteral("lblCpfdDiag_%1").arg(i));
        auto* value = new QLabel(kNotRead, group);
        value->setObjectName(QStringLiteral("lblCpfdDiagData_%1").arg(i));
        value->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        value->setFixedWidth(kValueWidth);
        value->setAccessibleName(caption->text());
        auto* grid = static_cast<QGridLayout*>(group->layout());
        const int r = grid->rowCount();
        grid->addWidget(caption, r, 0);
        grid->addWidget(value, r, 1);
        widest = std::max(widest, caption->sizeHint().width());
        captions_.push_back(caption);
        values_.push_back(value);
    }
    for (QLabel* caption : captions_)
        caption->setMinimumWidth(widest);
    layout->addStretch(1);
    load();
}

void frmCpfdDiag::setAllEnabled(bool enabled) {
    for (QGroupBox* group : groups_)
        group->setEnabled(enabled);
    for (int i = 0; i < kValues; ++i) {
        captions_[i]->setEnabled(enabled);
        values_[i]->setEnabled(enabled);
    }
}

void frmCpfdDiag::SetupOnlineDisplay() {
    setAllEnabled(true);
    for (QLabel* value : values_)
        value->setText(kNotRead);
    OnlineShown = true;
}

void frmCpfdDiag::SetupOfflineDisplay() {
    for (QLabel* value : values_)
        value->setText(kNotRead);
    setAllEnabled(false);
    OfflineShown = true;
}

void frmCpfdDiag::showRead(int i, const std::optional<QString>& value) {
    values_.at(i)->setText(value.value_or(kNotRead));
    // The working data keeps the last value read; a failed read is not a value seen.
    if (value) gSetup.ParamValue.at(kFirstPosition + i) = WholeNumberOf(*value);
}

void frmCpfdDiag::showOffline(int i) {
    values_.at(i)->setText(QString::number(gSetup.ParamValue.at(kFirstPosition + i)));
}

} // namespace talvern::screens
