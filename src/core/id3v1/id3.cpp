// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "id3v1/id3.h"

#include "io/file.h"
#include "io/ioerror.h"
#include "text/charset.h"

#include <algorithm>
#include <cstring>

namespace {

// Leading spaces, then the digits up to the first other character; the low
// 8 bits of that number (taken digit by digit, so no length overflows).
uint8_t trackByte(std::string_view text) {
    size_t i = text.find_first_not_of(' ');
    unsigned value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        value = (value * 10 + static_cast<unsigned>(text[i] - '0')) % 256;
    return static_cast<uint8_t>(value);
}

} // namespace

void Id3v1::ClearFields() {
    for (const id3::Field& f : id3::Fields)
        (this->*f.member).clear();
}

std::string Id3v1::GenreName(int number) {
    if (number < 0 || number >= static_cast<int>(id3::GenreTable.size())) return {};
    return std::string(id3::GenreTable[static_cast<size_t>(number)]);
}

uint8_t Id3v1::GenreNumber(std::string_view name) {
    auto it = std::find(id3::GenreTable.begin(), id3::GenreTable.end(), name);
    if (name.empty() || it == id3::GenreTable.end()) return id3::NoGenre;
    return static_cast<uint8_t>(it - id3::GenreTable.begin());
}

std::string Id3v1::TrimTrailingSpaces(std::string_view text) {
    size_t end = text.find_last_not_of(' ');
    return std::string(text.substr(0, end == std::string_view::npos ? 0 : end + 1));
}

std::string Id3v1::TrimTrailingZeros(std::string_view text) {
    size_t end = text.find_last_not_of('\0');
    return std::string(text.substr(0, end == std::string_view::npos ? 0 : end + 1));
}

void Id3v1::parse(const std::array<uint8_t, Size>& block) {
    const auto* chars = reinterpret_cast<const char*>(block.data());
    for (const id3::Field& f : id3::Fields) {
        std::string& value = this->*f.member;
        const uint8_t byte = block[f.offset];
        switch (f.kind) {
        case id3::FieldKind::Text:
            // Spaces before zeros: "abc " padded with zeros keeps its space.
            value = charset::latin1ToUtf8(
                TrimTrailingZeros(TrimTrailingSpaces(std::string_view(chars + f.offset, f.width))));
            break;
        case id3::FieldKind::Track:
            value = byte == ' ' ? std::string() : std::to_string(byte);
            break;
        case id3::FieldKind::Genre:
            value = GenreName(byte);
            break;
        }
    }
}

std::array<uint8_t, Id3v1::Size> Id3v1::render() const {
    std::array<uint8_t, Size> block{};
    std::memcpy(block.data(), "TAG", 3);
    for (const id3::Field& f : id3::Fields) {
        const std::string& value = this->*f.member;
        switch (f.kind) {
        case id3::FieldKind::Text: {
            // The trailer is ISO-8859-1: a character beyond it becomes "?".
            const std::string text = charset::utf8ToLatin1(value);
            std::memcpy(block.data() + f.offset, text.data(), std::min(text.size(), f.width));
            break;
        }
        case id3::FieldKind::Track:
            block[f.offset] = trackByte(value);
            break;
        case id3::FieldKind::Genre:
            block[f.offset] = GenreNumber(value);
            break;
        }
    }
    return block;
}

namespace {
std::array<uint8_t, Id3v1::Size> readTrailer(const io::File& file) {
    const uint64_t size = file.size();
    if (size < Id3v1::Size) throw io::IoError(io::IoError::ShortRead);
    std::array<uint8_t, Id3v1::Size> block;
    file.readExactAt(block.data(), block.size(), size - Id3v1::Size);
    return block;
}
} // namespace

void Id3v1::ReadTag() {
    ClearFields();
    io::File file(FileName, io::File::Mode::Read);
    const std::array<uint8_t, Size> block = readTrailer(file);
    // Closed before anything is taken over: a failed close fails the read.
    file.close();
    takeOver(block);
}

void Id3v1::ReadFrom(const io::File& file) {
    ClearFields();
    takeOver(readTrailer(file));
}

void Id3v1::ReadBytes(std::span<const uint8_t> last) {
    ClearFields();
    if (last.size() < Size) throw io::IoError(io::IoError::ShortRead);
    std::array<uint8_t, Size> block;
    std::copy(last.end() - Size, last.end(), block.begin());
    takeOver(block);
}

void Id3v1::takeOver(const std::array<uint8_t, Size>& block) {
    // Only the first byte of "TAG" is tested; a "T" alone marks a trailer.
    ID3v1Present = block[0] == 'T';
    if (ID3v1Present) parse(block);
}

void Id3v1::WriteTag() const {
    const std::array<uint8_t, Size> block = render();
    io::File file(FileName, io::File::Mode::ReadWrite);
    const uint64_t size = file.size();
    // Only a real trailer is written over. The read takes any "T" there for
    // one, but in a file without a trailer those bytes are audio (one file in
    // 256 has a "T" there by chance) and must not be overwritten.
    char marker[3] = {};
    if (size >= Size) file.readExactAt(marker, sizeof marker, size - Size);
    if (std::memcmp(marker, "TAG", 3) == 0) {
        file.writeAt(block.data(), block.size(), size - Size);
    } else {
        // No trailer: the last 128 bytes are audio.
        file.appendAt(block.data(), block.size(), size);
    }
    file.close();
}
