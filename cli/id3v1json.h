// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include "json.h"

class Id3v1;

// The "id3v1" member of quillet-tag's lines:
// {"present": BOOL, "Title", "Artist", "Album", "Year", "Comment", "Genre", "TrackNum": STRING}
namespace tagjson {

Json id3v1(const Id3v1& tag);
class LineWriter;
// The same member written into a line.
void writeId3v1(LineWriter& w, const Id3v1& tag);

// Copies the text members of an object of the same shape into the fields, as
// the window's ID3v1.1 page does before writing. "present" is what a read
// found and is ignored; members left out keep the field's value. Throws
// std::invalid_argument for anything else: an unknown member, a value that is
// not a string.
void applyId3v1(const Json& member, Id3v1& tag);

} // namespace tagjson
