// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
// Tags written by the writer and read back by the tag component: every frame
// kind, a second write after a re-read, older versions turned into 2.4, and
// the real files of the corpus. The audio after the tag never changes.
#include "readfixture.h"
#include "text/charset.h"
#include "writefixture.h"

#include <filesystem>

using namespace testing_support;
using tag::Prop;

namespace {

// Every character of ISO-8859-1 but zero, so that no text is cut short.
std::string allLatin1() {
    std::string s;
    for (int c = 1; c < 256; ++c)
        s += static_cast<char>(c);
    return charset::latin1ToUtf8(s);
}

class RoundTrip : public ReadFixture {
protected:
    std::string picture(const Bytes& data, const std::string& name) {
        const std::string path = dir.file(name);
        writeFile(path, data);
        return path;
    }

    void fillEveryKind(ID3v24& t) {
        for (const auto& p : tag::PropTable)
            t.setText(p.prop, std::string(p.name) + "éÿ");
        t.setText(Prop::Title, allLatin1());
        // Beyond ISO-8859-1: the frames are written in UTF-8.
        t.setText(Prop::LeadPerformer, "Кино № 1");
        t.setText(Prop::SubTitle, "🎵 日本");
        t.setText(Prop::Album, std::string("zero\0inside", 11)); // two values
        t.SetComment(zeroEnded("desc"), "eng", "comment one", 1);
        t.SetComment(zeroEnded(""), "deu", "", 2);
        t.SetComment(zeroEnded("α"), "ell", "“quoted”", 3);
        t.SetLyric(zeroEnded("verse"), "fra", "la la\nla", 1);
        t.SetUserText(zeroEnded("key"), std::string(600'000, 'v'), 1); // over 512 KiB
        t.SetUserText(zeroEnded("k2"), "v2", 2);
        t.SetUserText(zeroEnded("Œ"), "Łódź", 3);
        t.SetUserUrl(zeroEnded("site"), "http://example.org/", 1);
        t.SetTermsOfUse("eng", "do not copy", 1);
        Bytes big(700'000);
        for (size_t i = 0; i < big.size(); ++i)
            big[i] = uint8_t(i * 31);
        t.SetPicture(zeroEnded("front"), "Cover (front)", zeroEnded("image/jpeg"),
                     picture(big, "big.jpg"), 1);
        t.SetPicture(zeroEnded(""), "A bright coloured fish", zeroEnded("image/png"),
                     picture({0x89, 'P', 'N', 'G'}, "fish.png"), 2);
    }

    // The two models hold the same tag; pictures compare by their bytes.
    static void expectSameTag(const ID3v24& a, const ID3v24& b) {
        for (const auto& p : tag::PropTable)
            EXPECT_EQ(a.text(p.prop), b.text(p.prop)) << p.name;
        auto same = [](const auto& x, const auto& y, const char* name) {
            ASSERT_EQ(x.count(), y.count()) << name;
            for (int i = 1; i <= x.count(); ++i)
                EXPECT_EQ(x[i], y[i]) << name << " " << i;
        };
        same(a.Comments(), b.Comments(), "Comments");
        same(a.Lyrics(), b.Lyrics(), "Lyrics");
        same(a.UserUrls(), b.UserUrls(), "UserUrls");
        same(a.TermsOfUse(), b.TermsOfUse(), "TermsOfUse");
        same(a.UserTexts(), b.UserTexts(), "UserTexts");
        ASSERT_EQ(a.Pictures().count(), b.Pictures().count());
        for (int i = 1; i <= a.Pictures().count(); ++i) {
            const auto& x = a.Pictures()[i];
            const auto& y = b.Pictures()[i];
            EXPECT_EQ(x.mimeType, y.mimeType);
            EXPECT_EQ(x.pictureType, y.pictureType);
            EXPECT_EQ(x.description, y.description);
            EXPECT_EQ(readFile(x.pictureFile), readFile(y.pictureFile)) << "picture " << i;
        }
    }

    std::unique_ptr<ID3v24> readBack(const std::string& path, const std::string& temp) {
        auto t = std::make_unique<ID3v24>();
        t->FileName = path;
        t->ReadTag(temp, false);
        return t;
    }
};

TEST_F(RoundTrip, EveryFrameKindInPlaceAndMoved) {
    struct Case {
        const char* name;
        Bytes oldTag;
    };
    for (const Case& c : {Case{"new.mp3", Bytes()}, Case{"roomy.mp3", tag24(Bytes(), 2'000'000)}}) {
        const std::string path = put(c.oldTag, true, c.name);
        load(path, true);
        fillEveryKind(tag);
        tag.WriteTag();
        const Bytes written = readFile(path);
        // The audio is the file's last bytes, as it was.
        ASSERT_GE(written.size(), audio().size());
        EXPECT_EQ(Bytes(written.end() - std::ptrdiff_t(audio().size()), written.end()), audio());
        const uint32_t declared = syncsafe::decode(written.data() + 6);
        if (c.oldTag.empty()) {
            const size_t gap = written.size() - audio().size();
            EXPECT_EQ(gap % 1024, 0u);
            EXPECT_EQ(gap, declared + 10u); // every byte before the audio is the tag's
        } else {
            EXPECT_EQ(written.size(), c.oldTag.size() + audio().size());
            EXPECT_EQ(declared, 2'000'000u);
        }

        auto back = readBack(path, dir.path() + "back/");
        EXPECT_EQ(back->Version, "2.4");
        expectSameTag(tag, *back);
    }
}

TEST_F(RoundTrip, ShortLanguagesAreWrittenAsSpaces) {
    const std::string path = put(Bytes());
    load(path, true);
    tag.SetComment(zeroEnded(""), "", "no language", 1);
    tag.SetTermsOfUse("x", "short", 1);
    tag.WriteTag();
    auto back = readBack(path, temp());
    EXPECT_EQ(back->Comments()[1].language, "   ");
    EXPECT_EQ(back->TermsOfUse()[1].language, "x  ");
}

TEST_F(RoundTrip, SecondWriteAfterReRead) {
    const std::string path = put(tag23(text24("TIT2", "three"), 50));
    load(path);
    EXPECT_EQ(tag.Version, "2.3");
    tag.SetComment(zeroEnded("d"), "eng", "kept", 1);
    tag.SetPicture(zeroEnded(""), "Cover (back)", zeroEnded("image/png"),
                   picture(repeat(5, 3000), "back.png"), 1);
    tag.WriteTag(); // does not fit: moved
    const size_t movedLength = readFile(path).size();

    load(path); // the picture now comes from the tag itself
    EXPECT_EQ(tag.Version, "2.4");
    EXPECT_EQ(title(), "three");
    EXPECT_EQ(tag.Comments()[1].text, "kept");
    tag.SetComment(zeroEnded("d"), "eng", "kep", 1); // one byte shorter: in place
    tag.WriteTag();
    EXPECT_EQ(readFile(path).size(), movedLength);
    EXPECT_EQ(syncsafe::decode(readFile(path).data() + 6), tag.TagSize());

    load(path);
    EXPECT_EQ(tag.Comments()[1].text, "kep");
    EXPECT_EQ(readFile(tag.Pictures()[1].pictureFile), repeat(5, 3000));
    tag.setText(Prop::Title, std::string(2000, 't')); // longer again: moved again
    tag.WriteTag();
    EXPECT_GT(readFile(path).size(), movedLength);
    load(path);
    EXPECT_EQ(title(), std::string(2000, 't'));
    EXPECT_EQ(tag.Comments()[1].text, "kep");
    EXPECT_EQ(readFile(tag.Pictures()[1].pictureFile), repeat(5, 3000));
    const Bytes after = readFile(path);
    EXPECT_EQ(Bytes(after.end() - std::ptrdiff_t(audio().size()), after.end()), audio());
}

// Every corpus file the reader reads: written back, it reads the same, and
// every byte after its old tag is still there, at the end of the file.
TEST_F(RoundTrip, CorpusFilesKeepTheirValuesAndAudio) {
    int written = 0;
    for (const auto& source : {"taglib", "mutagen"}) {
        for (const auto& entry : std::filesystem::directory_iterator(corpusDir() + "/" + source)) {
            const std::string name = entry.path().filename().string();
            const std::string path = dir.file(name);
            const Bytes original = readFile(entry.path().string());
            writeFile(path, original);
            if (!readError(path).empty()) continue;
            const uint64_t oldRegion = tag.RegionLength();
            if (oldRegion > original.size()) {
                EXPECT_THROW(tag.WriteTag(), io::IoError) << name; // nothing to blank there
                EXPECT_EQ(readFile(path), original) << name;
                continue;
            }
            tag.WriteTag({}, writetag::Loss::Allow);
            ++written;
            const Bytes now = readFile(path);
            const size_t audioLength = original.size() - oldRegion;
            EXPECT_EQ(Bytes(now.end() - std::ptrdiff_t(audioLength), now.end()),
                      Bytes(original.begin() + std::ptrdiff_t(oldRegion), original.end()))
                << name;
            auto back = readBack(path, dir.path() + "back/");
            EXPECT_EQ(back->Version, "2.4") << name;
            SCOPED_TRACE(name);
            expectSameTag(tag, *back);
            // The frames kept, byte for byte where they stood.
            auto kept = [](const ID3v24& t, const Bytes& file) {
                std::vector<Bytes> frames;
                for (const kept::KeptFrame& k : t.KeptFrames())
                    frames.push_back(Bytes(k.header.begin(), k.header.end()) +
                                     Bytes(k.bytes(file.data()), k.bytes(file.data()) + k.size));
                return frames;
            };
            EXPECT_EQ(kept(tag, original), kept(*back, now));
            std::filesystem::remove(path);
        }
    }
    EXPECT_GE(written, 20);
}

} // namespace
