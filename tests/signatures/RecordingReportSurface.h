#pragma once
// A report surface that keeps what is drawn, with simple exact metrics: a character is half an
// em wide, a line is 1.2 em high, a page is Letter less a quarter inch all round.

#include "ReportSurface.h"

#include <QStringList>
#include <vector>

namespace talvern::testing {

struct DrawnText {
    int page;
    double x;
    double y;
    QString text;
    signatures::ReportFont font;
};

struct DrawnLine {
    int page;
    double x1, y1, x2, y2;
};

class RecordingReportSurface final : public signatures::ReportSurface {
public:
    double pageWidth() const override { return 8.0; }
    double pageHeight() const override { return 10.5; }
    void setFont(const signatures::ReportFont& font) override { font_ = font; }
    double textWidth(const QString& text) const override {
        return text.size() * font_.points / 144.0;
    }
    double textHeight(const QString&) const override { return font_.points / 60.0; }
    void drawText(double x, double y, const QString& text) override {
        texts.push_back({pages, x, y, text, font_});
    }
    void drawLine(double x1, double y1, double x2, double y2) override {
        lines.push_back({pages, x1, y1, x2, y2});
    }
    void newPage() override { ++pages; }

    // The texts of one page (1-based), in drawing order.
    std::vector<DrawnText> page(int n) const {
        std::vector<DrawnText> on;
        for (const DrawnText& t : texts)
            if (t.page == n) on.push_back(t);
        return on;
    }
    double widthOf(const DrawnText& t) const { return t.text.size() * t.font.points / 144.0; }

    int pages = 1;
    std::vector<DrawnText> texts;
    std::vector<DrawnLine> lines;

private:
    signatures::ReportFont font_;
};

} // namespace talvern::testing
