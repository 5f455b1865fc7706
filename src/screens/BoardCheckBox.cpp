#include "BoardCheckBox.h"

#include <QCheckBox>
#include <QSignalBlocker>

namespace talvern::screens {

BoardCheckBox::BoardCheckBox(QCheckBox* box, std::function<void(bool)> handle)
    : QObject(box), box_(box), handle_(std::move(handle)) {
    connect(box_, &QCheckBox::clicked, this, [this] {
        if (online_ && !seen_.known()) {
            // Nothing to act on: the click is undone.
            showUnknown();
            return;
        }
        settingUp_ = false;
        change(box_->checkState() == Qt::Checked);
    });
}

void BoardCheckBox::set(bool on) {
    on_ = on;
    const QSignalBlocker quiet(box_);
    box_->setTristate(false);
    box_->setChecked(on);
}

void BoardCheckBox::showUnknown() {
    const QSignalBlocker quiet(box_);
    box_->setCheckState(Qt::PartiallyChecked);
}

void BoardCheckBox::change(bool on) {
    set(on);
    handle_(on);
}

void BoardCheckBox::read(std::optional<bool> value) {
    online_ = true;
    seen_.read(value ? std::optional<std::int64_t>(*value ? 1 : 0) : std::nullopt);
    if (!seen_.known()) {
        showUnknown();
        return;
    }
    const bool on = *seen_.confirmed() != 0;
    settingUp_ = !everKnown_;
    everKnown_ = true;
    if (on != on_)
        change(on);
    else
        set(on);
    settingUp_ = false;
}

void BoardCheckBox::showOffline(bool on) {
    online_ = false;
    seen_.forget();
    if (on != on_)
        change(on);
    else
        set(on);
}

void BoardCheckBox::wrote(bool took) {
    if (took)
        seen_.wrote(on_ ? 1 : 0);
    else
        seen_.forget();
}

void BoardCheckBox::forget() {
    seen_.forget();
    everKnown_ = false;
    online_ = true;
    showUnknown();
}

} // namespace talvern::screens
