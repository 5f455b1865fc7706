#pragma once
// The program's file dialogs.

#include "FileDialogs.h"

class QWidget;

namespace talvern::shell {

class QtFileDialogs final : public setup::FileDialogs {
public:
    explicit QtFileDialogs(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }
    QString openFile(const QString& initialName, const QString& filter) override;
    QString saveFile(const QString& initialName, const QString& filter) override;

private:
    QWidget* parent_;
};

} // namespace talvern::shell
