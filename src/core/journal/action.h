// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include "io/filestat.h"
#include "journal/codec.h"

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace io {
class File;
}

// One action of the undo journal (a write, a kill, a rename run) as it lies
// on disk, and as the program reads it back.
//
// An action is one file: a 16-byte preamble ("QuillJournal" and the format
// version), then records. Each record is a 16-byte header (payload length,
// type, three zero bytes, checksum) and its payload. The checksum is XXH64,
// seeded with the record's offset in the file, over the header's first eight
// bytes and the payload, so a record is valid only where it was written; a
// blob's checksum covers its key, and its bytes are checked against that key
// before they are used. Records are only ever appended, and only while the
// action is open (being recorded or undone): a crash then can cut the last
// one short, and such a tail is left out. In a closed action any fault makes
// the whole action untrusted.
//
// Records, in the order a run writes them: Begin (kind, time); per file a
// Change (a write or kill: what the file held, what is planned) or a Rename
// (folder, old name, device and inode), each written before the file is
// touched, and afterwards an After or a Renamed, or a Withdrawn for a change
// that never touched its file; Blobs (large frames of old tags, stored once
// per action) before the first Change that names them; End when the run
// ends; then an Undone per undo run, naming the files it put back or passed.
namespace journal {

inline constexpr uint32_t FormatVersion = 2;
// Actions of the first format are read too: their changes carry no blocks,
// their Undone stands for every file, and their tail may be torn whenever no
// End was written.
inline constexpr uint32_t FirstFormatVersion = 1;
inline constexpr size_t PreambleSize = 16;
inline constexpr size_t RecordHeaderSize = 16;
// A region written in place is told old or new block by block: a write cut
// short stops between pages, and a page is this size or a multiple of it.
inline constexpr uint64_t BlockSize = 4096;

// A trash action moves files to the desktop's trash: its entries are renames
// with an empty folder, from the file's own path to its path in the trash.
enum class Kind : uint8_t { Write = 1, Kill = 2, Rename = 3, Trash = 4 };
// "write", "kill", "rename", "trash"
std::string_view kindName(Kind kind);

enum class RecordType : uint8_t {
    Begin = 1,
    Blob = 2,
    Change = 3,
    After = 4,
    Rename = 5,
    Renamed = 6,
    End = 7,
    Undone = 8,
    Withdrawn = 9,
};

// The ID3v1.1 trailer, always the last 128 bytes of a file that has one.
using Trailer = std::array<uint8_t, 128>;

using FileStat = io::FileStat;

// A stretch of an old tag region: bytes kept in the record, a blob stored
// once in the action, or a run of zero bytes.
struct Piece {
    enum class Type : uint8_t { Literal = 0, Blob = 1, Zeros = 2 };
    Type type = Type::Literal;
    uint64_t length = 0;
    uint64_t key = 0; // a blob's hash
    // Where the piece starts: in the region while it is recorded, in
    // Change::literals once a literal is read back.
    size_t at = 0;
};

// What a file held after the action, as far as it got.
struct After {
    FileStat stat;
    bool headNew = true;    // the new tag region is in place
    bool trailerNew = true; // the new trailer is in place (when the action writes one)
    uint64_t newHeadHash = 0;
};

// A write or kill of one file: everything before the audio (the ID3v2 tag
// region, empty for a file without one) and, when the action writes one, the
// trailer, before and after. The bytes in between are the audio: never
// changed, only moved when the region changes its length.
struct Change {
    std::string path;
    FileStat before;
    uint64_t headLength = 0;
    std::vector<Piece> head;
    std::vector<uint8_t> literals;
    bool trailerTouched = false;
    bool oldTrailerPresent = false;
    Trailer oldTrailer{};
    uint64_t newHeadLength = 0;
    uint64_t newHeadHash = 0;
    Trailer newTrailer{}; // when trailerTouched
    // A region written in place, per BlockSize of it: 0 for a block the
    // write leaves as it was, else the block's hash (see region.h), so that
    // each block of a file whose write was cut short can be told old or new.
    // Empty for a change that moves the audio (its rename is all or nothing).
    std::vector<uint32_t> newBlocks;
    std::optional<After> after;

