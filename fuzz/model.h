// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include "sandbox.h"
#include "tagengine/tagdata.h"

#include <string>
#include <vector>

// Checks on tag models shared by the ID3v2 targets.
namespace fuzzing {

// Fails unless the model keeps the promises every reader makes: texts in
// valid UTF-8, counts within the lists, languages of three ISO-8859-1
// characters, descriptions and MIME types ending with their zero, and picture
// files that are distinct files directly in tempFolder (a full path ending
// in "/").
void checkReaderModel(const tag::TagData& m, const std::string& tempFolder);

// Fails unless a and b hold the same texts and lists (entries 1..count).
// Picture files are compared by their bytes, not their names; a picture type
// the reader has no name for (the empty name) is written as "Other", so
// normalizeTypes treats the two as one.
void checkSameModel(const tag::TagData& a, const tag::TagData& b, bool normalizeTypes,
                    const std::string& what);

// Fails unless the two lists of kept frames name the same frames with the
// same headers and the same data (read from the two files' bytes).
void checkSameKept(const std::vector<kept::KeptFrame>& a, const Bytes& aFile,
                   const std::vector<kept::KeptFrame>& b, const Bytes& bFile,
                   const std::string& what);

} // namespace fuzzing
