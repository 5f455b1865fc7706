#include "QtMessageBoxAnswers.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>

namespace talvern::shell {

link::Answer QtMessageBoxAnswers::ask(const QString& text, const QString& title,
                                      link::Buttons buttons, link::Icon icon) {
    QMessageBox box(parent_);
    box.setWindowTitle(title);
    // CR LF inside a text is one line break on the screen.
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QChar('\r'), QChar('\n'));
    box.setText(shown);
    switch (icon) {
        case link::Icon::None:
            box.setIcon(QMessageBox::NoIcon);
            break;
        case link::Icon::Critical:
            box.setIcon(QMessageBox::Critical);
            break;
        case link::Icon::Question:
            box.setIcon(QMessageBox::Question);
            break;
        case link::Icon::Exclamation:
            box.setIcon(QMessageBox::Warning);
            break;
        case link::Icon::Information:
            box.setIcon(QMessageBox::Information);
            break;
    }
    switch (buttons) {
        case link::Buttons::Ok:
            box.setStandardButtons(QMessageBox::Ok);
            break;
        case link::Buttons::OkCancel:
            box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
            break;
        case link::Buttons::YesNo:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            break;
        case link::Buttons::YesNoCancel:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            break;
        case link::Buttons::RetryCancel:
            box.setStandardButtons(QMessageBox::Retry | QMessageBox::Cancel);
            break;
    }
    const QPointer<QWidget> previous = QApplication::activeWindow();
    const int result = box.exec();
    // Give the keyboard back to the window that asked: without a window manager (a bare X
    // server) nobody else does, and its shortcuts would stay dead.
    if (previous) previous->activateWindow();
    switch (result) {
        case QMessageBox::Ok:
            return link::Answer::Ok;
        case QMessageBox::Yes:
            return link::Answer::Yes;
        case QMessageBox::No:
            return link::Answer::No;
        case QMessageBox::Retry:
            return link::Answer::Retry;
        default:
            break;
    }
    // Closing the box with Escape or its frame counts as its cancelling answer.
    if (buttons == link::Buttons::Ok) return link::Answer::Ok;
    if (buttons == link::Buttons::YesNo) return link::Answer::No;
    return link::Answer::Cancel;
}

} // namespace talvern::shell