    // The audio's length (with an untouched trailer, that too).
    uint64_t audioLength() const {
        return before.size - headLength - (trailerTouched && oldTrailerPresent ? 128 : 0);
    }
    bool inPlace() const { return newHeadLength == headLength; }
};

// One file of a rename run.
struct Rename {
    std::string folder; // ends with "/"
    std::string oldName;
    uint64_t device = 0;
    uint64_t inode = 0;
    std::optional<std::string> newName;
};

using Entry = std::variant<Change, Rename>;

// The name the file of an entry had before the action.
std::string pathBefore(const Entry& entry);

// What became of an entry since the action.
struct Mark {
    enum class How : uint8_t {
        Pending = 0,   // to be undone
        PutBack = 1,   // undone: the file is as before the action
        Passed = 2,    // left alone by an undo: changed since by someone else
        Withdrawn = 3, // the change never touched its file
    };
    How how = How::Pending;
    // The file put back: a later undo of an older action expects this file.
    uint64_t device = 0;
    uint64_t inode = 0;
};

// An action read back from its file.
struct Action {
    std::string path;
    std::string sequence;
    uint32_t version = FormatVersion;
    Kind kind = Kind::Write;
    int64_t time = 0; // nanoseconds since the epoch
    bool begun = false;
    std::vector<Entry> entries;
    std::vector<Mark> marks; // one per entry
    // (key, length) of each blob -> the offset of its bytes in the file.
    std::map<std::pair<uint64_t, uint64_t>, uint64_t> blobs;
    bool ended = false;
    uint64_t validEnd = 0; // the end of the last whole record
    uint64_t bytes = 0;    // the file's size

    bool pending(size_t entry) const { return marks[entry].how == Mark::How::Pending; }
    // Whether it changed any file at all.
    bool changedFiles() const;
    // Nothing left to undo.
    bool undone() const;
    // The number of different files, all or only those still to be undone
    // ("Write for all" writes the edited file twice).
    size_t fileCount(bool pendingOnly = false) const;
};

// A journal file of another format version (a newer program's, say).
class OtherVersion : public Damaged {
public:
    using Damaged::Damaged;
};

// Reads an action file. Raises Damaged (or OtherVersion) for a file that is
// not a journal, is from another version or is damaged; io::IoError when it
// cannot be read. An open action (one that was being recorded or undone)
// may end in a record cut short: that tail is left out.
Action readAction(const io::File& file, bool open);

// The preamble of a new action file.
std::vector<uint8_t> preamble();

// Appends a framed record to out, for the file offset at; covered is how much
// of the payload the checksum covers (all of it but for a blob's bytes).
void frame(std::vector<uint8_t>& out, uint64_t at, RecordType type,
           std::span<const uint8_t> payload, size_t covered);

// Appends a framed blob record.
void frameBlob(std::vector<uint8_t>& out, uint64_t at, uint64_t key,
               std::span<const uint8_t> bytes);

// The payload of a Change; its literal pieces are taken from literals (the
// old region itself while recording, Change::literals once read back).
std::vector<uint8_t> encodeChange(const Change& change, std::span<const uint8_t> literals);
std::vector<uint8_t> encodeAfter(uint32_t entry, const After& after);
std::vector<uint8_t> encodeWithdrawn(uint32_t entry);
// An undo run's marks: (entry, mark) of each file it put back or passed.
std::vector<uint8_t> encodeUndone(int64_t time,
                                  const std::vector<std::pair<uint32_t, Mark>>& marks);
std::vector<uint8_t> encodeEnd(uint32_t entries);

// The time now, in nanoseconds since the epoch.
int64_t now();

} // namespace journal
