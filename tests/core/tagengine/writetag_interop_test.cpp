// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
// Files written by Quillet, read by other taggers: TagLib (through a small
// program built for the tests) and mutagen must see every value Quillet wrote,
// in every script, every frame of the file that the edit did not touch, and
// the same audio as before the write.
#include "readfixture.h"
#include "support/families.h"
#include "support/peers.h"
#include "tagengine/frameids.h"
#include "tagengine/tagheader.h"
#include "tagengine/v24pictures.h"
#include "writefixture.h"

#include <algorithm>
#include <map>

using namespace testing_support;
using tag::Prop;

namespace {

// Other taggers show a description or MIME type without its terminating zero.
std::string hexField(const std::string& s) {
    return hex(!s.empty() && s.back() == '\0' ? std::string_view(s).substr(0, s.size() - 1) : s);
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
                            std::to_string(v24::pictureTypeByte(e.pictureType)) + " " +
                            hexField(e.description) + " " + digest(data));
        }
        std::sort(lines.begin(), lines.end());
        return lines;
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
            EXPECT_EQ(peerView(peer, path).frames, expected(declared)) << peer.name;
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
        before.push_back(peerView(peer, path));

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
        const PeerView after = peerView(all[i], path);
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

// One text of each script: what the model holds, frames carry in UTF-8 or
// UTF-16, and other taggers read.
const std::vector<std::string> Scripts{
    "Café Grüße ÿ", "Łódź Œuvre", "Καλημέρα",    "Кино",   "שלום", "مرحبا",
    "नमस्ते",         "สวัสดี",       "日本語 中文", "한국어", "🎵🎸",   "“quoted” — № 5 ‘x’",
};

std::string joined() {
    std::string all;
    for (const std::string& s : Scripts)
        all += (all.empty() ? "" : " / ") + s;
    return all;
}

// mutagen writes a tag of the given version into path: TIT2 of every script,
// a TXXX per script and a COMM, then the frames the extra Python lines add.
void mutagenWrites(const std::string& path, int version, const std::string& extra = "") {
    const std::string script = R"py(
import json, sys
from mutagen.id3 import (COMM, GEOB, ID3, MCDI, PCNT, POPM, PRIV, RVA2, SYLT, TCMP, TIT2,
                         TSO2, TSRC, TSSE, TXXX, UFID)
texts = json.load(sys.stdin)
tags = ID3()
tags.add(TIT2(encoding=3, text=" / ".join(texts)))
for i, t in enumerate(texts):
    tags.add(TXXX(encoding=3, desc="s%d" % i, text=t))
tags.add(COMM(encoding=3, lang="eng", desc=texts[2], text=texts[3]))
)py" + extra + R"py(
tags.save(sys.argv[1], v2_version=int(sys.argv[2]))
)py";
    std::string input = "[";
    for (const std::string& s : Scripts)
        input += (input.size() > 1 ? ",\"" : "\"") + s + "\"";
    const std::string scriptPath = path + ".py";
    writeFile(scriptPath, bytes(script));
    const auto r = run("/usr/bin/python3 " + shellQuote(scriptPath) + " " + shellQuote(path) + " " +
                           std::to_string(version),
                       input + "]");
    ASSERT_EQ(r.status, 0) << r.out;
}

// What each installed peer reads from path: every frame line but the
// header's and those of the IDs an edit changed.
std::vector<std::vector<std::string>> peerViews(const std::string& path,
                                                const std::string& changedId) {
    std::vector<std::vector<std::string>> views;
    for (const Peer& peer : peers()) {
        EXPECT_FALSE(peer.command.empty()) << peer.name << " is not installed";
        std::vector<std::string> lines = peerView(peer, path).frames;
        std::erase_if(lines, [&](const std::string& l) {
            return l.rfind("ID3v2.", 0) == 0 || l.rfind(changedId + " ", 0) == 0;
        });
        views.push_back(std::move(lines));
    }
    return views;
}

TEST_F(Interop, EveryScriptRoundTripsThroughThePeers) {
    // Quillet writes every script; the peers read it.
    const std::string path = put(Bytes(), true, "scripts.mp3");
    load(path, true);
    tag.setText(Prop::Title, joined());
    for (size_t i = 0; i < Scripts.size(); ++i)
        tag.SetUserText(zeroEnded("s" + std::to_string(i)), Scripts[i], int(i) + 1);
    tag.SetComment(zeroEnded(Scripts[2]), "eng", Scripts[3], 1);
    tag.WriteTag();
    for (const Peer& peer : peers()) {
        ASSERT_FALSE(peer.command.empty()) << peer.name << " is not installed";
        EXPECT_EQ(peerView(peer, path).frames,
                  expected(syncsafe::decode(readFile(path).data() + 6)))
            << peer.name;
    }

    // mutagen writes them in UTF-8 (ID3v2.4) and UTF-16 (ID3v2.3); Quillet
    // reads every character, and after an edit the peers read them as before.
    for (int version : {4, 3}) {
        SCOPED_TRACE(version);
        const std::string theirs = put(Bytes(), true, "theirs.mp3");
        mutagenWrites(theirs, version);
        const auto before = peerViews(theirs, "TALB");
        load(theirs);
        // mutagen ends each text with a zero, which ends the value.
        EXPECT_EQ(title(), joined());
        std::map<std::string, std::string> byDescription;
        for (const auto& e : tag.UserTexts())
            byDescription[e.description] = e.value;
        ASSERT_EQ(byDescription.size(), Scripts.size());
        for (size_t i = 0; i < Scripts.size(); ++i)
            EXPECT_EQ(byDescription[zeroEnded("s" + std::to_string(i))], Scripts[i]);
        ASSERT_EQ(tag.Comments().count(), 1);
        EXPECT_EQ(tag.Comments()[1], (tag::LangEntry{Scripts[3], "eng", zeroEnded(Scripts[2])}));
        tag.setText(Prop::Album, "edited");
        tag.WriteTag();
        EXPECT_EQ(peerViews(theirs, "TALB"), before);
    }
}

