// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "faults/scenarios.h"

#include "id3v1/id3.h"
#include "io/copyfile.h"
#include "io/ioerror.h"
#include "io/replacement.h"
#include "renamer/renamer.h"
#include "settings/profile.h"
#include "tagengine/zurur24.h"

#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <sys/stat.h>

using namespace testing_support;
using tag::Prop;

Snapshot snapshot(const std::string& folder) {
    Snapshot s;
    for (const auto& e : std::filesystem::recursive_directory_iterator(folder)) {
        const std::string name = e.path().string().substr(folder.size());
        struct stat st {};
        ::lstat(e.path().c_str(), &st);
        Entry entry{{}, st.st_mode & 07777, e.is_directory()};
        if (!entry.folder) entry.bytes = readFile(e.path().string());
        s[name] = std::move(entry);
    }
    return s;
}

std::string wordsFor(int error) {
    switch (error) {
    case ENOSPC:
    case EDQUOT:
        return "Disk full";
    case EACCES:
    case EPERM:
        return "File access denied";
    case ENOENT:
        return "File not found";
    case EIO:
        return "I/O error 5";
    default:
        return "(an error no test injects: " + std::to_string(error) + ")";
    }
}

std::string errorOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const io::IoError& e) {
        return e.what();
    } catch (const settings::WriteError& e) {
        return e.what(); // the settings file's own words
    } catch (const std::exception& e) {
        return std::string("unexpected exception: ") + e.what();
    }
    return {};
}

