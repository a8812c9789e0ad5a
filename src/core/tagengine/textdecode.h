#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

// Text fields of ID3v2 frames in their four encodings, taken into the model's
// single-byte text without loss: a field decodes only when every character is
// in U+0000..U+00FF, one byte per character.
namespace textdecode {

enum Encoding : uint8_t { Latin1 = 0, Utf16 = 1, Utf16BE = 2, Utf8 = 3 };

inline bool known(uint8_t encoding) {
    return encoding <= Utf8;
}

// The whole field as single-byte text, or nullopt when its bytes are invalid in
// the encoding or hold a character above U+00FF. A byte order mark counts only
// at the start of a UTF-16 field; without one, UTF-16 is little-endian.
std::optional<std::string> decode(uint8_t encoding, const uint8_t* p, size_t n);

// Length of a zero-terminated field at p, terminator included (one zero byte,
// or a two-byte zero at an even offset for UTF-16); nullopt when the field is
// not terminated within n bytes.
std::optional<size_t> terminatedLength(uint8_t encoding, const uint8_t* p, size_t n);

// Size of the terminator in the encoding.
inline size_t terminatorSize(uint8_t encoding) {
    return encoding == Utf16 || encoding == Utf16BE ? 2 : 1;
}

} // namespace textdecode
