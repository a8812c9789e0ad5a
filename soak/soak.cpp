// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
// The soak test: many real files written, read back and rewritten for several
// rounds with random models, as "Write for all" and the editor do it. After
// every write the audio of each file must be the bytes it had at the start,
// the tag must read back exactly as written (pictures byte for byte, texts in
// any script) and the frames of the file's own that the model does not hold
// must still be there.
//
//   quillet-soak CORPUS WORK [ROUNDS] [SEED]
//
// CORPUS is copied into WORK (emptied first) and only WORK is changed.
#include "id3v1/id3.h"
#include "io/ioerror.h"
#include "tagengine/v24.h"
#include "tagengine/zurur24.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;
using tag::Prop;

namespace {

Bytes readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeAll(const std::string& path, const Bytes& data) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data.data()),
              static_cast<std::streamsize>(data.size()));
}

uint32_t syncsafe(const uint8_t* b) {
    return (uint32_t{b[0]} << 21) | (uint32_t{b[1]} << 14) | (uint32_t{b[2]} << 7) | b[3];
}

// A soaked file: its audio as it was at the start (everything after the first
// ID3v2 tag and before an ID3v1 trailer) and whether it has a trailer.
struct Song {
    std::string path;
    Bytes audio;
    bool trailer = false;
    std::vector<std::string> kept; // the frames every write keeps: ID and size
};

std::vector<std::string> keptFrames(const ID3v24& t) {
    std::vector<std::string> out;
    for (const auto& k : t.KeptFrames())
        out.push_back(std::string(k.id()) + " " + std::to_string(k.size));
    return out;
}

Song songOf(const std::string& path) {
    Bytes b = readAll(path);
    Song s{path, {}, b.size() >= 128 && std::memcmp(b.data() + b.size() - 128, "TAG", 3) == 0, {}};
    size_t start = 0;
    if (b.size() >= 10 && std::memcmp(b.data(), "ID3", 3) == 0) start = 10 + syncsafe(&b[6]);
    const size_t end = b.size() - (s.trailer ? 128 : 0);
    s.audio.assign(b.begin() + static_cast<long>(std::min(start, end)),
                   b.begin() + static_cast<long>(end));
    return s;
}

class Random {
public:
    explicit Random(uint64_t seed) : m_rng(seed) {}
    size_t below(size_t n) {
        return n ? std::uniform_int_distribution<size_t>(0, n - 1)(m_rng) : 0;
    }
    bool chance(double p) { return std::bernoulli_distribution(p)(m_rng); }
    // Text of up to max characters, zeros included: ISO-8859-1 characters,
    // and in some texts characters of any plane beyond.
    std::string text(size_t max, bool zeros = true, bool beyondLatin1 = true) {
        const bool beyond = beyondLatin1 && chance(0.3);
        std::string s;
        for (size_t n = below(max + 1); n > 0; --n) {
            uint32_t cp = zeros ? below(256) : 1 + below(255);
            if (beyond && chance(0.3)) {
                cp = chance(0.2) ? 0x10000 + below(0x100000) : 0x100 + below(0xD800 - 0x100);
            }
            append(s, cp);
        }
        return s;
    }
    std::string latin1(size_t max, bool zeros = true) { return text(max, zeros, false); }
    // A description or MIME type: no zero inside, one at its end.
    std::string terminated(size_t max) { return text(max, false) + '\0'; }
    std::string language() {
        std::string l(3, 'a');
        for (char& c : l)
            c = static_cast<char>('a' + below(26));
        return l;
    }

private:
    static void append(std::string& s, uint32_t cp) {
        if (cp < 0x80) {
            s += static_cast<char>(cp);
            return;
        }
        static constexpr uint8_t Lead[] = {0, 0xC0, 0xE0, 0xF0};
        const int extra = cp < 0x800 ? 1 : cp < 0x10000 ? 2 : 3;
        s += static_cast<char>(Lead[extra] | (cp >> (6 * extra)));
        for (int k = extra - 1; k >= 0; --k)
            s += static_cast<char>(0x80 | ((cp >> (6 * k)) & 0x3F));
    }

    std::mt19937_64 m_rng;
};

