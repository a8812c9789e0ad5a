// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
// Windows metafiles through libwmf, which plays the records into an SVG
// document that Qt Svg then draws.
//
// libwmf's SVG output needs three repairs, made while it is written: it names
// every colour by the nearest of a few dozen colour names (a dark red becomes
// "firebrick"), so each drawing call is watched and its element gets the exact
// colours of the device context back; it writes text unescaped, in the
// metafile's single-byte character set; and it marks fills 50 % transparent
// when the file sets a transparent background.
#include "graphics/decoders.h"

#include <QString>
#include <cstdio>
#include <cstdlib>
#include <libwmf/api.h>
#include <libwmf/ipa.h>
#include <libwmf/macro.h>
#include <libwmf/svg.h>
#include <type_traits>
#include <vector>

namespace graphics {

namespace {

const char* reasonFor(wmf_error_t error) {
    switch (error) {
    case wmf_E_InsMem:
        return "out of memory";
    case wmf_E_EOF:
        return "the file ends too early";
    case wmf_E_BadFormat:
    case wmf_E_BadFile:
        return "the records are damaged";
    default:
        return "the drawing cannot be played";
    }
}

QByteArray hex(const wmfRGB& c) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", c.r, c.g, c.b);
    return text;
}

// The exact colours of one drawing call: fill of shapes (or of text), stroke,
// and the fill of anything else a text call draws (its opaque background).
struct Colours {
    QByteArray fill, stroke, background;
};

Colours coloursOf(wmfDC* dc) {
    Colours c;
    if (dc && WMF_DC_BRUSH(dc)) c.fill = hex(*WMF_BRUSH_COLOR(WMF_DC_BRUSH(dc)));
    if (dc && WMF_DC_PEN(dc)) c.stroke = hex(*WMF_PEN_COLOR(WMF_DC_PEN(dc)));
    return c;
}
template <class Call> Colours coloursOf(Call* call) {
    return coloursOf(call->dc);
}
Colours coloursOf(wmfDrawPixel_t* call) {
    return {hex(call->color), hex(call->color), {}};
}
Colours coloursOf(wmfFlood_t* call) {
    return {hex(call->color), hex(call->color), {}};
}
Colours coloursOf(wmfDrawText_t* call) {
    return {hex(*WMF_DC_TEXTCOLOR(call->dc)), hex(*WMF_DC_TEXTCOLOR(call->dc)),
            hex(*WMF_DC_BACKGROUND(call->dc))};
}

// The SVG text as libwmf writes it, and which part each drawing call wrote.
struct Recorder {
    struct Span {
        qsizetype start, end;
        Colours colours;
    };
    QByteArray svg;
    std::vector<Span> spans;
    wmfFunctionReference device{};
};

int append(char* text, void* context) {
    static_cast<Recorder*>(context)->svg.append(text);
    return 0;
}
int restart(void* context) {
    static_cast<Recorder*>(context)->svg.clear();
    return 0;
}

// Text arrives raw: "<", "&" and the like are escaped here.
void escapeText(Recorder& r, qsizetype start) {
    const qsizetype open = r.svg.indexOf("\t>", start);
    const qsizetype close = r.svg.lastIndexOf("</text>");
    if (open < 0 || close < open + 2) return;
    QByteArray text = r.svg.mid(open + 2, close - open - 2);
    text.replace('&', "&amp;").replace('<', "&lt;").replace('>', "&gt;");
    r.svg.replace(open + 2, close - open - 2, text);
}

template <auto Member, class Call> void watched(wmfAPI* api, Call* call) {
    Recorder& r = *static_cast<Recorder*>(api->user_data);
    const qsizetype start = r.svg.size();
    (r.device.*Member)(api, call);
    if constexpr (std::is_same_v<Call, wmfDrawText_t>) escapeText(r, start);
    r.spans.push_back({start, r.svg.size(), coloursOf(call)});
}

void watchDrawing(wmfAPI* api, Recorder& r) {
    auto* f = static_cast<wmfFunctionReference*>(api->function_reference);
    r.device = *f;
    api->user_data = &r;
    using F = wmfFunctionReference;
    // Only the calls the device has are watched; the others stay empty.
    auto watch = [](auto& slot, auto replacement) {
        if (slot) slot = replacement;
    };
    watch(f->flood_interior, watched<&F::flood_interior, wmfFlood_t>);
    watch(f->flood_exterior, watched<&F::flood_exterior, wmfFlood_t>);
    watch(f->draw_pixel, watched<&F::draw_pixel, wmfDrawPixel_t>);
    watch(f->draw_pie, watched<&F::draw_pie, wmfDrawArc_t>);
    watch(f->draw_chord, watched<&F::draw_chord, wmfDrawArc_t>);
    watch(f->draw_arc, watched<&F::draw_arc, wmfDrawArc_t>);
    watch(f->draw_ellipse, watched<&F::draw_ellipse, wmfDrawArc_t>);
    watch(f->draw_line, watched<&F::draw_line, wmfDrawLine_t>);
    watch(f->poly_line, watched<&F::poly_line, wmfPolyLine_t>);
    watch(f->draw_polygon, watched<&F::draw_polygon, wmfPolyLine_t>);
    watch(f->draw_polypolygon, watched<&F::draw_polypolygon, wmfPolyPoly_t>);
    watch(f->draw_rectangle, watched<&F::draw_rectangle, wmfDrawRectangle_t>);
    watch(f->rop_draw, watched<&F::rop_draw, wmfROP_Draw_t>);
    watch(f->draw_text, watched<&F::draw_text, wmfDrawText_t>);
    watch(f->region_frame, watched<&F::region_frame, wmfPolyRectangle_t>);
    watch(f->region_paint, watched<&F::region_paint, wmfPolyRectangle_t>);
}

// Puts the exact colours into "fill:" and "stroke:" of one call's elements
// ("none" stays); in a text call, only the text element takes the text colour.
QByteArray recoloured(const QByteArray& part, const Colours& c) {
    QByteArray out;
    out.reserve(part.size() + 32);
    bool inText = false;
    for (qsizetype i = 0; i < part.size();) {
        if (part[i] == '<') inText = part.mid(i, 5) == "<text";
        const bool fill = part.mid(i, 5) == "fill:";
        const bool stroke = !fill && part.mid(i, 7) == "stroke:";
        if (!fill && !stroke) {
            out += part[i++];
            continue;
        }
        const qsizetype value = i + (fill ? 5 : 7);
        qsizetype end = value;
        while (end < part.size() && part[end] != ';' && part[end] != '"')
            ++end;
        const QByteArray old = part.mid(value, end - value).trimmed();
        const QByteArray& exact =
            stroke ? c.stroke : (inText || c.background.isEmpty() ? c.fill : c.background);
        out += part.mid(i, value - i);
        out += old == "none" || exact.isEmpty() ? old : exact;
        i = end;
    }
    return out;
}

QByteArray repaired(const Recorder& r) {
    QByteArray svg;
    qsizetype done = 0;
    for (const Recorder::Span& s : r.spans) {
        if (s.start < done || s.end > r.svg.size()) continue;
        svg += r.svg.mid(done, s.start - done);
        svg += recoloured(r.svg.mid(s.start, s.end - s.start), s.colours);
        done = s.end;
    }
    svg += r.svg.mid(done);
    // A metafile's fills are opaque: the background mode only concerns hatch
    // and text backgrounds, which libwmf does not draw.
    svg.replace("fill-opacity:0.5;", "fill-opacity:1.0;");
    // Metafile text is single-byte (the ANSI code page, ISO-8859-1 here).
    return QString::fromLatin1(svg).toUtf8();
}

uint16_t wordAt(const QByteArray& bytes, qsizetype at) {
    return uint16_t(uchar(bytes[at]) | uchar(bytes[at + 1]) << 8);
}
uint32_t numberAt(const QByteArray& bytes, qsizetype at) {
    return wordAt(bytes, at) | uint32_t(wordAt(bytes, at + 2)) << 16;
}

// Where the bitmap of a record that carries one starts within its parameters;
// the two blits carry none when the record has just their own words.
struct BitmapRecord {
    uint16_t function;
    qsizetype bitmapAt;
    bool mayHaveNone;
};
constexpr BitmapRecord BitmapRecords[] = {
    {0x0F43, 22, false}, // StretchDIB
    {0x0B41, 20, true},  // DIBStretchBlt
    {0x0940, 16, true},  // DIBBitBlt
    {0x0142, 4, false},  // DIBCreatePatternBrush
    {0x0D33, 18, false}, // SetDIBitsToDevice
};

// libwmf allocates a bitmap by its declared size and then reads it pixel by
// pixel, for minutes, whatever the record holds: a bitmap must be of a size
// that can be shown and, when uncompressed, have its pixels in the record.
bool bitmapFits(const QByteArray& bytes, qsizetype at, qsizetype end) {
    if (end - at < 12) return false;
    const uint32_t header = numberAt(bytes, at);
    // The OS/2 header has 16-bit sides and no compression.
    const bool os2 = header == 12;
    if (!os2 && (header < 40 || end - at < 40)) return false;
    const int64_t width =
        os2 ? wordAt(bytes, at + 4) : std::abs(int64_t(int32_t(numberAt(bytes, at + 4))));
    const int64_t height =
        os2 ? wordAt(bytes, at + 6) : std::abs(int64_t(int32_t(numberAt(bytes, at + 8))));
    const uint16_t bits = wordAt(bytes, at + (os2 ? 10 : 14));
    const uint32_t compression = os2 ? 0 : numberAt(bytes, at + 16);
    const bool knownDepth =
        bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
    if (width * height > MaxPixels || !knownDepth || compression > 3) return false;
    if (compression == 1 || compression == 2) return true; // run lengths: read up to the end
    const int64_t stride = (width * bits + 31) / 32 * 4;
    return stride * height <= end - at - header;
}

// libwmf sizes its record buffer by the header's largest record before it reads
// any record, so a damaged header makes it ask for gigabytes: the header must
// fit the file. (A placeable header of 22 bytes may stand before it.) Then the
// bitmaps of the records that fit the file are checked.
void checkRecords(const QByteArray& bytes) {
    const qsizetype start = bytes.startsWith("\xd7\xcd\xc6\x9a") ? 22 : 0;
    if (bytes.size() < start + 18) throw DecodeError("the file ends too early");
    const uint32_t largestRecord = numberAt(bytes, start + 12);
    if (wordAt(bytes, start + 2) != 9 || largestRecord < 3 ||
        largestRecord > uint64_t(bytes.size() - start - 18) / 2)
        throw DecodeError("the records are damaged");
    for (qsizetype at = start + 18; bytes.size() - at >= 6;) {
        const uint64_t words = numberAt(bytes, at);
        const uint16_t function = wordAt(bytes, at + 4);
        if (words < 3 || words > uint64_t(bytes.size() - at) / 2 || function == 0) return;
        const qsizetype end = at + qsizetype(words) * 2;
        for (const BitmapRecord& r : BitmapRecords)
            if (function == r.function &&
                !(r.mayHaveNone && words == uint64_t(function >> 8) + 3u) &&
                !bitmapFits(bytes, at + 6 + r.bitmapAt, end))
                throw DecodeError("a bitmap in it is damaged");
        at = end;
    }
}

// libwmf frees everything it allocated with its API object.
struct WmfApi {
    wmfAPI* api = nullptr;
    ~WmfApi() {
        if (api) wmf_api_destroy(api);
    }
    void check(wmf_error_t error) const {
        if (error != wmf_E_None) throw DecodeError(reasonFor(error));
    }
};

} // namespace

