// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include "id3v1/id3.h"
#include "tagengine/frametable.h"

#include <array>
#include <string_view>

// What the editor's sub-pages show: one row per ID3v2 field, in the order the
// window fills them. Building, emptying, filling and writing back all walk it.
namespace fields {

enum class Kind { Edit, Date, Genre, Language, Key };

struct EditorField {
    int subPage;
    std::string_view label;
    std::string_view control; // the widget's objectName
    tag::Prop prop;
    Kind kind;
};

using tag::Prop;
inline constexpr std::array<EditorField, 44> EditorFields{{
    {0, "Track Num.:", "Edit4", Prop::TrackNum, Kind::Edit},
    {0, "Short Descript.:", "Edit8", Prop::ContentGroup, Kind::Edit},
    {0, "Title:", "Edit1", Prop::Title, Kind::Edit},
    {0, "Subtitle:", "Edit2", Prop::SubTitle, Kind::Edit},
    {0, "Album:", "Edit3", Prop::Album, Kind::Edit},
    {0, "Part of a Set:", "Edit6", Prop::PartOfSet, Kind::Edit},
    {0, "Subtitle of Set:", "Edit7", Prop::SubTitleOfSet, Kind::Edit},
    {0, "Original Album:", "Edit5", Prop::OrigAlbum, Kind::Edit},
    {0, "Mood:", "Edit9", Prop::Mood, Kind::Edit},
    {0, "Genre:", "ComboBox1", Prop::ContentType, Kind::Genre},
    {0, "Recording Time:", "MaskEdit1", Prop::RecordTime, Kind::Date},
    {0, "Relase Time:", "MaskEdit2", Prop::RelaseTime, Kind::Date},
    {0, "Orig. Relase Time:", "MaskEdit3", Prop::OrigTime, Kind::Date},
    {0, "Title Sort Order:", "Edit10", Prop::TitleSort, Kind::Edit},
    {0, "Album Sort Order:", "Edit11", Prop::AlbumSort, Kind::Edit},
    {0, "Internet Station Radio Name:", "Edit12", Prop::InternetRadioName, Kind::Edit},
    {1, "Artist:", "Edit17", Prop::LeadPerformer, Kind::Edit},
    {1, "Band/Orchestra:", "Edit18", Prop::Band, Kind::Edit},
    {1, "Composer:", "Edit19", Prop::Composer, Kind::Edit},
    {1, "Conductor:", "Edit20", Prop::Conductor, Kind::Edit},
    {1, "Lyricist:", "Edit21", Prop::TextWriter, Kind::Edit},
    {1, "Original Artist:", "Edit22", Prop::OrigArtist, Kind::Edit},
    {1, "Original Lyricist:", "Edit23", Prop::OrigTextWriter, Kind::Edit},
    {1, "Remixed by:", "Edit24", Prop::Remixer, Kind::Edit},
    {1, "Artist sort order:", "Edit25", Prop::PerformerSort, Kind::Edit},
    {1, "Internet Radio Owner:", "Edit13", Prop::InternetRadioOwner, Kind::Edit},
    {2, "Official Artist URL:", "Edit26", Prop::ArtistUrl, Kind::Edit},
    {2, "Official Publisher URL:", "Edit27", Prop::PublisherUrl, Kind::Edit},
    {2, "Official Internet Radio URL:", "Edit28", Prop::RadioUrl, Kind::Edit},
    {2, "Official Audio File URL:", "Edit29", Prop::AudioUrl, Kind::Edit},
    {2, "Official Audio Source URL:", "Edit30", Prop::AudioSourceUrl, Kind::Edit},
    {2, "Payment URL:", "Edit31", Prop::PaymentUrl, Kind::Edit},
    {2, "Commercial Information URL:", "Edit32", Prop::CommercialUrl, Kind::Edit},
    {2, "Copyright information URL:", "Edit33", Prop::CopyRightUrl, Kind::Edit},
    {5, "File Owner/Licensee :", "Edit34", Prop::FileOwner, Kind::Edit},
    {5, "Produced Notice:", "Edit35", Prop::Produced, Kind::Edit},
    {5, "Copyright:", "Edit36", Prop::Copyright, Kind::Edit},
    {5, "Publisher:", "Edit37", Prop::Publisher, Kind::Edit},
    {6, "Encoding Time:", "MaskEdit4", Prop::EncodingTime, Kind::Date},
    {6, "Encoded by:", "Edit40", Prop::EncodedBy, Kind::Edit},
    {6, "Tagging Time:", "MaskEdit5", Prop::TagTime, Kind::Date},
    {6, "Language:", "ComboBox2", Prop::Language, Kind::Language},
    {6, "Initial Key:", "ComboBox3", Prop::InitialKey, Kind::Key},
    {6, "Beats Per Minute (BMP):", "Edit41", Prop::BeatsPerMinute, Kind::Edit},
}};

constexpr bool eachPropertyOnce() {
    std::array<int, tag::PropCount> seen{};
    for (const EditorField& f : EditorFields)
        ++seen[size_t(f.prop)];
    for (int n : seen)
        if (n != 1) return false;
    return true;
}
static_assert(eachPropertyOnce(), "every text property has exactly one field");

// The sub-pages of the editor, with their bold titles and tool bar buttons.
struct SubPage {
    int index;
    std::string_view title;
    std::string_view button; // objectName of its tool button
    std::string_view hint;
    std::string_view icon; // resource name
};

inline constexpr std::array<SubPage, 8> SubPages{{
    {0, "Audio Description", "ToolButton2", "Audio Description", "audio"},
    {1, "Personal Information", "ToolButton5", "Personal Information", "person"},
    {2, "WWW Pages", "ToolButton1", "WWW Pages", "www"},
    {3, "Lyrics / Texts / Comments", "ToolButton4", "Lyrics/Texts/Comments", "lyrics"},
    {4, "Images", "ToolButton3", "Images", "images"},
    {5, "Copyright Informations:", "ToolButton6", "Copyright Informations", "copyright"},
    {6, "Miscellaneous", "ToolButton7", "Miscellaneous", "misc"},
    {7, "ID3v1.1", "ToolButton12", "ID3v1.1", "id3v1"},
}};

// The order of the "ZuRur v. 2.4" tool bar, top to bottom.
inline constexpr std::array<int, 8> ToolBarOrder{0, 1, 3, 2, 4, 5, 6, 7};

// The ID3v1.1 sub-page, top to bottom: each field of the trailer (whose
// maxLength restricts typing only) with its label and control.
struct Id3v1Field {
    std::string Id3v1::*member;
    std::string_view label;
    std::string_view control;
};

inline constexpr std::array<Id3v1Field, 7> Id3v1Fields{{
    {id3::field("TrackNum")->member, "Track no.:", "Edit42"},
    {id3::field("Title")->member, "Title:", "Edit43"},
    {id3::field("Artist")->member, "Artist:", "Edit44"},
    {id3::field("Album")->member, "Album:", "Edit46"},
    {id3::field("Year")->member, "Year:", "Edit45"},
    {id3::field("Comment")->member, "Comment:", "Edit47"},
    {id3::field("Genre")->member, "Genre:", "ComboBox4"},
}};

constexpr bool eachId3v1FieldOnce() {
    for (const id3::Field& f : id3::Fields) {
        int n = 0;
        for (const Id3v1Field& shown : Id3v1Fields)
            n += shown.member == f.member;
        if (n != 1) return false;
    }
    return true;
}
static_assert(eachId3v1FieldOnce(), "every ID3v1.1 field has exactly one control");

inline constexpr std::array<std::string_view, 32> Keys{
    "C",   "C#",  "Cb", "Cm",  "C#m", "Cbm", "D",   "D#",  "Db", "D#m", "Dbm",
    "E",   "Eb",  "Em", "Ebm", "F",   "F#",  "Fm",  "F#m", "G",  "G#",  "Gb",
    "G#m", "Gbm", "A",  "A#",  "Ab",  "A#m", "Abm", "H",   "Hb", "Hbm"};

} // namespace fields
