#pragma once
// The tuning screen's strip chart of the following error: the instantaneous absolute error, the
// positive and negative peaks as lines, and a marker where a gain or the test output was
// written. It only paints what the trace holds; the geometry is ErrorTrace's.

#include "ErrorTrace.h"

#include <QWidget>

class QPainter;

namespace talvern::screens {

// Draws the trace into a rectangle of any paint device.
void DrawErrorTrace(QPainter& painter, const QRectF& area, const ErrorTrace& trace,
                    const QPalette& palette);

class ErrorTraceView : public QWidget {
    Q_OBJECT
public:
    explicit ErrorTraceView(const ErrorTrace& trace, QWidget* parent = nullptr);
    QSize sizeHint() const override { return {560, 200}; }
    QSize minimumSizeHint() const override { return {320, 140}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const ErrorTrace& trace_;
};

} // namespace talvern::screens
