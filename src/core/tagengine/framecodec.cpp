// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "tagengine/framecodec.h"

#include "tagengine/syncsafe.h"

#include <cstring>
#include <zlib.h>

namespace framecodec {

void undoUnsync(const uint8_t* p, size_t n, std::vector<uint8_t>& out) {
    const size_t at = out.size();
    out.resize(at + n);
    uint8_t* o = out.data() + at;
    const uint8_t* end = p + n;
    // Copied in runs up to each 0xFF; the zero after one is left out.
    while (p < end) {
        const auto* ff = static_cast<const uint8_t*>(std::memchr(p, 0xFF, size_t(end - p)));
        const uint8_t* stop = ff ? ff + 1 : end;
        std::memcpy(o, p, size_t(stop - p));
        o += stop - p;
        p = stop;
        if (ff && p < end && *p == 0x00) ++p;
    }
    out.resize(static_cast<size_t>(o - out.data()));
}

bool hasUnsyncPair(const uint8_t* p, size_t n) {
    for (size_t i = 0; i + 1 < n; ++i) {
        const void* ff = std::memchr(p + i, 0xFF, n - 1 - i);
        if (!ff) return false;
        i = static_cast<size_t>(static_cast<const uint8_t*>(ff) - p);
        if (p[i + 1] == 0x00) return true;
    }
    return false;
}

std::optional<std::vector<uint8_t>> inflate(const uint8_t* p, size_t n, uint64_t size) {
    // zlib's deflate expands at most about 1032 times.
    if (size >= syncsafe::Limit || size > uint64_t{n} * 1032 + 64) return std::nullopt;
    std::vector<uint8_t> out(static_cast<size_t>(size));
    uLongf got = static_cast<uLongf>(size);
    Bytef none = 0; // zlib wants somewhere to write even for an empty result
    // A stream that would give more than size bytes fails with Z_BUF_ERROR.
    const int status =
        ::uncompress(out.empty() ? &none : out.data(), &got, p, static_cast<uLong>(n));
    if (status != Z_OK || got != size) return std::nullopt;
    return out;
}

} // namespace framecodec
