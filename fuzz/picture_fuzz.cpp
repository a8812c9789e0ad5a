// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
// One picture decoder on arbitrary bytes, the decoder chosen when the target is
// built (QUILLET_PICTURE_DECODER). Each returns a picture within its size limits
// or raises DecodeError: any other exception, a crash, a leak or a stall is a
// finding.
#include "graphics/decoders.h"
#include "graphics/isolateddecoder.h"
#include "sandbox.h"

#include <QGuiApplication>
#include <array>
#include <cstring>

using namespace fuzzing;

namespace {

template <const char* Format> QImage throughQt(const QByteArray& bytes) {
    return graphics::decodeWithQt(bytes, Format);
}
constexpr char Bmp[] = "bmp", Ico[] = "ico", Png[] = "png", Gif[] = "gif";

#ifdef QUILLET_DECODE_APART
template <const char* Kind> QImage apart(const QByteArray& bytes) {
    return graphics::decodeApart(bytes, Kind);
}
constexpr char WmfKind[] = "wmf", EmfKind[] = "emf", SvgKind[] = "svg";
constexpr auto Wmf = apart<WmfKind>, Emf = apart<EmfKind>, Svg = apart<SvgKind>;
#else
constexpr auto Wmf = graphics::decodeWmf, Emf = graphics::decodeEmf, Svg = graphics::renderSvg;
#endif

struct Decoder {
    const char* name;
    QImage (*decode)(const QByteArray&);
    bool drawing; // drawn at a size of its own choosing, within MaxMetafileSide
};

constexpr std::array<Decoder, 8> Decoders{{
    {"jpeg", graphics::decodeJpeg, false},
    {"bmp", throughQt<Bmp>, false},
    {"ico", throughQt<Ico>, false},
    {"png", throughQt<Png>, false},
    {"gif", throughQt<Gif>, false},
    {"wmf", Wmf, true},
    {"emf", Emf, true},
    {"svg", Svg, true},
}};

const Decoder& chosen() {
    for (const Decoder& d : Decoders)
        if (std::strcmp(d.name, QUILLET_PICTURE_DECODER) == 0) return d;
    fail("no decoder named " QUILLET_PICTURE_DECODER);
}

// Fonts for the text of drawings need an application object; no window is shown.
void startGui() {
    static int argc = 1;
    static char name[] = "fuzz_picture";
    static char* argv[] = {name, nullptr};
    if (QGuiApplication::instance()) return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    new QGuiApplication(argc, argv); // lives as long as the process
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const Decoder& decoder = chosen();
    startGui();
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QImage image;
    try {
        image = decoder.decode(bytes);
    } catch (const graphics::DecodeError&) {
        return 0;
    }
    check(!image.isNull(), "a decoder returned no picture and no error");
    if (decoder.drawing)
        check(image.width() <= graphics::MaxMetafileSide &&
                  image.height() <= graphics::MaxMetafileSide,
              "a drawing was drawn larger than its limit");
    else
        check(qint64(image.width()) * image.height() <= graphics::MaxPixels,
              "a picture above the pixel limit was decoded");
    return 0;
}
