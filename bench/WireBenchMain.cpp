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

SinglePassRig::SinglePassRig(boards::BoardId board) {
    rs.SetUserConfigFolder(folder.filePath(QStringLiteral("user")));
    simLine.setPaced(true);
    sim.moveCable(board);
    rs.OpenRSComm(line);
}

long SinglePassBytes(boards::BoardId board, const std::function<void(SinglePassRig&)>& replay) {
    SinglePassRig rig(board);
    const long before = rig.line.bytes;
    replay(rig);
    return rig.line.bytes - before;
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

bool WithinGoal(const WireResult& r) {
    if (r.reference) return true;
    if (r.failed) return false;
    return r.confirms() ? r.singlePassRatio() <= kConfirmedGoal : r.ratio() <= kScreenGoal;
}

std::string WireTable(const std::vector<WireResult>& results) {
    std::string out;
    char line[320];
    std::snprintf(line, sizeof line, "%-36s %8s %9s %8s %9s %9s %8s %8s %6s\n", "workload", "bytes",
                  "floor s", "1-pass", "1-pass s", "taken s", "x floor", "x 1-pass", "cpu %");
    out += line;
    for (const WireResult& r : results) {
        std::snprintf(line, sizeof line, "%-36s %8ld %9.3f %8ld %9.3f %9.3f %8.3f %8.3f %6.1f%s\n",
                      r.name.c_str(), r.bytes, r.floorSeconds(),
                      r.confirms() ? r.singlePassBytes : r.bytes, r.singlePassFloorSeconds(),
                      r.seconds, r.ratio(), r.singlePassRatio(),
                      r.seconds > 0 ? 100.0 * r.cpuSeconds / r.seconds : 0.0,
                      r.failed         ? "  FAILED"
                      : r.reference    ? "  reference"
                      : !WithinGoal(r) ? "  over goal"
                                       : "");
        out += line;
    }
    std::snprintf(line, sizeof line,
                  "goals at %d baud: a live screen at most %.2f x its floor (the line at least "
                  "%.0f %% busy); a transfer at most %.2f x its single-pass floor\n",
                  results.empty() ? 9600 : results.front().baud, kScreenGoal, 100.0 / kScreenGoal,
                  kConfirmedGoal);
    out += line;
    return out;
}

bool AllWithin(const std::vector<WireResult>& results) {
    return std::all_of(results.begin(), results.end(), WithinGoal);
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
    std::fputs(WireTable(results).c_str(), stdout);
    return AllWithin(results) ? 0 : 1;
}
