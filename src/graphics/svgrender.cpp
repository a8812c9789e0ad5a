// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "graphics/decoders.h"

#include <QPainter>
#include <QSvgRenderer>
#include <algorithm>
#include <cmath>

namespace graphics {

QImage renderSvg(const QByteArray& svg) {
    QSvgRenderer renderer(svg);
    if (!renderer.isValid()) throw DecodeError("the drawing cannot be read");
    const QSizeF declared = renderer.viewBoxF().size();
    if (!(declared.width() > 0 && declared.height() > 0))
        throw DecodeError("the drawing has no size");
    // The canvas comes from the file's header; drawing it at a declared size
    // of millions of pixels would stall the window, so it is scaled down.
    const double scale =
        std::min(1.0, MaxMetafileSide / std::max(declared.width(), declared.height()));
    const QSize size(std::max(1, int(std::lround(declared.width() * scale))),
                     std::max(1, int(std::lround(declared.height() * scale))));
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) throw TooLargeError(size.width(), size.height());
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter, QRectF(QPointF(0, 0), size));
    painter.end();
    return image;
}

} // namespace graphics
