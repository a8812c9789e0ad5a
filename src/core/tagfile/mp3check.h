// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace io {
class File;
}

// Which files a tag may be written into. A tag written in front of a picture
// or a text file spoils it for every program that reads it, so only files
// that are MP3 files by their content are written: those that hold an ID3v2
// tag or MPEG audio, and an empty file named ".mp3" (a new file a script
// makes to fill).
namespace tagfile {

enum class Content {
    Mp3,      // an ID3v2 tag or MPEG audio at its start
    Empty,    // no byte at all
    TooShort, // fewer bytes than an ID3v2 header, and no MPEG frame
    Other,    // anything else: a picture, a text, ...
};

// Players look for the first frame a little past where the audio should
// start (encoders and taggers leave junk there): so far a frame is looked
// for when the file does not start with one.
inline constexpr size_t AudioSearchBytes = 4096;
// The longest MPEG audio frame (layer II, 160 kbit/s at 8 kHz, padded).
inline constexpr size_t MaxFrameBytes = 2881;
// How much of the start of a file classify() looks at.
inline constexpr size_t StartBytes = AudioSearchBytes + MaxFrameBytes + 4;
// The bytes of an ID3v2 header, the least the tag engine reads of a file.
inline constexpr uint64_t HeaderBytes = 10;

// The length of the MPEG audio frame whose header starts at p (4 bytes), or
// 0 when those bytes are no valid header (no sync, a reserved version, layer,
// bit rate, sample rate or emphasis, or the free-format bit rate, whose
// frames have no length of their own).
size_t mpegFrameLength(const uint8_t* p);

// What the first bytes of a file (start: all of them, or the first
// StartBytes) say about it, for a file of fileSize bytes. A frame header
// right at the start counts alone; one found further on counts only when
// the next frame's header follows it (or the file ends with it), as random
// bytes hold a header-like pattern every few KB.
Content classify(std::span<const uint8_t> start, uint64_t fileSize);

// Reads the start of the open file and classifies it.
Content examine(const io::File& file);

// Raises io::IoError (NotMp3, or TooShort) unless a tag may be written into
// the open file named path: an MP3 file, or an empty file whose name ends
// with ".mp3" in any letter case.
void requireMp3(const io::File& file, const std::string& path);
// The same from the file's first bytes as read (at least StartBytes of them,
// or all) and its size.
void requireMp3(std::span<const uint8_t> start, uint64_t size, const std::string& path);

} // namespace tagfile
