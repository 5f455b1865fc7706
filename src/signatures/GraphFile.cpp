#include "GraphFile.h"

#include <QImage>
#include <QImageWriter>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

namespace talvern::signatures {

bool SaveGraphImage(const QString& path, const CpfdData& data, GraphOptions options,
                    const QSize& size, QString* message) {
    const auto fail = [&](const QString& cause) {
        if (message) *message = QStringLiteral("Cannot write \"%1\".\r\n").arg(path) + cause;
        return false;
    };
    const bool pdf = path.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive);
    if (!pdf && !path.endsWith(QLatin1String(".png"), Qt::CaseInsensitive))
        return fail(QStringLiteral("Give a name ending in .png or .pdf."));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return fail(file.errorString());
    bool drawn = false;
    if (pdf) {
        QPdfWriter writer(&file);
        writer.setPageLayout(
            QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(0, 0, 0, 0)));
        writer.setTitle(GraphTitle(options.fileTitle));
        writer.setCreator(QStringLiteral("TALVERN"));
        QPainter painter;
        if (painter.begin(&writer)) {
            options.printing = true;
            PlotSignatures(painter, writer.width(), writer.height(), writer.resolution(), data,
                           options);
            drawn = painter.end();
        }
    } else {
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        PlotSignatures(painter, image.width(), image.height(), 96, data, options);
        painter.end();
        QImageWriter writer(&file, "png");
        drawn = writer.write(image);
        if (!drawn) {
            const QString cause = writer.errorString();
            file.cancelWriting();
            return fail(cause);
        }
    }
    if (!drawn) {
        file.cancelWriting();
        return fail(QStringLiteral("The picture could not be drawn."));
    }
    if (!file.commit()) return fail(file.errorString());
    return true;
}

} // namespace talvern::signatures
