// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
// The undo journal's reader on arbitrary files: it never crashes, never
// trusts a record it cannot check, and what it accepts is consistent (every
// region's pieces add up to it, every blob a piece names is there), also when
// a file is then judged against it.
//
// The first byte chooses how the rest is read: an action file as it is, or
// records (each a type byte, a 16-bit little-endian length and the payload)
// that this target frames with valid checksums, so the decoding behind them
// is reached (bit 0); and whether the action is read as one left open by a
// crash, whose last record may be cut short (bit 1).
#include "io/file.h"
#include "io/ioerror.h"
#include "journal/action.h"
#include "journal/state.h"
#include "sandbox.h"

#include <algorithm>

using namespace fuzzing;

namespace {

Bytes framed(const uint8_t* data, size_t size) {
    Bytes file = journal::preamble();
    for (size_t at = 0; at + 3 <= size;) {
        const auto type = journal::RecordType(data[at]);
        const size_t length = std::min<size_t>(data[at + 1] | data[at + 2] << 8, size - at - 3);
        const std::span<const uint8_t> payload(data + at + 3, length);
        at += 3 + length;
        if (type == journal::RecordType::Blob && payload.size() >= 8)
            journal::frameBlob(file, file.size(), journal::Decoder(payload).u64(),
                               payload.subspan(8));
        else
            journal::frame(file, file.size(), type, payload, payload.size());
    }
    return file;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    Sandbox& box = Sandbox::instance();
    box.reset({"journal/"});
    const std::string path = box.path("journal/0000000001.action");
    const Bytes file = data[0] & 1 ? framed(data + 1, size - 1) : Bytes(data + 1, data + size);
    writeFile(path, file.data(), file.size());
    const std::string song = box.path("song.mp3");
    writeFile(song, data, size);

    journal::Action action;
    try {
        action = journal::readAction(io::File(path, io::File::Mode::Read), data[0] & 2);
    } catch (const journal::Damaged&) {
        return 0;
    }
    check(action.validEnd <= file.size(), "whole records beyond the end of the file");
    check(action.marks.size() == action.entries.size(), "an entry without its mark");
    const io::File songFile(song, io::File::Mode::Read);
    for (const journal::Entry& e : action.entries) {
        const auto* c = std::get_if<journal::Change>(&e);
        if (!c) continue;
        uint64_t total = 0;
        for (const journal::Piece& p : c->head) {
            total += p.length;
            if (p.type == journal::Piece::Type::Literal)
                check(p.at + p.length <= c->literals.size(), "a literal beyond its bytes");
            if (p.type == journal::Piece::Type::Blob)
                check(action.blobs.count({p.key, p.length}) == 1, "a piece names no blob");
        }
        check(total == c->headLength, "pieces that do not add up to the region");
        check(c->audioLength() <= c->before.size, "an audio length beyond the file");
        check(c->newBlocks.empty() || c->newBlocks.size() == (c->headLength + 4095) / 4096,
              "blocks that do not cover the region");
        // Judged against a file of the input's bytes: reads stay within it.
        try {
            journal::BlobKeys keys;
            journal::findState(songFile, size, *c, {}, keys);
        } catch (const io::IoError&) {
            check(false, "a judgement read beyond the file");
        }
    }
    return 0;
}
