#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

class ID3v24;

// JSON shapes of quillet-tag. Strings carry one character per byte of the
// model (code points 0 to 255), so any tag text survives the trip.
namespace tagjson {

using Json = nlohmann::ordered_json;

std::string fromLatin1(std::string_view bytes); // to UTF-8
// From UTF-8 back to bytes; throws std::invalid_argument for a code point above 255.
std::string toLatin1(std::string_view utf8);

Json id3v2Header(const ID3v24& tag);
Json id3v2Full(const ID3v24& tag);

std::string line(const Json& j);
Json errorLine(const std::string& file, const std::string& message);

} // namespace tagjson
