// File → Compare Set-up and View → Change Log from the keyboard, and the compare window's filter.
#include "MainWindowFixture.h"
#include "SdtFile.h"
#include "frmChangeLog.h"
#include "frmCompareSetup.h"
#include "frmMDIMain.h"
#include "modUtility.h"

#include <QCheckBox>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>
#include <gtest/gtest.h>

namespace talvern::testing {
namespace {

class CompareWindow : public MainWindowTest {};

TEST_F(CompareWindow, OpensFromTheKeyboardAndShowsOnlyDifferingRows) {
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QTest::keyClick(window.get(), Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    shell::frmCompareSetup* compare = window->compareWindow();
    ASSERT_TRUE(compare);
    setup::SetupData other = shell::gSetupSaved;
    other.ParamValue[3] = 251;
    QString message;
    ASSERT_TRUE(setup::SaveSdtFile(folder.filePath("other.sdt"), other, &message));
    compare->compareWithFile(folder.filePath("other.sdt"));
    auto visibleRows = [compare] {
        int n = 0;
        for (int i = 0; i < compare->grdCompare->rowCount(); ++i)
            n += !compare->grdCompare->isRowHidden(i);
        return n;
    };
    EXPECT_EQ(visibleRows(), 44);
    EXPECT_EQ(compare->lblCompareCount->text(), "1 of 44 values differs");
    QApplication::setActiveWindow(compare);
    ASSERT_TRUE(QTest::qWaitForWindowActive(compare));
    compare->grdCompare->setFocus();
    QSignalSpy clicked(compare->chkOnlyDiffering, &QCheckBox::clicked);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_O, Qt::AltModifier);
    // The access key shows the box pressed; the click comes when it is released again.
    ASSERT_TRUE(clicked.count() > 0 || clicked.wait(2000));
    EXPECT_TRUE(compare->chkOnlyDiffering->isChecked());
    EXPECT_EQ(visibleRows(), 1);
    compare->close();

    QApplication::setActiveWindow(window.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QTest::keyClick(window.get(), Qt::Key_V, Qt::AltModifier);
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_C);
    EXPECT_TRUE(window->changeLogWindow());
}

} // namespace
} // namespace talvern::testing
