// The signature graph redrawn: 256 samples of all four traces on a 1000 x 700 image, as the
// graph window repaints it on every change. Goal: under 5 ms a redraw.
#include "modGraph.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>
#include <cmath>

using namespace talvern;

namespace {

signatures::CpfdData FullStroke() {
    signatures::CpfdData d;
    d.Samples = signatures::kMaxSamples;
    for (int i = 0; i < d.Samples; ++i) {
        const double a = 360.0 * i / (d.Samples - 1);
        d.Pos[i] = static_cast<float>(a);
        d.Curr[i] = static_cast<float>(1.2 + 12 * std::abs(std::sin(a * M_PI / 90)));
        d.Err[i] = static_cast<float>(1.5 * std::abs(std::sin(a * M_PI / 45)));
        d.Profile[i] = static_cast<float>(20 - 20 * std::cos(a * M_PI / 180));
        d.Desired[i] = d.Profile[i] + 0.3f;
    }
    return d;
}

void GraphRedraw(benchmark::State& state) {
    const signatures::CpfdData data = FullStroke();
    const signatures::CpfdData reference = FullStroke();
    signatures::GraphOptions options;
    options.traces = {true, true, true, true};
    options.printing = state.range(0) == 1;
    if (state.range(0) == 2) options.reference = &reference;
    QImage image(1000, 700, QImage::Format_RGB32);
    for (auto _ : state) {
        image.fill(Qt::white);
        QPainter painter(&image);
        signatures::PlotSignatures(painter, image.width(), image.height(), 96, data, options);
    }
    state.SetLabel(state.range(0) == 0   ? "screen, 256 x 4"
                   : state.range(0) == 1 ? "printed layout with markers, 256 x 4"
                                         : "screen with reference band, 256 x 4");
}
BENCHMARK(GraphRedraw)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
