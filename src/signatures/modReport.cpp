#include "modReport.h"

#include "CpfdText.h"

#include <algorithm>
#include <array>

namespace talvern::signatures {

namespace {

const QString kTimes = QStringLiteral("Times");

ReportFont Times(double points, bool bold = false, bool underline = false) {
    return ReportFont{kTimes, points, bold, false, underline};
}

} // namespace

ReportPage::ReportPage(ReportSurface& surface, QString title, QString printedAt)
    : surface_(surface), title_(std::move(title)), printedAt_(std::move(printedAt)) {}

void ReportPage::setFont(const ReportFont& font) {
    surface_.setFont(font);
}

void ReportPage::SetReportFont(int style) {
    switch (style) {
        case 1:
            setFont(Times(12));
            break;
        case 2:
            setFont(Times(14, true));
            break;
        case 3:
            setFont(Times(12, true, true));
            break;
        case 4:
            setFont(Times(14));
            break;
        case 5:
            setFont(Times(14, true));
            break;
        default:
            break;
    }
}

void ReportPage::beginPageIfDue() {
    if (!pageDue_) return;
    pageDue_ = false;
    surface_.newPage();
}

void ReportPage::printOnLine(const QString& text) {
    beginPageIfDue();
    surface_.drawText(CurrentX, CurrentY, text);
    CurrentX += surface_.textWidth(text);
}

void ReportPage::printLine(const QString& text) {
    if (!text.isEmpty()) {
        beginPageIfDue();
        surface_.drawText(CurrentX, CurrentY, text);
    }
    // An empty line is as high as a line of the current font.
    CurrentY += surface_.textHeight(text.isEmpty() ? QStringLiteral("I") : text);
    CurrentX = 0;
}

void ReportPage::PrintPageHeader(ReportKind kind) {
    setFont(Times(12, true));
    const QString text = kind == ReportKind::Setup ? QStringLiteral("TALVERN Report: ") + title_
                         : kind == ReportKind::Compare
                             ? QStringLiteral("TALVERN Set-up Compare: ") + title_
                             : QStringLiteral("Servo Cupfeed (Current / Error / "
                                              "Profile) Signature Data:") +
                                   title_;
    const double width = surface_.pageWidth();
    CurrentX = (width - surface_.textWidth(text) - kLeftMargin) / 2;
    CurrentY = 0.1;
    printLine(text);
    const double ruleY = CurrentY + surface_.textHeight(text);
    beginPageIfDue();
    surface_.drawLine(kLeftMargin, ruleY, width - kLeftMargin, ruleY);
    headingX = kLeftMargin;
    bodyTop = ruleY + 0.25;
    CurrentX = headingX;
    CurrentY = bodyTop;
}

void ReportPage::EndPage() {
    setFont(Times(10));
    const double width = surface_.pageWidth();
    double footerY = surface_.pageHeight() - surface_.textHeight(QStringLiteral("I")) - 0.1;
    CurrentX = kLeftMargin;
    CurrentY = footerY;
    printOnLine(printedAt_);
    const QString pageText = QStringLiteral("Page ") + QString::number(pageNumber_);
    CurrentX = width - surface_.textWidth(pageText) - kLeftMargin;
    printOnLine(pageText);
    footerY -= 0.1;
    surface_.drawLine(kLeftMargin, footerY, width - kLeftMargin, footerY);
    // The next page is begun by the first thing drawn on it.
    pageDue_ = true;
    ++pageNumber_;
    CurrentX = 0;
    CurrentY = 0;
}

void ReportPage::CheckPageSpace(ReportKind kind, bool forceNewPage, int lines) {
    if (forceNewPage)
        EndPage();
    else if (surface_.pageHeight() - surface_.textHeight(QStringLiteral("I")) * lines <
             CurrentY + 0.9)
        EndPage();
    if (CurrentY == 0) PrintPageHeader(kind);
}

namespace {

constexpr double kValueRight = 5.5;

struct Section {
    const char* heading;
    int first; // rows of the parameter table, first..last
    int last;
    bool grouped;
};

// Section 2 (the PLS) is printed by its own routine; its row range is empty.
constexpr std::array<Section, 6> kSections{{
    {"Bodymaker/Trimmer Set-up Parameters", 0, 7, false},
    {"PLS Configuration & Channel Setpoints", 0, -1, false},
    {"Bodymaker/Trimmer Shift Data / Brake Response", 8, 13, true},
    {"Servo Cupfeed Set-up Parameters", 14, 17, false},
    {"Servo Cupfeed Tuning Parameters", 18, 24, false},
    {"Servo Cupfeed Diagnostic Variables", 25, 30, false},
}};

// Lines each of sections 2 to 6 wants on its page before it starts.
constexpr std::array<int, 5> kSectionLines{21, 6, 4, 7, 6};

// Values end at 5.5 inches; a label too wide for its column (a wider face than Times) pushes
// its value right, a space clear of it, rather than under it.
void PrintItem(ReportPage& page, const QString& label, const QString& value) {
    ReportSurface& surface = page.surface();
    const double labelX = ReportPage::kLeftMargin + 0.25;
    page.CurrentX = labelX;
    page.printOnLine(label);
    const double clear = labelX + surface.textWidth(label.trimmed() + QLatin1Char(' '));
    page.CurrentX = std::max(kValueRight - surface.textWidth(value), clear);
    page.printLine(value);
}

void PrintItemLabel(ReportPage& page, const QString& label) {
    page.CurrentX = ReportPage::kLeftMargin + 0.25;
    page.printLine(label);
}

void PrintSubLine(ReportPage& page, const QString& text) {
    page.CurrentX = ReportPage::kLeftMargin + 0.5;
    page.printLine(text);
}

void PrintPLSItems(ReportPage& page, const setup::SetupData& d) {
    PrintItem(page, QStringLiteral("1. Number of PLS Channels: "), QString::number(d.PLSCfg0));
    PrintItem(page, QStringLiteral("2. PLS Scale Factor: "), QString::number(d.PLSScale));
    PrintItem(page, QStringLiteral("3. PLS Program: "), QString::number(d.PLSCfg1));
    PrintItemLabel(page, QStringLiteral("4. Speed Compensation (advance): "));
    for (int n = 0; n < 8; ++n)
        PrintSubLine(page, QStringLiteral("CH0%1 (msec):  %2").arg(n).arg(d.PLSCfgRest[n]));
    PrintItemLabel(page, QStringLiteral("5. Channel Setpoints (ON - OFF): "));
    for (int n = 0; n < 8; ++n)
        PrintSubLine(page, QStringLiteral("CH0%1:  %2  - %3")
                               .arg(n)
                               .arg(d.PLSSetpoint[n][0])
                               .arg(d.PLSSetpoint[n][1]));
}

} // namespace

void PrintReport(ReportSurface& surface, const setup::SetupData& data, const QString& title,
                 const ReportContext& context) {
    ReportPage page(surface, title, context.printedAt);
    page.PrintPageHeader(ReportKind::Setup);
    QLocale grouping = context.locale;
    grouping.setNumberOptions(grouping.numberOptions() & ~QLocale::OmitGroupSeparator);
    const auto& table = setup::ParameterTable();
    for (int s = 0; s < static_cast<int>(kSections.size()); ++s) {
        const Section& section = kSections[s];
        if (s > 0) page.CheckPageSpace(ReportKind::Setup, false, kSectionLines[s - 1]);
        page.SetReportFont(5);
        page.CurrentX = page.headingX;
        page.printLine(QString::fromLatin1(section.heading));
        page.SetReportFont(1);
        page.printLine();
        if (s == 1) PrintPLSItems(page, data);
        for (int row = section.first; row <= section.last; ++row) {
            // A record read from a file may be short; a missing value prints as 0.
            const qint64 value =
                row < static_cast<int>(data.ParamValue.size()) ? data.ParamValue[row] : 0;
            const QString label = QStringLiteral("%1. %2: ")
                                      .arg(row - section.first + 1)
                                      .arg(QString::fromLatin1(table[row].reportLabel));
            PrintItem(page, label,
                      section.grouped ? grouping.toString(value) : QString::number(value));
        }
        page.printLine();
    }
    page.EndPage();
}

void PrintSignatureReport(ReportSurface& surface, const CpfdData& data, const QString& fileTitle,
                          const ReportContext& context) {
    constexpr double kPitch = 1.35;
    const QString degree(QChar(0xB0));
    const std::array<QString, 5> headings{
        QStringLiteral("Main Crank(") + degree + QLatin1Char(')'), QStringLiteral("Current(A)"),
        QStringLiteral("Error(") + degree + QLatin1Char(')'),
        QStringLiteral("Actual Pos.(") + degree + QLatin1Char(')'),
        QStringLiteral("Desired Pos.(") + degree + QLatin1Char(')')};
    QLocale plain = context.locale;
    plain.setNumberOptions(plain.numberOptions() | QLocale::OmitGroupSeparator);

    ReportPage page(surface, fileTitle, context.printedAt);
    // Centres one row of five texts on the columns.
    auto printRow = [&](const std::array<QString, 5>& cells) {
        const double y = page.CurrentY;
        for (int c = 0; c < 5; ++c) {
            page.CurrentX = (c + 1) * kPitch - surface.textWidth(cells[c]) / 2;
            page.CurrentY = y;
            page.printOnLine(cells[c]);
        }
        page.printLine();
    };

    page.PrintPageHeader(ReportKind::Signature);
    const int samples = data.Count();
    bool headingsDue = false;
    for (int i = 0; i < samples; ++i) {
        if (i == 0) {
            page.SetReportFont(1);
            page.CurrentX = page.headingX;
            page.printLine(QStringLiteral("P: ") + plain.toString(data.PGain(), 'f', 2));
            page.CurrentX = page.headingX;
            page.printLine(QStringLiteral("I: ") + QString::number(data.IGain));
            page.CurrentX = page.headingX;
            page.printLine(QStringLiteral("D: ") + QString::number(data.DGain));
            page.printLine();
            headingsDue = true;
        }
        if (headingsDue || page.CurrentY == page.bodyTop) {
            page.SetReportFont(3);
            printRow(headings);
            page.printLine();
            headingsDue = false;
        }
        page.SetReportFont(1);
        printRow({SampleText(data.Pos[i], plain), SampleText(data.Curr[i], plain),
                  SampleText(data.Err[i], plain), SampleText(data.Profile[i], plain),
                  SampleText(data.Desired[i], plain)});
        // After the last row the footer follows on the same page: no page of headings alone.
        if (i + 1 < samples) page.CheckPageSpace(ReportKind::Signature, false, 0);
    }
    page.EndPage();
}

} // namespace talvern::signatures
