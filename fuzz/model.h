#pragma once

#include "sandbox.h"
#include "tagengine/tagdata.h"

#include <string>

// Checks on tag models shared by the ID3v2 targets.
namespace fuzzing {

// Fails unless the model keeps the promises every reader makes: counts within
// the lists, languages of three characters, descriptions and MIME types
// ending with their zero, and picture files that are distinct files directly
// in tempFolder (a full path ending in "/").
void checkReaderModel(const tag::TagData& m, const std::string& tempFolder);

// Fails unless a and b hold the same texts and lists (entries 1..count).
// Picture files are compared by their bytes, not their names; a picture type
// the reader has no name for (the empty name) is written as "Other", so
// normalizeTypes treats the two as one.
void checkSameModel(const tag::TagData& a, const tag::TagData& b, bool normalizeTypes,
                    const std::string& what);

} // namespace fuzzing
