// talvern-render: draws pictures and pages for talvern-cli, without a display.
#include "RenderCommands.h"

#include <QGuiApplication>
#include <cstdio>
#include <cstring>

using namespace talvern;

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        std::fputs(app::RenderUsage().toLocal8Bit().constData(), stdout);
        return 0;
    }
    // Pictures are drawn off screen, whatever display the caller has or lacks.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("TALVERN"));
    app::RenderContext context{stdout, stderr};
    const QStringList command = app.arguments().mid(1);
    const int status = app::RunRenderCommand(context, command);
    if (status == app::kRenderUsage)
        std::fputs(app::RenderUsage().toLocal8Bit().constData(), stderr);
    return status;
}
