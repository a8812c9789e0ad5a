#include "id3v1/id3.h"

#include "io/file.h"
#include "io/ioerror.h"
#include "text/utf8.h"

#include <algorithm>
#include <cstring>

namespace {

// The text fields of the trailer, in file order: where each starts and how wide it is.
struct TextField {
    std::string Id3v1::*field;
    size_t offset;
    size_t width;
};

constexpr TextField TextFields[] = {
    {&Id3v1::Title, 3, 30}, {&Id3v1::Artist, 33, 30},  {&Id3v1::Album, 63, 30},
    {&Id3v1::Year, 93, 4},  {&Id3v1::Comment, 97, 29},
};

constexpr size_t TrackOffset = 126;
constexpr size_t GenreOffset = 127;

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
    for (const TextField& f : TextFields)
        (this->*f.field).clear();
    Genre.clear();
    TrackNum.clear();
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
    // Spaces before zeros: "abc " padded with zeros keeps its space.
    for (const TextField& f : TextFields)
        this->*f.field = utf8::fromLatin1(
            TrimTrailingZeros(TrimTrailingSpaces(std::string_view(chars + f.offset, f.width))));
    TrackNum = block[TrackOffset] == ' ' ? std::string() : std::to_string(block[TrackOffset]);
    Genre = GenreName(block[GenreOffset]);
}

std::array<uint8_t, Id3v1::Size> Id3v1::render() const {
    std::array<uint8_t, Size> block{};
    std::memcpy(block.data(), "TAG", 3);
    // A comment of up to 28 characters leaves the zero at 125 that marks ID3v1.1.
    for (const TextField& f : TextFields) {
        const std::string text = utf8::toLatin1(this->*f.field);
        std::memcpy(block.data() + f.offset, text.data(), std::min(text.size(), f.width));
    }
    block[TrackOffset] = trackByte(TrackNum);
    block[GenreOffset] = GenreNumber(Genre);
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
        // No trailer: the last 128 bytes are audio. Append, and take a partly
        // appended trailer back off if the disk fills on the way.
        try {
            file.writeAt(block.data(), block.size(), size);
        } catch (const io::IoError&) {
            try {
                file.truncate(size);
            } catch (const io::IoError&) {
            }
            throw;
        }
    }
    file.close();
}
