// Every file of the shared corpus (real tags from other projects' test suites,
// many deliberately broken) is read without crash, hang or stray file.
#include "readfixture.h"

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

    // No padding, the declared end exactly at the end of the file.
    load(copyOf("taglib/005411.id3"));
    EXPECT_EQ(tag.Version, "2.4");

    load(copyOf("taglib/rare_frames.mp3"));
    EXPECT_GE(tag.UserUrls().count(), 1);

    load(copyOf("mutagen/no-tags.mp3"));
    EXPECT_FALSE(tag.Id3v2present);
    EXPECT_EQ(readError(copyOf("mutagen/emptyfile.mp3")), "Read beyond end of file");
}

} // namespace
