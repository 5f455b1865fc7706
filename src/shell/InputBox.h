#pragma once
// A one-line question with a default answer; an empty answer also stands for Cancel. Windows take
// it as a collaborator so that tests can script the answers.

#include <QString>

class QWidget;

namespace talvern::shell {

class TextInput {
public:
    virtual ~TextInput() = default;
    virtual QString InputBox(const QString& prompt, const QString& title,
                             const QString& defaultText) = 0;
};

class QtInputBox final : public TextInput {
public:
    explicit QtInputBox(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }
    QString InputBox(const QString& prompt, const QString& title,
                     const QString& defaultText) override;

private:
    QWidget* parent_;
};

} // namespace talvern::shell
