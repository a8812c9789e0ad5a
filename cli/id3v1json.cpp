#include "id3v1json.h"

#include "id3v1/id3.h"
#include "linewriter.h"

#include <stdexcept>

namespace tagjson {

namespace {

struct Member {
    const char* key;
    std::string Id3v1::*field;
};

// The order of the members in the output.
constexpr Member Members[] = {
    {"Title", &Id3v1::Title},       {"Artist", &Id3v1::Artist},   {"Album", &Id3v1::Album},
    {"Year", &Id3v1::Year},         {"Comment", &Id3v1::Comment}, {"Genre", &Id3v1::Genre},
    {"TrackNum", &Id3v1::TrackNum},
};

} // namespace

Json id3v1(const Id3v1& tag) {
    Object j(1 + std::size(Members));
    j.add("present", tag.ID3v1Present);
    for (const Member& m : Members)
        j.add(m.key, tag.*m.field);
    return j.take();
}

void writeId3v1(LineWriter& w, const Id3v1& tag) {
    w.beginObject().key("present").boolean(tag.ID3v1Present);
    for (const Member& m : Members)
        w.member(m.key, tag.*m.field);
    w.endObject();
}

void applyId3v1(const Json& member, Id3v1& tag) {
    if (!member.is_object()) throw std::invalid_argument("\"id3v1\" is not an object");
    // Check everything first, so that a bad member changes no field.
    Id3v1 staged = tag;
    for (auto it = member.begin(); it != member.end(); ++it) {
        if (it.key() == "present") continue;
        const Member* m = nullptr;
        for (const Member& candidate : Members)
            if (it.key() == candidate.key) m = &candidate;
        if (!m) throw std::invalid_argument("\"id3v1\" has no member \"" + it.key() + "\"");
        if (!it->is_string())
            throw std::invalid_argument("\"id3v1\" member \"" + it.key() + "\" is not a string");
        staged.*m->field = it->get_ref<const std::string&>();
    }
    tag = std::move(staged);
}

} // namespace tagjson