QImage decodeWmf(const QByteArray& bytes) {
    checkRecords(bytes);
    Recorder recorder;
    WmfApi w;
    wmfAPI_Options options{};
    options.function = wmf_svg_function;
    // Messages go to the error report, not to the terminal.
    const unsigned long flags =
        WMF_OPT_FUNCTION | WMF_OPT_IGNORE_NONFATAL | WMF_OPT_NO_ERROR | WMF_OPT_NO_DEBUG;
    if (wmf_api_create(&w.api, flags, &options) != wmf_E_None || !w.api)
        throw DecodeError("the metafile reader cannot start");
    watchDrawing(w.api, recorder);
    // libwmf only reads the buffer, despite the pointer's type.
    QByteArray data = bytes;
    w.check(wmf_mem_open(w.api, reinterpret_cast<unsigned char*>(data.data()), long(data.size())));
    wmfD_Rect box{};
    w.check(wmf_scan(w.api, 0, &box));
    unsigned int width = 0, height = 0;
    w.check(wmf_display_size(w.api, &width, &height, 96, 96));
    if (width == 0 || height == 0) throw DecodeError("the drawing has no size");

    wmfStream stream{&recorder, append, restart};
    wmf_svg_t* device = WMF_SVG_GetData(w.api);
    device->out = &stream;
    device->Description = const_cast<char*>("Quillet");
    device->bbox = box;
    // The declared size only sets the drawing's proportions here; renderSvg
    // draws it at most MaxMetafileSide pixels wide and high.
    device->width = width;
    device->height = height;
    device->flags |= WMF_SVG_INLINE_IMAGES;
    w.check(wmf_play(w.api, 0, &box));
    return renderSvg(repaired(recorder));
}

} // namespace graphics
