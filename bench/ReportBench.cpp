// The two printouts written as PDF files, fonts embedded: the set-up report and a full
// 256-sample signature. Each should take well under a second.
#include "CpfdData.h"
#include "ReportPdf.h"
#include "modReport.h"

#include <QGuiApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace talvern;

namespace {

const signatures::ReportContext kContext{QStringLiteral("12/7/26 3:04:05 AM"), QLocale()};

void SetupReportPdf(benchmark::State& state) {
    QTemporaryDir folder;
    const setup::SetupData data = setup::FactoryDefaults(QStringLiteral("TALVERN_R1.0.0"));
    for (auto _ : state) {
        QString message;
        const bool ok = signatures::WriteReportPdf(
            folder.filePath("r.pdf"), "report",
            [&](signatures::ReportSurface& s) {
                signatures::PrintReport(s, data, QStringLiteral("[unnamed]"), kContext);
            },
            &message);
        if (!ok) state.SkipWithError(message.toLocal8Bit().constData());
    }
    state.SetLabel("set-up report, 2 pages");
}
BENCHMARK(SetupReportPdf)->Unit(benchmark::kMillisecond);

void SignatureReportPdf(benchmark::State& state) {
    QTemporaryDir folder;
    signatures::CpfdData data;
    data.Samples = signatures::kMaxSamples;
    for (int i = 0; i < data.Samples; ++i) {
        data.Pos[i] = 360.0f / 255 * i;
        data.Curr[i] = 0.01f * i;
        data.Err[i] = -0.1f * i;
        data.Profile[i] = 1.5f * i;
        data.Desired[i] = 1.4f * i;
    }
    for (auto _ : state) {
        QString message;
        const bool ok = signatures::WriteReportPdf(
            folder.filePath("s.pdf"), "signature",
            [&](signatures::ReportSurface& s) {
                signatures::PrintSignatureReport(s, data, QStringLiteral("s.cfd"), kContext);
            },
            &message);
        if (!ok) state.SkipWithError(message.toLocal8Bit().constData());
    }
    state.SetLabel("256 samples");
}
BENCHMARK(SignatureReportPdf)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
