#include "RenderCommands.h"

namespace talvern::app {

void RenderContext::print(const QString& text) const {
    std::fprintf(out, "%s\n", text.toLocal8Bit().constData());
    std::fflush(out);
}

void RenderContext::complain(const QString& text) const {
    std::fprintf(err, "%s\n", text.toLocal8Bit().constData());
    std::fflush(err);
}

void RenderContext::tell(const QString& title, const QString& text) const {
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
        .replace(QLatin1Char('\r'), QLatin1Char('\n'));
    complain(QLatin1Char('[') + title + QStringLiteral("] ") + shown);
}

QString RenderUsage() {
    return QStringLiteral(
        "usage: talvern-render COMMAND [ARGS]\n"
        "\n"
        "Draws the signature graph and the printed reports for talvern-cli, which starts it;\n"
        "no display is needed.\n"
        "\n"
        "  graph FILE.cfd OUT.png|OUT.pdf [--traces 0123] [--reference REF.cfd] [--tolerance "
        "PCT]\n"
        "                                the signature graph as drawn on screen (PNG) or printed "
        "(PDF);\n"
        "                                traces 0 current, 1 error, 2 actual, 3 reference "
        "profile\n"
        "  report FILE.sdt OUT.pdf       the printed set-up report of a set-up file\n"
        "  signature-report FILE.cfd OUT.pdf\n"
        "                                the printed signature data of a cupfeed data file\n"
        "\n"
        "exit status: 0 done, 1 refused or failed, 2 usage\n");
}

RenderCommandTable AllRenderCommands() {
    RenderCommandTable table;
    AddGraphCommands(table);
    AddReportCommands(table);
    return table;
}

int RunRenderCommand(RenderContext& context, const QStringList& command) {
    const RenderCommandTable table = AllRenderCommands();
    const auto it = command.isEmpty() ? table.end() : table.find(command.at(0));
    if (it == table.end()) return kRenderUsage;
    return it->second(context, command.mid(1));
}

} // namespace talvern::app
