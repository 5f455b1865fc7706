#pragma once
// "BM I/O Status": the K2510's two inputs, analog values and resolver values, and three 16-bit
// maps (timing channels, slot 10, slot 11) bit by bit as "ON" or "off". Online only: offline
// every value shows "-".

#include "BoardScreen.h"

#include <QLabel>
#include <array>
#include <vector>

class QGroupBox;

namespace talvern::screens {

class frmBMIO : public BoardScreen {
    Q_OBJECT
public:
    explicit frmBMIO(QWidget* parent = nullptr);

    static constexpr int kValues = 11; // indices 0..10 in lblk2510State
    QLabel* lblk2510State(int i) const { return values_.at(i); }
    QLabel* lblTmgChannelState(int bit) const { return bits_[0].at(bit); }
    QLabel* lblSlot10State(int bit) const { return bits_[1].at(bit); }
    QLabel* lblSlot11State(int bit) const { return bits_[2].at(bit); }

protected:
    void SetupOnlineDisplay() override;
    void SetupOfflineDisplay() override;
    void showRead(int i, const std::optional<QString>& value) override;

private:
    void showState(QLabel* label, bool on);
    QGroupBox* makeGroup(const QString& name, const QString& title);

    std::vector<QGroupBox*> groups_;
    std::vector<QLabel*> captions_;
    std::vector<QLabel*> values_;
    std::array<std::vector<QLabel*>, 3> bits_;
};

} // namespace talvern::screens
