// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace tag {

// The 44 text properties of the tag model, in declaration order.
enum class Prop : uint8_t {
    Album,
    AlbumSort,
    ArtistUrl,
    AudioSourceUrl,
    AudioUrl,
    Band,
    BeatsPerMinute,
    Composer,
    Conductor,
    ContentGroup,
    ContentType,
    Copyright,
    EncodedBy,
    EncodingTime,
    InitialKey,
    InternetRadioName,
    InternetRadioOwner,
    Language,
    LeadPerformer,
    Mood,
    OrigAlbum,
    OrigArtist,
    OrigTextWriter,
    OrigTime,
    PartOfSet,
    PaymentUrl,
    PerformerSort,
    Publisher,
    PublisherUrl,
    RadioUrl,
    RecordTime,
    RelaseTime,
    Remixer,
    SubTitle,
    SubTitleOfSet,
    TagTime,
    TextWriter,
    Title,
    TitleSort,
    TrackNum,
    FileOwner,
    Produced,
    CopyRightUrl,
    CommercialUrl,
};

inline constexpr size_t PropCount = 44;

enum class FrameKind : uint8_t { Text, Url };

// One row per property: its name, its ID3v2.4 frame and kind, and the frames
// of the older versions that feed it (empty when that version has none; the
// recording time of the older versions comes from the frames of its parts).
struct PropInfo {
    Prop prop;
    std::string_view name;
    std::string_view v24;
    FrameKind kind;
    std::string_view v23;
    std::string_view v22;
};

using enum FrameKind;
inline constexpr std::array<PropInfo, PropCount> PropTable{{
    {Prop::Album, "Album", "TALB", Text, "TALB", "TAL"},
    {Prop::AlbumSort, "AlbumSort", "TSOA", Text, "", "TSA"},
    {Prop::ArtistUrl, "ArtistUrl", "WOAR", Url, "WOAR", "WAR"},
    {Prop::AudioSourceUrl, "AudioSourceUrl", "WOAS", Url, "WOAS", "WAS"},
    {Prop::AudioUrl, "AudioUrl", "WOAF", Url, "WOAF", "WAF"},
    {Prop::Band, "Band", "TPE2", Text, "TPE2", "TP2"},
    {Prop::BeatsPerMinute, "BeatsPerMinute", "TBPM", Text, "TBPM", "TBP"},
    {Prop::Composer, "Composer", "TCOM", Text, "TCOM", "TCM"},
    {Prop::Conductor, "Conductor", "TPE3", Text, "TPE3", "TP3"},
    {Prop::ContentGroup, "ContentGroup", "TIT1", Text, "TIT1", "TT1"},
    {Prop::ContentType, "ContentType", "TCON", Text, "TCON", "TCO"},
    {Prop::Copyright, "Copyright", "TCOP", Text, "TCOP", "TCR"},
    {Prop::EncodedBy, "EncodedBy", "TENC", Text, "TENC", "TEN"},
    {Prop::EncodingTime, "EncodingTime", "TDEN", Text, "", ""},
    {Prop::InitialKey, "InitialKey", "TKEY", Text, "TKEY", "TKE"},
    {Prop::InternetRadioName, "InternetRadioName", "TRSN", Text, "TRSN", ""},
    {Prop::InternetRadioOwner, "InternetRadioOwner", "TRSO", Text, "TRSO", ""},
    {Prop::Language, "Language", "TLAN", Text, "TLAN", "TLA"},
    {Prop::LeadPerformer, "LeadPerformer", "TPE1", Text, "TPE1", "TP1"},
    {Prop::Mood, "Mood", "TMOO", Text, "", ""},
    {Prop::OrigAlbum, "OrigAlbum", "TOAL", Text, "TOAL", "TOT"},
    {Prop::OrigArtist, "OrigArtist", "TOPE", Text, "TOPE", "TOA"},
    {Prop::OrigTextWriter, "OrigTextWriter", "TOLY", Text, "TOLY", "TOL"},
    {Prop::OrigTime, "OrigTime", "TDOR", Text, "TORY", "TOR"},
    {Prop::PartOfSet, "PartOfSet", "TPOS", Text, "TPOS", "TPA"},
    {Prop::PaymentUrl, "PaymentUrl", "WPAY", Url, "WPAY", ""},
    {Prop::PerformerSort, "PerformerSort", "TSOP", Text, "", "TSP"},
    {Prop::Publisher, "Publisher", "TPUB", Text, "TPUB", "TPB"},
    {Prop::PublisherUrl, "PublisherUrl", "WPUB", Url, "WPUB", "WPB"},
    {Prop::RadioUrl, "RadioUrl", "WORS", Url, "WORS", ""},
    {Prop::RecordTime, "RecordTime", "TDRC", Text, "", ""},
    {Prop::RelaseTime, "RelaseTime", "TDRL", Text, "", ""},
    {Prop::Remixer, "Remixer", "TPE4", Text, "TPE4", "TP4"},
    {Prop::SubTitle, "SubTitle", "TIT3", Text, "TIT3", "TT3"},
    {Prop::SubTitleOfSet, "SubTitleOfSet", "TSST", Text, "", ""},
    {Prop::TagTime, "TagTime", "TDTG", Text, "", ""},
    {Prop::TextWriter, "TextWriter", "TEXT", Text, "TEXT", "TXT"},
    {Prop::Title, "Title", "TIT2", Text, "TIT2", "TT2"},
    {Prop::TitleSort, "TitleSort", "TSOT", Text, "", "TST"},
    {Prop::TrackNum, "TrackNum", "TRCK", Text, "TRCK", "TRK"},
    {Prop::FileOwner, "FileOwner", "TOWN", Text, "", ""},
    {Prop::Produced, "Produced", "TPRO", Text, "", ""},
    {Prop::CopyRightUrl, "CopyRightUrl", "WCOP", Url, "WCOP", "WCP"},
    {Prop::CommercialUrl, "CommercialUrl", "WCOM", Url, "WCOM", "WCM"},
}};

constexpr const PropInfo& info(Prop p) {
    return PropTable[static_cast<size_t>(p)];
}

constexpr bool tableInDeclarationOrder() {
    for (size_t i = 0; i < PropCount; ++i)
        if (static_cast<size_t>(PropTable[i].prop) != i) return false;
    return true;
}
static_assert(tableInDeclarationOrder());

// The writer's frame order: declaration order, except that the two URLs of the
// last group come before the two texts.
inline constexpr std::array<Prop, PropCount> WriterOrder = [] {
    std::array<Prop, PropCount> order{};
    for (size_t i = 0; i < PropCount; ++i)
        order[i] = static_cast<Prop>(i);
    order[40] = Prop::CopyRightUrl;
    order[41] = Prop::CommercialUrl;
    order[42] = Prop::FileOwner;
    order[43] = Prop::Produced;
    return order;
}();

// The six lists of repeated frames, in the model's declaration order (see
// tag::Lists for what each holds).
enum class ListKind : uint8_t { Comments, Lyrics, UserUrls, TermsOfUse, Pictures, UserTexts };
inline constexpr size_t ListKindCount = 6;

enum class TagVersion : uint8_t { V22 = 2, V23 = 3, V24 = 4 };

std::optional<Prop> propByName(std::string_view name);

} // namespace tag
