// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "picturefiles.h"

#include <QBuffer>
#include <QImageWriter>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>
#include <vector>

using testing_support::operator+;
using testing_support::operator+=;

namespace picture_files {

Bytes jpeg(int width, int height, JpegKind kind, QColor colour, int quality) {
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &out, &size);
    info.image_width = JDIMENSION(width);
    info.image_height = JDIMENSION(height);
    const int components = kind == JpegKind::Gray ? 1 : kind == JpegKind::Cmyk ? 4 : 3;
    info.input_components = components;
    info.in_color_space = kind == JpegKind::Gray   ? JCS_GRAYSCALE
                          : kind == JpegKind::Cmyk ? JCS_CMYK
                                                   : JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);

    std::vector<JSAMPLE> row(size_t(width * components));
    for (int x = 0; x < width; ++x) {
        JSAMPLE* p = &row[size_t(x * components)];
        if (kind == JpegKind::Gray) {
            p[0] = JSAMPLE(colour.red());
        } else if (kind == JpegKind::Colour) {
            p[0] = JSAMPLE(colour.red());
            p[1] = JSAMPLE(colour.green());
            p[2] = JSAMPLE(colour.blue());
        } else {
            // Inks from the colour (K taken out), stored inverted as Adobe does.
            const int k = 255 - std::max({colour.red(), colour.green(), colour.blue()});
            auto ink = [&](int v) { return k == 255 ? 0 : (255 - v - k) * 255 / (255 - k); };
            p[0] = JSAMPLE(255 - ink(colour.red()));
            p[1] = JSAMPLE(255 - ink(colour.green()));
            p[2] = JSAMPLE(255 - ink(colour.blue()));
            p[3] = JSAMPLE(255 - k);
        }
    }
    for (int y = 0; y < height; ++y) {
        JSAMPROW r = row.data();
        jpeg_write_scanlines(&info, &r, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    Bytes result(out, out + size);
    std::free(out);
    return result;
}

namespace {

// Qt reads GIF but does not write it: a one-colour GIF89a, its LZW data made
// of literal codes only, with a clear code before every two pixels so that the
// code size stays at 3 bits.
Bytes gif(int width, int height, QColor colour) {
    Bytes out = testing_support::bytes("GIF89a");
    auto le16 = [&](int v) {
        out.push_back(uint8_t(v & 0xFF));
        out.push_back(uint8_t(v >> 8));
    };
    le16(width);
    le16(height);
    out += Bytes{0x81, 0, 0}; // global colour table of 4 entries
    out += Bytes{uint8_t(colour.red()), uint8_t(colour.green()), uint8_t(colour.blue())};
    out += Bytes(9, 0);
    out.push_back(0x2C);
    le16(0);
    le16(0);
    le16(width);
    le16(height);
    out += Bytes{0, 2}; // no local table; minimum code size 2
    Bytes data;
    uint32_t bits = 0;
    int count = 0;
    auto code = [&](uint32_t c) {
        bits |= c << count;
        count += 3;
        while (count >= 8) {
            data.push_back(uint8_t(bits));
            bits >>= 8;
            count -= 8;
        }
    };
    for (int i = 0; i < width * height; ++i) {
        if (i % 2 == 0) code(4); // clear
        code(0);
    }
    code(5); // end
    if (count > 0) data.push_back(uint8_t(bits));
    for (size_t i = 0; i < data.size(); i += 255) {
        const size_t n = std::min<size_t>(255, data.size() - i);
        out.push_back(uint8_t(n));
        out.insert(out.end(), data.begin() + long(i), data.begin() + long(i + n));
    }
    out += Bytes{0, 0x3B};
    return out;
}

} // namespace

Bytes qtImage(int width, int height, const char* format, QColor colour) {
    if (qstrcmp(format, "gif") == 0) return gif(width, height, colour);
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (!writer.write(image)) std::abort();
    return Bytes(data.begin(), data.end());
}

namespace {

void le16(Bytes& b, int v) {
    b.push_back(uint8_t(v & 0xFF));
    b.push_back(uint8_t((v >> 8) & 0xFF));
}
void le32(Bytes& b, uint32_t v) {
    le16(b, int(v & 0xFFFF));
    le16(b, int(v >> 16));
}
uint32_t colorRef(QColor c) {
    return uint32_t(c.red()) | uint32_t(c.green()) << 8 | uint32_t(c.blue()) << 16;
}

// WMF records: size in 16-bit words (header included), function, parameters.
struct WmfRecords {
    Bytes bytes;
    uint32_t largest = 3;
    void add(int function, const Bytes& parameters) {
        const uint32_t words = 3 + uint32_t(parameters.size() / 2);
        largest = std::max(largest, words);
        le32(bytes, words);
        le16(bytes, function);
        bytes += parameters;
    }
    void add(int function, std::initializer_list<int> words) {
        Bytes p;
        for (int w : words)
            le16(p, w);
        add(function, p);
    }
};

} // namespace

Bytes wmf(int width, int height, QColor colour, bool withText) {
    WmfRecords r;
    r.add(0x020B, {0, 0});          // SetWindowOrg (y, x)
    r.add(0x020C, {height, width}); // SetWindowExt (y, x)
    r.add(0x0102, {1});             // SetBkMode TRANSPARENT
    r.add(0x02FA, {5, 0, 0, 0, 0}); // CreatePenIndirect PS_NULL
    r.add(0x012D, {0});             // SelectObject
    const uint32_t ref = colorRef(colour);
    r.add(0x02FC, {0, int(ref & 0xFFFF), int(ref >> 16), 0}); // CreateBrushIndirect solid
    r.add(0x012D, {1});
    r.add(0x041B, {height, width, 0, 0}); // Rectangle (bottom, right, top, left)
    int objects = 2;
    if (withText) {
        Bytes font;
        for (int v : {-height / 3, 0, 0, 0, 700})
            le16(font, v);
        font += Bytes(8, 0);
        Bytes face = testing_support::bytes("Arial");
        face.resize(32, 0);
        r.add(0x02FB, font + face); // CreateFontIndirect
        r.add(0x012D, {2});
        ++objects;
        Bytes text;
        le16(text, height / 3); // y
        le16(text, width / 8);  // x
        le16(text, 4);          // length
        le16(text, 0);          // options
        // Characters XML must escape, and one outside ASCII.
        text += testing_support::bytes("W&<\xE9");
        r.add(0x0A32, text); // ExtTextOut
    }
    r.add(0x0000, Bytes{}); // EOF

    Bytes out;
    le32(out, 0x9AC6CDD7u); // placeable header
    le16(out, 0);
    for (int v : {0, 0, width, height})
        le16(out, v);
    le16(out, 96); // units per inch
    le32(out, 0);
    uint16_t sum = 0;
    for (size_t i = 0; i < out.size(); i += 2)
        sum ^= uint16_t(out[i] | out[i + 1] << 8);
    le16(out, sum);
    le16(out, 1); // memory metafile
    le16(out, 9);
    le16(out, 0x0300);
    le32(out, uint32_t(9 + r.bytes.size() / 2));
    le16(out, objects);
    le32(out, r.largest);
    le16(out, 0);
    return out + r.bytes;
}

Bytes emf(int width, int height, QColor colour) {
    Bytes out;
    auto record = [&](uint32_t type, std::initializer_list<uint32_t> values) {
        le32(out, type);
        le32(out, uint32_t(8 + 4 * values.size()));
        for (uint32_t v : values)
            le32(out, v);
    };
    const auto w = uint32_t(width), h = uint32_t(height);
    // Header: bounds, frame (0.01 mm at 96 dpi), " EMF", version, bytes (patched
    // below), records, handles, reserved, description, palette, device, mm.
    record(1, {0,
               0,
               w - 1,
               h - 1,
               0,
               0,
               w * 2646 / 100,
               h * 2646 / 100,
               0x464D4520u,
               0x10000u,
               0,
               6,
               2,
               0,
               0,
               0,
               1024,
               768,
               271,
               203});
    record(37, {0x80000008u});               // SelectObject NULL_PEN
    record(39, {1, 0, colorRef(colour), 0}); // CreateBrushIndirect solid
    record(37, {1});
    record(43, {0, 0, w, h}); // Rectangle
    record(14, {0, 16, 20});  // EOF
    const auto size = uint32_t(out.size());
    for (int i = 0; i < 4; ++i)
        out[size_t(48 + i)] = uint8_t(size >> (8 * i));
    return out;
}

Bytes apic(const std::string& mime, uint8_t type, const std::string& description,
           const Bytes& data) {
    return Bytes{0} + testing_support::bytes(mime) + Bytes{0, type} +
           testing_support::bytes(description) + Bytes{0} + data;
}

QImage decoded(const Bytes& bytes, const char* format) {
    return QImage::fromData(
        QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size())), format);
}

bool near(QColor a, QColor b, int tolerance) {
    return std::abs(a.red() - b.red()) <= tolerance &&
           std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}

} // namespace picture_files
