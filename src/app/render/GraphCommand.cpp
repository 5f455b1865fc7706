// talvern-render graph: a cupfeed data file drawn as on screen (PNG) or as printed (PDF).
#include "GraphFile.h"
#include "RenderCommands.h"
#include "SetupFiles.h"

namespace talvern::app {

namespace {

// The titles the windows give these messages: the data window opens the file, the graph
// window its reference and the picture.
const QString kSignatureFileTitle = QStringLiteral("Servo Cupfeed Data");
const QString kGraphTitle = QStringLiteral("Graph Data Signatures");

int Graph(RenderContext& c, const QStringList& args) {
    QStringList files;
    signatures::GraphOptions options;
    options.traces = {true, true, true, true};
    QString referencePath;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args.at(i);
        if (!a.startsWith(QLatin1String("--"))) {
            files << a;
            continue;
        }
        if (i + 1 >= args.size()) return kRenderUsage;
        const QString value = args.at(++i);
        if (a == QLatin1String("--traces")) {
            const std::optional<signatures::TraceSet> traces = signatures::ParseTraceSet(value);
            if (!traces || value.isEmpty()) {
                c.complain(QStringLiteral("--traces takes digits 0 to 3"));
                return kRenderUsage;
            }
            options.traces = *traces;
        } else if (a == QLatin1String("--reference")) {
            referencePath = value;
        } else if (a == QLatin1String("--tolerance")) {
            bool ok = false;
            options.tolerancePercent = value.toDouble(&ok);
            if (!ok || options.tolerancePercent <= 0 || options.tolerancePercent > 100) {
                c.complain(QStringLiteral("--tolerance takes a percentage above 0 up to 100"));
                return kRenderUsage;
            }
        } else {
            return kRenderUsage;
        }
    }
    if (files.size() != 2) return kRenderUsage;

    QString message;
    const std::optional<signatures::CpfdData> data = signatures::LoadCfdFile(files.at(0), &message);
    if (!data) {
        c.tell(kSignatureFileTitle, message);
        return kRenderFailed;
    }
    std::optional<signatures::CpfdData> reference;
    if (!referencePath.isEmpty()) {
        reference = signatures::LoadCfdFile(referencePath, &message);
        if (!reference) {
            c.tell(kGraphTitle, message);
            return kRenderFailed;
        }
        options.reference = &*reference;
    }
    options.fileTitle = setup::FileTitleOf(files.at(0));
    if (!signatures::SaveGraphImage(files.at(1), *data, options, QSize(1000, 700), &message)) {
        c.tell(kGraphTitle, message);
        return kRenderFailed;
    }
    const int leftOut = signatures::LeftOutSamples(*data, options.traces);
    if (leftOut > 0) c.print(signatures::LeftOutText(leftOut));
    if (options.reference) {
        const signatures::BandComparison comparison = signatures::CompareWithReference(
            *data, *reference, options.traces,
            signatures::ComputeFullScales(*data, options.traces, &*reference),
            options.tolerancePercent);
        c.print(signatures::BandSummary(comparison, options.tolerancePercent));
    }
    return kRenderDone;
}

} // namespace

void AddGraphCommands(RenderCommandTable& table) {
    table[QStringLiteral("graph")] = Graph;
}

} // namespace talvern::app
