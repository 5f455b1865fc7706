#include "GraphPicture.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

namespace talvern::screens {

using namespace talvern::signatures;

namespace {
constexpr int kMinimumDrag = 6; // pixels: anything smaller is a click
const CpfdData kEmpty;
} // namespace

GraphPicture::GraphPicture(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("picGraph"));
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    setPalette(p);
    setMinimumSize(480, 320);
    setAccessibleName(tr("Graph"));
}

const CpfdData& GraphPicture::data() const {
    return data_ ? *data_ : kEmpty;
}

double GraphPicture::dpi() const {
    return logicalDpiX();
}

GraphMapping GraphPicture::mapping() const {
    return MappingFor(width(), height(), dpi(), data(), options_);
}

void GraphPicture::setView(const GraphView& view) {
    options_.view = view;
    update();
    emit viewChanged();
}

void GraphPicture::moveCursorTo(int sample) {
    if (sample == options_.cursorSample) return;
    options_.cursorSample = sample;
    update();
    emit cursorMoved(sample);
}

void GraphPicture::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    PlotSignatures(painter, width(), height(), dpi(), data(), options_);
    if (dragFrom_) {
        painter.setPen(QPen(Qt::black, 1, Qt::DashLine));
        painter.setBrush(QColor(0, 0, 128, 30));
        painter.drawRect(QRect(*dragFrom_, dragTo_).normalized());
    }
}

void GraphPicture::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    dragFrom_ = event->position().toPoint();
    dragTo_ = *dragFrom_;
}

void GraphPicture::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (dragFrom_) {
        dragTo_ = at;
        update();
    }
    const GraphMapping m = mapping();
    if (at.x() >= m.left() && at.x() <= m.right())
        moveCursorTo(NearestSample(data(), m.angleAt(at.x())));
}

void GraphPicture::mouseReleaseEvent(QMouseEvent* event) {
    if (!dragFrom_ || event->button() != Qt::LeftButton) return;
    const QPoint from = *dragFrom_;
    const QPoint to = event->position().toPoint();
    dragFrom_.reset();
    update();
    if (std::abs(to.x() - from.x()) < kMinimumDrag) return;
    const GraphMapping m = mapping();
    GraphView view;
    view.angleFrom = m.angleAt(std::min(from.x(), to.x()));
    view.angleTo = m.angleAt(std::max(from.x(), to.x()));
    // A flat drag keeps the whole height; a tall one zooms the scales too.
    if (std::abs(to.y() - from.y()) >= kMinimumDrag) {
        view.scaleFrom = m.scaleAt(std::max(from.y(), to.y()));
        view.scaleTo = m.scaleAt(std::min(from.y(), to.y()));
    } else {
        view.scaleFrom = options_.view.scaleFrom;
        view.scaleTo = options_.view.scaleTo;
    }
    if (view.angleTo - view.angleFrom < 1 || view.scaleTo - view.scaleFrom < 0.01) return;
    setView(view);
}

void GraphPicture::mouseDoubleClickEvent(QMouseEvent*) {
    dragFrom_.reset();
    wholeStroke();
}

void GraphPicture::keyPressEvent(QKeyEvent* event) {
    const int n = data().Count();
    const int cursor = options_.cursorSample;
    switch (event->key()) {
        case Qt::Key_Left:
        case Qt::Key_Right:
            if (n > 0) {
                const int step = event->key() == Qt::Key_Left ? -1 : 1;
                moveCursorTo(std::clamp(cursor < 0 ? 0 : cursor + step, 0, n - 1));
            }
            return;
        case Qt::Key_Plus:
        case Qt::Key_Equal: {
            // Half the present range, centred on the cursor.
            const GraphView& v = options_.view;
            const double centre =
                cursor >= 0 && cursor < n ? data().Pos[cursor] : (v.angleFrom + v.angleTo) / 2;
            const double half = std::max(1.0, (v.angleTo - v.angleFrom) / 4);
            GraphView zoomed = v;
            zoomed.angleFrom = std::max(0.0, centre - half);
            zoomed.angleTo = std::min(360.0, zoomed.angleFrom + 2 * half);
            zoomed.angleFrom = std::max(0.0, zoomed.angleTo - 2 * half);
            setView(zoomed);
            return;
        }
        case Qt::Key_Minus:
        case Qt::Key_Escape:
            if (!options_.view.whole()) {
                wholeStroke();
                return;
            }
            break;
        default:
            break;
    }
    QWidget::keyPressEvent(event);
}

} // namespace talvern::screens