TEST_F(Interop, FramesTheModelDoesNotHoldAreTheSameToThePeersAfterAnEdit) {
    // Frames as players, music stores and database taggers leave them.
    const std::string others = R"py(
tags.add(PRIV(owner="WM/MediaClassPrimaryID", data=b"\x01\x02\x03"))
tags.add(POPM(email="rater@example.org", rating=196, count=12))
tags.add(UFID(owner="http://musicbrainz.org", data=b"6f3c1e1a-0000-4000-8000-000000000001"))
tags.add(TSRC(encoding=3, text="GBAYE0000351"))
tags.add(TSSE(encoding=3, text="LAME 3.100"))
tags.add(TCMP(encoding=3, text="1"))
tags.add(TSO2(encoding=3, text="Beatles, The"))
tags.add(PCNT(count=42))
tags.add(GEOB(encoding=3, mime="application/x-data", filename="f.bin", desc="blob",
              data=b"\x01\x02" * 20))
tags.add(SYLT(encoding=3, lang="eng", format=2, type=1, desc="", text=[("la", 1000), ("li", 2000)]))
tags.add(MCDI(data=b"\x00\x12\x01\x01" * 5))
tags.add(TXXX(encoding=3, desc="MusicBrainz Album Id", text="b84ee12a-0000-4000-8000-000000000002"))
if int(sys.argv[2]) == 4:
    tags.add(RVA2(desc="track", channel=1, gain=-3.5, peak=0.9))
)py";
    for (int version : {3, 4}) {
        SCOPED_TRACE(version);
        const std::string path = put(Bytes(), true, "v2" + std::to_string(version) + ".mp3");
        mutagenWrites(path, version, others);
        const auto before = peerViews(path, "TIT2");
        load(path);
        EXPECT_EQ(tag.KeptFrames().size(), version == 4 ? 12u : 11u);
        tag.setText(Prop::Title, "A new title, " + Scripts[3]);
        tag.WriteTag();
        EXPECT_EQ(peerViews(path, "TIT2"), before);
    }
}

// Files of every family another program writes: Quillet reads what the peers
// read; quillet-tag set keeps every other frame as they read it, and every
// byte after the tag; the undo journal brings each back byte for byte.
TEST_F(Interop, EveryFamilyOfTagsKeepsEverythingThroughAnEdit) {
    const std::string program = dir.path() + "program/";
    for (const Family& family : families(dir.path())) {
        SCOPED_TRACE(family.name);
        const std::string path = put(family.file, false, "family.mp3");
        std::vector<PeerView> before;
        for (const Peer& peer : peers())
            before.push_back(peerView(peer, path, true));
        load(path);
        EXPECT_EQ(tag.DroppedFrames(), family.dropped);
        // Every value the window shows is one the peers read, and the other
        // way round, but for the frames kept unread and the entries beyond
        // a full list.
        const std::vector<std::string> shown = untitled(expected(0), {});
        for (size_t i = 0; i < before.size(); ++i) {
            std::vector<std::string> theirs, missing, wrong;
            for (const std::string& line : untitled(before[i].frames, {}))
                if (tag::lookupFrame(tag::TagVersion::V24, line.substr(0, 4)))
                    theirs.push_back(line);
            std::set_difference(theirs.begin(), theirs.end(), shown.begin(), shown.end(),
                                std::back_inserter(missing));
            std::set_difference(shown.begin(), shown.end(), theirs.begin(), theirs.end(),
                                std::back_inserter(wrong));
            EXPECT_EQ(wrong, std::vector<std::string>()) << peers()[i].name;
            for (const std::string& line : missing) {
                const std::string id = line.substr(0, 4);
                const auto target = tag::lookupFrame(tag::TagVersion::V24, id);
                const bool full =
                    target->role == tag::FrameRole::List && tag.model().full(target->list);
                EXPECT_TRUE(full || std::find(family.unshown.begin(), family.unshown.end(), id) !=
                                        family.unshown.end())
                    << peers()[i].name << " " << line;
            }
        }

        const std::string set = shellQuote(QUILLET_TAG_BIN) + " set --journal --program-folder " +
                                shellQuote(program) + " ";
        const std::string args = shellQuote(path) + " Title=Edited";
        if (!family.dropped.empty()) {
            EXPECT_EQ(run(set + args).status, 1);
            EXPECT_EQ(readFile(path), family.file);
        }
        ASSERT_EQ(run(set + (family.dropped.empty() ? "" : "--allow-loss ") + args).status, 0);
        const Bytes now = readFile(path);
        const size_t region = tag::parseTagHeader(family.file.data()).regionLength();
        EXPECT_EQ(Bytes(now.end() - std::ptrdiff_t(family.file.size() - region), now.end()),
                  Bytes(family.file.begin() + std::ptrdiff_t(region), family.file.end()));
        for (size_t i = 0; i < before.size(); ++i)
            EXPECT_EQ(untitled(peerView(peers()[i], path, true).frames, family.dropped),
                      untitled(before[i].frames, family.dropped))
                << peers()[i].name;

        EXPECT_EQ(run(shellQuote(QUILLET_TAG_BIN) + " undo --program-folder " + shellQuote(program))
                      .status,
                  0);
        EXPECT_EQ(readFile(path), family.file);
    }
}

} // namespace
