// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
// Windows bitmaps, icons, PNG and GIF through Qt's image readers, each told its
// format so that content of another kind is refused, not guessed.
#include "graphics/decoders.h"

#include <QBuffer>
#include <QImageReader>
#include <algorithm>

namespace graphics {

QImage decodeWithQt(const QByteArray& bytes, const char* format) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    reader.setAutoDetectImageFormat(false);
    const QSize size = reader.size();
    if (size.isValid() && qint64(size.width()) * size.height() > MaxPixels)
        throw TooLargeError(size.width(), size.height());

    // An icon holds several sizes; the largest shows best. Its header may claim
    // up to 65535 of them, but each takes a 16-byte entry after the 6-byte
    // header: the entries past the file's end are not looked at.
    int best = 0;
    if (qstrcmp(format, "ico") == 0) {
        qint64 bestArea = -1;
        const int count = int(std::min<qint64>(reader.imageCount(), (bytes.size() - 6) / 16));
        for (int i = 0; i < count; ++i) {
            if (!reader.jumpToImage(i)) break;
            const QSize s = reader.size();
            if (qint64(s.width()) * s.height() > bestArea) {
                bestArea = qint64(s.width()) * s.height();
                best = i;
            }
        }
        reader.jumpToImage(best);
    }
    QImage image = reader.read();
    if (image.isNull()) throw DecodeError(reader.errorString().toStdString());
    return image;
}

} // namespace graphics
