#pragma once
// The commands of talvern-render: each draws a picture or a page from files and writes it to a
// file. Exit status as talvern-cli's: 0 done, 1 refused or failed, 2 usage.

#include <QString>
#include <QStringList>
#include <cstdio>
#include <functional>
#include <map>

namespace talvern::app {

enum RenderStatus { kRenderDone = 0, kRenderFailed = 1, kRenderUsage = 2 };

struct RenderContext {
    std::FILE* out;
    std::FILE* err;
    void print(const QString& line) const;
    void complain(const QString& line) const;
    // A message the window would show in a message box, written as talvern-cli writes every
    // message: "[TITLE] TEXT", lines ending in LF.
    void tell(const QString& title, const QString& text) const;
};

// A command gets the words after its name; it returns a RenderStatus.
using RenderCommand = std::function<int(RenderContext&, const QStringList&)>;
using RenderCommandTable = std::map<QString, RenderCommand>;

// graph FILE.cfd OUT.png|OUT.pdf [--traces 0123] [--reference REF.cfd] [--tolerance PCT]
void AddGraphCommands(RenderCommandTable& table);
// report FILE.sdt OUT.pdf, signature-report FILE.cfd OUT.pdf
void AddReportCommands(RenderCommandTable& table);
RenderCommandTable AllRenderCommands();
QString RenderUsage();

int RunRenderCommand(RenderContext& context, const QStringList& command);

} // namespace talvern::app
