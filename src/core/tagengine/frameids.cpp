// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "tagengine/frameids.h"

#include <algorithm>
#include <vector>

namespace tag {

namespace {

// A frame ID of three or four characters as one number that sorts like the
// text: a lookup per frame is a few integer comparisons.
constexpr uint32_t packId(std::string_view id) {
    uint32_t key = 0;
    for (size_t i = 0; i < 4; ++i)
        key = key << 8 | (i < id.size() ? static_cast<uint8_t>(id[i]) : 0u);
    return key;
}

struct IdEntry {
    uint32_t id;
    FrameTarget target;
};

struct Special {
    std::string_view id;
    FrameRole role;
    std::string_view twin;
    uint8_t part = 0;
};

// ID3v2.3 frames that are not the model's texts, URLs or lists but still
// need a word: the parts of the recording time, the free recording dates,
// the people list renamed in ID3v2.4, frames with no ID3v2.4 form, and the
// chapter frames whose own frames must become ID3v2.4 ones.
constexpr Special V23Special[] = {
    {"TYER", FrameRole::DatePart, "TYER", 0}, {"TDAT", FrameRole::DatePart, "TDAT", 1},
    {"TIME", FrameRole::DatePart, "TIME", 2}, {"TRDA", FrameRole::RecordingDates, ""},
    {"IPLS", FrameRole::Renamed, "TIPL"},     {"TSIZ", FrameRole::NoTwin, ""},
    {"RVAD", FrameRole::NoTwin, ""},          {"EQUA", FrameRole::NoTwin, ""},
    {"CHAP", FrameRole::Chapter, "CHAP"},     {"CTOC", FrameRole::Chapter, "CTOC"},
};

// ID3v2.2 frames beyond the model's: the ID3v2.4 twin each is kept as (the
// data laid out alike), and those with none. The sort orders and the
// compilation flag are those a widespread player's ID3v2.2 tags carry.
constexpr Special V22Special[] = {
    {"TYE", FrameRole::DatePart, "TYER", 0}, {"TDA", FrameRole::DatePart, "TDAT", 1},
    {"TIM", FrameRole::DatePart, "TIME", 2}, {"TRD", FrameRole::RecordingDates, ""},
    {"IPL", FrameRole::Renamed, "TIPL"},     {"BUF", FrameRole::Renamed, "RBUF"},
    {"CNT", FrameRole::Renamed, "PCNT"},     {"CRA", FrameRole::Renamed, "AENC"},
    {"ETC", FrameRole::Renamed, "ETCO"},     {"GEO", FrameRole::Renamed, "GEOB"},
    {"MCI", FrameRole::Renamed, "MCDI"},     {"MLL", FrameRole::Renamed, "MLLT"},
    {"POP", FrameRole::Renamed, "POPM"},     {"REV", FrameRole::Renamed, "RVRB"},
    {"SLT", FrameRole::Renamed, "SYLT"},     {"STC", FrameRole::Renamed, "SYTC"},
    {"UFI", FrameRole::Renamed, "UFID"},     {"TCP", FrameRole::Renamed, "TCMP"},
    {"TS2", FrameRole::Renamed, "TSO2"},     {"TSC", FrameRole::Renamed, "TSOC"},
    {"TDY", FrameRole::Renamed, "TDLY"},     {"TFT", FrameRole::Renamed, "TFLT"},
    {"TLE", FrameRole::Renamed, "TLEN"},     {"TMT", FrameRole::Renamed, "TMED"},
    {"TOF", FrameRole::Renamed, "TOFN"},     {"TRC", FrameRole::Renamed, "TSRC"},
    {"TSS", FrameRole::Renamed, "TSSE"},     {"TSI", FrameRole::NoTwin, ""},
    {"CRM", FrameRole::NoTwin, ""},          {"RVA", FrameRole::NoTwin, ""},
    {"EQU", FrameRole::NoTwin, ""},          {"LNK", FrameRole::NoTwin, ""},
};

// The six lists by their ID3v2.2 IDs (terms of use have none).
constexpr std::pair<std::string_view, ListKind> V22Lists[] = {
    {"COM", ListKind::Comments}, {"ULT", ListKind::Lyrics},    {"WXX", ListKind::UserUrls},
    {"PIC", ListKind::Pictures}, {"TXX", ListKind::UserTexts},
};

// Sorted ID tables per version, built once from the property and list tables.
std::vector<IdEntry> buildIds(TagVersion version) {
    std::vector<IdEntry> ids;
    auto add = [&](std::string_view id, FrameTarget t) { ids.push_back({packId(id), t}); };
    for (const PropInfo& p : PropTable) {
        std::string_view id = version == TagVersion::V24   ? p.v24
                              : version == TagVersion::V23 ? p.v23
                                                           : p.v22;
        const FrameRole role = p.kind == FrameKind::Text ? FrameRole::Text : FrameRole::Url;
        if (!id.empty()) add(id, {role, p.prop, ListKind::Comments, 0, p.v24});
        // Many taggers put ID3v2.4 frames (sort orders above all) into ID3v2.3
        // tags. A write holds those IDs for the model, so they are read too:
        // otherwise an edit would drop them.
        if (version == TagVersion::V23 && p.v24 != p.v23)
            add(p.v24, {role, p.prop, ListKind::Comments, 0, p.v24});
    }
    if (version == TagVersion::V22) {
        for (const auto& [id, kind] : V22Lists)
            add(id, {FrameRole::List, Prop::Album, kind, 0, info(kind).frame});
        for (const Special& s : V22Special)
            add(s.id, {s.role, Prop::Album, ListKind::Comments, s.part, s.twin});
    } else {
        forEachList([&](const auto& l) {
            add(l.frame, {FrameRole::List, Prop::Album, l.kind, 0, l.frame});
        });
    }
    if (version == TagVersion::V23)
        for (const Special& s : V23Special)
            add(s.id, {s.role, Prop::Album, ListKind::Comments, s.part, s.twin});
    std::sort(ids.begin(), ids.end(),
              [](const IdEntry& a, const IdEntry& b) { return a.id < b.id; });
    return ids;
}

const std::vector<IdEntry>& idsFor(TagVersion version) {
    static const std::vector<IdEntry> v22 = buildIds(TagVersion::V22);
    static const std::vector<IdEntry> v23 = buildIds(TagVersion::V23);
    static const std::vector<IdEntry> v24 = buildIds(TagVersion::V24);
    return version == TagVersion::V24 ? v24 : version == TagVersion::V23 ? v23 : v22;
}

} // namespace

std::optional<FrameTarget> lookupFrame(TagVersion version, std::string_view id) {
    if (id.empty() || id.size() > 4) return std::nullopt;
    const uint32_t key = packId(id);
    const auto& ids = idsFor(version);
    auto it = std::lower_bound(ids.begin(), ids.end(), key,
                               [](const IdEntry& e, uint32_t k) { return e.id < k; });
    if (it == ids.end() || it->id != key) return std::nullopt;
    return it->target;
}

} // namespace tag
