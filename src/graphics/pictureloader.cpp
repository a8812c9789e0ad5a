// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "graphics/pictureloader.h"

#include "graphics/decoders.h"
#include "graphics/isolateddecoder.h"
#include "io/file.h"

#include <QFileInfo>
#include <QStringList>
#include <array>

namespace graphics {

namespace {

// Metafiles go to their own process: libwmf and libemf2svg fail badly on some
// files. JPEG has a decoder of its own; the rest are Qt's.
enum class Decoder { Jpeg, Qt, Apart };

struct PictureFormat {
    const char* extension;
    const char* filterLabel; // the open dialog's name for it
    const char* kind;        // the error report's name for it
    Decoder decoder;
    const char* format; // Qt's or the helper's name for it
};

// PNG and GIF are here because the tag reader extracts such pictures too.
constexpr std::array<PictureFormat, 8> Formats{{
    {"jpg", "JPEG Image File", "JPEG picture", Decoder::Jpeg, "jpeg"},
    {"jpeg", "JPEG Image File", "JPEG picture", Decoder::Jpeg, "jpeg"},
    {"bmp", "Bitmaps", "Windows bitmap", Decoder::Qt, "bmp"},
    {"ico", "Icons", "icon", Decoder::Qt, "ico"},
    {"png", "PNG Images", "PNG picture", Decoder::Qt, "png"},
    {"gif", "GIF Images", "GIF picture", Decoder::Qt, "gif"},
    {"emf", "Enhanced Metafiles", "enhanced metafile", Decoder::Apart, "emf"},
    {"wmf", "Metafiles", "Windows metafile", Decoder::Apart, "wmf"},
}};

QImage decode(const PictureFormat& format, const QByteArray& bytes) {
    switch (format.decoder) {
    case Decoder::Jpeg:
        return decodeJpeg(bytes);
    case Decoder::Qt:
        return decodeWithQt(bytes, format.format);
    case Decoder::Apart:
        break;
    }
    return decodeApart(bytes, format.format);
}

// A picture file is read whole; a tag cannot hold a larger one.
constexpr uint64_t MaxPictureFileSize = uint64_t(256) << 20;

QByteArray readPictureFile(const QString& path, const QString& name) {
    io::File file(path.toStdString(), io::File::Mode::Read);
    const uint64_t size = file.size();
    if (size > MaxPictureFileSize)
        throw GraphicsError(
            QStringLiteral("%1 is too large to show (%2 bytes)").arg(name).arg(size).toStdString());
    QByteArray bytes(qsizetype(size), Qt::Uninitialized);
    file.readExactAt(bytes.data(), size_t(size), 0);
    return bytes;
}

} // namespace

QImage loadPicture(const QString& path) {
    const QFileInfo info(path);
    const QString extension = info.suffix();
    for (const PictureFormat& format : Formats) {
        if (extension.compare(QLatin1String(format.extension), Qt::CaseInsensitive) != 0) continue;
        const QByteArray bytes = readPictureFile(path, info.fileName());
        try {
            return decode(format, bytes);
        } catch (const TooLargeError& e) {
            throw GraphicsError(QStringLiteral("%1 is too large to show (%2)")
                                    .arg(info.fileName(), QString::fromUtf8(e.what()))
                                    .toStdString());
        } catch (const DecodeError& e) {
            throw GraphicsError(
                QStringLiteral("%1 is not a valid %2 (%3)")
                    .arg(info.fileName(), QLatin1String(format.kind), QString::fromUtf8(e.what()))
                    .toStdString());
        }
    }
    throw GraphicsError(
        QStringLiteral("Unknown picture file extension (.%1)").arg(extension).toStdString());
}

QString openPictureFilter() {
    QStringList all;
    QStringList entries;
    for (const PictureFormat& format : Formats) {
        const QString pattern = QStringLiteral("*.") + QLatin1String(format.extension);
        all << pattern;
        entries << QStringLiteral("%1 (%2)|%2").arg(QLatin1String(format.filterLabel), pattern);
    }
    const QString allPatterns = all.join(QLatin1Char(';'));
    return QStringLiteral("All (%1)|%1|").arg(allPatterns) + entries.join(QLatin1Char('|'));
}

} // namespace graphics
