#pragma once

#include "text/charset.h"

#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

class ID3v24;
class Id3v1;

// JSON shapes of quillet-tag. Strings carry the model's texts as they are
// (Unicode), so any tag text survives the trip.
namespace tagjson {

using Json = nlohmann::ordered_json;

// Builds an object of a fixed shape: members are appended in order, without
// the key search and regrowth of Json's operator[] (keys never repeat here).
class Object {
public:
    explicit Object(size_t members);
    Object& add(std::string_view key, Json value);
    Json take() { return std::move(m_json); }

private:
    Json m_json;
};
std::string line(const Json& j);
// The line of a header scan: {"file", "id3v2": {"present", "version", "tagSize"}}.
std::string headerLine(const std::string& file, const ID3v24& tag);
// The line of a full read: {"file", "id3v2": {..., "texts", the six lists,
// "kept"}, "id3v1"}.
std::string dumpLine(const std::string& file, const ID3v24& tag, const Id3v1& trailer);
Json errorLine(const std::string& file, const std::string& message);

} // namespace tagjson
