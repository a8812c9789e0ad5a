#pragma once

#include "journal/action.h"

#include <optional>
#include <span>
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

// Splits an old tag region into the pieces the journal keeps: large frames of
// an ID3v2 tag as blobs (their key is filled in), the zero bytes that end the
// region as a run, the rest as literals (at is the offset in region). Any
// split gives back the same bytes; the frames only decide where to cut.
std::vector<Piece> splitRegion(std::span<const uint8_t> region);

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
                               std::span<const uint8_t> oldHead);

// The file's identity and change facts, from an open file.
FileStat statOf(const io::File& file);
FileStat statOf(const std::string& path);
// The same for the name itself, a symbolic link not followed (what a rename moves).
FileStat linkStatOf(const std::string& path);

} // namespace journal
