#include "UpDown.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QRegularExpression>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace talvern::shell {

UpDown::UpDown(QLineEdit* buddy, QWidget* parent) : QWidget(parent), buddy_(buddy) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    up_ = new QToolButton(this);
    up_->setArrowType(Qt::UpArrow);
    up_->setAutoRepeat(true);
    up_->setFocusPolicy(Qt::NoFocus);
    down_ = new QToolButton(this);
    down_->setArrowType(Qt::DownArrow);
    down_->setAutoRepeat(true);
    down_->setFocusPolicy(Qt::NoFocus);
    for (QToolButton* b : {up_, down_})
        b->setMaximumHeight(12);
    layout->addWidget(up_);
    layout->addWidget(down_);
    connect(up_, &QToolButton::clicked, this, &UpDown::stepUp);
    connect(down_, &QToolButton::clicked, this, &UpDown::stepDown);
    // The arrow keys in the box step as the arrow buttons do: the buttons take no focus.
    buddy_->installEventFilter(this);
}

bool UpDown::eventFilter(QObject* watched, QEvent* event) {
    if (watched == buddy_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() == Qt::NoModifier || key->modifiers() == Qt::KeypadModifier) {
            if (key->key() == Qt::Key_Up) {
                stepUp();
                return true;
            }
            if (key->key() == Qt::Key_Down) {
                stepDown();
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

void UpDown::setRange(int min, int max) {
    min_ = min;
    max_ = max;
}

int UpDown::Value() const {
    static const QRegularExpression leading(QStringLiteral("^\\s*([-+]?\\d+)"));
    const auto match = leading.match(buddy_->text());
    return match.hasMatch() ? match.captured(1).toInt() : 0;
}

void UpDown::stepBy(int delta) {
    const int before = Value();
    const int after = std::clamp(before + delta, min_, max_);
    buddy_->setText(QString::number(after));
    if (after != before) emit changed(after);
}

} // namespace talvern::shell
