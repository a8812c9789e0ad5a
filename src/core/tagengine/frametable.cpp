#include "tagengine/frametable.h"

namespace tag {

std::optional<Prop> propByName(std::string_view name) {
    for (const PropInfo& p : PropTable)
        if (p.name == name) return p.prop;
    return std::nullopt;
}

} // namespace tag
