// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include <QByteArray>
#include <QImage>
#include <stdexcept>
#include <string>

// The picture decoders, one per file kind. Each takes the whole file's bytes
// and returns the picture, or raises DecodeError saying what is wrong.
namespace graphics {

class DecodeError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A picture whose decoded size would exhaust memory or stall the window.
class TooLargeError : public DecodeError {
public:
    TooLargeError(int w, int h)
        : DecodeError(std::to_string(w) + " x " + std::to_string(h) + " pixels"), width(w),
          height(h) {}
    int width, height;
};

// Raster pictures above this many pixels are refused (1 GiB at 4 bytes a pixel).
inline constexpr qint64 MaxPixels = qint64(1) << 28;
// Metafiles declare their own canvas; a damaged or hostile header may declare a
// huge one, so they are drawn at most this many pixels wide and high.
inline constexpr int MaxMetafileSide = 4096;

// JPEG through libjpeg: gray, colour, CMYK and YCCK.
QImage decodeJpeg(const QByteArray& bytes);
// Windows bitmap, icon, PNG and GIF through Qt's readers ("bmp", "ico", "png", "gif").
QImage decodeWithQt(const QByteArray& bytes, const char* format);
// Windows metafile through libwmf's SVG output.
QImage decodeWmf(const QByteArray& bytes);
// Enhanced metafile through libemf2svg.
QImage decodeEmf(const QByteArray& bytes);
// Draws an SVG document at its own size, scaled down to fit MaxMetafileSide.
QImage renderSvg(const QByteArray& svg);

} // namespace graphics
