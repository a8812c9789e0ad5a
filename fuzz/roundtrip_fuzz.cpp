// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
// Read, write, read again: whatever the reader loads from arbitrary bytes, the
// writer writes, and a second read gives the same model (texts, lists, and
// pictures byte for byte) and the same kept frames. The audio behind the old tag arrives unchanged
// and no temporary file stays behind.
#include "io/ioerror.h"
#include "model.h"
#include "sandbox.h"
#include "tagengine/zurur24.h"

#include <cstring>
#include <memory>

using namespace fuzzing;

namespace {

const std::string Song = "lib/music/song.mp3";
const std::string FirstTemp = "lib/Temp1/";
const std::string SecondTemp = "lib/Temp2/";
const std::vector<std::string> Files{"lib/", "lib/music/", Song};

bool endsWith(const Bytes& whole, const uint8_t* tail, size_t n) {
    return whole.size() >= n && std::memcmp(whole.data() + whole.size() - n, tail, n) == 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Sandbox& box = Sandbox::instance();
    box.reset({"lib/music/"});
    const std::string path = box.path(Song);
    writeFile(path, data, size);

    auto first = std::make_unique<ID3v24>();
    first->FileName = path;
    try {
        first->ReadTag(box.path(FirstTemp), false);
    } catch (const io::IoError&) {
        return 0;
    }
    checkReaderModel(first->model(), box.path(FirstTemp));

    // The bytes that must survive the write: everything after the old tag.
    const uint64_t oldRegion = first->RegionLength();
    try {
        // What the write cannot keep goes: the frames it keeps must come back.
        first->WriteTag({}, writetag::Loss::Allow);
    } catch (const io::TagError&) {
        check(readFile(path) == Bytes(data, data + size), "a refused write changed the file");
        return 0;
    } catch (const io::IoError& e) {
        // Only a header that claims more than the file holds may fail here.
        check(e.code() == io::IoError::ShortRead && oldRegion > size,
              std::string("the write failed: ") + e.what());
        check(readFile(path) == Bytes(data, data + size), "a failed write changed the file");
        checkTree(Files, FirstTemp);
        return 0;
    }
    const Bytes written = readFile(path);
    check(endsWith(written, data + oldRegion, size - oldRegion),
          "the bytes after the old tag did not survive the write");
    checkTree(Files, FirstTemp);

    auto second = std::make_unique<ID3v24>();
    second->FileName = path;
    try {
        second->ReadTag(box.path(SecondTemp), false);
    } catch (const io::IoError& e) {
        fail(std::string("the written tag does not read back: ") + e.what());
    }
    check(second->Id3v2present && second->Version == "2.4", "the written tag is not ID3v2.4");
    checkReaderModel(second->model(), box.path(SecondTemp));
    checkSameModel(first->model(), second->model(), true, "read, write, read");
    checkSameKept(first->KeptFrames(), Bytes(data, data + size), second->KeptFrames(), written,
                  "read, write, read");
    return 0;
}
