// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
// Enhanced metafiles through libemf2svg, drawn with Qt Svg.
#include "graphics/decoders.h"

#include <cstdint>
#include <cstdlib>
#include <emf2svg.h>
#include <memory>

namespace graphics {

namespace {

uint32_t numberAt(const QByteArray& bytes, qsizetype at) {
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = value << 8 | uchar(bytes[at + i]);
    return value;
}

constexpr uint32_t EndOfFile = 14; // EMR_EOF

// The header's description is two texts of 16-bit characters, each ending in
// a zero, that libemf2svg reads up to their zeros wherever the header says they
// are: both zeros must be inside the header record.
bool descriptionFits(const QByteArray& bytes, uint64_t header) {
    const uint64_t chars = numberAt(bytes, 60), at = numberAt(bytes, 64);
    if (at == 0 && chars == 0) return true;
    if (at < 88 || at % 2 != 0 || at + 2 * chars > header) return false;
    int zeros = 0;
    for (uint64_t i = at; i + 1 < header && zeros < 2; i += 2)
        zeros += bytes[qsizetype(i)] == 0 && bytes[qsizetype(i + 1)] == 0;
    return zeros == 2;
}

// libemf2svg trusts the header's description and each record's size and reads
// past the file where they point outside it, so both must fit the file first.
void checkRecords(const QByteArray& bytes) {
    const uint64_t size = uint64_t(bytes.size());
    if (size < 88 || numberAt(bytes, 0) != 1) throw DecodeError("the records are damaged");
    const uint64_t header = numberAt(bytes, 4);
    if (header < 88 || header > size || !descriptionFits(bytes, header))
        throw DecodeError("the records are damaged");
    for (uint64_t at = 0; at < size;) {
        if (size - at < 8) throw DecodeError("the file ends too early");
        const uint64_t record = numberAt(bytes, qsizetype(at + 4));
        if (record < 8 || record % 4 != 0 || record > size - at)
            throw DecodeError("the records are damaged");
        if (numberAt(bytes, qsizetype(at)) == EndOfFile) break; // what follows is not read
        at += record;
    }
}

} // namespace

QImage decodeEmf(const QByteArray& bytes) {
    checkRecords(bytes);
    generatorOptions options{};
    options.nameSpace = const_cast<char*>("");
    options.verbose = false;
    options.emfplus = true;
    options.svgDelimiter = true;
    char* out = nullptr;
    size_t length = 0;
    // libemf2svg takes a writable pointer but only reads the records.
    QByteArray data = bytes;
    const int ok = emf2svg(data.data(), size_t(data.size()), &out, &length, &options);
    // It hands back what it wrote so far also when it fails.
    const std::unique_ptr<char, decltype(&std::free)> owned(out, &std::free);
    if (!ok || !out || length == 0) throw DecodeError("the records are damaged");
    return renderSvg(QByteArray(out, qsizetype(length)));
}

} // namespace graphics
