// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include "journal/action.h"

#include <deque>
#include <optional>
#include <span>
#include <unordered_map>
#include <vector>

namespace io {
class File;
}

// The two images of a changed file: what it held before the action and what
// the action planned, and which of them a file holds now.
namespace journal {

// Frames at least this long are kept as blobs, once per action: the cover of
// an album is the same frame in every file of it.
inline constexpr uint64_t BlobMinimum = 4096;

// The keys (XXH64) of large frames. A frame met again (the cover of an album is
// the same frame in every file of it, before and after a "Write for all") is
// recognised by comparing its bytes with a copy kept of it, which costs a
// fraction of hashing them again. The copies are bounded; the oldest go first.
class BlobKeys {
public:
    uint64_t key(std::span<const uint8_t> bytes);

private:
    struct Seen {
        std::vector<uint8_t> bytes;
        uint64_t key;
    };
    static constexpr size_t Limit = 16 << 20;
    std::unordered_multimap<size_t, Seen> m_seen;    // by length
    std::deque<std::pair<size_t, uint64_t>> m_order; // length and key, oldest first
    size_t m_total = 0;
};

// Splits a tag region into the pieces the journal keeps: large frames of an
// ID3v2 tag as blobs (their key is filled in), the zero bytes that end the
// region as a run, the rest as literals (at is the offset in region). Any
// split gives back the same bytes; the frames only decide where to cut.
std::vector<Piece> splitRegion(std::span<const uint8_t> region, BlobKeys& keys);

// The hash of a tag region, over its pieces (a blob by its key): the same
// bytes give the same digest, and a large frame met before costs a comparison.
uint64_t regionDigest(std::span<const uint8_t> region, BlobKeys& keys);
// The digest of a region of start and then zeros zero bytes, in which start
// holds no frame (a blanked tag: its header, then nothing but zeros).
uint64_t blankRegionDigest(std::span<const uint8_t> start, uint64_t zeros);

// Which image each part of a file holds. A trailer the action does not touch
// counts as Old.
enum class Image : uint8_t { Old, New };
struct State {
    Image head;
    Image trailer;
    bool operator==(const State&) const = default;
};

// The state of a file of size bytes open as file, for change (oldHead is the
// region as it was): each part as the change found it or as it planned it, at
// the length that part then has. Empty when the file holds anything else.
// New images are tried first, so a write that changed nothing counts as done.
std::optional<State> findState(const io::File& file, uint64_t size, const Change& change,
                               std::span<const uint8_t> oldHead, BlobKeys& keys);

// The file's identity and change facts, from an open file.
FileStat statOf(const io::File& file);
FileStat statOf(const std::string& path);
// The same for the name itself, a symbolic link not followed (what a rename moves).
FileStat linkStatOf(const std::string& path);

} // namespace journal
