#pragma once
// The user's answers through real message boxes: the exact title, text, buttons and icon.

#include "Platform.h"

class QWidget;

namespace talvern::shell {

class QtMessageBoxAnswers final : public link::UserAnswers {
public:
    explicit QtMessageBoxAnswers(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }
    link::Answer ask(const QString& text, const QString& title, link::Buttons buttons,
                     link::Icon icon) override;

private:
    QWidget* parent_;
};

} // namespace talvern::shell
