// Files written by Quillet, read by other taggers: TagLib (through a small
// program built for the tests) and mutagen must see every value Quillet wrote,
// and the same audio as before the write.
#include "readfixture.h"
#include "writefixture.h"

#include <algorithm>
#include <sstream>

using namespace testing_support;
using tag::Prop;

namespace {

std::string hex(std::string_view s) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : s) {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

// Other taggers show a description or MIME type without its terminating zero.
std::string hexField(const std::string& s) {
    return hex(!s.empty() && s.back() == '\0' ? std::string_view(s).substr(0, s.size() - 1) : s);
}

std::string digest(const Bytes& data) {
    uint64_t h = 0xCBF29CE484222325u;
    for (uint8_t c : data)
        h = (h ^ c) * 0x100000001B3u;
    char out[40];
    std::snprintf(out, sizeof out, "%zu:%016llx", data.size(), static_cast<unsigned long long>(h));
    return out;
}

struct PeerView {
    std::vector<std::string> frames; // the header line and one line per frame, sorted
    std::string audio;               // the audio line
};

PeerView parse(const std::string& out) {
    PeerView v;
    std::istringstream in(out);
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("audio", 0) == 0)
            v.audio = line;
        else
            v.frames.push_back(line);
    }
    std::sort(v.frames.begin(), v.frames.end());
    return v;
}

struct Peer {
    const char* name;
    std::string command; // empty when the peer is missing
};

std::vector<Peer> peers() {
    std::vector<Peer> p;
#ifdef QUILLET_TAGLIB_READ
    p.push_back({"TagLib", shellQuote(QUILLET_TAGLIB_READ)});
#else
    p.push_back({"TagLib", ""});
#endif
    const bool mutagen =
        run("/usr/bin/python3 -c 'import mutagen' 2>/dev/null && echo yes").out == "yes\n";
    p.push_back({"mutagen", mutagen ? "/usr/bin/python3 " + shellQuote(QUILLET_MUTAGEN_READ) : ""});
    return p;
}

class Interop : public ReadFixture {
protected:
    void fill() {
        for (const auto& p : tag::PropTable)
            tag.setText(p.prop, p.kind == tag::FrameKind::Url
                                    ? "http://example.org/" + std::string(p.name)
                                    : std::string(p.name) + " Été ÿ");
        // Beyond ISO-8859-1: frames in UTF-8.
        tag.setText(Prop::LeadPerformer, "Кино");
        tag.setText(Prop::SubTitle, "“Œuvre” № 5 — 日本語 🎵");
        // Time stamps that the peers take as time stamps.
        tag.setText(Prop::RecordTime, "2024-05-01");
        tag.setText(Prop::OrigTime, "1999");
        tag.setText(Prop::EncodingTime, "2024-05-02");
        tag.setText(Prop::RelaseTime, "2024-06");
        tag.setText(Prop::TagTime, "2024-06-07");
        tag.setText(Prop::ContentType, "Rock");
        tag.setText(Prop::TrackNum, "3/12");
        tag.setText(Prop::BeatsPerMinute, "120");
        tag.SetComment(zeroEnded("desc"), "eng", "a comment à la carte", 1);
        tag.SetComment(zeroEnded("Ελληνικά"), "ell", "Καλημέρα", 3);
        tag.SetComment(zeroEnded(""), "deu", "second", 2);
        tag.SetLyric(zeroEnded("verse"), "fra", "la la la", 1);
        tag.SetUserText(zeroEnded("MOOD2"), "calm", 1);
        tag.SetUserUrl(zeroEnded("home"), "http://example.org/", 1);
        tag.SetTermsOfUse("eng", "do not copy", 1);
        Bytes art(5000);
        for (size_t i = 0; i < art.size(); ++i)
            art[i] = uint8_t(i * 7);
        writeFile(dir.file("art.jpg"), art);
        tag.SetPicture(zeroEnded("front"), "Cover (front)", zeroEnded("image/jpeg"),
                       dir.file("art.jpg"), 1);
        tag.SetPicture(zeroEnded("fish"), "A bright coloured fish", zeroEnded("image/png"),
                       dir.file("art.jpg"), 2);
    }

