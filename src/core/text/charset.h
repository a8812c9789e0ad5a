#pragma once

#include <string>
#include <string_view>

// Tag text of one byte per character (ISO-8859-1) and the UTF-8 of file
// names and JSON.
namespace charset {

// Every byte b becomes the character U+00bb.
std::string latin1ToUtf8(std::string_view latin1);
// The reverse; throws std::invalid_argument for a character above U+00FF or
// for bytes that are not UTF-8.
std::string utf8ToLatin1(std::string_view utf8);

} // namespace charset
