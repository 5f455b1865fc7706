#pragma once
// The crank-angle dial of the machine-timing screen: the degree scale with BDC at the bottom,
// each PLS channel as an arc from its ON to its OFF point on its own ring, and, while the
// machine turns slowly enough, the machine position as a pointer. It only shows: it never
// talks to the board.

#include <QColor>
#include <QWidget>
#include <array>
#include <optional>

class QPainter;

namespace talvern::screens {

struct DialPicture {
    struct Channel {
        std::optional<int> on; // PLS divisions; nothing while the box shows no number
        std::optional<int> off;
        bool programmed() const { return on && off && *on != *off; }
    };
    std::array<Channel, 8> channels;
    std::optional<int> position; // the pointer, in PLS divisions
    int scale = 360;             // divisions per machine cycle
};

QColor ChannelColour(int channel);
// The one drawing routine of the dial, for the screen and any other paint device.
void DrawTimingDial(QPainter& painter, const QRectF& area, const DialPicture& picture);

class TimingDial : public QWidget {
    Q_OBJECT
public:
    explicit TimingDial(QWidget* parent = nullptr);

    const DialPicture& picture() const { return picture_; }
    void setChannel(int channel, std::optional<int> on, std::optional<int> off);
    void setPosition(std::optional<int> position);
    void setScale(int scale);

    QSize sizeHint() const override { return {300, 260}; }
    QSize minimumSizeHint() const override { return {160, 140}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    DialPicture picture_;
};

} // namespace talvern::screens
