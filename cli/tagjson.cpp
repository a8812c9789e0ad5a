#include "tagjson.h"

#include "id3v1json.h"
#include "linewriter.h"
#include "tagengine/zurur24.h"

#include <stdexcept>
#include <sys/stat.h>

namespace tagjson {

Object::Object(size_t members) : m_json(Json::object()) {
    m_json.get_ref<Json::object_t&>().reserve(members);
}

Object& Object::add(const char* key, Json value) {
    auto& members = m_json.get_ref<Json::object_t&>();
    members.Json::object_t::Container::emplace_back(key, std::move(value));
    return *this;
}

static long long fileLength(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? static_cast<long long>(st.st_size) : -1;
}

static std::string baseName(const std::string& path) {
    auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

namespace {

void writeHeader(LineWriter& w, const ID3v24& tag) {
    w.key("present").boolean(tag.Id3v2present);
    w.key("version").string(tag.Version);
    w.key("tagSize").number(tag.TagSize());
}

template <class List, class Entry>
void writeList(LineWriter& w, const char* name, const List& list, Entry&& entry) {
    w.key(name).beginArray();
    for (const auto& e : list) {
        w.beginObject();
        entry(e);
        w.endObject();
    }
    w.endArray();
}

} // namespace

std::string headerLine(const std::string& file, const ID3v24& tag) {
    LineWriter w;
    w.beginObject().key("file").string(file).key("id3v2").beginObject();
    writeHeader(w, tag);
    w.endObject().endObject();
    return w.take();
}

std::string dumpLine(const std::string& file, const ID3v24& tag, const Id3v1& trailer) {
    LineWriter w;
    w.beginObject().key("file").string(file).key("id3v2").beginObject();
    writeHeader(w, tag);
    w.key("texts").beginObject();
    for (const auto& p : tag::PropTable)
        w.member(p.name, tag.text(p.prop));
    w.endObject();
    auto langEntry = [&](const tag::LangEntry& e) {
        w.member("text", e.text)
            .member("language", e.language)
            .member("description", e.description);
    };
    writeList(w, "Comments", tag.Comments(), langEntry);
    writeList(w, "Lyrics", tag.Lyrics(), langEntry);
    writeList(w, "UserUrls", tag.UserUrls(), [&](const tag::UserUrlEntry& e) {
        w.member("description", e.description).member("url", e.url);
    });
    writeList(w, "TermsOfUse", tag.TermsOfUse(), [&](const tag::TermsEntry& e) {
        w.member("text", e.text).member("language", e.language);
    });
    int n = 0;
    writeList(w, "Pictures", tag.Pictures(), [&](const tag::PictureEntry& e) {
        w.member("mimeType", e.mimeType)
            .member("pictureType", e.pictureType)
            .member("description", e.description)
            .member("pictureFile", baseName(e.pictureFile));
        // The reader knows what it extracted; a picture file set otherwise is measured.
        const uint64_t extracted = tag.extractedSize(++n);
        w.key("size").number(extracted ? static_cast<long long>(extracted)
                                       : fileLength(e.pictureFile));
    });
    writeList(w, "UserTexts", tag.UserTexts(), [&](const tag::UserTextEntry& e) {
        w.member("description", e.description).member("value", e.value);
    });
    writeList(w, "kept", tag.KeptFrames(), [&](const kept::KeptFrame& k) {
        w.key("id").string(k.id()).key("size").number(k.size);
    });
    w.endObject().key("id3v1");
    writeId3v1(w, trailer);
    w.endObject();
    return w.take();
}

std::string line(const Json& j) {
    // File names need not be UTF-8; never let one stop the output.
    return j.dump(-1, ' ', false, Json::error_handler_t::replace);
}

Json errorLine(const std::string& file, const std::string& message) {
    return Object(2).add("file", file).add("error", message).take();
}

} // namespace tagjson
