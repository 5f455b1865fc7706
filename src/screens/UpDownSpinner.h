#pragma once
// An up-down spinner bound to a text box (its buddy). It carries the field's limits (Min, Max)
// and step (Increment); each arrow step that changes the value puts the new value into the
// buddy and notifies once. A step starts from the buddy's number; while the buddy shows no
// number (a placeholder such as "-") the arrows do nothing.

#include <QPointer>
#include <QWidget>
#include <cstdint>
#include <functional>

class QLineEdit;
class QToolButton;

namespace talvern::screens {

class UpDown : public QWidget {
    Q_OBJECT
public:
    explicit UpDown(QWidget* parent = nullptr);

    void setBuddy(QLineEdit* buddy);
    QLineEdit* buddy() const { return buddy_; }

    std::int32_t Min() const { return min_; }
    std::int32_t Max() const { return max_; }
    std::int32_t Increment() const { return increment_; }
    std::int32_t Value() const { return value_; }
    void setRange(std::int32_t min, std::int32_t max);
    void setIncrement(std::int32_t increment) { increment_ = increment > 0 ? increment : 1; }
    // Sets the value (kept within the limits) without notifying and without touching the buddy.
    void setValue(std::int32_t value);

    // One arrow step: +1 up, -1 down. True when the value changed (then Change was emitted).
    bool step(int direction);
    // A condition every step must meet (the number shown is one the screen may act on).
    void setGate(std::function<bool()> gate) { gate_ = std::move(gate); }

    QToolButton* upButton() const { return up_; }
    QToolButton* downButton() const { return down_; }

signals:
    // Once per step that changed the value.
    void Change();

protected:
    void changeEvent(QEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    std::int32_t clamp(std::int64_t value) const;

    QPointer<QLineEdit> buddy_;
    QToolButton* up_;
    QToolButton* down_;
    std::int32_t min_ = 0;
    std::int32_t max_ = 10;
    std::int32_t increment_ = 1;
    std::int32_t value_ = 0;
    std::function<bool()> gate_;
};

} // namespace talvern::screens
