#pragma once
// An up-down spinner bound to a text box: two arrow buttons, and the Up and Down keys in the box,
// step the number in the box between Min and Max and report every step.

#include <QWidget>

class QLineEdit;
class QToolButton;

namespace talvern::shell {

class UpDown : public QWidget {
    Q_OBJECT
public:
    explicit UpDown(QLineEdit* buddy, QWidget* parent = nullptr);

    void setRange(int min, int max);
    int Min() const { return min_; }
    int Max() const { return max_; }
    void setIncrement(int step) { increment_ = step; }
    int Increment() const { return increment_; }
    // The box's number (its leading number, 0 when none).
    int Value() const;

    void stepUp() { stepBy(increment_); }
    void stepDown() { stepBy(-increment_); }
    QToolButton* upButton() const { return up_; }
    QToolButton* downButton() const { return down_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

signals:
    // Raised by each arrow step that changed the value.
    void changed(int value);

private:
    void stepBy(int delta);

    QLineEdit* buddy_;
    QToolButton* up_;
    QToolButton* down_;
    int min_ = 0;
    int max_ = 100;
    int increment_ = 1;
};

} // namespace talvern::shell
