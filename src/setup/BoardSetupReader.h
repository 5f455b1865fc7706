#pragma once
// Reads the set-up values of one board for the compare, as a step machine: each step() makes one
// confirmed read (a parameter, the PLS configuration, the scale, the offset, one channel's
// points), so the caller can repaint, serve Cancel and keep the window alive between them. A
// value that cannot be read stays unknown and the reading goes on; once the link has given up
// the rest stay unknown.

#include "RSComm.h"
#include "SetupCompare.h"

#include <functional>

namespace talvern::setup {

class BoardSetupReader {
public:
    // checkTargetBoard(board number) confirms the board on the cable (prompting the user);
    // false when the user gave up.
    BoardSetupReader(Board board, link::RSComm& link, std::function<bool(int)> checkTargetBoard);

    // Runs the next step; false once the reading has ended.
    bool step();
    void runToEnd() {
        while (step()) {}
    }
    // The values not read yet stay unknown.
    void cancel() { cancelled_ = true; }

    bool finished() const { return done_; }
    // The link gave up, or the board on the cable was not confirmed.
    bool linkFailed() const { return linkFailed_; }
    const BoardReading& reading() const { return reading_; }
    int progress() const { return next_; }
    int maximum() const { return static_cast<int>(jobs_.size()); }

private:
    enum class Job { Parameter, PlsConfiguration, PlsScale, PlsOffset, Channel };
    struct Step {
        Job job;
        int index; // item of a parameter, or channel
    };
    void readOne(const Step& s);
    void failed(const QString& what);

    link::RSComm& link_;
    std::function<bool(int)> checkTargetBoard_;
    std::vector<Step> jobs_;
    BoardReading reading_;
    bool checked_ = false;
    bool cancelled_ = false;
    bool done_ = false;
    bool linkFailed_ = false;
    int next_ = 0;
};

} // namespace talvern::setup
