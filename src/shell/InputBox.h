#pragma once
// The program's one-line question box.

#include "TextInput.h"

class QWidget;

namespace talvern::shell {

class QtInputBox final : public setup::TextInput {
public:
    explicit QtInputBox(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }
    QString InputBox(const QString& prompt, const QString& title,
                     const QString& defaultText) override;

private:
    QWidget* parent_;
};

} // namespace talvern::shell
