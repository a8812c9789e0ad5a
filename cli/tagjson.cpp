#include "tagjson.h"

#include "tagengine/zurur24.h"

#include <stdexcept>
#include <sys/stat.h>

namespace tagjson {

std::string fromLatin1(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (unsigned char c : bytes) {
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

std::string toLatin1(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size(); ++i) {
        auto c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if ((c == 0xC2 || c == 0xC3) && i + 1 < utf8.size()) {
            auto next = static_cast<unsigned char>(utf8[++i]);
            out.push_back(static_cast<char>(((c & 0x03) << 6) | (next & 0x3F)));
        } else {
            throw std::invalid_argument("text holds a character above U+00FF");
        }
    }
    return out;
}

Json id3v2Header(const ID3v24& tag) {
    Json j;
    j["present"] = tag.Id3v2present;
    j["version"] = tag.Version;
    j["tagSize"] = tag.TagSize();
    return j;
}

static long long fileLength(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? static_cast<long long>(st.st_size) : -1;
}

static std::string baseName(const std::string& path) {
    auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

Json id3v2Full(const ID3v24& tag) {
    Json j = id3v2Header(tag);
    Json texts = Json::object();
    for (const auto& p : tag::PropTable)
        texts[std::string(p.name)] = fromLatin1(tag.text(p.prop));
    j["texts"] = std::move(texts);

    auto langList = [](const auto& list) {
        Json a = Json::array();
        for (const auto& e : list)
            a.push_back({{"text", fromLatin1(e.text)},
                         {"language", fromLatin1(e.language)},
                         {"description", fromLatin1(e.description)}});
        return a;
    };
    j["Comments"] = langList(tag.Comments());
    j["Lyrics"] = langList(tag.Lyrics());
    Json urls = Json::array();
    for (const auto& e : tag.UserUrls())
        urls.push_back({{"description", fromLatin1(e.description)}, {"url", fromLatin1(e.url)}});
    j["UserUrls"] = std::move(urls);
    Json terms = Json::array();
    for (const auto& e : tag.TermsOfUse())
        terms.push_back({{"text", fromLatin1(e.text)}, {"language", fromLatin1(e.language)}});
    j["TermsOfUse"] = std::move(terms);
    Json pictures = Json::array();
    for (const auto& e : tag.Pictures())
        pictures.push_back({{"mimeType", fromLatin1(e.mimeType)},
                            {"pictureType", fromLatin1(e.pictureType)},
                            {"description", fromLatin1(e.description)},
                            {"pictureFile", fromLatin1(baseName(e.pictureFile))},
                            {"size", fileLength(e.pictureFile)}});
    j["Pictures"] = std::move(pictures);
    Json userTexts = Json::array();
    for (const auto& e : tag.UserTexts())
        userTexts.push_back(
            {{"description", fromLatin1(e.description)}, {"value", fromLatin1(e.value)}});
    j["UserTexts"] = std::move(userTexts);
    return j;
}

std::string line(const Json& j) {
    // File names need not be UTF-8; never let one stop the output.
    return j.dump(-1, ' ', false, Json::error_handler_t::replace);
}

Json errorLine(const std::string& file, const std::string& message) {
    Json j;
    j["file"] = file;
    j["error"] = message;
    return j;
}

} // namespace tagjson
