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

namespace {

// The walk a scan makes: texts checked, not made, and no picture read.
Scan walk(tag::TagBytes& bytes, const tag::TagHeader& header, uint64_t regionEnd) {
    // The record a scan fills holds nothing it keeps: one serves every scan.
    thread_local auto result = std::make_unique<tag::ReaderResult>();
    const std::string noFolder;
    tag::ReadContext ctx{bytes,    std::min<uint64_t>(regionEnd, 10 + uint64_t{header.size}),
                         noFolder, *result,
                         header,   false};
    tag::walkFrames(ctx);
    Scan out;
    out.frames = std::move(result->kept);
    out.dropped = std::move(result->dropped);
    return out;
}

} // namespace

Scan scan(const io::File& file, uint64_t regionEnd) {
    if (regionEnd < tag::TagHeaderSize) return {};
    tag::ByteBuffer buffer;
    buffer.resizeForOverwrite(static_cast<size_t>(std::min<uint64_t>(ScanWindow, regionEnd)));
    file.readExactAt(buffer.data(), buffer.size(), 0);
    const tag::TagHeader header = tag::parseTagHeader(buffer.data());
    if (!header.present) return {};
    if (!header.readable()) throw io::TagError(tag::unreadableMessage(header));
    tag::TagBytes bytes(file, regionEnd, buffer, ScanWindow);
    return walk(bytes, header, regionEnd);
}

Scan scan(std::span<const uint8_t> region) {
    if (region.size() < tag::TagHeaderSize) return {};
    const tag::TagHeader header = tag::parseTagHeader(region.data());
    if (!header.present) return {};
    if (!header.readable()) throw io::TagError(tag::unreadableMessage(header));
    tag::TagBytes bytes(region.data(), region.size());
    return walk(bytes, header, region.size());
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

namespace kept {

uint8_t* put(const KeptFrame& frame, std::span<const uint8_t> region, uint8_t* out) {
    std::memcpy(out, frame.header.data(), frame.header.size());
    out += frame.header.size();
    if (frame.size == 0) return out;
    if (!frame.store && frame.data + frame.size > region.size())
        throw io::IoError(io::IoError::ShortRead);
    std::memcpy(out, frame.bytes(region.data()), frame.size);
    return out + frame.size;
}

} // namespace kept
