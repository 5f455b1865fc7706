#pragma once
// picGraph: the graph window's drawing surface. It paints with the same routine as the printer
// and adds what only a screen has: a vertical cursor that follows the mouse, and zooming by
// dragging across the plot (double-click or Escape returns to the whole stroke). The keyboard
// does the same: Left and Right move the cursor, + zooms in around it, - or Escape zooms out.

#include "modGraph.h"

#include <QPoint>
#include <QWidget>
#include <optional>

namespace talvern::screens {

class GraphPicture : public QWidget {
    Q_OBJECT
public:
    explicit GraphPicture(QWidget* parent = nullptr);

    void setData(const signatures::CpfdData* data) { data_ = data; }
    signatures::GraphOptions& options() { return options_; }
    const signatures::GraphOptions& options() const { return options_; }

    void setView(const signatures::GraphView& view);
    void wholeStroke() { setView({}); }
    void moveCursorTo(int sample);
    // The mapping of the picture as it is drawn now.
    signatures::GraphMapping mapping() const;

signals:
    void cursorMoved(int sample);
    void viewChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    double dpi() const;
    const signatures::CpfdData& data() const;

    const signatures::CpfdData* data_ = nullptr;
    signatures::GraphOptions options_;
    std::optional<QPoint> dragFrom_;
    QPoint dragTo_;
};

} // namespace talvern::screens
