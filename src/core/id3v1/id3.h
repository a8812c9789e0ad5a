// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace io {
class File;
}

namespace id3 {

// The genre names behind the one-byte genre number of the trailer, numbers 0 to
// 125, spelled as the taggers of the time wrote them ("Psychadelic", "Bebob").
// The window's genre lists show the same names in the same order.
// clang-format off
inline constexpr std::array<std::string_view, 126> GenreTable{
    /*   0 */ "Blues", "Classic Rock", "Country", "Dance", "Disco",
    /*   5 */ "Funk", "Grunge", "Hip-Hop", "Jazz", "Metal",
    /*  10 */ "New Age", "Oldies", "Other", "Pop", "R&B",
    /*  15 */ "Rap", "Reggae", "Rock", "Techno", "Industrial",
    /*  20 */ "Alternative", "Ska", "Death Metal", "Pranks", "Soundtrack",
    /*  25 */ "Euro-Techno", "Ambient", "Trip-Hop", "Vocal", "Jazz+Funk",
    /*  30 */ "Fusion", "Trance", "Classical", "Instrumental", "Acid",
    /*  35 */ "House", "Game", "Sound Clip", "Gospel", "Noise",
    /*  40 */ "AlternRock", "Bass", "Soul", "Punk", "Space",
    /*  45 */ "Meditative", "Instrumental Pop", "Instrumental Rock", "Ethnic", "Gothic",
    /*  50 */ "Darkwave", "Techno-Industrial", "Electronic", "Pop-Folk", "Eurodance",
    /*  55 */ "Dream", "Southern Rock", "Comedy", "Cult", "Gangsta",
    /*  60 */ "Top 40", "Christian Rap", "Pop/Funk", "Jungle", "Native American",
    /*  65 */ "Cabaret", "New Wave", "Psychadelic", "Rave", "Showtunes",
    /*  70 */ "Trailer", "Lo-Fi", "Tribal", "Acid Punk", "Acid Jazz",
    /*  75 */ "Polka", "Retro", "Musical", "Rock & Roll", "Hard Rock",
    /*  80 */ "Folk", "Folk-Rock", "National Folk", "Swing", "Fast Fusion",
    /*  85 */ "Bebob", "Latin", "Revival", "Celtic", "Bluegrass",
    /*  90 */ "Avantgarde", "Gothic Rock", "Progressive Rock", "Psychedelic Rock", "Symphonic Rock",
    /*  95 */ "Slow Rock", "Big Band", "Chorus", "Easy Listening", "Acoustic",
    /* 100 */ "Humour", "Speech", "Chanson", "Opera", "Chamber Music",
    /* 105 */ "Sonata", "Symphony", "Booty Bass", "Primus", "Porn Groove",
    /* 110 */ "Satire", "Slow Jam", "Club", "Tango", "Samba",
    /* 115 */ "Folklore", "Ballad", "Power Ballad", "Rhythmic Soul", "Freestyle",
    /* 120 */ "Duet", "Punk Rock", "Drum Solo", "A capella", "Euro-House",
    /* 125 */ "Dance Hall"
};
// clang-format on

// The genre byte that means "no genre".
inline constexpr uint8_t NoGenre = 255;

} // namespace id3

// The 128-byte ID3v1.1 trailer of one MP3 file. Every field is kept as text,
// the track number as decimal text, the genre as its name. The fields hold
// UTF-8 like the ID3v2 model; the trailer itself is ISO-8859-1, so a character
// beyond it is written as "?".
// Knows nothing of ID3v2; there is deliberately no way to remove the trailer.
class Id3v1 {
public:
    // The trailer is always the last 128 bytes of the file.
    static constexpr size_t Size = 128;

    // Published properties: plain fields, no side effects.
    std::string Artist;
    std::string Album;
    std::string Title;
    std::string Year;
    std::string Comment;
    std::string Genre;    // a name of id3::GenreTable, or empty
    std::string TrackNum; // decimal text of 0..255, or empty
    std::string FileName; // the file ReadTag and WriteTag work on
    bool ID3v1Present = false;

    // Reads the trailer of FileName. A last 128 bytes not starting with "T"
    // mean no trailer: the fields stay empty. Raises io::IoError ("Read beyond
    // end of file" for a file shorter than 128 bytes); the fields are emptied
    // first and ID3v1Present keeps its value then.
    void ReadTag();
    // The same from a file already open for reading (FileName is not used).
    void ReadFrom(const io::File& file);
    // The same from the last bytes of a file as read (fewer than 128: the
    // file is too short, and the read fails as ReadTag does).
    void ReadBytes(std::span<const uint8_t> last);
    // Writes the fields as the trailer of FileName: over the existing trailer,
    // or appended when the file has none, so audio is never overwritten.
    void WriteTag() const;
    // Empties the seven tag fields; FileName and ID3v1Present stay.
    void ClearFields();

    // The name of genre byte 0..125; any other number gives an empty text.
    static std::string GenreName(int number);
    // The number of a genre name (compared exactly); 255 for an empty or unknown name.
    static uint8_t GenreNumber(std::string_view name);
    static std::string TrimTrailingSpaces(std::string_view text);
    static std::string TrimTrailingZeros(std::string_view text);

    // The 128 bytes WriteTag writes for the current fields.
    std::array<uint8_t, Size> render() const;
    // Fills the fields from 128 bytes that start with the "T" marker.
    void parse(const std::array<uint8_t, Size>& block);

private:
    // Takes the last 128 bytes of a file as they were read.
    void takeOver(const std::array<uint8_t, Size>& block);
};

namespace id3 {

// The seven fields of the trailer, in the order quillet-tag writes them. A
// text field lies at offset in the 128 bytes and takes width bytes there; the
// track number and the genre are one byte each, as a number. maxLength is
// what the window lets the user type (0: the genre is picked from GenreTable).
enum class FieldKind : uint8_t { Text, Genre, Track };
struct Field {
    std::string_view name; // the property's name
    std::string Id3v1::*member;
    FieldKind kind;
    size_t maxLength;
    size_t offset;
    size_t width;
};

// A comment of up to 28 characters leaves the zero at 125 that marks ID3v1.1.
inline constexpr std::array<Field, 7> Fields{{
    {"Title", &Id3v1::Title, FieldKind::Text, 30, 3, 30},
    {"Artist", &Id3v1::Artist, FieldKind::Text, 30, 33, 30},
    {"Album", &Id3v1::Album, FieldKind::Text, 30, 63, 30},
    {"Year", &Id3v1::Year, FieldKind::Text, 4, 93, 4},
    {"Comment", &Id3v1::Comment, FieldKind::Text, 30, 97, 29},
    {"Genre", &Id3v1::Genre, FieldKind::Genre, 0, 127, 1},
    {"TrackNum", &Id3v1::TrackNum, FieldKind::Track, 3, 126, 1},
}};

// The field of a property name (compared exactly), nullptr for none.
constexpr const Field* field(std::string_view name) {
    for (const Field& f : Fields)
        if (f.name == name) return &f;
    return nullptr;
}

} // namespace id3
