// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include "id3v1/id3.h"
#include "tagengine/frametable.h"

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class ID3v24;

// The template renamer: a file's new name built from its own tags, row by row
// of a template of literal prefix, tag field and literal suffix.
namespace renamer {

// One field a template row can name: a text property of the ID3v2 component,
// or (when v1 is set) a field of the ID3v1.1 component.
struct FrameName {
    std::string_view name; // what the combo shows and the settings file stores
    tag::Prop prop;
    std::string Id3v1::*v1 = nullptr;
};

// The 50 fields, in the order the frame-name combo lists them. The names are
// part of the settings file format, spellings included.
// clang-format off
inline constexpr std::array<FrameName, 50> FrameNameTable{{
    {"Album", tag::Prop::Album},
    {"Album Sort Order", tag::Prop::AlbumSort},
    {"Album(ID3v1)", {}, id3::field("Album")->member},
    {"Artist", tag::Prop::LeadPerformer},
    {"Artist sort order", tag::Prop::PerformerSort},
    {"Artist(ID3v1)", {}, id3::field("Artist")->member},
    {"Band/Orchestra", tag::Prop::Band},
    {"Beats Per Minute (BMP)", tag::Prop::BeatsPerMinute},
    {"Comment(ID3v1)", {}, id3::field("Comment")->member},
    {"Commercial Information URL", tag::Prop::CommercialUrl},
    {"Composer", tag::Prop::Composer},
    {"Conductor", tag::Prop::Conductor},
    {"Content Group", tag::Prop::ContentGroup},
    {"Copyright", tag::Prop::Copyright},
    {"Copyright information URL", tag::Prop::CopyRightUrl},
    {"Encoded by", tag::Prop::EncodedBy},
    {"Encoding Time", tag::Prop::EncodingTime},
    {"File Owner/Licensee", tag::Prop::FileOwner},
    {"Genre", tag::Prop::ContentType},
    {"Genre(ID3v1)", {}, id3::field("Genre")->member},
    {"Initial Key", tag::Prop::InitialKey},
    {"Internet Radio Owner", tag::Prop::InternetRadioOwner},
    {"Internet Station Radio Name", tag::Prop::InternetRadioName},
    {"Language", tag::Prop::Language},
    {"Lyricist", tag::Prop::TextWriter},
    {"Mood", tag::Prop::Mood},
    {"Official Artist URL", tag::Prop::ArtistUrl},
    {"Official Audio File URL", tag::Prop::AudioUrl},
    {"Official Audio Source URL", tag::Prop::AudioSourceUrl},
    {"Official Internet Radio URL", tag::Prop::RadioUrl},
    {"Official Publisher URL", tag::Prop::PublisherUrl},
    {"Orig. Relase Time", tag::Prop::OrigTime},
    {"Original Album", tag::Prop::OrigAlbum},
    {"Original Artist", tag::Prop::OrigArtist},
    {"Original Lyricist", tag::Prop::OrigTextWriter},
    {"Part of a Set", tag::Prop::PartOfSet},
    {"Payment URL", tag::Prop::PaymentUrl},
    {"Produced Notice", tag::Prop::Produced},
    {"Publisher", tag::Prop::Publisher},
    {"Recording Time", tag::Prop::RecordTime},
    {"Relase Time", tag::Prop::RelaseTime},
    {"Remixed by", tag::Prop::Remixer},
    {"Subtitle", tag::Prop::SubTitle},
    {"Subtitle of Set", tag::Prop::SubTitleOfSet},
    {"Tagging Time", tag::Prop::TagTime},
    {"Title", tag::Prop::Title},
    {"Title Sort Order", tag::Prop::TitleSort},
    {"Title(ID3v1)", {}, id3::field("Title")->member},
    {"Track Num.", tag::Prop::TrackNum},
    {"Year(ID3v1)", {}, id3::field("Year")->member},
}};
// clang-format on

// A row of the rename template. Prefix and suffix are file-name text (UTF-8);
// the frame name is one of FrameNameTable's names, or anything else (then the
// row contributes no value).
struct TemplateRow {
    std::string prefix, frameName, suffix;
    bool operator==(const TemplateRow&) const = default;
};
using Template = std::vector<TemplateRow>;

// A field's tag text (single-byte ISO-8859-1) by display name.
using ValueLookup = std::function<std::string(std::string_view frameName)>;

// The row of a display name (exact, case-sensitive), nullptr when there is none.
const FrameName* findFrameName(std::string_view name);

// The text of the field the name stands for, up to its first zero character
// (the model keeps a frame's terminating zero; a name must not carry it).
// An unknown name gives an empty text.
std::string framevalue(std::string_view name, const ID3v24& tag, const Id3v1& v1);

// The preview of a template: the frame names themselves between prefixes and
// suffixes, then ".mp3". Nothing is replaced.
std::string previewname(const Template& rows);

// The new name (without folder) of the file whose tags the lookup answers
// from: prefix, value and suffix of every row, tag text and file names both
// UTF-8; "?", "*", "\" and "/" each become "_" so the name is a plain name in
// its folder; then ".mp3".
std::string makenewname(const Template& rows, const ValueLookup& value);
std::string makenewname(const Template& rows, const ID3v24& tag, const Id3v1& v1);

// File names hold at most 255 bytes: a longer name is cut to at most 250 bytes
// at a UTF-8 character boundary and ".mp3" is appended.
inline constexpr size_t MaxNameBytes = 255;
inline constexpr size_t CutNameBytes = 250;
std::string limitName(std::string name);

// Renames folder + oldName to folder + limitName(newName), never replacing an
// existing file. When that fails for any reason, tries once more with the
// row's number text in front of the name. Returns the name the file got;
// raises io::IoError when the second try fails too.
std::string renamefile(const std::string& folder, const std::string& oldName,
                       const std::string& newName, const std::string& numberText);

} // namespace renamer
