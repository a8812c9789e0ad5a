#include "tagengine/frametable.h"

#include <algorithm>
#include <vector>

namespace tag {

namespace {

struct IdEntry {
    std::string_view id;
    FrameTarget target;
};

// Sorted ID tables per version, built once from the property and list tables.
std::vector<IdEntry> buildIds(TagVersion version) {
    std::vector<IdEntry> ids;
    for (const PropInfo& p : PropTable) {
        std::string_view id = version == TagVersion::V24   ? p.v24
                              : version == TagVersion::V23 ? p.v23
                                                           : p.v22;
        if (!id.empty()) ids.push_back({id, {false, p.prop, ListKind::Comments}});
    }
    if (version != TagVersion::V22)
        for (const ListInfo& l : ListTable)
            ids.push_back({l.frame, {true, Prop::Album, l.kind}});
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
    const auto& ids = idsFor(version);
    auto it = std::lower_bound(ids.begin(), ids.end(), id,
                               [](const IdEntry& e, std::string_view key) { return e.id < key; });
    if (it == ids.end() || it->id != id) return std::nullopt;
    return it->target;
}

std::optional<Prop> propByName(std::string_view name) {
    for (const PropInfo& p : PropTable)
        if (p.name == name) return p.prop;
    return std::nullopt;
}

} // namespace tag