// Fills the component's model with random texts and lists; pictures come from
// the pool, whose files range from nothing to a few hundred KiB.
void randomModel(ID3v24& t, Random& r, const std::vector<std::string>& pool) {
    for (const auto& p : tag::PropTable) {
        const size_t length = r.chance(0.1) ? 3000 : 40;
        // URLs are ISO-8859-1 in the format.
        t.setText(p.prop, !r.chance(0.3)                  ? ""
                          : p.kind == tag::FrameKind::Url ? r.latin1(length)
                                                          : r.text(length));
    }
    auto count = [&](int max) { return static_cast<int>(r.below(static_cast<size_t>(max) + 1)); };
    // Emptying by deleting keeps the stale entries behind the count, as the editor does.
    while (t.Comments().count())
        t.DeleteComment(1);
    while (t.Lyrics().count())
        t.DeleteLyric(1);
    while (t.UserUrls().count())
        t.DeleteUserUrl(1);
    while (t.TermsOfUse().count())
        t.DeleteTermsOfUse(1);
    while (t.Pictures().count())
        t.DeletePicture(1);
    while (t.UserTexts().count())
        t.DeleteUserText(1);
    for (int i = 1, n = count(3); i <= n; ++i)
        t.SetComment(r.terminated(20), r.language(), r.text(200), i);
    for (int i = 1, n = count(1); i <= n; ++i)
        t.SetLyric(r.terminated(10), r.language(), r.text(2000), i);
    for (int i = 1, n = count(2); i <= n; ++i)
        t.SetUserUrl(r.terminated(10), r.latin1(60), i);
    for (int i = 1, n = count(1); i <= n; ++i)
        t.SetTermsOfUse(r.language(), r.text(100), i);
    for (int i = 1, n = count(2); i <= n; ++i)
        t.SetUserText(r.terminated(15), r.text(50), i);
    static const char* const Mime[] = {"image/jpeg", "image/png", "image/gif", "image/bmp"};
    for (int i = 1, n = count(3); i <= n; ++i) {
        const std::string_view type = v24::PictureTypeNames[r.below(v24::PictureTypeNames.size())];
        t.SetPicture(r.terminated(12), std::string(type), std::string(Mime[r.below(4)]) + '\0',
                     pool[r.below(pool.size())], i);
    }
}

void randomTrailer(Id3v1& v, Random& r) {
    auto text = [&](size_t width) {
        // Field text as a read gives it back: ISO-8859-1, no trailing spaces or zeros.
        std::string s = r.latin1(width, false);
        while (!s.empty() && s.back() == ' ')
            s.pop_back();
        return s;
    };
    v.Title = text(30);
    v.Artist = text(30);
    v.Album = text(30);
    v.Year = text(4);
    v.Comment = text(28);
    // Track 32 is a space in the file, which reads as no track number.
    const size_t track = r.below(255);
    v.TrackNum = std::to_string(track == 32 ? 255 : track);
    v.Genre = r.chance(0.2) ? std::string() : std::string(id3::GenreTable[r.below(126)]);
}

struct Failure {
    std::string what;
};

void expect(bool ok, const Song& s, const std::string& what) {
    if (!ok) throw Failure{s.path + ": " + what};
}

template <class List, class Same>
void compareList(const List& a, const List& b, const char* name, const Song& s, Same same) {
    expect(a.count() == b.count(), s, std::string(name) + " count differs");
    for (int i = 1; i <= a.count(); ++i)
        expect(same(a[i], b[i]), s, std::string(name) + " entry " + std::to_string(i) + " differs");
}

void compareModels(const ID3v24& wrote, const ID3v24& read, const Song& s) {
    for (size_t i = 0; i < tag::PropCount; ++i)
        expect(wrote.text(static_cast<Prop>(i)) == read.text(static_cast<Prop>(i)), s,
               std::string("text ") + std::string(tag::PropTable[i].name) + " differs");
    auto eq = [](const auto& x, const auto& y) { return x == y; };
    compareList(wrote.Comments(), read.Comments(), "Comments", s, eq);
    compareList(wrote.Lyrics(), read.Lyrics(), "Lyrics", s, eq);
    compareList(wrote.UserUrls(), read.UserUrls(), "UserUrls", s, eq);
    compareList(wrote.TermsOfUse(), read.TermsOfUse(), "TermsOfUse", s, eq);
    compareList(wrote.UserTexts(), read.UserTexts(), "UserTexts", s, eq);
    compareList(wrote.Pictures(), read.Pictures(), "Pictures", s,
                [](const tag::PictureEntry& x, const tag::PictureEntry& y) {
                    return x.mimeType == y.mimeType && x.pictureType == y.pictureType &&
                           x.description == y.description &&
                           readAll(x.pictureFile) == readAll(y.pictureFile);
                });
}

