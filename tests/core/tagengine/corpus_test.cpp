// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
// Every file of the shared corpus (real tags from other projects' test suites,
// many deliberately broken) is read without crash, hang or stray file.
#include "readfixture.h"
#include "support/peers.h"
#include "tagengine/tagheader.h"

#include <algorithm>
#include <filesystem>

using namespace testing_support;
using tag::Prop;

namespace {

class Corpus : public ReadFixture {
protected:
    std::string copyOf(const std::string& name) {
        const std::string path = dir.file(std::filesystem::path(name).filename().string());
        writeFile(path, testing_support::readFile(corpusDir() + "/" + name));
        return path;
    }
};

TEST_F(Corpus, EveryFileReadsInBothModes) {
    int files = 0;
    for (const auto& source : {"taglib", "mutagen"}) {
        for (const auto& entry : std::filesystem::directory_iterator(corpusDir() + "/" + source)) {
            ++files;
            const std::string name = std::string(source) + "/" + entry.path().filename().string();
            const std::string path = copyOf(name);
            const Bytes before = testing_support::readFile(path);
            for (bool headerOnly : {true, false}) {
                const std::string error = readError(path, headerOnly);
                EXPECT_TRUE(error.empty() || error == "Read beyond end of file") << name << error;
            }
            EXPECT_EQ(testing_support::readFile(path), before) << name;
            for (const std::string& n : listFolder(dir.path()))
                EXPECT_TRUE(n == "Temp" || n == entry.path().filename().string()) << n;
            std::filesystem::remove(path);
        }
    }
    EXPECT_EQ(files, 37);
}

TEST_F(Corpus, KnownValues) {
    load(copyOf("mutagen/id3v22-test.mp3"));
    EXPECT_EQ(tag.Version, "2.2");
    EXPECT_FALSE(title().empty());

    load(copyOf("mutagen/silence-44-s.mp3"));
    EXPECT_EQ(tag.Version, "2.3");
    EXPECT_EQ(title().substr(0, 7), "Silence");

    // Unsynchronised as a whole: read whole.
    load(copyOf("taglib/unsynch.id3"));
    EXPECT_EQ(tag.TagSize(), 176u);
    EXPECT_EQ(title(), "My babe just cares for me");

    // No padding, the declared end exactly at the end of the file; frame
    // sizes that are plain integers, not syncsafe ones.
    load(copyOf("taglib/005411.id3"));
    EXPECT_EQ(tag.Version, "2.4");
    EXPECT_EQ(tag.extractedSize(1), 36061u);
    EXPECT_EQ(tag.text(Prop::Album), "Sunshine Superman");

    load(copyOf("taglib/rare_frames.mp3"));
    EXPECT_GE(tag.UserUrls().count(), 1);

    load(copyOf("mutagen/no-tags.mp3"));
    EXPECT_FALSE(tag.Id3v2present);
    EXPECT_EQ(readError(copyOf("mutagen/emptyfile.mp3")), "Read beyond end of file");
}

// quillet-tag set on every file with a tag at its start that the file holds
// whole: every other frame stays as mutagen reads it (TagLib where mutagen
// cannot read the file: an extended header reaching the file's end), and
// every byte after the tag. A file with frames it cannot keep is refused
// and left alone, and written with --allow-loss.
TEST_F(Corpus, RetitleKeepsEveryOtherFrameAndTheAudio) {
    const Peer& mutagen = peers()[1];
    const Peer& taglib = peers()[0];
    ASSERT_FALSE(mutagen.command.empty() || taglib.command.empty()) << "a peer is missing";
    int kept = 0, files = 0;
    for (const auto& source : {"taglib", "mutagen"}) {
        for (const auto& entry : std::filesystem::directory_iterator(corpusDir() + "/" + source)) {
            const Bytes original = testing_support::readFile(entry.path().string());
            if (original.size() < 10) continue;
            const uint64_t region = tag::parseTagHeader(original.data()).regionLength();
            if (region == 0 || region > original.size()) continue;
            ++files;
            const std::string name = entry.path().filename().string();
            SCOPED_TRACE(name);
            const std::string path = copyOf(std::string(source) + "/" + name);
            PeerView before = peerView(mutagen, path, true);
            const bool byMutagen = before.frames.size() > 0;
            if (!byMutagen) before = peerView(taglib, path, true);
            const std::string set = shellQuote(QUILLET_TAG_BIN) + " set ";
            const std::string args = shellQuote(path) + " Title=X";
            auto r = run(set + args);
            if (r.status == 1 && r.out.find("\"dropped\"") != std::string::npos) {
                EXPECT_EQ(testing_support::readFile(path), original);
                r = run(set + "--allow-loss " + args);
            }
            ASSERT_EQ(r.status, 0) << r.out;
            const Bytes now = testing_support::readFile(path);
            const bool audio = now.size() >= original.size() - region &&
                               std::equal(original.begin() + std::ptrdiff_t(region), original.end(),
                                          now.end() - std::ptrdiff_t(original.size() - region));
            const auto after = untitled(peerView(byMutagen ? mutagen : taglib, path, true).frames);
            const auto was = untitled(before.frames);
            // TagLib misses a last frame that ends right at the tag's end: the
            // edit, which gives the tag padding, shows it.
            const bool same =
                byMutagen ? after == was
                          : std::includes(after.begin(), after.end(), was.begin(), was.end());
            EXPECT_TRUE(same) << ::testing::PrintToString(was) << " became "
                              << ::testing::PrintToString(after);
            EXPECT_TRUE(audio);
            kept += same && audio;
            std::filesystem::remove(path);
        }
    }
    EXPECT_EQ(files, 26);
    EXPECT_EQ(kept, 26);
}

} // namespace
