#include "frmBMIO.h"

#include "ValueFormats.h"
#include "modUtility.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <algorithm>

namespace talvern::screens {

namespace {
constexpr int kValueWidth = 64;

// A value label of a fixed size that holds any value it shows ("-32768" at most), opaque, with
// plain text: on a live screen one changes at nearly every read, and each change would otherwise
// re-lay out the window, repaint the frame behind it and lay out a selectable text document,
// all while the line waits.
QLabel* ValueLabel(QWidget* parent, const QString& name, int width) {
    auto* label = new QLabel(kNotRead, parent);
    label->setObjectName(name);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setFrameShape(QFrame::StyledPanel);
    label->setFrameShadow(QFrame::Sunken);
    label->setAutoFillBackground(true); // opaque: a change repaints the label, not its frame
    const int widest = label->fontMetrics().horizontalAdvance(QStringLiteral("-32768")) +
                       2 * label->frameWidth() + 8;
    label->setFixedSize(std::max(width, widest), label->sizeHint().height());
    return label;
}

void SetColour(QLabel* label, const QColor& colour) {
    // A state that stays as it was costs no repaint.
    if (label->palette().color(QPalette::WindowText) == colour) return;
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}
} // namespace

QGroupBox* frmBMIO::makeGroup(const QString& name, const QString& title) {
    auto* group = new QGroupBox(title, this);
    group->setObjectName(name);
    auto* grid = new QGridLayout(group);
    grid->setVerticalSpacing(2);
    grid->setRowStretch(16, 1);
    groups_.push_back(group);
    return group;
}

frmBMIO::frmBMIO(QWidget* parent) : BoardScreen(setup::kBoardK2510, parent) {
    setObjectName(QStringLiteral("frmBMIO"));
    setWindowTitle(QStringLiteral("BM I/O Status"));

    ParamAddr = {QStringLiteral("F80"),  QStringLiteral("F81"),  QStringLiteral("W162"),
                 QStringLiteral("W164"), QStringLiteral("B166"), QStringLiteral("B167"),
                 QStringLiteral("W180"), QStringLiteral("W182"), QStringLiteral("W184"),
                 QStringLiteral("W186"), QStringLiteral("W188"), QStringLiteral("W170"),
                 QStringLiteral("W100"), QStringLiteral("W110")};
    const QStringList captions = {QStringLiteral("IN0:"),
                                  QStringLiteral("IN1:"),
                                  QStringLiteral("Analog Input 0:"),
                                  QStringLiteral("Analog Input 1:"),
                                  QStringLiteral("Analog Output 0:"),
                                  QStringLiteral("Analog Output 1:"),
                                  QStringLiteral("Resolver POS:"),
                                  QStringLiteral("Resolver RPM:"),
                                  QStringLiteral("Resolver Period:"),
                                  QStringLiteral("Scale Factor:"),
                                  QStringLiteral("Offset:")};

    QGroupBox* k2510 = makeGroup(QStringLiteral("fraBMIO_0"), QStringLiteral("K2510"));
    auto* grid = static_cast<QGridLayout*>(k2510->layout());
    for (int i = 0; i < kValues; ++i) {
        auto* caption = new QLabel(captions[i], k2510);
        caption->setObjectName(QStringLiteral("lblk2510_%1").arg(i));
        captions_.push_back(caption);
        values_.push_back(
            ValueLabel(k2510, QStringLiteral("lblk2510State_%1").arg(i), kValueWidth));
        grid->addWidget(caption, i, 0);
        grid->addWidget(values_.back(), i, 1);
    }

    struct Map {
        const char* frame;
        const char* title;
        const char* caption;
        const char* state;
    };
    const Map maps[3] = {
        {"fraBMIO_1", "Timing Channels", "lblTmgChannel_%1", "lblTmgChannelState_%1"},
        {"fraBMIO_2", "Slot 10", "lblSlot10_%1", "lblSlot10State_%1"},
        {"fraBMIO_3", "Slot 11", "lblSlot11_%1", "lblSlot11State_%1"}};
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(k2510);
    for (int m = 0; m < 3; ++m) {
        QGroupBox* group = makeGroup(QLatin1String(maps[m].frame), QLatin1String(maps[m].title));
        auto* bitsGrid = static_cast<QGridLayout*>(group->layout());
        for (int bit = 0; bit < 16; ++bit) {
            const QString text = m == 0   ? TimingChannelCaption(bit)
                                 : m == 1 ? SlotBitCaption(100, bit)
                                          : SlotBitCaption(110, bit);
            auto* caption = new QLabel(text, group);
            caption->setObjectName(QString::fromLatin1(maps[m].caption).arg(bit));
            captions_.push_back(caption);
            QLabel* state = ValueLabel(group, QString::fromLatin1(maps[m].state).arg(bit), 40);
            state->setAlignment(Qt::AlignCenter);
            bits_[m].push_back(state);
            bitsGrid->addWidget(caption, bit, 0);
            bitsGrid->addWidget(state, bit, 1);
        }
        layout->addWidget(group);
    }
    load();
}

void frmBMIO::showState(QLabel* label, bool on) {
    label->setText(StateText(on));
    SetColour(label, StateColour(on));
}

void frmBMIO::SetupOnlineDisplay() {
    for (QGroupBox* group : groups_)
        group->setEnabled(true);
    for (QLabel* caption : captions_)
        caption->setEnabled(true);
    for (QLabel* value : values_) {
        value->setEnabled(true);
        value->setText(kNotRead);
    }
    for (const auto& map : bits_) {
        for (QLabel* state : map) {
            state->setEnabled(true);
            state->setText(kNotRead);
            SetColour(state, OnColour());
        }
    }
    OnlineShown = true;
}

void frmBMIO::SetupOfflineDisplay() {
    for (QLabel* value : values_) {
        value->setText(kNotRead);
        value->setEnabled(false);
    }
    for (const auto& map : bits_) {
        for (QLabel* state : map) {
            state->setText(kNotRead);
            state->setEnabled(false);
        }
    }
    for (QLabel* caption : captions_)
        caption->setEnabled(false);
    for (QGroupBox* group : groups_)
        group->setEnabled(false);
    OfflineShown = true;
}

void frmBMIO::showRead(int i, const std::optional<QString>& value) {
    if (!value) {
        if (i < kValues) {
            values_[i]->setText(kNotRead);
        } else {
            for (QLabel* state : bits_[i - kValues])
                state->setText(kNotRead);
        }
    } else if (i <= 1) {
        showState(values_[i], InputIsOn(*value));
    } else if (i < kValues) {
        values_[i]->setText(*value);
    } else {
        const std::array<bool, 16> bits = BitMap(*value);
        for (int bit = 0; bit < 16; ++bit)
            showState(bits_[i - kValues][bit], bits[bit]);
    }
}

} // namespace talvern::screens