namespace {

Bytes text24(std::string_view id, std::string_view value) {
    return frame24(id, Bytes{0} + bytes(value));
}

Bytes apic(std::string_view mime, const Bytes& data) {
    return frame24("APIC", Bytes{0} + bytes(mime) + Bytes{0, 3, 0} + data);
}

// A picture's bytes: a counting pattern unlike the audio's.
Bytes pictureBytes(size_t size, uint8_t seed) {
    Bytes b(size);
    for (size_t i = 0; i < size; ++i)
        b[i] = static_cast<uint8_t>(i * 13 + seed);
    return b;
}

// Files that no operation may touch: a bystander, and a folder with a file.
// Returns the test folder.
std::string bystanders(const TempDir& dir) {
    writeFile(dir.file("notes.txt"), bytes("not a song"));
    ::chmod(dir.file("notes.txt").c_str(), 0640);
    std::filesystem::create_directory(dir.file("Other"));
    writeFile(dir.file("Other/other.mp3"), tag24(text24("TIT2", "other")) + audio(100));
    return dir.path();
}

// Compares without printing megabytes: names that differ, then entries.
void expectSame(const Snapshot& before, const Snapshot& after, const std::string& except = {}) {
    for (const auto& [name, entry] : before) {
        if (name == except) continue;
        auto it = after.find(name);
        if (it == after.end()) {
            ADD_FAILURE() << name << " is gone";
        } else if (!(it->second == entry)) {
            ADD_FAILURE() << name << " changed";
        }
    }
    for (const auto& [name, entry] : after)
        if (name != except && !before.count(name)) ADD_FAILURE() << name << " appeared";
}

// The folder now, checked against before but for the file except.
Snapshot othersAsBefore(const std::string& folder, const Snapshot& before,
                        const std::string& except) {
    Snapshot after = snapshot(folder);
    expectSame(before, after, except);
    return after;
}

using Check = std::function<void(const TempDir&, const Snapshot& before)>;

// A failure that leaves the whole folder as it was.
Check nothingChanged(const std::string& folder) {
    return
        [folder](const TempDir&, const Snapshot& before) { expectSame(before, snapshot(folder)); };
}

bool startsWith(const std::string& s, const std::string& prefix) {
    return s.compare(0, prefix.size(), prefix) == 0;
}

// The bytes at from.. of before are still there, at the same place or (after
// a moving write) at the end of the file.
void expectAudio(const Bytes& before, const Bytes& after, size_t from, bool atEnd) {
    const size_t n = before.size() - from;
    ASSERT_GE(after.size(), n);
    const size_t at = atEnd ? after.size() - n : from;
    ASSERT_LE(at + n, after.size());
    EXPECT_TRUE(std::memcmp(before.data() + from, after.data() + at, n) == 0)
        << "the audio changed";
}

// A failed write in place: song.mp3 keeps its length and its audio from
// audioFrom on; nothing else changes.
Check failedInPlace(const std::string& folder, size_t audioFrom) {
    return [=](const TempDir&, const Snapshot& before) {
        const Snapshot after = othersAsBefore(folder, before, "song.mp3");
        const Bytes& was = before.at("song.mp3").bytes;
        const Bytes& now = after.at("song.mp3").bytes;
        EXPECT_EQ(now.size(), was.size());
        if (now.size() == was.size()) expectAudio(was, now, audioFrom, false);
    };
}

// The tag the file holds now, read by a component of its own (with its
// pictures in a folder of its own).
struct ReadBack {
    TempDir pictures;
    std::unique_ptr<ID3v24> tag = std::make_unique<ID3v24>();
    explicit ReadBack(const std::string& file) {
        tag->FileName = file;
        tag->ReadTag(pictures.path(), false);
    }
};

// ---- the operations

// A tag written over the old one when it fits, or with the audio moved back.
Prepared writeTag(const TempDir& dir, size_t padding, size_t audioSize, size_t pictureSize,
                  bool moving) {
    const std::string folder = bystanders(dir);
    // The PRIV frame, which the model does not hold, is read back from the
    // file by the write and kept.
    const Bytes old = tag24(text24("TIT2", "Old title") +
                                frame24("COMM", Bytes{0} + bytes("eng") + Bytes{0} + bytes("c")) +
                                frame24("PRIV", bytes("owner") + Bytes{0} + repeat(0x5A, 6000)),
                            padding);
    const std::string song = dir.file("song.mp3");
    writeFile(song, old + audio(audioSize));
    const std::string cover = dir.file("cover.jpg");
    const Bytes picture = pictureBytes(pictureSize, 1);
    writeFile(cover, picture);

    auto t = std::make_shared<ID3v24>();
    t->FileName = song;
    t->ReadTag(dir.file("Temp/"), false);
    t->setText(Prop::Title, "New title");
    t->SetPicture(withZero("front"), "Cover (front)", withZero("image/jpeg"), cover, 1);
    const size_t audioFrom = old.size();

    Prepared run;
    run.operation = [t] { t->WriteTag(); };
    run.checkDone = [=](const TempDir&, const Snapshot& before) {
        const Snapshot after = othersAsBefore(folder, before, "song.mp3");
        const Bytes& was = before.at("song.mp3").bytes;
        const Bytes& now = after.at("song.mp3").bytes;
        if (!moving) {
            EXPECT_EQ(now.size(), was.size());
        }
        expectAudio(was, now, audioFrom, moving);
        ReadBack back(song);
        EXPECT_EQ(back.tag->text(Prop::Title), "New title");
        EXPECT_EQ(back.tag->Comments().count(), 1);
        ASSERT_EQ(back.tag->KeptFrames().size(), 1u);
        EXPECT_EQ(back.tag->KeptFrames()[0].size, 6006u);
        ASSERT_EQ(back.tag->Pictures().count(), 1);
        EXPECT_TRUE(readFile(back.tag->Pictures()[1].pictureFile) == picture);
    };
    // Moving, the original is replaced in one rename or not at all.
    run.checkFailed = moving ? nothingChanged(folder) : failedInPlace(folder, audioFrom);
    return run;
}

Prepared removeTag(const TempDir& dir) {
    const std::string folder = bystanders(dir);
    // Larger than one zero block, so the blanking takes several writes.
    const size_t padding = 540000;
    const Bytes old = tag24(text24("TIT2", "gone soon"), padding);
    const std::string song = dir.file("song.mp3");
    writeFile(song, old + audio(50000));
    auto t = std::make_shared<ID3v24>();
    t->FileName = song;
    t->ReadTag(dir.file("Temp/"), true);
    const uint32_t T = t->TagSize();

    Prepared run;
    run.operation = [t] { t->RemoveTag(); };
    run.checkDone = [=](const TempDir&, const Snapshot& before) {
        const Snapshot after = othersAsBefore(folder, before, "song.mp3");
        const Bytes expected = header(4, T) + repeat(0, T) + audio(50000);
        EXPECT_TRUE(after.at("song.mp3").bytes == expected);
    };
    run.checkFailed = failedInPlace(folder, old.size());
    return run;
}

Bytes trailer(std::string_view title) {
    Bytes t = bytes("TAG") + repeat(0, 125);
    std::memcpy(t.data() + 3, title.data(), title.size());
    t[127] = 255;
    return t;
}

// The ID3v1.1 trailer written over an old one, or appended to a file without.
Prepared id3v1Write(const TempDir& dir, bool appended) {
    const std::string folder = bystanders(dir);
    const std::string song = dir.file("song.mp3");
    const Bytes body = audio(20480); // whole pages: an appended trailer needs a new one
    writeFile(song, appended ? body : body + trailer("old"));
    auto v = std::make_shared<Id3v1>();
    v->FileName = song;
    v->ReadTag();
    v->Title = "New title";
    v->TrackNum = "7";
    v->Genre = "Rock";

    Prepared run;
    run.operation = [v] { v->WriteTag(); };
    run.checkDone = [=](const TempDir&, const Snapshot& before) {
        const Snapshot after = othersAsBefore(folder, before, "song.mp3");
        const Bytes& now = after.at("song.mp3").bytes;
        EXPECT_EQ(now.size(), body.size() + 128);
        expectAudio(body, now, 0, false);
        Id3v1 back;
        back.FileName = song;
        back.ReadTag();
        EXPECT_EQ(back.Title, "New title");
        EXPECT_EQ(back.TrackNum, "7");
        EXPECT_EQ(back.Genre, "Rock");
    };
    run.checkFailed = [=](const TempDir&, const Snapshot& before) {
        const Snapshot after = othersAsBefore(folder, before, "song.mp3");
        const Bytes& was = before.at("song.mp3").bytes;
        const Bytes& now = after.at("song.mp3").bytes;
        // Over a trailer the length stays; an append that failed on the way is
        // taken back (one that failed only in the close is complete).
        if (appended) {
            EXPECT_TRUE(now.size() == was.size() || now.size() == was.size() + 128);
        } else {
            EXPECT_EQ(now.size(), was.size());
        }
        const size_t audioEnd = appended ? was.size() : was.size() - 128;
        ASSERT_GE(now.size(), audioEnd);
        EXPECT_TRUE(std::memcmp(now.data(), was.data(), audioEnd) == 0) << "the audio changed";
    };
    return run;
}

// The safe replace on its own: a new version of a file, renamed over it.
Prepared safeReplace(const TempDir& dir) {
    const std::string folder = bystanders(dir);
    const std::string target = dir.file("data.bin");
    writeFile(target, pictureBytes(300000, 7));
    ::chmod(target.c_str(), 0640);
    const Bytes next = pictureBytes(310000, 9);

    Prepared run;
    run.operation = [=] {
        io::ReplacementFile r(target);
        r.file().writeAt(next.data(), next.size(), 0);
        r.commit();
    };
    run.checkDone = [=](const TempDir&, const Snapshot& before) {
        const Snapshot after = othersAsBefore(folder, before, "data.bin");
        EXPECT_TRUE(after.at("data.bin").bytes == next);
        EXPECT_EQ(after.at("data.bin").mode, 0640u);
    };
    run.checkFailed = nothingChanged(folder);
    return run;
}

// A full read that extracts pictures: a failure takes nothing over (the
// texts are empty, the lists as they were) and writes nowhere but Temp/.
Prepared readTag(const TempDir& dir) {
    const std::string folder = bystanders(dir);
    const std::string song = dir.file("song.mp3");
    const Bytes small = pictureBytes(2000, 3);
    const Bytes large = pictureBytes(540000, 5); // more than one copy block
    writeFile(song, tag24(text24("TIT2", "Read me") + apic("image/png", small) +
                          apic("image/jpeg", large)) +
                        audio(10000));
    auto t = std::make_shared<ID3v24>();
    t->FileName = song;
    t->setText(Prop::Title, "stale");
    t->SetComment(withZero("d"), "eng", "stale", 1);

    auto outsideTemp = [](Snapshot s) {
        std::erase_if(s, [](const auto& e) { return startsWith(e.first, "Temp"); });
        return s;
    };
    Prepared run;
    const std::string temp = dir.file("Temp/");
    run.operation = [=] { t->ReadTag(temp, false); };
    run.checkDone = [=](const TempDir&, const Snapshot& before) {
        expectSame(outsideTemp(before), outsideTemp(snapshot(folder)));
        EXPECT_EQ(t->text(Prop::Title), "Read me");
        ASSERT_EQ(t->Pictures().count(), 2);
        EXPECT_TRUE(readFile(t->Pictures()[1].pictureFile) == small);
        EXPECT_TRUE(readFile(t->Pictures()[2].pictureFile) == large);
        EXPECT_EQ(t->Comments().count(), 0);
    };
    run.checkFailed = [=](const TempDir&, const Snapshot& before) {
        const Snapshot after = snapshot(folder);
        expectSame(outsideTemp(before), outsideTemp(after));
        for (const auto& [name, entry] : after)
            if (startsWith(name, "Temp/")) {
                EXPECT_FALSE(entry.folder) << name;
            }
        // Emptied by the read, or kept when it failed before it began.
        EXPECT_NE(t->text(Prop::Title), "Read me");
        EXPECT_EQ(t->Comments().count(), 1);
        EXPECT_EQ(t->Pictures().count(), 0);
    };
    return run;
}

Prepared id3v1Read(const TempDir& dir) {
    const std::string folder = bystanders(dir);
    const std::string song = dir.file("song.mp3");
    writeFile(song, audio(5000) + trailer("Trailer title"));
    auto v = std::make_shared<Id3v1>();
    v->FileName = song;
    v->Title = "stale";

    Prepared run;
    run.operation = [v] { v->ReadTag(); };
    run.checkDone = [=](const TempDir&, const Snapshot& before) {
        expectSame(before, snapshot(folder));
        EXPECT_EQ(v->Title, "Trailer title");
    };
    run.checkFailed = [=](const TempDir&, const Snapshot& before) {
        expectSame(before, snapshot(folder));
        EXPECT_EQ(v->Title, "");
    };
    return run;
}

// The picture page's export: a picture file copied to the file the user chose.
Prepared pictureExport(const TempDir& dir, bool overAFile) {
    const std::string folder = bystanders(dir);
    std::filesystem::create_directories(dir.file("Temp"));
    std::filesystem::create_directories(dir.file("Export Images"));
    const Bytes picture = pictureBytes(540000, 11); // more than one block
    const std::string source = dir.file("Temp/1image.jpg");
    writeFile(source, picture);
    const std::string target = dir.file("Export Images/cover.jpg");
    if (overAFile) writeFile(target, pictureBytes(1000, 2));

    Prepared run;
    run.operation = [=] { io::copyFile(source, target); };
    run.checkDone = [=](const TempDir&, const Snapshot& before) {
        const Snapshot after = othersAsBefore(folder, before, "Export Images/cover.jpg");
        ASSERT_TRUE(after.count("Export Images/cover.jpg"));
        EXPECT_TRUE(after.at("Export Images/cover.jpg").bytes == picture);
    };
    // No part of an export, and a file it was to replace as it was.
    run.checkFailed = nothingChanged(folder);
    return run;
}

// A value written to the settings file.
Prepared settingsWrite(const TempDir& dir) {
    const std::string folder = bystanders(dir);
    const std::string path = dir.file("Quillet.ini");
    writeFile(path, bytes("[Window]\nLeft=10\nTop=20\n\n[Renamer]\nNumberOfItems=0\n"));
    auto profile = std::make_shared<settings::Profile>(path);

    Prepared run;
    run.operation = [=] { profile->writeString("Window", "Left", "42"); };
    run.checkDone = [=](const TempDir&, const Snapshot& before) {
        const Snapshot after = othersAsBefore(folder, before, "Quillet.ini");
        EXPECT_EQ(profile->readString("Window", "Left", ""), "42");
        EXPECT_EQ(profile->readString("Window", "Top", ""), "20");
    };
    run.checkFailed = nothingChanged(folder);
    return run;
}

// The renamer's rename: to the new name, or with the row's number in front
// when that fails; never over another file.
Prepared rename(const TempDir& dir) {
    const std::string folder = bystanders(dir);
    const Bytes song = tag24(text24("TIT2", "New name")) + audio(3000);
    writeFile(dir.file("song.mp3"), song);
    writeFile(dir.file("Taken.mp3"), bytes("another song"));

    Prepared run;
    run.operation = [=] { renamer::renamefile(folder, "song.mp3", "New name.mp3", "01 "); };
    run.checkDone = [=](const TempDir&, const Snapshot& before) {
        const Snapshot after = snapshot(folder);
        Snapshot expected = before;
        expected.erase("song.mp3");
        const std::string name = after.count("New name.mp3") ? "New name.mp3" : "01 New name.mp3";
        expected[name] = before.at("song.mp3");
        expectSame(expected, after);
    };
    run.checkFailed = nothingChanged(folder);
    return run;
}

// Forces the block copy, where the kernel copy is not offered.
const std::vector<faults::Plan> NoKernelCopy{{faults::Op::Copy, 1, EXDEV, true, false, {}}};
// Forces the rename by link, where the file system has no no-replace rename.
const std::vector<faults::Plan> NoRenameNoReplace{
    {faults::Op::RenameNoReplace, 1, EINVAL, true, false, {}}};

const Traits InPlace{.needsTarget = true, .refusesReadOnly = true};
const Traits Reads{.readsTarget = true, .needsTarget = true};
const Traits ReadsInPlace{.readsTarget = true, .needsTarget = true, .refusesReadOnly = true};
const Traits Appends{
    .readsTarget = true, .needsTarget = true, .refusesReadOnly = true, .needsRoom = true};
const Traits Makes{.needsRoom = true, .needsNewFile = true};
// Reads need no write access; an exported picture is only read.
const Traits Copies{
    .readsTarget = true, .needsTarget = true, .needsRoom = true, .needsNewFile = true};
const Traits Moving{.readsTarget = true,
                    .needsTarget = true,
                    .refusesReadOnly = true,
                    .needsRoom = true,
                    .needsNewFile = true};
const Traits Replaced{.refusesReadOnly = true, .needsRoom = true, .needsNewFile = true};
const Traits Renamed{.needsTarget = true, .needsNewFile = true};

const Scenario Scenarios[] = {
    {"WriteTagInPlace", "WriteTag in place", "song.mp3", InPlace,
     [](const TempDir& d) { return writeTag(d, 4000, 200000, 1000, false); }},
    {"WriteTagMovingTheAudio", "WriteTag moving the audio", "song.mp3", Moving,
     [](const TempDir& d) { return writeTag(d, 100, 300000, 5000, true); }},
    {"WriteTagMovingTheAudioInBlocks", "WriteTag moving the audio in blocks", "song.mp3", Moving,
     [](const TempDir& d) { return writeTag(d, 100, 560000, 5000, true); }, NoKernelCopy},
    {"RemoveTag", "RemoveTag", "song.mp3", InPlace, removeTag},
    {"Id3v1WriteOverTrailer", "ID3v1.1 write over a trailer", "song.mp3", ReadsInPlace,
     [](const TempDir& d) { return id3v1Write(d, false); }},
    {"Id3v1WriteAppended", "ID3v1.1 write appended", "song.mp3", Appends,
     [](const TempDir& d) { return id3v1Write(d, true); }},
    {"SafeReplace", "safe replace", "data.bin", Makes, safeReplace},
    {"ReadTagWithPictures", "ReadTag extracting pictures", "song.mp3", Copies, readTag},
    {"Id3v1Read", "ID3v1.1 read", "song.mp3", Reads, id3v1Read},
    {"PictureExport", "picture export", "Temp/1image.jpg", Copies,
     [](const TempDir& d) { return pictureExport(d, false); }},
    {"PictureExportOverAFile", "picture export over a file", "Export Images/cover.jpg", Replaced,
     [](const TempDir& d) { return pictureExport(d, true); }},
    {"SettingsWrite",
     "settings write",
     "Quillet.ini",
     Replaced,
     settingsWrite,
     {},
     [](int, const TempDir& d) { return "Unable to write to " + d.file("Quillet.ini"); }},
    {"Rename", "rename", "song.mp3", Renamed, rename},
    {"RenameByLink", "rename by link and unlink", "song.mp3", Renamed, rename, NoRenameNoReplace},
};

} // namespace

const std::vector<const Scenario*>& allScenarios() {
    static const std::vector<const Scenario*> all = [] {
        std::vector<const Scenario*> v;
        for (const Scenario& s : Scenarios)
            v.push_back(&s);
        return v;
    }();
    return all;
}
