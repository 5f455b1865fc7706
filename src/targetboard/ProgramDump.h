#pragma once
// The dump: a program file set streamed into a board in program mode, as a step machine. Each
// step() runs at most one link transaction (a read, a write, one record), so the progress window
// repaints and the event loop runs between them; the command line simply steps to the end.
//
// Before anything goes to the board the whole image is read and checked, the board on the cable
// is confirmed, records outside the board's program memory are pointed out, and the user
// confirms with both idents side by side. The board's ident block is then marked as naming no
// program, the board prepared (B8181 = 86, B8176 = 0, the configuration values for codes
// 56..65), put into program mode 3, sent every record (each answered by its sum), taken out with
// 0xFF, and given the file's ident block, its first character last. A dump that stops on the way
// therefore leaves a board that says it holds no valid program, and says it must be loaded again.

#include "ProgramFiles.h"
#include "ProgramImage.h"
#include "RSComm.h"
#include "TransferProgress.h"

#include <functional>

namespace talvern::targetboard {

class ProgramDump {
public:
    // boardNumber: the board chosen in the menu (1 = K2510, 3 = R7520), confirmed on the cable
    // with checkTargetBoard before the confirmation; 0 skips that check.
    ProgramDump(link::RSComm& link, ProgramSet& set, link::UserAnswers& answers, link::Clock& clock,
                int boardNumber = 0, std::function<bool(int)> checkTargetBoard = {});

    // Runs the next step; false once the dump has ended (its outcome reported).
    bool step();
    void runToEnd();
    // The dump waits (the board settles) until this time of the clock; steps before it do nothing.
    double resumeAt() const { return resumeAt_; }

    // --- Progress, as the progress window shows it ---
    bool InProgramMode = false;
    bool WritingIdent = false;
    QString CurrentProgramAdd = QStringLiteral(" ");
    const TransferProgress& progress() const { return progress_; }

    bool finished() const { return phase_ == Phase::Done; }
    // "Program Download Complete!" was reported.
    bool succeeded() const { return succeeded_; }
    // Bytes that went to the board in program mode (0 when the dump stopped before it).
    int bytesSent() const { return progress_.done; }

private:
    enum class Phase {
        Start,
        CheckBoard,
        MemoryMap,
        ReadIdent,
        Confirm,
        Mark,
        Prepare,
        Attention,
        Configure,
        ConfigAttention,
        EnterMode,
        Records,
        Leave,
        Settle,
        WriteIdent,
        Report,
        Done
    };
    void end();
    void wait(double seconds);
    bool message(const QString& text, link::Icon icon, const QString& title);
    // A failure once the ident block may be marked: the text, and that the board must be loaded
    // again.
    void halted(const QString& text, link::Icon icon);

    link::RSComm& link_;
    ProgramSet& set_;
    link::UserAnswers& answers_;
    link::Clock& clock_;
    int boardNumber_;
    std::function<bool(int)> checkTargetBoard_;

    Phase phase_ = Phase::Start;
    int index_ = 0;
    double resumeAt_ = 0;
    ImageCheck image_;
    std::array<int, 10> boardIdent_{};
    double markStarted_ = 0;    // when its first marking write began
    double identWriteTime_ = 0; // what one write of the ident block takes, as measured
    bool failed_ = false;
    bool succeeded_ = false;
    TransferProgress progress_;
};

// The confirmation's text and title, with the board's ident block as read ("No valid program"
// for a block that names none).
QString DumpConfirmation(const ProgramSet& set, const std::array<int, 10>& boardIdent);
QString DumpConfirmationTitle(const ProgramSet& set);
// The ident block the dump writes: the trimmed ident's first eight character codes padded with
// 0, then checksum and revision.
std::array<int, 10> IdentBlock(const QString& ident, int checksum, int revision);
// The order the dump writes the block in: the first character, which makes the block name a
// program, last.
constexpr std::array<int, 10> kIdentWriteOrder{1, 2, 3, 4, 5, 6, 7, 8, 9, 0};
// A record as the dump sends it: the bytes it holds of the ident block, which the dump writes
// at the end whatever the image holds there, stay marked (0) while the records go in.
ImageRecord RecordAsSent(const ImageRecord& record);
// The message that a dump stopped after the ident block was marked ends with.
extern const QString kLoadAgain;

} // namespace talvern::targetboard
