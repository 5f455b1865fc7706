#pragma once
// "BM Shift Data": good and short can counts of the current and the last shift, the brake
// responses, and End of Shift, which tells the K2510 to close the shift. Offline it shows the
// working values (from the last upload or file) in disabled labels.

#include "BoardScreen.h"

#include <vector>

class QGroupBox;
class QLabel;
class QPushButton;

namespace talvern::screens {

class frmBMData : public BoardScreen {
    Q_OBJECT
public:
    explicit frmBMData(QWidget* parent = nullptr);

    static constexpr int kValues = 6;
    static constexpr int kFirstPosition = 8; // working-value position of index 0
    QLabel* lblBMData(int i) const { return values_.at(i); }
    QPushButton* cmdEndofShift() const { return cmdEndofShift_; }

    // The text index i shows for a value text.
    static QString Format(int i, const QString& value);

protected:
    void SetupOnlineDisplay() override;
    void SetupOfflineDisplay() override;
    void showRead(int i, const std::optional<QString>& value) override;
    bool hasOfflinePass() const override { return true; }
    void showOffline(int i) override;

private:
    void cmdEndofShift_Click();
    void setAllEnabled(bool enabled);

    std::vector<QGroupBox*> groups_;
    std::vector<QLabel*> captions_;
    std::vector<QLabel*> values_;
    QPushButton* cmdEndofShift_;
};

} // namespace talvern::screens
