#include "TimingDial.h"

#include "DialGeometry.h"

#include <QPainter>
#include <QPainterPath>

namespace talvern::screens {

using namespace dial;

QColor ChannelColour(int channel) {
    static const std::array<QColor, 8> colours = {
        QColor(200, 30, 30), QColor(230, 120, 0), QColor(160, 130, 0),  QColor(0, 140, 60),
        QColor(0, 140, 170), QColor(30, 80, 220), QColor(130, 50, 190), QColor(200, 40, 140),
    };
    return colours.at(static_cast<std::size_t>(channel) % colours.size());
}

void DrawTimingDial(QPainter& painter, const QRectF& area, const DialPicture& picture) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const QFontMetricsF metrics(painter.font());
    const double legendWidth = metrics.horizontalAdvance(QStringLiteral("CH00")) + 30;
    const Layout layout = LayoutIn(area, legendWidth, metrics.height() * 1.6);
    const QPointF c = layout.centre;
    const double r = layout.radius;
    if (r < 10) {
        painter.restore();
        return;
    }
    const QColor ink = painter.pen().color();

    // The degree scale: the circle, a tick every 30° and its number; BDC and TDC named.
    painter.setPen(QPen(ink, 1.5));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(c, r, r);
    for (int d = 0; d < 360; d += 30) {
        painter.drawLine(PointAt(c, r, d), PointAt(c, r * 0.93, d));
        const QPointF at = PointAt(c, r + metrics.height() * 0.8, d);
        const QString text = d == 0     ? QStringLiteral("0 BDC")
                             : d == 180 ? QStringLiteral("TDC 180")
                                        : QString::number(d);
        const QRectF box(at.x() - 40, at.y() - metrics.height() / 2, 80, metrics.height());
        painter.drawText(box, Qt::AlignCenter, text);
    }

    // One ring per channel; a programmed channel's arc in its colour over its ring.
    const double width = RingWidth(r);
    for (int ch = 0; ch < kRings; ++ch) {
        const double ringR = RingRadius(ch, r);
        const QRectF ring(c.x() - ringR, c.y() - ringR, 2 * ringR, 2 * ringR);
        painter.setPen(QPen(QColor(200, 200, 200), 1));
        painter.drawEllipse(ring);
        const DialPicture::Channel& channel = picture.channels[ch];
        if (!channel.programmed()) continue;
        const PainterArc arc =
            ArcFor(DegreesOf(*channel.on, picture.scale), DegreesOf(*channel.off, picture.scale));
        painter.setPen(QPen(ChannelColour(ch), width, Qt::SolidLine, Qt::FlatCap));
        painter.drawArc(ring, arc.start16, arc.span16);
    }

    // The legend, outermost ring first.
    const QRectF legend = layout.legend;
    const double rowHeight = metrics.height() * 1.3;
    double y = legend.center().y() - rowHeight * kRings / 2;
    for (int ch = 0; ch < kRings; ++ch, y += rowHeight) {
        const QColor colour = ChannelColour(ch);
        const bool programmed = picture.channels[ch].programmed();
        painter.setPen(QPen(colour, programmed ? width : 1, Qt::SolidLine, Qt::FlatCap));
        painter.drawLine(QPointF(legend.left() + 2, y + rowHeight / 2),
                         QPointF(legend.left() + 18, y + rowHeight / 2));
        painter.setPen(colour);
        painter.drawText(QRectF(legend.left() + 24, y, legend.width() - 24, rowHeight),
                         Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("CH0%1").arg(ch));
    }

    // The machine position.
    if (picture.position) {
        const double d = DegreesOf(*picture.position, picture.scale);
        painter.setPen(QPen(ink, 2.5, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(c, PointAt(c, r * 0.97, d));
        painter.setBrush(ink);
        painter.drawEllipse(c, 4, 4);
    }
    painter.restore();
}

TimingDial::TimingDial(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("picTmgDial"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setFocusPolicy(Qt::NoFocus);
    setAccessibleName(tr("Crank-angle dial"));
}

void TimingDial::setChannel(int channel, std::optional<int> on, std::optional<int> off) {
    DialPicture::Channel& ch = picture_.channels.at(static_cast<std::size_t>(channel));
    if (ch.on == on && ch.off == off) return;
    ch.on = on;
    ch.off = off;
    update();
}

void TimingDial::setPosition(std::optional<int> position) {
    if (picture_.position == position) return;
    picture_.position = position;
    update();
}

void TimingDial::setScale(int scale) {
    if (scale <= 0 || picture_.scale == scale) return;
    picture_.scale = scale;
    update();
}

void TimingDial::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    DrawTimingDial(painter, QRectF(rect()).adjusted(4, 4, -4, -4), picture_);
}

} // namespace talvern::screens
