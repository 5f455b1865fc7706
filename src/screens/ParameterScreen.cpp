#include "ParameterScreen.h"

#include "FieldCheck.h"
#include "UpDownSpinner.h"
#include "ValueFormats.h"
#include "modUtility.h"

#include <QGridLayout>
#include <QPushButton>
#include <algorithm>

namespace talvern::screens {

using namespace talvern::shell;

namespace {
constexpr int kFieldWidth = 84;
}

ParameterScreen::ParameterScreen(int boardNumber, QWidget* parent)
    : BoardScreen(boardNumber, parent) {
    cmdDefault_ = makeDefaultButton();
    editor_ = new ParameterEditor(cmdDefault_, gAnswers, this);
    editor_->setCommit([this](int field, const QString& text, std::int32_t value,
                              ParameterEditor::Via) { commitField(field, text, value); });
    editor_->setStepAllowed([this](int field) {
        if (!gLink || !gLink->OnlineMode) return true;
        for (int i = 0; i < static_cast<int>(fieldIndex.size()); ++i)
            if (fieldIndex[i] == field) return seen_[i].known();
        return false;
    });
}

ParameterScreen::~ParameterScreen() {
    unload();
}

int ParameterScreen::fieldOfIndex(int index) const {
    return index >= 0 && index < static_cast<int>(fieldIndex.size()) ? fieldIndex[index] : -1;
}

int ParameterScreen::addParameter(const QString& stem, const QString& caption,
                                  const QString& address, std::int32_t min, std::int32_t max,
                                  int position) {
    const int field = editor_->count();
    auto* label = new QLabel(caption, this);
    auto* box = new QLineEdit(this);
    auto* spinner = new UpDown(this);
    label->setObjectName(QStringLiteral("lbl%1_%2").arg(stem).arg(field));
    box->setObjectName(QStringLiteral("txt%1_%2").arg(stem).arg(field));
    spinner->setObjectName(QStringLiteral("upd%1_%2").arg(stem).arg(field));
    box->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    box->setFixedWidth(kFieldWidth);
    box->setAccessibleName(QString(caption).remove(QLatin1Char('&')));
    spinner->setRange(min, max);
    spinner->setIncrement(1);
    spinner->setValue(0);
    editor_->addField(label, box, spinner);
    ParamAddr.append(address);
    positions.push_back(position);
    fieldIndex.push_back(field);
    seen_.emplace_back();
    return field;
}

int ParameterScreen::addAddress(const QString& address, int position) {
    ParamAddr.append(address);
    positions.push_back(position);
    fieldIndex.push_back(-1);
    seen_.emplace_back();
    return static_cast<int>(ParamAddr.size()) - 1;
}

QGroupBox* ParameterScreen::makeGroup(const QString& name, const QString& title) {
    auto* group = new QGroupBox(title, this);
    group->setObjectName(name);
    auto* grid = new QGridLayout(group);
    grid->setColumnStretch(3, 1);
    grid->setHorizontalSpacing(8);
    groups.push_back(group);
    return group;
}

void ParameterScreen::addFieldRow(QGroupBox* group, int field) {
    auto* grid = static_cast<QGridLayout*>(group->layout());
    const int row = grid->rowCount();
    editor_->label(field)->setParent(group);
    editor_->box(field)->setParent(group);
    editor_->spinner(field)->setParent(group);
    grid->addWidget(editor_->label(field), row, 0);
    // The arrows stand as tall as the box beside them.
    editor_->spinner(field)->setFixedHeight(editor_->box(field)->sizeHint().height());
    auto* pair = new QHBoxLayout;
    pair->setSpacing(0);
    pair->addWidget(editor_->box(field));
    pair->addWidget(editor_->spinner(field));
    grid->addLayout(pair, row, 1);
}

void ParameterScreen::alignColumns() {
    int widest = 0;
    for (int i = 0; i < editor_->count(); ++i)
        widest = std::max(widest, editor_->label(i)->sizeHint().width());
    for (int i = 0; i < editor_->count(); ++i)
        editor_->label(i)->setMinimumWidth(widest);
    // Tab order follows the fields.
    for (int i = 1; i < editor_->count(); ++i)
        setTabOrder(editor_->box(i - 1), editor_->box(i));
}

void ParameterScreen::writeIfOnline(int i, const QString& text) {
    if (!gLink->OnlineMode || gLink->CommError) return;
    gLink->RSWrite(ParamAddr.at(i), text);
    if (gLink->CommError || gLink->LastTransactionFailed())
        seen_.at(i).forget();
    else
        seen_.at(i).wrote(WholeNumberOf(text));
}

void ParameterScreen::commitField(int field, const QString& text, std::int32_t value) {
    for (int i = 0; i < static_cast<int>(fieldIndex.size()); ++i) {
        if (fieldIndex[i] != field) continue;
        if (positions[i] >= 0) gSetup.ParamValue.at(positions[i]) = value;
        writeIfOnline(i, text);
        return;
    }
}

void ParameterScreen::SetupOnlineDisplay() {
    PassComplete = false;
    for (QGroupBox* group : groups)
        group->setEnabled(true);
    for (QWidget* control : extraControls)
        control->setEnabled(true);
    editor_->setAllEnabled(true);
    editor_->setAllText(kNotRead);
    for (setup::SeenValue& seen : seen_)
        seen.forget();
    afterOnlineSetup();
    OnlineShown = true;
}

void ParameterScreen::SetupOfflineDisplay() {
    PassComplete = false;
    if (gOfflineEditing) {
        SetupOnlineDisplay();
    } else {
        for (QGroupBox* group : groups)
            group->setEnabled(false);
        for (QWidget* control : extraControls)
            control->setEnabled(false);
        editor_->setAllEnabled(false);
    }
    OfflineShown = true;
}

void ParameterScreen::showRead(int i, const std::optional<QString>& value) {
    seen_.at(i).read(value ? std::optional<std::int64_t>(WholeNumberOf(*value)) : std::nullopt);
    const int field = fieldOfIndex(i);
    if (field >= 0)
        editor_->showValue(field, value ? QString::number(WholeNumberOf(*value)) : kNotRead);
}

void ParameterScreen::showOffline(int i) {
    const int field = fieldOfIndex(i);
    if (field >= 0 && positions[i] >= 0)
        editor_->showValue(field, QString::number(gSetup.ParamValue.at(positions[i])));
}

void ParameterScreen::onActivate() {
    editor_->EscapePending = false;
    editor_->setActive(true);
}

void ParameterScreen::onUnload() {
    editor_->endAllEditing();
    editor_->setActive(false);
}

} // namespace talvern::screens
