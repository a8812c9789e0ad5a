// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "journal/action.h"

#include "io/file.h"
#include "journal/digest.h"

#include <algorithm>
#include <ctime>
#include <iterator>
#include <set>
#include <string>
#include <tuple>
#include <utility>

namespace journal {

namespace {

constexpr char Magic[12] = {'Q', 'u', 'i', 'l', 'l', 'J', 'o', 'u', 'r', 'n', 'a', 'l'};
// A record larger than this is not one the program writes (a tag region is
// below 256 MiB).
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

// What a record's decoder works on: the action so far, and where the record
// lies in the file.
struct Reading {
    Action& action;
    uint64_t at;     // the record's header
    uint64_t length; // its payload's length
};

Entry& entryAt(Action& action, uint32_t i) {
    if (i >= action.entries.size()) throw Damaged("an after-record of no file");
    return action.entries[i];
}

void beforeEnd(const Action& action) {
    if (action.ended) throw Damaged("records after the end");
}

void addEntry(Action& action, Entry entry) {
    beforeEnd(action);
    action.entries.push_back(std::move(entry));
    action.marks.emplace_back();
}

void decodeBegin(Decoder& d, Reading& r) {
    if (r.action.begun) throw Damaged("a second beginning");
    r.action.begun = true;
    const uint8_t kind = d.u8();
    if (kind < uint8_t(Kind::Write) || kind > uint8_t(Kind::Trash))
        throw Damaged("an unknown kind of action");
    r.action.kind = Kind(kind);
    r.action.time = d.i64();
}

void decodeBlob(Decoder& d, Reading& r) {
    beforeEnd(r.action);
    if (r.length < 8) throw Damaged("a blob without its key");
    const uint64_t key = d.u64();
    r.action.blobs[{key, r.length - 8}] = r.at + RecordHeaderSize + 8;
}

void decodePieces(Decoder& d, const Action& action, Change& c) {
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
}

// The blocks of a region written in place, as runs of equal values.
void encodeBlocks(Encoder& e, const std::vector<uint32_t>& blocks) {
    std::vector<std::pair<uint32_t, uint32_t>> runs;
    for (uint32_t b : blocks) {
        if (!runs.empty() && runs.back().second == b)
            ++runs.back().first;
        else
            runs.emplace_back(1, b);
    }
    e.u32(static_cast<uint32_t>(runs.size()));
    for (const auto& [count, value] : runs) {
        e.u32(count);
        e.u32(value);
    }
}

std::vector<uint32_t> decodeBlocks(Decoder& d, uint64_t expected) {
    std::vector<uint32_t> blocks;
    const uint32_t runs = d.u32();
    for (uint32_t i = 0; i < runs; ++i) {
        const uint32_t count = d.u32();
        const uint32_t value = d.u32();
        if (count == 0 || count > expected - blocks.size())
            throw Damaged("blocks beyond the region");
        blocks.insert(blocks.end(), count, value);
    }
    if (blocks.size() != expected && !blocks.empty()) throw Damaged("blocks short of the region");
    return blocks;
}

uint64_t blockCount(uint64_t length) {
    return (length + BlockSize - 1) / BlockSize;
}

void decodeChangeRecord(Decoder& d, Reading& r) {
    Action& action = r.action;
    if (action.kind == Kind::Rename || action.kind == Kind::Trash)
        throw Damaged("a change in a rename run");
    Change c;
    c.path = d.str();
    c.before = decodeStat(d);
    std::tie(c.trailerTouched, c.oldTrailerPresent) = decodeFlags(d, "change");
    c.headLength = d.u64();
    decodePieces(d, action, c);
    const uint64_t trailerBytes = c.trailerTouched && c.oldTrailerPresent ? 128 : 0;
    if (c.headLength + trailerBytes > c.before.size) throw Damaged("a region beyond the file");
    if (c.oldTrailerPresent) {
        if (!c.trailerTouched) throw Damaged("a trailer kept for an untouched trailer");
        c.oldTrailer = decodeTrailer(d);
    }
    c.newHeadLength = d.u64();
    c.newHeadHash = d.u64();
    if (c.trailerTouched) c.newTrailer = decodeTrailer(d);
    if (action.version >= 2) c.newBlocks = decodeBlocks(d, blockCount(c.headLength));
    addEntry(action, std::move(c));
}

void decodeAfter(Decoder& d, Reading& r) {
    beforeEnd(r.action);
    const uint32_t i = d.u32();
    auto* c = std::get_if<Change>(&entryAt(r.action, i));
    if (!c || c->after || !r.action.pending(i)) throw Damaged("a misplaced after-record");
    After a;
    a.stat = decodeStat(d);
    std::tie(a.headNew, a.trailerNew) = decodeFlags(d, "after");
    a.newHeadHash = d.u64();
    c->after = a;
}

void decodeRename(Decoder& d, Reading& r) {
    if (r.action.kind != Kind::Rename && r.action.kind != Kind::Trash)
        throw Damaged("a rename in a write");
    Rename n;
    n.folder = d.str();
    n.oldName = d.str();
    n.device = d.u64();
    n.inode = d.u64();
    addEntry(r.action, std::move(n));
}

void decodeRenamed(Decoder& d, Reading& r) {
    beforeEnd(r.action);
    auto* n = std::get_if<Rename>(&entryAt(r.action, d.u32()));
    if (!n || n->newName) throw Damaged("a misplaced after-record");
    n->newName = d.str();
}

void decodeWithdrawn(Decoder& d, Reading& r) {
    beforeEnd(r.action);
    const uint32_t i = d.u32();
    const auto* c = std::get_if<Change>(&entryAt(r.action, i));
    if (!c || c->after || !r.action.pending(i)) throw Damaged("a misplaced withdrawal");
    r.action.marks[i].how = Mark::How::Withdrawn;
}

void decodeEnd(Decoder& d, Reading& r) {
    beforeEnd(r.action);
    if (d.u32() != r.action.entries.size()) throw Damaged("an end that counts otherwise");
    r.action.ended = true;
}

void decodeUndone(Decoder& d, Reading& r) {
    Action& action = r.action;
    if (!action.ended) throw Damaged("an undo of an action that did not end");
    d.i64();
    if (action.version < 2) {
        // The first format's undo put back every file or none.
        for (Mark& m : action.marks)
            if (m.how == Mark::How::Pending) m.how = Mark::How::PutBack;
        return;
    }
    const uint32_t count = d.u32();
    for (uint32_t k = 0; k < count; ++k) {
        const uint32_t i = d.u32();
        const uint8_t how = d.u8();
        if (i >= action.entries.size() || !action.pending(i) ||
            (how != uint8_t(Mark::How::PutBack) && how != uint8_t(Mark::How::Passed)))
            throw Damaged("a misplaced undo mark");
        Mark& m = action.marks[i];
        m.how = Mark::How(how);
        m.device = d.u64();
        m.inode = d.u64();
    }
}

using RecordDecoder = void (*)(Decoder&, Reading&);

// One decoder per record type, in the order of RecordType.
constexpr RecordDecoder Decoders[] = {decodeBegin, decodeBlob,   decodeChangeRecord,
                                      decodeAfter, decodeRename, decodeRenamed,
                                      decodeEnd,   decodeUndone, decodeWithdrawn};
static_assert(std::size(Decoders) == size_t(RecordType::Withdrawn));

} // namespace

std::string_view kindName(Kind kind) {
    switch (kind) {
    case Kind::Write:
        return "write";
    case Kind::Kill:
        return "kill";
    case Kind::Rename:
        return "rename";
    case Kind::Trash:
        return "trash";
    }
    return "?";
}

int64_t now() {
    timespec ts{};
    ::clock_gettime(CLOCK_REALTIME, &ts);
    return int64_t{ts.tv_sec} * 1000000000 + ts.tv_nsec;
}

std::string pathBefore(const Entry& entry) {
    if (const auto* c = std::get_if<Change>(&entry)) return c->path;
    const auto& r = std::get<Rename>(entry);
    return r.folder + r.oldName;
}

bool Action::changedFiles() const {
    return std::any_of(marks.begin(), marks.end(),
                       [](const Mark& m) { return m.how != Mark::How::Withdrawn; });
}

bool Action::undone() const {
    return std::none_of(marks.begin(), marks.end(),
                        [](const Mark& m) { return m.how == Mark::How::Pending; });
}

size_t Action::fileCount(bool pendingOnly) const {
    std::set<std::string> paths;
    for (size_t i = 0; i < entries.size(); ++i) {
        if (marks[i].how == Mark::How::Withdrawn || (pendingOnly && !pending(i))) continue;
        paths.insert(pathBefore(entries[i]));
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
    // Framed as frame() does, without a copy of the bytes: only the key is
    // covered by the checksum.
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
    encodeBlocks(e, c.newBlocks);
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

std::vector<uint8_t> encodeWithdrawn(uint32_t entry) {
    Encoder e;
    e.u32(entry);
    return std::move(e.bytes());
}

std::vector<uint8_t> encodeEnd(uint32_t entries) {
    return encodeWithdrawn(entries); // one count, the same shape
}

std::vector<uint8_t> encodeUndone(int64_t time,
                                  const std::vector<std::pair<uint32_t, Mark>>& marks) {
    Encoder e;
    e.i64(time);
    e.u32(static_cast<uint32_t>(marks.size()));
    for (const auto& [entry, mark] : marks) {
        e.u32(entry);
        e.u8(static_cast<uint8_t>(mark.how));
        e.u64(mark.device);
        e.u64(mark.inode);
    }
    return std::move(e.bytes());
}

Action readAction(const io::File& file, bool open) {
    Action action;
    action.path = file.path();
    const uint64_t size = file.size();
    action.bytes = size;
    uint8_t pre[PreambleSize];
    const size_t got = file.readAt(pre, sizeof pre, 0);
    const auto expected = preamble();
    if (got < sizeof pre) {
        // Cut short by a crash as it was made: an action that never began.
        if (open && std::equal(pre, pre + got, expected.begin())) return action;
        throw Damaged("not an undo journal");
    }
    if (!std::equal(std::begin(Magic), std::end(Magic), pre)) throw Damaged("not an undo journal");
    action.version = Decoder({pre + sizeof Magic, 4}).u32();
    if (action.version < FirstFormatVersion || action.version > FormatVersion)
        throw OtherVersion("from another version of the program");

    // Where a record is cut short or its checksum fails: the tail a crash
    // left in an open action (the first format could leave one in any action
    // that never ended), damage anywhere else. Nothing after it is read, so
    // reading costs no more than the records before it.
    auto tail = [&](const char* why) {
        if (open || (action.version < 2 && !action.ended)) return;
        throw Damaged(why);
    };
    std::vector<uint8_t> payload;
    for (uint64_t at = PreambleSize; at < size;) {
        uint8_t header[RecordHeaderSize];
        if (size - at < RecordHeaderSize) {
            tail("a record cut short");
            break;
        }
        file.readExactAt(header, sizeof header, at);
        Decoder h({header, sizeof header});
        const uint32_t length = h.u32();
        const uint8_t type = h.u8();
        const uint32_t reserved = uint32_t{h.u8()} | h.u8() | h.u8();
        const uint64_t sum = h.u64();
        if (length > MaxRecord || length > size - at - RecordHeaderSize) {
            tail("a record cut short");
            break;
        }
        const bool blob = type == uint8_t(RecordType::Blob);
        const size_t read = blob ? std::min<size_t>(length, 8) : length;
        payload.resize(read);
        file.readExactAt(payload.data(), read, at + RecordHeaderSize);
        if (reserved != 0 || checksum(at, {header, 8}, payload) != sum) {
            tail("a record whose checksum does not match");
            break;
        }
        if (type == 0 || type > std::size(Decoders)) throw Damaged("an unknown record");
        if (!action.begun && type != uint8_t(RecordType::Begin)) throw Damaged("no beginning");
        Decoder d(payload);
        Reading r{action, at, length};
        Decoders[type - 1](d, r);
        if (!blob) d.expectEnd();
        at += RecordHeaderSize + length;
        action.validEnd = at;
    }
    if (!action.begun && !open && action.version >= 2) throw Damaged("no beginning");
    return action;
}

} // namespace journal
