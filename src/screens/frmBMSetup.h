#pragma once
// "BM Set-Up Parameters": the bodymaker's set-up fields on the K2510 (brake wear compensation,
// running speeds, trimmer speed references) and the brake-wear check box, on which the two BDC
// stop positions depend.

#include "ParameterScreen.h"

class QCheckBox;

namespace talvern::screens {

class BoardCheckBox;

class frmBMSetup : public ParameterScreen {
    Q_OBJECT
public:
    explicit frmBMSetup(QWidget* parent = nullptr);

    QCheckBox* chkBMSetup() const { return chkBMSetup_; }
    static constexpr int kCheckIndex = 7;

protected:
    void showRead(int i, const std::optional<QString>& value) override;
    void showOffline(int i) override;
    void afterOnlineSetup() override;

private:
    void chkBMSetup_Click();
    QCheckBox* chkBMSetup_;
    BoardCheckBox* brakeWear_;
};

} // namespace talvern::screens