void checkAudio(const Song& s) {
    const Bytes now = readAll(s.path);
    const size_t tail = s.trailer ? 128 : 0;
    expect(now.size() >= s.audio.size() + tail + 10, s, "the file is too short");
    const size_t at = now.size() - tail - s.audio.size();
    expect(std::memcmp(now.data() + at, s.audio.data(), s.audio.size()) == 0, s,
           "the audio changed");
    expect(std::memcmp(now.data(), "ID3\x04", 4) == 0, s, "no ID3v2.4 header at the start");
    expect(10 + syncsafe(&now[6]) <= at, s, "the tag reaches into the audio");
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s CORPUS WORK [ROUNDS] [SEED]\n", argv[0]);
        return 2;
    }
    const fs::path corpus = argv[1];
    const fs::path work = argv[2];
    const int rounds = argc > 3 ? std::atoi(argv[3]) : 5;
    const uint64_t seed = argc > 4 ? std::stoull(argv[4]) : std::random_device{}();
    std::printf("soak: seed %llu\n", static_cast<unsigned long long>(seed));
    Random r(seed);

    fs::remove_all(work);
    fs::create_directories(work / "music");
    std::vector<Song> songs;
    for (const auto& e : fs::directory_iterator(corpus)) {
        if (e.path().extension() != ".mp3") continue;
        const fs::path copy = work / "music" / e.path().filename();
        fs::copy_file(e.path(), copy);
        songs.push_back(songOf(copy.string()));
    }
    std::sort(songs.begin(), songs.end(),
              [](const Song& a, const Song& b) { return a.path < b.path; });
    const std::string temp = (work / "Temp").string() + "/";
    const std::string readBack = (work / "ReadBack").string() + "/";
    auto editor = std::make_unique<ID3v24>();
    auto reader = std::make_unique<ID3v24>();
    for (Song& s : songs) {
        reader->FileName = s.path;
        reader->ReadTag(readBack, false);
        s.kept = keptFrames(*reader);
    }
    if (songs.empty()) {
        std::fprintf(stderr, "soak: no .mp3 files in %s\n", corpus.c_str());
        return 2;
    }

    // Pictures from nothing to 300 KiB, so tags grow past their room and shrink back.
    fs::create_directories(work / "pictures");
    std::vector<std::string> pool;
    for (size_t size : {0, 1, 700, 5000, 40000, 120000, 300000}) {
        const std::string path = (work / "pictures" / ("pic" + std::to_string(size))).string();
        Bytes b(size);
        for (auto& c : b)
            c = static_cast<uint8_t>(r.below(256));
        writeAll(path, b);
        pool.push_back(path);
    }
    Id3v1 trailer;
    const auto started = std::chrono::steady_clock::now();
    long checked = 0, grown = 0;
    try {
        for (int round = 1; round <= rounds; ++round) {
            for (Song& s : songs) {
                // As "Write for all": the header of each file just before its write.
                editor->FileName = s.path;
                editor->ReadTag(temp, true);
                const uint64_t before = fs::file_size(s.path);
                randomModel(*editor, r, pool);
                editor->WriteTag();
                if (fs::file_size(s.path) > before) ++grown;

                // A file gets its trailer once and keeps it.
                if (s.trailer || r.chance(0.3)) {
                    trailer.FileName = s.path;
                    randomTrailer(trailer, r);
                    const Id3v1 wrote = trailer;
                    s.trailer = true;
                    trailer.WriteTag();
                    Id3v1 back;
                    back.FileName = s.path;
                    back.ReadTag();
                    expect(back.ID3v1Present && back.Title == wrote.Title &&
                               back.Artist == wrote.Artist && back.Album == wrote.Album &&
                               back.Year == wrote.Year && back.Comment == wrote.Comment &&
                               back.TrackNum == wrote.TrackNum && back.Genre == wrote.Genre,
                           s, "the ID3v1.1 trailer did not read back");
                }

                checkAudio(s);
                reader->FileName = s.path;
                reader->ReadTag(readBack, false);
                expect(reader->Version == "2.4", s, "not read as ID3v2.4");
                compareModels(*editor, *reader, s);
                expect(keptFrames(*reader) == s.kept, s,
                       "the frames the model does not hold "
                       "were not kept");
                ++checked;
            }
            // Nothing but the songs in the folder: no temporary file stayed.
            size_t files = 0;
            for (const auto& e : fs::directory_iterator(work / "music")) {
                (void)e;
                ++files;
            }
            if (files != songs.size()) throw Failure{"files appeared beside the songs"};
            std::printf("soak: round %d of %d: %zu files written, read back and checked\n", round,
                        rounds, songs.size());
            std::fflush(stdout);
        }
    } catch (const Failure& f) {
        std::printf("soak: FAILED: %s (seed %llu)\n", f.what.c_str(),
                    static_cast<unsigned long long>(seed));
        return 1;
    } catch (const std::exception& e) {
        std::printf("soak: FAILED with an error: %s (seed %llu)\n", e.what(),
                    static_cast<unsigned long long>(seed));
        return 1;
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::printf(
        "soak: %zu files x %d rounds = %ld writes checked (%ld moved the audio) in %.0f s\n",
        songs.size(), rounds, checked, grown, seconds);
    std::printf("soak: %ld passed, 0 failed\n", checked);
    return 0;
}
