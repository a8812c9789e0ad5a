// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "journal/action.h"

#include "io/file.h"
#include "journal/digest.h"

#include <algorithm>
#include <set>
#include <string>
#include <tuple>
#include <utility>

namespace journal {

namespace {

constexpr char Magic[12] = {'Q', 'u', 'i', 'l', 'l', 'J', 'o', 'u', 'r', 'n', 'a', 'l'};
// A record larger than this is not one the program writes (a tag region is
// below 256 MiB); its length field is taken as damage, not as a torn tail.
constexpr uint64_t MaxRecord = uint64_t{1} << 30;

uint64_t checksum(uint64_t at, std::span<const uint8_t> head8, std::span<const uint8_t> covered) {
    Digest64 d(at);
    d.update(head8);
    d.update(covered);
    return d.digest();
}

// A record's two yes-or-no facts in one byte: the first in bit 0, the second
// in bit 1 (a change: trailer touched, old trailer present; an after-record:
// new head, new trailer). Any other bit is damage.
void encodeFlags(Encoder& e, bool first, bool second) {
    e.u8(static_cast<uint8_t>((first ? 1 : 0) | (second ? 2 : 0)));
}
std::pair<bool, bool> decodeFlags(Decoder& d, const char* record) {
    const uint8_t flags = d.u8();
    if (flags & ~3u) throw Damaged(std::string("unknown ") + record + " flags");
    return {(flags & 1) != 0, (flags & 2) != 0};
}

void encodeStat(Encoder& e, const FileStat& s) {
    e.u64(s.device);
    e.u64(s.inode);
    e.u64(s.size);
    e.i64(s.mtime);
}

FileStat decodeStat(Decoder& d) {
    FileStat s;
    s.device = d.u64();
    s.inode = d.u64();
    s.size = d.u64();
    s.mtime = d.i64();
    return s;
}

Trailer decodeTrailer(Decoder& d) {
    Trailer t;
    const auto b = d.raw(t.size());
    std::copy(b.begin(), b.end(), t.begin());
    return t;
}

Change decodeChange(Decoder& d, const Action& action) {
    Change c;
    c.path = d.str();
    c.before = decodeStat(d);
    std::tie(c.trailerTouched, c.oldTrailerPresent) = decodeFlags(d, "change");
    c.headLength = d.u64();
    const uint32_t pieces = d.u32();
    uint64_t total = 0;
    for (uint32_t i = 0; i < pieces; ++i) {
        Piece p;
        const uint8_t type = d.u8();
        if (type > uint8_t(Piece::Type::Zeros)) throw Damaged("unknown piece");
        p.type = Piece::Type(type);
        p.length = d.u64();
        if (p.type == Piece::Type::Literal) {
            const auto bytes = d.raw(p.length);
            p.at = c.literals.size();
            c.literals.insert(c.literals.end(), bytes.begin(), bytes.end());
        } else if (p.type == Piece::Type::Blob) {
            p.key = d.u64();
            if (!action.blobs.count({p.key, p.length})) throw Damaged("a piece names no blob");
        }
        if (p.length > c.headLength - total) throw Damaged("pieces longer than the region");
        total += p.length;
        c.head.push_back(p);
    }
    if (total != c.headLength) throw Damaged("pieces shorter than the region");
    const uint64_t trailerBytes = c.trailerTouched && c.oldTrailerPresent ? 128 : 0;
    if (c.headLength + trailerBytes > c.before.size) throw Damaged("a region beyond the file");
    if (c.oldTrailerPresent) {
        if (!c.trailerTouched) throw Damaged("a trailer kept for an untouched trailer");
        c.oldTrailer = decodeTrailer(d);
    }
    c.newHeadLength = d.u64();
    c.newHeadHash = d.u64();
    if (c.trailerTouched) c.newTrailer = decodeTrailer(d);
    return c;
}

// Where a record's checksum fails: a tail cut short by a crash when it is the
// last record or nothing but zero bytes follows it (space the file system gave
// the file but never filled before a power loss); damage otherwise.
bool onlyZerosFrom(const io::File& file, uint64_t from, uint64_t size) {
    std::vector<uint8_t> block(64 * 1024);
    for (uint64_t at = from; at < size;) {
        const size_t n = file.readAt(block.data(), std::min<uint64_t>(block.size(), size - at), at);
        if (n == 0) break;
        if (std::any_of(block.begin(), block.begin() + static_cast<std::ptrdiff_t>(n),
                        [](uint8_t b) { return b != 0; }))
            return false;
        at += n;
    }
    return true;
}

} // namespace

std::string_view kindName(Kind kind) {
    switch (kind) {
    case Kind::Write:
        return "write";
    case Kind::Kill:
        return "kill";
    case Kind::Rename:
        return "rename";
    }
    return "?";
}

size_t Action::fileCount() const {
    std::set<std::string> paths;
    for (const Entry& e : entries) {
        if (const auto* c = std::get_if<Change>(&e))
            paths.insert(c->path);
        else
            paths.insert(std::get<Rename>(e).folder + std::get<Rename>(e).oldName);
    }
    return paths.size();
}

std::vector<uint8_t> preamble() {
    Encoder e;
    e.raw({reinterpret_cast<const uint8_t*>(Magic), sizeof Magic});
    e.u32(FormatVersion);
    return std::move(e.bytes());
}

void frame(std::vector<uint8_t>& out, uint64_t at, RecordType type,
           std::span<const uint8_t> payload, size_t covered) {
    Encoder h;
    h.u32(static_cast<uint32_t>(payload.size()));
    h.u8(static_cast<uint8_t>(type));
    h.u8(0), h.u8(0), h.u8(0);
    h.u64(checksum(at, h.bytes(), payload.first(covered)));
    out.insert(out.end(), h.bytes().begin(), h.bytes().end());
    out.insert(out.end(), payload.begin(), payload.end());
}

void frameBlob(std::vector<uint8_t>& out, uint64_t at, uint64_t key,
               std::span<const uint8_t> bytes) {
    Encoder h;
    h.u32(static_cast<uint32_t>(8 + bytes.size()));
    h.u8(static_cast<uint8_t>(RecordType::Blob));
    h.u8(0), h.u8(0), h.u8(0);
    Encoder k;
    k.u64(key);
    h.u64(checksum(at, h.bytes(), k.bytes()));
    out.insert(out.end(), h.bytes().begin(), h.bytes().end());
    out.insert(out.end(), k.bytes().begin(), k.bytes().end());
    out.insert(out.end(), bytes.begin(), bytes.end());
}

std::vector<uint8_t> encodeChange(const Change& c, std::span<const uint8_t> literals) {
    Encoder e;
    e.str(c.path);
    encodeStat(e, c.before);
    encodeFlags(e, c.trailerTouched, c.oldTrailerPresent);
    e.u64(c.headLength);
    e.u32(static_cast<uint32_t>(c.head.size()));
    for (const Piece& p : c.head) {
        e.u8(static_cast<uint8_t>(p.type));
        e.u64(p.length);
        if (p.type == Piece::Type::Literal)
            e.raw(literals.subspan(p.at, static_cast<size_t>(p.length)));
        else if (p.type == Piece::Type::Blob)
            e.u64(p.key);
    }
    if (c.oldTrailerPresent) e.raw(c.oldTrailer);
    e.u64(c.newHeadLength);
    e.u64(c.newHeadHash);
    if (c.trailerTouched) e.raw(c.newTrailer);
    return std::move(e.bytes());
}

std::vector<uint8_t> encodeAfter(uint32_t entry, const After& a) {
    Encoder e;
    e.u32(entry);
    encodeStat(e, a.stat);
    encodeFlags(e, a.headNew, a.trailerNew);
    e.u64(a.newHeadHash);
    return std::move(e.bytes());
}

Action readAction(const io::File& file) {
    Action action;
    action.path = file.path();
    const uint64_t size = file.size();
    action.bytes = size;
    uint8_t pre[PreambleSize];
    const size_t got = file.readAt(pre, sizeof pre, 0);
    const auto expected = preamble();
    if (got < sizeof pre) {
        // Cut short by a crash as it was made: an action that never began.
        if (std::equal(pre, pre + got, expected.begin())) return action;
        throw Damaged("not an undo journal");
    }
    if (!std::equal(std::begin(Magic), std::end(Magic), pre)) throw Damaged("not an undo journal");
    if (Decoder({pre + sizeof Magic, 4}).u32() != FormatVersion)
        throw OtherVersion("from another version of the program");

    std::vector<uint8_t> payload;
    uint64_t at = PreambleSize;
    bool begun = false;
    while (at < size) {
        uint8_t header[RecordHeaderSize];
        if (size - at < RecordHeaderSize) break; // cut short by a crash
        file.readExactAt(header, sizeof header, at);
        Decoder h({header, sizeof header});
        const uint32_t length = h.u32();
        const auto type = RecordType(h.u8());
        const uint32_t reserved = uint32_t{h.u8()} | h.u8() | h.u8();
        const uint64_t sum = h.u64();
        if (length > MaxRecord) throw Damaged("a record longer than any the program writes");
        if (length > size - at - RecordHeaderSize) break; // cut short by a crash
        const bool blob = type == RecordType::Blob;
        const size_t read = blob ? std::min<size_t>(length, 8) : length;
        payload.resize(read);
        file.readExactAt(payload.data(), read, at + RecordHeaderSize);
        if (reserved != 0 || checksum(at, {header, 8}, payload) != sum) {
            if (onlyZerosFrom(file, at + RecordHeaderSize + length, size)) break;
            throw Damaged("a record whose checksum does not match");
        }
        Decoder d(payload);
        if (!begun && type != RecordType::Begin) throw Damaged("no beginning");
        if (action.undone) throw Damaged("records after the undo");
        if (action.ended && type != RecordType::Undone) throw Damaged("records after the end");
        auto entryAt = [&](uint32_t i) -> Entry& {
            if (i >= action.entries.size()) throw Damaged("an after-record of no file");
            return action.entries[i];
        };
        switch (type) {
        case RecordType::Begin: {
            if (begun) throw Damaged("a second beginning");
            begun = true;
            const uint8_t kind = d.u8();
            if (kind < uint8_t(Kind::Write) || kind > uint8_t(Kind::Rename))
                throw Damaged("an unknown kind of action");
            action.kind = Kind(kind);
            action.time = d.i64();
            break;
        }
        case RecordType::Blob: {
            if (length < 8) throw Damaged("a blob without its key");
            const uint64_t key = d.u64();
            action.blobs[{key, length - 8}] = at + RecordHeaderSize + 8;
            break;
        }
        case RecordType::Change:
            if (action.kind == Kind::Rename) throw Damaged("a change in a rename run");
            action.entries.emplace_back(decodeChange(d, action));
            break;
        case RecordType::After: {
            auto* c = std::get_if<Change>(&entryAt(d.u32()));
            if (!c || c->after) throw Damaged("a misplaced after-record");
            After a;
            a.stat = decodeStat(d);
            std::tie(a.headNew, a.trailerNew) = decodeFlags(d, "after");
            a.newHeadHash = d.u64();
            c->after = a;
            break;
        }
        case RecordType::Rename: {
            if (action.kind != Kind::Rename) throw Damaged("a rename in a write");
            Rename r;
            r.folder = d.str();
            r.oldName = d.str();
            r.device = d.u64();
            r.inode = d.u64();
            action.entries.emplace_back(std::move(r));
            break;
        }
        case RecordType::Renamed: {
            auto* r = std::get_if<Rename>(&entryAt(d.u32()));
            if (!r || r->newName) throw Damaged("a misplaced after-record");
            r->newName = d.str();
            break;
        }
        case RecordType::End:
            if (d.u32() != action.entries.size()) throw Damaged("an end that counts otherwise");
            action.ended = true;
            break;
        case RecordType::Undone:
            d.i64();
            action.undone = true;
            break;
        default:
            throw Damaged("an unknown record");
        }
        if (!blob) d.expectEnd();
        at += RecordHeaderSize + length;
        action.validEnd = at;
    }
    // A file cut short before its first record is an action that never began.
    return action;
}

} // namespace journal
