// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
// The ID3v1.1 trailer on arbitrary bytes: the read keeps to its field widths
// (ISO-8859-1 characters, held as UTF-8) and leaves the file as it was; a
// write of what was read changes only the last 128 bytes (or appends them) and
// reads back the same fields.
#include "id3v1/id3.h"
#include "io/ioerror.h"
#include "sandbox.h"
#include "text/charset.h"

#include <cstring>

using namespace fuzzing;

namespace {

const std::string Song = "music/song.mp3";
const std::vector<std::string> Files{"music/", Song};

struct Fields {
    std::string title, artist, album, year, comment, genre, track;
    bool operator==(const Fields&) const = default;
};

Fields fieldsOf(const Id3v1& t) {
    return {t.Title, t.Artist, t.Album, t.Year, t.Comment, t.Genre, t.TrackNum};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Sandbox& box = Sandbox::instance();
    box.reset({"music/"});
    const std::string path = box.path(Song);
    writeFile(path, data, size);
    const Bytes original(data, data + size);

    Id3v1 t;
    t.FileName = path;
    try {
        t.ReadTag();
    } catch (const io::IoError&) {
        check(size < Id3v1::Size, "read failed on a file of 128 bytes or more");
        check(fieldsOf(t) == Fields{}, "a failed read left fields set");
        return 0;
    }
    check(readFile(path) == original, "the read changed the file");
    checkTree(Files, "");
    const bool present = data[size - Id3v1::Size] == 'T';
    check(t.ID3v1Present == present, "ID3v1Present does not match the marker");
    // The fields hold the trailer's ISO-8859-1 characters in UTF-8.
    auto within = [](const std::string& field, size_t width) {
        return charset::fitsLatin1(field) && charset::latin1Length(field) <= width;
    };
    check(within(t.Title, 30) && within(t.Artist, 30) && within(t.Album, 30) &&
              within(t.Year, 4) && within(t.Comment, 29),
          "a field longer than its width");
    if (!t.TrackNum.empty())
        check(std::to_string(std::stoi(t.TrackNum)) == t.TrackNum && std::stoi(t.TrackNum) < 256,
              "track number is not a number of 0..255");
    check(t.Genre.empty() || Id3v1::GenreNumber(t.Genre) < 126, "genre not in the table");

    // Write back what was read, and read it again.
    const Fields read = fieldsOf(t);
    t.WriteTag();
    const Bytes written = readFile(path);
    // Only a real "TAG" trailer is written over; anything else may be audio.
    const bool trailer = std::memcmp(data + size - Id3v1::Size, "TAG", 3) == 0;
    const size_t kept = trailer ? size - Id3v1::Size : size;
    check(written.size() == kept + Id3v1::Size, "the write changed the length wrongly");
    check(std::memcmp(written.data(), original.data(), kept) == 0,
          "the write touched bytes before the trailer");
    checkTree(Files, "");
    Id3v1 back;
    back.FileName = path;
    back.ReadTag();
    Fields expected = read;
    // An empty track number (a space in the file) is written as track 0.
    if (expected.track.empty()) expected.track.assign(1, '0');
    check(back.ID3v1Present && fieldsOf(back) == expected, "the trailer did not read back");
    return 0;
}
