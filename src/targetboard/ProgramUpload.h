#pragma once
// The upload: a board's program copied to a program file set, as a step machine (one read per
// step). The ident block becomes the revision file (marked hex), the configuration values of
// boards 56..65 the configuration file, and the program memory of the file's board code the
// image, 16 bytes a record. The ident, then the configuration and the memory, are each read as a
// block in two passes (link::ConfirmedReads: every value confirmed by a second reading, only the
// values that differ or failed read again), and the files are written only once everything was
// read, so a failed upload leaves the set on disk as it was.

#include "ConfirmedReads.h"
#include "ProgramFiles.h"
#include "RSComm.h"
#include "TransferProgress.h"

#include <QByteArray>
#include <functional>
#include <optional>

namespace talvern::targetboard {

class ProgramUpload {
public:
    ProgramUpload(link::RSComm& link, ProgramSet& set, link::UserAnswers& answers,
                  link::Clock& clock, int boardNumber = 0,
                  std::function<bool(int)> checkTargetBoard = {});

    // Set by the caller before the upload; cleared when it ends.
    bool InUploadMode = false;
    bool ReadingIdent = false;
    QString CurrentProgramAdd = QStringLiteral(" ");

    bool step();
    void runToEnd();
    bool finished() const { return phase_ == Phase::Done; }
    bool succeeded() const { return succeeded_; }
    const TransferProgress& progress() const { return progress_; }

private:
    enum class Phase {
        Start,
        CheckBoard,
        ReadIdent,
        BoardCode,
        ReadConfig,
        ReadMemory,
        Write,
        Done
    };
    void startMemory();
    void end();
    void readFailed(const QString& address);

    link::RSComm& link_;
    ProgramSet& set_;
    link::UserAnswers& answers_;
    link::Clock& clock_;
    int boardNumber_;
    std::function<bool(int)> checkTargetBoard_;

    Phase phase_ = Phase::Start;
    std::array<int, 10> ident_{};
    std::array<int, 3> config_{};
    MemoryRange range_;
    QByteArray memory_;
    std::optional<link::ConfirmedReads> reads_; // the ident, the configuration, the memory
    int shownRecord_ = -1;                      // the record CurrentProgramAdd names
    bool succeeded_ = false;
    TransferProgress progress_;
};

} // namespace talvern::targetboard
