// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include "json.h"

#include <string>

class ID3v24;
class Id3v1;
namespace writetag {
class LossError;
}

// JSON shapes of quillet-tag. Strings carry the model's texts as they are
// (Unicode), so any tag text survives the trip.
namespace tagjson {

// The line of a header scan: {"file", "id3v2": {"present", "version", "tagSize"}}.
std::string headerLine(const std::string& file, const ID3v24& tag);
// The line of a full read: {"file", "id3v2": {..., "texts", the six lists,
// "kept", "dropped"}, "id3v1"}.
std::string dumpLine(const std::string& file, const ID3v24& tag, const Id3v1& trailer);
Json errorLine(const std::string& file, const std::string& message);
// A write refused for frames it cannot keep: {"file", "error", "dropped": [IDs]}.
Json lossLine(const std::string& file, const writetag::LossError& error);

} // namespace tagjson
