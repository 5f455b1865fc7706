#include "MenuShortcutsFirst.h"

#include <QAction>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QTest>
#include <gtest/gtest.h>

namespace {

struct Window {
    QMainWindow main;
    QLineEdit* edit = new QLineEdit(QStringLiteral("12345"));
    QAction* exportAction = nullptr;
    int exports = 0;
    Window() {
        exportAction = main.menuBar()
                           ->addMenu(QStringLiteral("&File"))
                           ->addAction(QStringLiteral("Export Shift Data..."));
        exportAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_X));
        QObject::connect(exportAction, &QAction::triggered, [this] { ++exports; });
        main.setCentralWidget(edit);
        main.show();
        main.activateWindow();
        edit->setFocus();
        edit->selectAll();
    }
};

} // namespace

// Left alone, a text box claims Ctrl+X for itself.
TEST(MenuShortcutsFirst, CtrlXInATextBoxRunsTheMenuCommandInsteadOfCutting) {
    Window w;
    new talvern::shell::MenuShortcutsFirst(&w.main);
    QTest::keyClick(w.edit, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(w.exports, 1);
    EXPECT_EQ(w.edit->text(), QStringLiteral("12345"));

    w.exportAction->setEnabled(false);
    QTest::keyClick(w.edit, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(w.exports, 1);
    EXPECT_EQ(w.edit->text(), QString()) << "a disabled command leaves the key to the text box";
}
