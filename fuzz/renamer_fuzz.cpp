// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
// The renamer on arbitrary tag text: a name built from a file's own tags must
// stay a plain name in the file's folder (no separator, no "." or "..", at
// most 255 bytes, ending in ".mp3"), and the rename must move that one file
// there, never over another file, and change nothing else.
//
// The input is split at 0x1F bytes: prefix, suffix, the title (ID3v2) and the
// artist (ID3v1) the template names, and a part whose length is the row number.
#include "id3v1/id3.h"
#include "io/ioerror.h"
#include "renamer/renamer.h"
#include "sandbox.h"
#include "tagengine/zurur24.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

using namespace fuzzing;

namespace {

// Template text comes from the window's edits, which hold no zero characters.
std::string withoutZeros(std::string s) {
    s.erase(std::remove(s.begin(), s.end(), '\0'), s.end());
    return s;
}

const Bytes Song{'I', 'D', '3', 4, 0, 0, 0, 0, 0, 0, 0xFF, 0xFB, 1, 2, 3};
const Bytes Other{'o', 't', 'h', 'e', 'r'};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<std::string> p = split(data, size, 5);
    auto tag = std::make_unique<ID3v24>();
    tag->setText(tag::Prop::Title, p[2]);
    Id3v1 v1;
    v1.Artist = p[3];
    const renamer::Template rows{{withoutZeros(p[0]), "Title", withoutZeros(p[1])},
                                 {"", "Artist(ID3v1)", ""}};
    const std::string name = renamer::limitName(renamer::makenewname(rows, *tag, v1));
    check(name.find('/') == std::string::npos && name.find('\0') == std::string::npos,
          "a separator or zero in a new name");
    check(name.size() <= renamer::MaxNameBytes && name.ends_with(".mp3") && name != "." &&
              name != "..",
          "not a plain name: " + name);

    Sandbox& box = Sandbox::instance();
    box.reset({"music/"});
    writeFile(box.path("music/song.mp3"), Song.data(), Song.size());
    writeFile(box.path("music/other.mp3"), Other.data(), Other.size());
    // The number text is the selection list's row number, never tag text.
    const std::string number = std::to_string(p[4].size());
    std::string got;
    try {
        got = renamer::renamefile(box.path("music/"), "song.mp3", name, number);
    } catch (const io::IoError&) {
        checkTree({"music/", "music/other.mp3", "music/song.mp3"}, "");
        check(readFile(box.path("music/song.mp3")) == Song, "a failed rename changed the file");
        check(readFile(box.path("music/other.mp3")) == Other, "a failed rename hit another file");
        return 0;
    }
    check(got.find('/') == std::string::npos && got != "." && got != "..",
          "renamed to a path: " + got);
    if (got == "other.mp3") fail("renamed over another file");
    std::vector<std::string> expected{"music/", "music/other.mp3", "music/" + got};
    checkTree(expected, "");
    check(readFile(box.path("music/" + got)) == Song, "the renamed file changed");
    check(readFile(box.path("music/other.mp3")) == Other, "a rename hit another file");
    return 0;
}
