#pragma once
// "Cupfeed Position Diagnostics": the main crank and cupfeed cam positions and offsets on the
// R7520 and the error between them. Online the values read are also kept in the working data,
// so that offline (and in the report) the last values seen are shown.

#include "BoardScreen.h"

#include <QLabel>
#include <vector>

class QGroupBox;

namespace talvern::screens {

class frmCpfdDiag : public BoardScreen {
    Q_OBJECT
public:
    explicit frmCpfdDiag(QWidget* parent = nullptr);

    static constexpr int kValues = 6;
    static constexpr int kFirstPosition = 25; // working-value position of index 0
    QLabel* lblCpfdDiag(int i) const { return captions_.at(i); }
    QLabel* lblCpfdDiagData(int i) const { return values_.at(i); }

protected:
    void SetupOnlineDisplay() override;
    void SetupOfflineDisplay() override;
    void showRead(int i, const std::optional<QString>& value) override;
    bool hasOfflinePass() const override { return true; }
    void showOffline(int i) override;

private:
    void setAllEnabled(bool enabled);

    std::vector<QGroupBox*> groups_;
    std::vector<QLabel*> captions_;
    std::vector<QLabel*> values_;
};

} // namespace talvern::screens
