#pragma once
// The commands of talvern-cli. Each drives the same RSComm the windows use.

#include "ChangeLog.h"
#include "ConsoleAnswers.h"
#include "RSComm.h"

#include <QStringList>
#include <cstdio>
#include <functional>
#include <map>

namespace talvern::app {

enum CliStatus { kDone = 0, kFailed = 1, kUsage = 2, kLinkFailure = 3 };

struct CliContext {
    link::RSComm& link;
    link::SerialLine& line;
    ConsoleAnswers& answers;
    std::FILE* out;
    std::FILE* err;
    // The log of every value written (nullptr: none), and whether a command has said its own
    // trouble so that no usage text follows it.
    setup::ChangeLog* changes = nullptr;
    bool troubleSaid = false;
    // Opens the link on first use; false when the board cannot be reached.
    bool ensureOnline();
    void print(const QString& line) const;
    void complain(const QString& line) const;
    // A message the window would show in a message box, as every message is written here:
    // "[TITLE] TEXT".
    void tell(const QString& title, const QString& text) const;
};

// The titles the windows give their file messages.
inline const QString kSetupFileTitle = QStringLiteral("TALVERN");
inline const QString kSignatureFileTitle = QStringLiteral("Servo Cupfeed Data");

// A command gets the words after its name; it returns a CliStatus.
using CliCommand = std::function<int(CliContext&, const QStringList&)>;
using CliCommandTable = std::map<QString, CliCommand>;

void AddLinkCommands(CliCommandTable& table);
// sdt new|show, upload, download, export-shift.
void AddSetupFileCommands(CliCommandTable& table);
// signature acquire, cfd show|export, graph (drawn by talvern-render).
void AddSignatureCommands(CliCommandTable& table);
// program check|dump|upload|verify; board reset-faults|set-clock (after AddLinkCommands).
void AddProgramCommands(CliCommandTable& table);
// sdt diff, compare, log (after AddSetupFileCommands).
void AddCompareCommands(CliCommandTable& table);
CliCommandTable AllCliCommands();

// Runs one command line's command; a link failure at the end gives kLinkFailure.
int RunCliCommand(CliContext& context, const QStringList& command);

} // namespace talvern::app