    // What a peer must print for the model written with the given declared size.
    std::vector<std::string> expected(uint32_t declaredSize) const {
        std::vector<std::string> lines{"ID3v2.4 " + std::to_string(declaredSize)};
        for (const auto& p : tag::PropTable)
            if (!tag.text(p.prop).empty())
                lines.push_back(std::string(p.v24) + " " + hex(tag.text(p.prop)));
        for (const auto& e : tag.Comments())
            lines.push_back("COMM " + hex(e.language) + " " + hexField(e.description) + " " +
                            hex(e.text));
        for (const auto& e : tag.Lyrics())
            lines.push_back("USLT " + hex(e.language) + " " + hexField(e.description) + " " +
                            hex(e.text));
        for (const auto& e : tag.UserTexts())
            lines.push_back("TXXX " + hexField(e.description) + " " + hex(e.value));
        for (const auto& e : tag.UserUrls())
            lines.push_back("WXXX " + hexField(e.description) + " " + hex(e.url));
        for (const auto& e : tag.TermsOfUse())
            lines.push_back("USER " + hex(e.language) + " " + hex(e.text));
        for (const auto& e : tag.Pictures()) {
            const Bytes data = readFile(e.pictureFile);
            lines.push_back("APIC " + hexField(e.mimeType) + " " +
                            std::to_string(v24type(e.pictureType)) + " " + hexField(e.description) +
                            " " + digest(data));
        }
        std::sort(lines.begin(), lines.end());
        return lines;
    }

    static int v24type(const std::string& name) {
        return name == "Cover (front)" ? 3 : name == "A bright coloured fish" ? 17 : 0;
    }
};

TEST_F(Interop, PeersReadEveryValueQuilletWrote) {
    for (bool moving : {true, false}) {
        SCOPED_TRACE(moving ? "moved" : "in place");
        const std::string path = put(moving ? Bytes() : tag24(Bytes(), 100'000));
        load(path, true);
        fill();
        tag.WriteTag();
        const uint32_t declared = syncsafe::decode(readFile(path).data() + 6);
        EXPECT_EQ(declared == 100'000u, !moving);
        for (const Peer& peer : peers()) {
            if (peer.command.empty()) {
                ADD_FAILURE() << peer.name << " is not installed";
                continue;
            }
            const auto r = run(peer.command + " " + shellQuote(path));
            ASSERT_EQ(r.status, 0) << peer.name;
            EXPECT_EQ(parse(r.out).frames, expected(declared)) << peer.name;
        }
    }
}

TEST_F(Interop, RealAudioIsTheSameToThePeersAfterEveryKindOfWrite) {
    const std::string path = dir.file("silence.mp3");
    const Bytes original = readFile(corpusDir() + "/mutagen/silence-44-s.mp3");
    writeFile(path, original);
    const size_t oldRegion = 1314; // its ID3v2.3 tag, header included
    const Bytes audioBytes(original.begin() + oldRegion, original.end());

    std::vector<PeerView> before;
    for (const Peer& peer : peers())
        before.push_back(parse(run(peer.command + " " + shellQuote(path)).out));

    load(path);
    tag.setText(Prop::Title, "In place");
    tag.WriteTag(); // fits into the old tag
    load(path);
    fill(); // 10 KB of pictures: the audio moves
    tag.WriteTag();

    const Bytes now = readFile(path);
    const size_t gap = now.size() - original.size();
    EXPECT_EQ(gap % 1024, 0u);
    EXPECT_GT(gap, 0u);
    EXPECT_EQ(Bytes(now.begin() + std::ptrdiff_t(gap + oldRegion), now.end()), audioBytes);

    const auto all = peers();
    for (size_t i = 0; i < all.size(); ++i) {
        if (all[i].command.empty()) continue;
        const PeerView after = parse(run(all[i].command + " " + shellQuote(path)).out);
        // The file's own TLEN frame, which the model does not hold, is kept.
        std::vector<std::string> want = expected(syncsafe::decode(now.data() + 6));
        want.push_back("TLEN " + hex("3000"));
        std::sort(want.begin(), want.end());
        EXPECT_EQ(after.frames, want) << all[i].name;
        std::string expectedAudio = before[i].audio;
        if (std::string(all[i].name) == "TagLib") // the first MPEG frame moved by the gap
            expectedAudio.replace(6, 4, std::to_string(oldRegion + gap));
        EXPECT_NE(after.audio, "audio none");
        EXPECT_EQ(after.audio, expectedAudio) << all[i].name;
    }
}

} // namespace
