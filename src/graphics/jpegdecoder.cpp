// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
// JPEG through libjpeg's own API. Its errors normally end the process or jump
// back with longjmp; here the error manager throws, so the RAII guard below
// releases the decompressor whichever way the decoding ends. (libjpeg is C
// built with unwind tables, so an exception passes through its frames.)
#include "graphics/decoders.h"

#include <cstdint>
#include <cstdio>
#include <jerror.h>
#include <jpeglib.h>
#include <vector>

namespace graphics {

namespace {

std::string messageOf(j_common_ptr info) {
    char text[JMSG_LENGTH_MAX];
    (*info->err->format_message)(info, text);
    return text;
}

[[noreturn]] void throwError(j_common_ptr info) {
    throw DecodeError(messageOf(info));
}

// Warnings are not shown; the one that means the data stopped early is an
// error here, so that a cut-off picture is reported instead of being shown
// with its missing part painted grey.
void onMessage(j_common_ptr info, int level) {
    if (level < 0 && info->err->msg_code == JWRN_JPEG_EOF) throwError(info);
    if (level < 0) ++info->err->num_warnings;
}

void noOutput(j_common_ptr) {}

struct Decompressor {
    jpeg_decompress_struct info{};
    jpeg_error_mgr errors{};

    Decompressor() {
        info.err = jpeg_std_error(&errors);
        errors.error_exit = throwError;
        errors.emit_message = onMessage;
        errors.output_message = noOutput;
        jpeg_create_decompress(&info);
    }
    ~Decompressor() { jpeg_destroy_decompress(&info); }
    Decompressor(const Decompressor&) = delete;
    Decompressor& operator=(const Decompressor&) = delete;
};

// libjpeg does not turn CMYK into RGB. Adobe's files store the inks inverted
// (0 = full ink), which the Adobe marker tells; others store them plainly.
void cmykToRgb(const JSAMPLE* in, uchar* out, JDIMENSION width, bool inverted) {
    for (JDIMENSION x = 0; x < width; ++x, in += 4, out += 3) {
        int c = in[0], m = in[1], y = in[2], k = in[3];
        if (!inverted) {
            c = 255 - c;
            m = 255 - m;
            y = 255 - y;
            k = 255 - k;
        }
        out[0] = uchar((c * k + 127) / 255);
        out[1] = uchar((m * k + 127) / 255);
        out[2] = uchar((y * k + 127) / 255);
    }
}

// A picture of several scans (progressive) is held whole as coefficients, two
// bytes a sample of each component, before its first row comes out: on top
// of the picture itself, a few hundred bytes of file declaring a huge empty
// one would take gigabytes and seconds.
constexpr uint64_t MaxWorkingBytes = uint64_t(256) << 20;

uint64_t workingBytes(jpeg_decompress_struct& info) {
    if (!jpeg_has_multiple_scans(&info)) return 0;
    uint64_t bytes = 0;
    for (int c = 0; c < info.num_components; ++c)
        bytes += uint64_t(info.comp_info[c].width_in_blocks) * info.comp_info[c].height_in_blocks *
                 DCTSIZE2 * sizeof(JCOEF);
    return bytes;
}

} // namespace

QImage decodeJpeg(const QByteArray& bytes) {
    Decompressor d;
    jpeg_mem_src(&d.info, reinterpret_cast<const unsigned char*>(bytes.constData()),
                 static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&d.info, TRUE);
    if (qint64(d.info.image_width) * d.info.image_height > MaxPixels ||
        workingBytes(d.info) > MaxWorkingBytes)
        throw TooLargeError(int(d.info.image_width), int(d.info.image_height));

    const bool cmyk = d.info.jpeg_color_space == JCS_CMYK || d.info.jpeg_color_space == JCS_YCCK;
    const bool gray = d.info.jpeg_color_space == JCS_GRAYSCALE;
    d.info.out_color_space = cmyk ? JCS_CMYK : gray ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_start_decompress(&d.info);

    const JDIMENSION width = d.info.output_width;
    QImage image(int(width), int(d.info.output_height),
                 gray ? QImage::Format_Grayscale8 : QImage::Format_RGB888);
    if (image.isNull()) throw TooLargeError(int(width), int(d.info.output_height));
    std::vector<JSAMPLE> cmykRow(cmyk ? size_t(width) * 4 : 0);
    const bool inverted = d.info.saw_Adobe_marker;
    while (d.info.output_scanline < d.info.output_height) {
        uchar* line = image.scanLine(int(d.info.output_scanline));
        JSAMPROW row = cmyk ? cmykRow.data() : line;
        jpeg_read_scanlines(&d.info, &row, 1);
        if (cmyk) cmykToRgb(cmykRow.data(), line, width, inverted);
    }
    jpeg_finish_decompress(&d.info);
    return image;
}

} // namespace graphics
