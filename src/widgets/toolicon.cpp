// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "widgets/toolicon.h"

#include <QPainter>
#include <QPixmap>

bool isDark(const QPalette& palette) {
    return palette.color(QPalette::Window).lightness() <
           palette.color(QPalette::WindowText).lightness();
}

namespace {

// The drawing at side x side device pixels over a rim of rimColour, width
// pixels wide, drawn around its opaque parts.
QPixmap rimmed(const QIcon& drawing, int side, qreal ratio, const QColor& rimColour, int width) {
    const int pixels = int(side * ratio);
    const QPixmap plain = drawing.pixmap(QSize(pixels, pixels));
    QPixmap rim(plain.size());
    rim.fill(Qt::transparent);
    {
        QPainter p(&rim);
        p.drawPixmap(0, 0, plain);
        p.setCompositionMode(QPainter::CompositionMode_SourceIn);
        p.fillRect(rim.rect(), rimColour);
    }
    QPixmap out(plain.size());
    out.fill(Qt::transparent);
    {
        QPainter p(&out);
        for (int dx = -width; dx <= width; ++dx)
            for (int dy = -width; dy <= width; ++dy)
                if (dx || dy) p.drawPixmap(dx, dy, rim);
        p.drawPixmap(0, 0, plain);
    }
    out.setDevicePixelRatio(ratio);
    return out;
}

} // namespace

QIcon toolIcon(const QString& resource, const QPalette& palette) {
    const QIcon drawing(resource);
    if (!isDark(palette)) return drawing;
    QColor rim = palette.color(QPalette::WindowText);
    rim.setAlpha(200);
    QIcon icon;
    for (int side : {32, 73, 96})
        for (qreal ratio : {1.0, 2.0})
            icon.addPixmap(rimmed(drawing, side, ratio, rim, int(ratio)));
    return icon;
}
