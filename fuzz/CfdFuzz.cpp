// A cupfeed data file (.cfd) opened, exported as text and graphed: the reader, the text export,
// and the graph's scales, labels, cursor read-out, comparison with a reference and mapping onto
// a device. A record that was read is written back as the file's first 5130 bytes.
#include "CpfdData.h"
#include "CpfdText.h"
#include "FuzzSupport.h"
#include "modGraph.h"

#include <algorithm>

using namespace talvern;
using namespace talvern::signatures;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes = fuzz::Bytes(data, size);
    const CfdReadResult read = ReadCfd(bytes);
    FUZZ_REQUIRE(read.data.has_value() == read.reason.isEmpty());
    if (!read.data) return 0;
    const CpfdData& d = *read.data;
    // A longer file is read as its first record.
    FUZZ_REQUIRE(WriteCfd(d) == bytes.left(kCfdFileBytes));

    // Every sample line of the export is made alike: the export is of the first few samples, so
    // that a run spends its time on new files rather than on formatting 1280 numbers each.
    CpfdData head = d;
    head.Samples = static_cast<std::int16_t>(std::min(d.Count(), 8));
    const QByteArray text = ExportText(head, QLocale::c());
    FUZZ_REQUIRE(text.count("\r\n") == 4 + head.Count());
    static const QLocale german(QLocale::German, QLocale::Germany);

    const TraceSet all{true, true, true, true};
    const FullScales scales = ComputeFullScales(d, all, &d);
    FUZZ_REQUIRE(!(scales.amps < 1.0f) && !(scales.degrees < 1.0f));
    ScaleLabels(scales.amps, true);
    ScaleLabels(scales.degrees, false, GraphView{90, 180, 0.2, 0.6}, german);
    const BandComparison band = CompareWithReference(d, d, all, scales, 10);
    FUZZ_REQUIRE(band.compared == d.Count() && band.outside <= band.compared);
    BandSummary(band, 10);
    for (const GraphView& view : {GraphView{}, GraphView{90, 180, 0.2, 0.6}})
        for (double angle : AngleTicks(view))
            AngleLabel(angle, view);
    GainsText(d);
    for (double angle : {0.0, 180.0, 359.0, static_cast<double>(d.Pos[0])}) {
        const int nearest = NearestSample(d, angle);
        FUZZ_REQUIRE(nearest < d.Count());
        CursorText(d, nearest, all);
        for (int t = 0; t < 4; ++t)
            ReferenceValueAt(d, t, angle);
    }

    // The window's mapping (a line of text 200 twips high), whole and zoomed.
    for (const GraphView& view : {GraphView{}, GraphView{90, 180, 0.2, 0.6}}) {
        const GraphMapping m(FramePlotRect(8000, 6000, 200), 0.07, view, scales);
        for (int i = 0; i < d.Count(); ++i) {
            m.angleAt(m.x(d.Pos[i]));
            m.scaleAt(m.y(d.Curr[i], true));
            m.y(d.Err[i], false);
        }
    }
    return 0;
}
