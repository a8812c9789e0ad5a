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

// Sorted ID tables per version, built once from the property and list tables.
std::vector<IdEntry> buildIds(TagVersion version) {
    std::vector<IdEntry> ids;
    for (const PropInfo& p : PropTable) {
        std::string_view id = version == TagVersion::V24   ? p.v24
                              : version == TagVersion::V23 ? p.v23
                                                           : p.v22;
        if (!id.empty()) ids.push_back({packId(id), {false, p.prop, ListKind::Comments}});
        // Many taggers put ID3v2.4 frames (sort orders above all) into ID3v2.3
        // tags. A write holds those IDs for the model, so they are read too:
        // otherwise an edit would drop them.
        if (version == TagVersion::V23 && p.v24 != p.v23)
            ids.push_back({packId(p.v24), {false, p.prop, ListKind::Comments}});
    }
    if (version != TagVersion::V22)
        forEachList([&](const auto& l) {
            ids.push_back({packId(l.frame), {true, Prop::Album, l.kind}});
        });
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
