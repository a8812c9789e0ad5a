// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include "tagengine/tagbytes.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

// The picture half of the ID3v2.4 unit: the picture type names, and the
// extraction of picture data into files, which every reader shares. A file of
// its own so that the frame walk, which extracts pictures, needs no reader.
namespace v24 {

// APIC picture type byte to name; a byte above 20 has the empty name.
inline constexpr std::array<std::string_view, 21> PictureTypeNames{
    "Other",
    "32x32 pixels 'file icon' (PNG only)",
    "Other file icon",
    "Cover (front)",
    "Cover (back)",
    "Leaflet page",
    "Media (e.g. label side of CD)",
    "Lead artist/lead performer/soloist",
    "Artist/performer",
    "Conductor",
    "Band/Orchestra",
    "Composer",
    "Lyricist/text writer",
    "Recording Location",
    "During recording",
    "During performance",
    "Movie/video screen capture",
    "A bright coloured fish",
    "Illustration",
    "Band/artist logotype",
    "Publisher/Studio logotype",
};

std::string_view pictureTypeName(uint8_t byte);
// The reverse lookup of the writer: the byte whose name matches exactly, else 0.
uint8_t pictureTypeByte(std::string_view name);

// The extracted picture's file name (without folder) for entry n: the MIME type
// (with its terminating zero) with "/" turned into "." and "jpeg" into "jpg";
// then every character but ASCII letters, digits, ".", "-", "+" and "_" becomes
// "_", and the part after the number is cut to 100 characters, so that no MIME
// type can name a file outside the picture folder; a part that begins with a
// digit gets a "_" in front, so that no two entries share a name.
std::string pictureFileName(int n, std::string_view mimeType);

// Writes the picture's length bytes at data into a new file in the picture
// folder and stores its path as picture file n of the result.
void ExtractPicture(tag::ReadContext& ctx, int n, std::string_view mimeType, const uint8_t* data,
                    uint64_t length);

} // namespace v24
