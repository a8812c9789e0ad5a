// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include "support/testfiles.h"

#include <QColor>
#include <QImage>
#include <QString>
#include <string>

// Picture files made in the test, byte by byte or through the libraries that
// write them, so that every decoder is tried on a real file of its kind.
namespace picture_files {

using testing_support::Bytes;

enum class JpegKind { Gray, Colour, Cmyk };

// A JPEG of one colour (for Gray: its gray value), written by libjpeg. CMYK is
// stored the way Adobe's programs store it, with the inks inverted and an
// Adobe marker.
Bytes jpeg(int width, int height, JpegKind kind, QColor colour, int quality = 95);
// A picture of one colour in one of Qt's formats ("bmp", "png", "ico"), or a GIF.
Bytes qtImage(int width, int height, const char* format, QColor colour);

// A Windows metafile of width x height units (96 to the inch) filled with a
// rectangle of colour, drawn with a transparent background mode; with text,
// some black text in the middle, with "&", "<" and a non-ASCII letter.
Bytes wmf(int width, int height, QColor colour, bool withText = false);
// An enhanced metafile whose header declares width x height pixels, filled with
// a rectangle of colour.
Bytes emf(int width, int height, QColor colour);

// An APIC frame body: encoding 0, MIME type, type byte, description, data.
Bytes apic(const std::string& mime, uint8_t type, const std::string& description,
           const Bytes& data);

QImage decoded(const Bytes& bytes, const char* format);
// True when the two colours differ by at most tolerance in every channel.
bool near(QColor a, QColor b, int tolerance = 6);

} // namespace picture_files
