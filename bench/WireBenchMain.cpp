#include "WireBench.h"

#include "OnlineState.h"
#include "modUtility.h"

#include <QApplication>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <sys/prctl.h>

namespace talvern::bench {

std::vector<std::pair<int, Workload>>& Workloads() {
    static std::vector<std::pair<int, Workload>> all;
    return all;
}

Registered::Registered(int order, Workload workload) {
    Workloads().emplace_back(order, std::move(workload));
}

double CpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

PacedRig::PacedRig(boards::BoardId board) {
    rs.SetUserConfigFolder(folder.filePath(QStringLiteral("user")));
    simLine.setPaced(true);
    sim.moveCable(board);
    shell::gLink = &rs;
    shell::gCommPort = &line;
    shell::gAnswers = &answers;
    shell::gEvents = &events;
    shell::gOnlineView = nullptr;
    shell::InitSetupTables();
    rs.OnlineMode = true;
    shell::UpdateOnlineState();
}

PacedRig::~PacedRig() {
    rs.CloseRSComm();
    shell::gLink = nullptr;
    shell::gCommPort = nullptr;
    shell::gAnswers = nullptr;
    shell::gEvents = nullptr;
}

Measure::Measure(const PacedRig& rig) : rig_(rig), bytes0_(rig.line.bytes), cpu0_(CpuSeconds()) {
    timer_.start();
}

WireResult Measure::result(std::string name) const {
    WireResult w;
    w.name = std::move(name);
    w.bytes = rig_.line.bytes - bytes0_;
    w.baud = PacedRig::kBaud;
    w.seconds = static_cast<double>(timer_.nsecsElapsed()) / 1e9;
    w.cpuSeconds = CpuSeconds() - cpu0_;
    return w;
}

std::string WireTable(const std::vector<WireResult>& results, double goal) {
    std::string out;
    char line[256];
    std::snprintf(line, sizeof line, "%-36s %8s %10s %10s %7s %9s\n", "workload", "bytes",
                  "floor s", "taken s", "ratio", "cpu %");
    out += line;
    for (const WireResult& r : results) {
        std::snprintf(line, sizeof line, "%-36s %8ld %10.3f %10.3f %7.3f %9.1f%s\n", r.name.c_str(),
                      r.bytes, r.floorSeconds(), r.seconds, r.ratio(),
                      r.seconds > 0 ? 100.0 * r.cpuSeconds / r.seconds : 0.0,
                      r.failed           ? "  FAILED"
                      : r.reference      ? "  reference"
                      : r.ratio() > goal ? "  over goal"
                                         : "");
        out += line;
    }
    std::snprintf(line, sizeof line, "goal: ratio at most %.2f at %d baud\n", goal,
                  results.empty() ? 9600 : results.front().baud);
    out += line;
    return out;
}

bool AllWithin(const std::vector<WireResult>& results, double goal) {
    return std::all_of(results.begin(), results.end(), [goal](const WireResult& r) {
        return r.reference || (!r.failed && r.ratio() <= goal);
    });
}

} // namespace talvern::bench

int main(int argc, char** argv) {
    using namespace talvern::bench;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The waits for paced replies are a millisecond or two; the kernel's default timer slack
    // would add tens of microseconds to each.
    prctl(PR_SET_TIMERSLACK, 1UL);
    QApplication app(argc, argv);
    auto& all = Workloads();
    std::stable_sort(all.begin(), all.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    // Workload numbers given on the command line run only those (for profiling one of them).
    std::vector<int> only;
    for (int i = 1; i < argc; ++i)
        only.push_back(std::atoi(argv[i]));
    std::vector<WireResult> results;
    for (auto& [order, workload] : all) {
        if (!only.empty() && std::find(only.begin(), only.end(), order) == only.end()) continue;
        results.push_back(workload());
        std::fprintf(stderr, "%s done\n", results.back().name.c_str());
    }
    constexpr double kGoal = 1.05;
    std::fputs(WireTable(results, kGoal).c_str(), stdout);
    return AllWithin(results, kGoal) ? 0 : 1;
}
