// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
// ReadTag on arbitrary bytes, header-only and in full: no crash, leak or
// endless walk; the file read stays as it was; nothing appears outside the
// picture folder; and a header-only read leaves the model alone.
#include "io/ioerror.h"
#include "model.h"
#include "sandbox.h"
#include "tagengine/tagheader.h"
#include "tagengine/zurur24.h"

#include <cstring>
#include <memory>

using namespace fuzzing;

namespace {

const std::string Song = "lib/music/song.mp3";
const std::string Temp = "lib/Temp/";
const std::vector<std::string> Files{"lib/", "lib/music/", Song};

// What ReadTag must have recognised in the header, read or not.
void checkHeader(const ID3v24& t, const uint8_t* data, size_t size) {
    const bool id3 = size >= 3 && std::memcmp(data, "ID3", 3) == 0;
    check(t.Id3v2present == id3, "Id3v2present does not match the header");
    const tag::TagHeader header = tag::parseTagHeader(data);
    const bool readable = header.readable();
    check(t.TagSize() == (readable ? header.size : 0u), "TagSize is wrong");
    if (readable) check(t.Version == "2." + std::to_string(data[3]), "Version is wrong");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Sandbox& box = Sandbox::instance();
    box.reset({"lib/music/"});
    writeFile(box.path(Song), data, size);
    const Bytes original(data, data + size);
    const std::string temp = box.path(Temp);

    auto t = std::make_unique<ID3v24>();
    t->FileName = box.path(Song);

    // Header-only first: recognises, creates nothing, changes no text or list.
    t->setText(tag::Prop::Title, "kept");
    t->SetComment(std::string("d\0", 2), "eng", "kept", 1);
    const tag::TagData before = t->model();
    bool headerRead = true;
    try {
        t->ReadTag(temp, true);
    } catch (const io::IoError&) {
        headerRead = false;
        check(size < 10, "header-only read failed on a file of 10 bytes or more");
    }
    if (headerRead) checkHeader(*t, data, size);
    checkSameModel(before, t->model(), false, "header-only read");
    checkTree(Files, "");

    // The full read.
    bool fullRead = true;
    try {
        t->ReadTag(temp, false);
    } catch (const io::IoError&) {
        fullRead = false;
    }
    check(readFile(box.path(Song)) == original, "the read changed the file");
    checkTree(Files, Temp);
    if (!fullRead) return 0;
    checkHeader(*t, data, size);
    checkReaderModel(t->model(), temp);
    // A compressed picture inflates to at most zlib's ratio of its bytes.
    for (const auto& p : t->model().pictures)
        check(readFile(p.pictureFile).size() <= size * 1032 + 64, "a picture larger than the file");

    // A header-only read after a full one keeps what the full one loaded.
    const tag::TagData loaded = t->model();
    t->ReadTag(temp, true);
    checkSameModel(loaded, t->model(), false, "header-only read after a full read");
    return 0;
}
