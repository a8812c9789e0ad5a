// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "tagengine/keptframes.h"

#include "io/file.h"
#include "io/ioerror.h"
#include "tagengine/framereader.h"
#include "tagengine/tagheader.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace kept {

namespace {
// Frame headers and texts are read through a small window: the frames a scan
// keeps as they stand, pictures above all, are never read.
constexpr size_t ScanWindow = 4096;
} // namespace

Scan scan(const io::File& file, uint64_t regionEnd) {
    Scan out;
    if (regionEnd < tag::TagHeaderSize) return out;
    tag::ByteBuffer buffer;
    buffer.resizeForOverwrite(static_cast<size_t>(std::min<uint64_t>(ScanWindow, regionEnd)));
    file.readExactAt(buffer.data(), buffer.size(), 0);
    const tag::TagHeader header = tag::parseTagHeader(buffer.data());
    if (!header.present) return out;
    if (!header.readable()) throw io::TagError(tag::unreadableMessage(header));
    tag::TagBytes bytes(file, regionEnd, buffer, ScanWindow);
    // The record a scan fills holds nothing it keeps: one serves every scan.
    thread_local auto result = std::make_unique<tag::ReaderResult>();
    const std::string noFolder;
    tag::ReadContext ctx{bytes,    std::min<uint64_t>(regionEnd, 10 + uint64_t{header.size}),
                         noFolder, *result,
                         header,   false};
    tag::walkFrames(ctx);
    out.frames = std::move(result->kept);
    out.dropped = std::move(result->dropped);
    return out;
}

uint8_t* put(const KeptFrame& frame, const io::File& file, uint8_t* out) {
    std::memcpy(out, frame.header.data(), frame.header.size());
    out += frame.header.size();
    if (frame.size == 0) return out; // an empty store has no bytes to point at
    if (frame.store)
        std::memcpy(out, frame.store->data() + frame.data, frame.size);
    else
        file.readExactAt(out, frame.size, frame.data);
    return out + frame.size;
}

} // namespace kept
