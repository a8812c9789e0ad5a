// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "model.h"

#include "text/charset.h"

#include <set>

namespace fuzzing {

namespace {

bool zeroEnded(const std::string& s) {
    return !s.empty() && s.back() == '\0';
}

// Three characters of ISO-8859-1, as the frames hold them.
bool language(const std::string& s) {
    return charset::fitsLatin1(s) && charset::latin1Length(s) == 3;
}

template <class Entry> void checkCount(const tag::EntryList<Entry>& list, const char* name) {
    check(list.count() >= 0 && list.count() <= tag::MaxEntries,
          std::string("count of ") + name + " out of range");
}

template <class Entry, class Same>
void compareList(const tag::EntryList<Entry>& a, const tag::EntryList<Entry>& b, const char* name,
                 const std::string& what, Same same) {
    check(a.count() == b.count(), what + ": count of " + name + " differs (" +
                                      std::to_string(a.count()) + " vs " +
                                      std::to_string(b.count()) + ")");
    for (int i = 1; i <= a.count(); ++i)
        check(same(a[i], b[i]), what + ": " + name + " entry " + std::to_string(i) + " differs");
}

} // namespace

void checkReaderModel(const tag::TagData& m, const std::string& tempFolder) {
    checkCount(m.comments, "Comments");
    checkCount(m.lyrics, "Lyrics");
    checkCount(m.userUrls, "UserUrls");
    checkCount(m.termsOfUse, "TermsOfUse");
    checkCount(m.pictures, "Pictures");
    checkCount(m.userTexts, "UserTexts");
    for (const auto& t : m.texts)
        check(charset::validUtf8(t), "a text that is not UTF-8");
    for (const auto* list : {&m.comments, &m.lyrics})
        for (const auto& e : *list)
            check(language(e.language) && zeroEnded(e.description) &&
                      charset::validUtf8(e.description) && charset::validUtf8(e.text),
                  "comment or lyric with a bad language, description or text");
    for (const auto& e : m.termsOfUse)
        check(language(e.language) && charset::validUtf8(e.text),
              "terms of use with a bad language");
    for (const auto& e : m.userUrls)
        check(zeroEnded(e.description) && charset::validUtf8(e.description) &&
                  charset::fitsLatin1(e.url),
              "user URL with a bad description or URL");
    for (const auto& e : m.userTexts)
        check(zeroEnded(e.description) && charset::validUtf8(e.description) &&
                  charset::validUtf8(e.value),
              "user text with a bad description or value");
    std::set<std::string> files;
    for (const auto& e : m.pictures) {
        check(zeroEnded(e.mimeType) && zeroEnded(e.description),
              "picture MIME type or description without its zero");
        const std::string& f = e.pictureFile;
        check(f.size() > tempFolder.size() && f.compare(0, tempFolder.size(), tempFolder) == 0 &&
                  f.find('/', tempFolder.size()) == std::string::npos,
              "picture file outside the picture folder: " + f);
        check(files.insert(f).second, "two pictures share the file " + f);
    }
}

void checkSameModel(const tag::TagData& a, const tag::TagData& b, bool normalizeTypes,
                    const std::string& what) {
    for (size_t i = 0; i < tag::PropCount; ++i)
        check(a.texts[i] == b.texts[i],
              what + ": text " + std::string(tag::PropTable[i].name) + " differs");
    auto eq = [](const auto& x, const auto& y) { return x == y; };
    compareList(a.comments, b.comments, "Comments", what, eq);
    compareList(a.lyrics, b.lyrics, "Lyrics", what, eq);
    compareList(a.userUrls, b.userUrls, "UserUrls", what, eq);
    compareList(a.termsOfUse, b.termsOfUse, "TermsOfUse", what, eq);
    compareList(a.userTexts, b.userTexts, "UserTexts", what, eq);
    compareList(a.pictures, b.pictures, "Pictures", what,
                [normalizeTypes](const tag::PictureEntry& x, const tag::PictureEntry& y) {
                    auto type = [normalizeTypes](const std::string& t) {
                        return normalizeTypes && t.empty() ? std::string("Other") : t;
                    };
                    return x.mimeType == y.mimeType && x.description == y.description &&
                           type(x.pictureType) == type(y.pictureType) &&
                           readFile(x.pictureFile) == readFile(y.pictureFile);
                });
}

void checkSameKept(const std::vector<kept::KeptFrame>& a, const Bytes& aFile,
                   const std::vector<kept::KeptFrame>& b, const Bytes& bFile,
                   const std::string& what) {
    check(a.size() == b.size(), what + ": " + std::to_string(a.size()) + " kept frames became " +
                                    std::to_string(b.size()));
    auto data = [](const kept::KeptFrame& k, const Bytes& file) {
        check(k.data + k.size <= (k.store ? k.store->size() : file.size()),
              "a kept frame beyond its bytes");
        const uint8_t* bytes = k.bytes(file.data());
        return Bytes(bytes, bytes + k.size);
    };
    for (size_t i = 0; i < a.size(); ++i)
        check(a[i].header == b[i].header && data(a[i], aFile) == data(b[i], bFile),
              what + ": kept frame " + std::to_string(i + 1) + " (" + std::string(a[i].id()) +
                  ") differs");
}

} // namespace fuzzing
