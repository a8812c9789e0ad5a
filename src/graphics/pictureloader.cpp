// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "graphics/pictureloader.h"

#include "graphics/decoders.h"
#include "graphics/isolateddecoder.h"
#include "io/file.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <QHash>
#include <QStringList>
#include <array>
#include <mutex>
#include <utility>

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

// The extensions of other MIME types for the same formats ("image/x-wmf").
constexpr std::array<std::pair<const char*, const char*>, 4> OtherExtensions{
    {{"x-wmf", "wmf"}, {"x-emf", "emf"}, {"x-ms-bmp", "bmp"}, {"x-icon", "ico"}}};

const PictureFormat* formatOf(const QString& path) {
    QString extension = QFileInfo(path).suffix();
    for (const auto& [other, own] : OtherExtensions)
        if (extension.compare(QLatin1String(other), Qt::CaseInsensitive) == 0)
            extension = QLatin1String(own);
    for (const PictureFormat& format : Formats)
        if (extension.compare(QLatin1String(format.extension), Qt::CaseInsensitive) == 0)
            return &format;
    return nullptr;
}

// Why bytes were refused, by their digest: a hostile metafile costs its
// helper's whole deadline, once.
struct Refusal {
    bool tooLarge;
    std::string reason;
};
std::mutex refusalsLock;
QHash<QByteArray, Refusal>& refusals() {
    static QHash<QByteArray, Refusal> known;
    return known;
}

QImage decode(const PictureFormat& format, const QByteArray& bytes, int cancelFd) {
    switch (format.decoder) {
    case Decoder::Jpeg:
        return decodeJpeg(bytes);
    case Decoder::Qt:
        return decodeWithQt(bytes, format.format);
    case Decoder::Apart:
        break;
    }
    return decodeApart(bytes, format.format, cancelFd);
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

QImage loadPicture(const QString& path, const QString& name, int cancelFd) {
    const QFileInfo info(path);
    const QString shown = name.isEmpty() ? info.fileName() : name;
    const PictureFormat* format = formatOf(path);
    if (!format)
        throw GraphicsError(QStringLiteral("Unknown picture file extension (.%1)")
                                .arg(info.suffix())
                                .toStdString());
    const QByteArray bytes = readPictureFile(path, shown);
    const QByteArray digest = QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
    auto refuse = [&](const Refusal& r) {
        const QString reason = QString::fromStdString(r.reason);
        const QString what =
            r.tooLarge ? QStringLiteral("too large to show")
                       : QStringLiteral("not a valid %1").arg(QLatin1String(format->kind));
        throw GraphicsError(QStringLiteral("%1 is %2 (%3)").arg(shown, what, reason).toStdString());
    };
    Refusal refusal;
    {
        const std::lock_guard lock(refusalsLock);
        if (const auto it = refusals().constFind(digest); it != refusals().cend()) refuse(*it);
    }
    try {
        return decode(*format, bytes, cancelFd);
    } catch (const HelperUnavailable& e) {
        refuse({false, e.what()}); // not remembered: it may start next time
    } catch (const TooLargeError& e) {
        refusal = {true, e.what()};
    } catch (const DecodeError& e) {
        refusal = {false, e.what()};
    }
    {
        const std::lock_guard lock(refusalsLock);
        refusals().insert(digest, refusal);
    }
    refuse(refusal);
    return {};
}

QString pictureName(int position, const QString& description) {
    const QString name = QStringLiteral("Picture %1").arg(position);
    return description.isEmpty() ? name : name + QStringLiteral(" \"%1\"").arg(description);
}

bool decodedApart(const QString& path) {
    const PictureFormat* format = formatOf(path);
    return format && format->decoder == Decoder::Apart;
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
