// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include "io/ioerror.h"
#include "tagengine/tagdata.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

// The writer: turns WriterInput into an ID3v2.4 tag at the start of a file.
//
// The frames of the model come first, then the frames of the file's own tag
// that the model does not hold (see kept), read from the file at the time of
// the write. A frame of that tag the write cannot keep ends the write before
// anything is written, unless the caller allows the loss. Each frame's texts are written in
// ISO-8859-1 when they lie within it, otherwise in UTF-8.
//
// The new tag reuses the old tag's space when its frames fit (the rest stays
// zero padding); otherwise the file's content moves back by a gap of whole
// kibibytes, and the new tag, declaring every byte before the audio, is
// written from byte 0. Everything the write needs
// (picture files included) is read and checked first, and the new bytes are
// assembled in memory, so a failure before the file is written leaves it as it
// was: in place the tag region goes out in one write; a moving write builds the
// whole new file beside the old one and renames it over the old one.
namespace io {
class File;
}

namespace writetag {

// Called with every byte that will stand before the audio once the write is
// done, after all is checked and before the file is touched: the plan an undo
// journal records. What it raises ends the write with the file unchanged.
using BeforeWrite = std::function<void(std::span<const uint8_t> newStart)>;

// Whether a write may drop frames of the file's tag that it cannot keep.
enum class Loss : uint8_t { Refuse, Allow };

// The write would drop frames it cannot keep, and was not allowed to: raised
// before anything is written.
class LossError : public io::TagError {
public:
    explicit LossError(std::vector<std::string> frames);
    const std::vector<std::string>& frames() const { return m_frames; }

private:
    std::vector<std::string> m_frames;
};

// oldRegion is the length of the tag region the last read of fileName found
// (header, frames, padding and footer; used when input.Id3v2present). Raises
// io::TagError (before any file is touched) when a frame or the tag would
// reach 2^28 bytes, which an ID3v2.4 size field cannot hold, when a URL, MIME
// type or language holds a character beyond ISO-8859-1, or a text is not
// UTF-8, when a time property holds a date the calendar does not have
// (timestamp::impossibleDate), when the file's tag is one Quillet cannot read, and LossError as
// above; and io::IoError for every failed file operation.
void WriteTag(const tag::WriterInput& input, uint64_t oldRegion, const std::string& fileName,
              const BeforeWrite& beforeWrite = {}, Loss loss = Loss::Refuse);

// The same in two steps, for a caller that holds the file open and has read
// it: plan() builds the new start of the file from what was read, put()
// writes it.

// What a write replaces: the old tag region's bytes as the file holds them
// (empty for a file without a tag) and the file's length.
struct Source {
    std::span<const uint8_t> region;
    uint64_t length = 0;
};

// A write made ready: every byte that will stand before the audio.
struct Planned {
    std::shared_ptr<uint8_t[]> buffer; // shared by the writes of equal bytes
    size_t size = 0;
    bool inPlace = false;   // over the old region; else the audio moves
    uint64_t oldRegion = 0; // the region replaced
    uint64_t length = 0;    // the file's length before
    // The frames of the old tag the write drops (loss allowed them).
    std::vector<std::string> dropped;

    std::span<const uint8_t> start() const { return {buffer.get(), size}; }
    // The file's length after the ID3v2 write.
    uint64_t newLength() const { return length - oldRegion + size; }
};

// The ID3v1.1 trailer written with the tag: over the file's last 128 bytes
// when they are a trailer ("TAG"), else appended.
struct TrailerWrite {
    std::array<uint8_t, 128> bytes{};
    bool over = false;
    // Writes it into file of length bytes (its length without the trailer appended).
    void put(io::File& file, uint64_t length) const;
};

// The old region a write blanks: region (at least a header's length) when a
// tag is present, none otherwise. Raises io::TagError for one too large.
uint64_t blankedRegion(bool present, uint64_t region);

// Raises what WriteTag raises before it touches the file.
Planned plan(const tag::WriterInput& input, const Source& source, Loss loss = Loss::Refuse);

// Writes a planned write into mp3 (open for reading and writing on
// fileName), and then trailer, when given: in place, or into a new file that
// takes the old one's place by one rename (closing mp3 first).
void put(const Planned& planned, io::File& mp3, const std::string& fileName,
         const TrailerWrite* trailer = nullptr);

} // namespace writetag
