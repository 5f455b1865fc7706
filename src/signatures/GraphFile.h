#pragma once
// The graph saved as a picture: PNG as it is drawn on screen, PDF as it is printed (one
// landscape page with markers, legend and gains). Either file is replaced whole or not at all.

#include "modGraph.h"

#include <QSize>
#include <QString>

namespace talvern::signatures {

// PNG for a name ending in .png, PDF for .pdf (any case); size is the PNG's in pixels.
// On failure the message names the file and the cause.
bool SaveGraphImage(const QString& path, const CpfdData& data, GraphOptions options,
                    const QSize& size, QString* message);

} // namespace talvern::signatures
