#include "UpDownSpinner.h"

#include "FieldCheck.h"

#include <QEvent>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>

namespace talvern::screens {

UpDown::UpDown(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    up_ = new QToolButton(this);
    down_ = new QToolButton(this);
    up_->setArrowType(Qt::UpArrow);
    down_->setArrowType(Qt::DownArrow);
    for (QToolButton* button : {up_, down_}) {
        // The arrows never take the focus: stepping ends the edit itself.
        button->setFocusPolicy(Qt::NoFocus);
        button->setAutoRepeat(true);
        button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Ignored);
        button->setFixedWidth(18);
        layout->addWidget(button);
    }
    up_->setObjectName(QStringLiteral("up"));
    down_->setObjectName(QStringLiteral("down"));
    connect(up_, &QToolButton::clicked, this, [this] { step(+1); });
    connect(down_, &QToolButton::clicked, this, [this] { step(-1); });
    setFocusPolicy(Qt::NoFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
}

void UpDown::setBuddy(QLineEdit* buddy) {
    if (buddy_) disconnect(buddy_, nullptr, this, nullptr);
    buddy_ = buddy;
    if (!buddy_) return;
    // The value follows every number the buddy shows.
    connect(buddy_, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (const std::optional<double> shown = NumericValue(text))
            value_ = clamp(RoundHalfEven(*shown));
    });
}

void UpDown::setRange(std::int32_t min, std::int32_t max) {
    min_ = std::min(min, max);
    max_ = std::max(min, max);
    value_ = clamp(value_);
}

void UpDown::setValue(std::int32_t value) {
    value_ = clamp(value);
}

std::int32_t UpDown::clamp(std::int64_t value) const {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, min_, max_));
}

bool UpDown::step(int direction) {
    if (!isEnabled() || (gate_ && !gate_())) return false;
    // A box that shows no number (the "-" of a field not read yet, or typing that is not a
    // number) gives the step nothing to start from: stepping from an older number would write a
    // value the user never saw.
    std::int64_t current = value_;
    if (buddy_) {
        const std::optional<double> shown = NumericValue(buddy_->text());
        if (!shown) return false;
        current = RoundHalfEven(*shown);
    }
    const std::int32_t to = clamp(static_cast<std::int64_t>(clamp(current)) +
                                  (direction >= 0 ? increment_ : -increment_));
    if (to == current) return false;
    value_ = to;
    if (buddy_) buddy_->setText(QString::number(to));
    emit Change();
    return true;
}

void UpDown::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange) {
        up_->setEnabled(isEnabled());
        down_->setEnabled(isEnabled());
    }
    QWidget::changeEvent(event);
}

void UpDown::wheelEvent(QWheelEvent* event) {
    // A turn of the wheel over the arrows is not a step: only clicks write to the board.
    event->ignore();
}

} // namespace talvern::screens
