// The printed set-up compare, on the page machinery of the other printouts.
#include "modReport.h"

#include <array>

namespace talvern::signatures {

namespace {
// Right edges of the three value columns, in inches from the page's left.
constexpr std::array<double, 3> kColumnRight{5.3, 6.5, 7.5};
constexpr double kNameX = ReportPage::kLeftMargin + 0.2;

// The text cut to a width, with "..." where it was cut.
QString Fitted(ReportSurface& surface, const QString& text, double width) {
    if (surface.textWidth(text) <= width) return text;
    QString cut = text;
    while (!cut.isEmpty() && surface.textWidth(cut + QStringLiteral("...")) > width)
        cut.chop(1);
    return cut + QStringLiteral("...");
}

void PrintRow(ReportPage& page, const QString& mark, const QString& name,
              const std::array<QString, 3>& values) {
    ReportSurface& surface = page.surface();
    const double y = page.CurrentY;
    page.CurrentX = ReportPage::kLeftMargin;
    page.printOnLine(mark);
    page.CurrentX = kNameX;
    const double nameWidth = kColumnRight[0] - 0.8 - kNameX;
    page.printOnLine(Fitted(surface, name, nameWidth));
    for (std::size_t c = 0; c < values.size(); ++c) {
        page.CurrentY = y;
        page.CurrentX = kColumnRight[c] - surface.textWidth(values[c]);
        page.printOnLine(values[c]);
    }
    page.CurrentY = y;
    page.printLine();
}
} // namespace

void PrintCompareReport(ReportSurface& surface, const setup::SetupComparison& comparison,
                        const QString& title, const CompareColumns& columns, bool onlyDiffering,
                        const ReportContext& context) {
    ReportPage page(surface, title, context.printedAt);
    page.PrintPageHeader(ReportKind::Compare);
    auto headings = [&] {
        page.SetReportFont(3);
        const double width = kColumnRight[1] - kColumnRight[0] - 0.1;
        PrintRow(page, QString(), QStringLiteral("Value"),
                 {Fitted(surface, columns.open, width), Fitted(surface, columns.other, width),
                  QStringLiteral("Factory")});
        page.SetReportFont(1);
        page.printLine();
    };
    headings();
    const auto& values = setup::SetupValues();
    for (const setup::CompareRow& r : comparison.rows) {
        if (onlyDiffering && !r.differs() && !r.unknown()) continue;
        page.CheckPageSpace(ReportKind::Compare, false, 1);
        if (page.CurrentY == page.bodyTop) headings();
        const setup::SetupValue& v = values.at(static_cast<std::size_t>(r.item));
        PrintRow(page,
                 r.differs()   ? QStringLiteral("*")
                 : r.unknown() ? QStringLiteral("?")
                               : QString(),
                 v.address + QLatin1Char(' ') + v.name,
                 {QString::number(r.open),
                  r.other ? QString::number(*r.other) : QStringLiteral("not read"),
                  QString::number(r.factory)});
    }
    page.printLine();
    page.CurrentX = page.headingX;
    page.printLine(comparison.countText());
    if (!comparison.failure.isEmpty()) {
        page.CurrentX = page.headingX;
        page.printLine(comparison.failure);
    }
    page.EndPage();
}

} // namespace talvern::signatures
