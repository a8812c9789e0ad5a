#include "graphics/pictureloader.h"

#include "graphics/decoders.h"
#include "graphics/isolateddecoder.h"
#include "io/file.h"

#include <QFileInfo>
#include <QStringList>
#include <array>

namespace graphics {

namespace {

QImage decodeBmp(const QByteArray& b) {
    return decodeWithQt(b, "bmp");
}
QImage decodeIco(const QByteArray& b) {
    return decodeWithQt(b, "ico");
}
QImage decodePng(const QByteArray& b) {
    return decodeWithQt(b, "png");
}
QImage decodeGif(const QByteArray& b) {
    return decodeWithQt(b, "gif");
}
// Metafiles in their own process: libwmf and libemf2svg fail badly on some files.
QImage decodeEmfApart(const QByteArray& b) {
    return decodeApart(b, "emf");
}
QImage decodeWmfApart(const QByteArray& b) {
    return decodeApart(b, "wmf");
}

struct PictureFormat {
    const char* extension;
    const char* filterLabel; // the open dialog's name for it
    const char* kind;        // the error report's name for it
    QImage (*decode)(const QByteArray&);
};

// PNG and GIF are here because the tag reader extracts such pictures too.
constexpr std::array<PictureFormat, 8> Formats{{
    {"jpg", "JPEG Image File", "JPEG picture", decodeJpeg},
    {"jpeg", "JPEG Image File", "JPEG picture", decodeJpeg},
    {"bmp", "Bitmaps", "Windows bitmap", decodeBmp},
    {"ico", "Icons", "icon", decodeIco},
    {"png", "PNG Images", "PNG picture", decodePng},
    {"gif", "GIF Images", "GIF picture", decodeGif},
    {"emf", "Enhanced Metafiles", "enhanced metafile", decodeEmfApart},
    {"wmf", "Metafiles", "Windows metafile", decodeWmfApart},
}};

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
            return format.decode(bytes);
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
