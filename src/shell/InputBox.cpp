#include "InputBox.h"

#include <QInputDialog>

namespace talvern::shell {

QString QtInputBox::InputBox(const QString& prompt, const QString& title,
                             const QString& defaultText) {
    bool ok = false;
    const QString answer =
        QInputDialog::getText(parent_, title, prompt, QLineEdit::Normal, defaultText, &ok);
    return ok ? answer : QString();
}

} // namespace talvern::shell
