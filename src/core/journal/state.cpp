// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "journal/state.h"

#include "io/file.h"
#include "io/ioerror.h"
#include "io/replacement.h"
#include "journal/digest.h"
#include "journal/region.h"

#include <algorithm>
#include <cerrno>
#include <map>
#include <sys/stat.h>

namespace journal {

namespace {

// The tail after the audio (a trailer, part of one, or nothing) is judged by
// its length too: these are the lengths each image may have.
bool trailerLengthFits(const Change& c, Image i, uint64_t tail) {
    if (!c.trailerTouched) return i == Image::Old && tail == 0;
    switch (i) {
    case Image::Old:
        return tail == (c.oldTrailerPresent ? 128u : 0u);
    case Image::New:
        return tail == 128;
    case Image::Mixed:
        return c.oldTrailerPresent ? tail == 128 : tail > 0 && tail < 128;
    }
    return false;
}

// Every block of region is the old one or the new one.
bool blocksOldOrNew(std::span<const uint8_t> region, const Change& c,
                    std::span<const uint8_t> oldHead) {
    if (c.newBlocks.empty() || region.size() != oldHead.size()) return false;
    for (size_t i = 0, at = 0; at < region.size(); ++i, at += BlockSize) {
        const size_t n = std::min<size_t>(BlockSize, region.size() - at);
        const auto block = region.subspan(at, n);
        if (std::equal(block.begin(), block.end(),
                       oldHead.begin() + static_cast<std::ptrdiff_t>(at)))
            continue;
        if (c.newBlocks[i] == 0 || blockHash(block) != c.newBlocks[i]) return false;
    }
    return true;
}

} // namespace

std::optional<State> findState(const io::File& file, uint64_t size, const Change& c,
                               std::span<const uint8_t> oldHead, BlobKeys& keys) {
    const uint64_t audio = c.audioLength();
    auto headLength = [&](Image i) { return i == Image::New ? c.newHeadLength : c.headLength; };
    // Each stretch of the file is read once, whichever images need it.
    std::map<std::pair<uint64_t, uint64_t>, std::vector<uint8_t>> read;
    auto bytes = [&](uint64_t at, uint64_t length) -> const std::vector<uint8_t>& {
        auto& b = read[{at, length}];
        if (b.size() != length) {
            b.resize(static_cast<size_t>(length));
            file.readExactAt(b.data(), b.size(), at);
        }
        return b;
    };
    std::optional<bool> headIs[3];
    auto headMatches = [&](Image i) {
        auto& known = headIs[int(i)];
        if (!known) {
            const auto& h = bytes(0, headLength(i));
            switch (i) {
            case Image::New:
                known = regionDigest(h, keys) == c.newHeadHash;
                break;
            case Image::Old:
                known = std::equal(h.begin(), h.end(), oldHead.begin(), oldHead.end());
                break;
            case Image::Mixed:
                known = blocksOldOrNew(h, c, oldHead);
                break;
            }
        }
        return *known;
    };
    auto trailerMatches = [&](Image i, uint64_t at, uint64_t tail) {
        if (tail == 0) return true;
        const auto& t = bytes(at, tail);
        switch (i) {
        case Image::New:
            return std::equal(t.begin(), t.end(), c.newTrailer.begin());
        case Image::Old:
            return std::equal(t.begin(), t.end(), c.oldTrailer.begin());
        case Image::Mixed:
            for (size_t k = 0; k < t.size(); ++k)
                if (t[k] != c.newTrailer[k] && (!c.oldTrailerPresent || t[k] != c.oldTrailer[k]))
                    return false;
            return true;
        }
        return false;
    };
    constexpr Image Order[] = {Image::New, Image::Old, Image::Mixed};
    for (Image head : Order) {
        if (head == Image::Mixed && !c.inPlace()) continue;
        for (Image trailer : Order) {
            // Lengths come from the journal: compared so that none can wrap around.
            const uint64_t h = headLength(head);
            if (h > size || audio > size - h) continue;
            const uint64_t tail = size - h - audio;
            if (!trailerLengthFits(c, trailer, tail)) continue;
            if (headMatches(head) && trailerMatches(trailer, h + audio, tail))
                return State{head, trailer};
        }
    }
    return std::nullopt;
}

void setModified(const io::File& file, int64_t mtime) {
    const timespec times[2] = {{0, UTIME_OMIT}, {mtime / 1000000000, mtime % 1000000000}};
    // Only the owner may set a time; a file the user may write but not own
    // keeps the time of the undo.
    if (::futimens(file.fd(), times) != 0 && errno != EPERM) io::throwErrno();
}

io::FileStat restoreOld(const Change& c, io::File& file, uint64_t size, State state,
                        std::span<const uint8_t> old) {
    const uint64_t audio = c.audioLength();
    if (state.head == Image::New && !c.inPlace()) {
        // The region changes its length: the whole file is written anew beside
        // the old one and put in its place at once, as a moving write does.
        io::ReplacementFile replacement(file.path());
        io::File& out = replacement.file();
        out.writeAt(old.data(), old.size(), 0);
        io::copyRange(file, c.newHeadLength, out, c.headLength, audio);
        if (c.trailerTouched && c.oldTrailerPresent)
            out.writeAt(c.oldTrailer.data(), c.oldTrailer.size(), c.headLength + audio);
        setModified(out, c.before.mtime);
        replacement.commit();
        return io::statOf(replacement.targetPath());
    }
    // In place: the region first, then the trailer; a run cut short between
    // the two leaves a state the next one recognises and finishes.
    if (state.head != Image::Old) file.writeAt(old.data(), old.size(), 0);
    if (state.trailer != Image::Old) {
        if (c.oldTrailerPresent)
            file.writeAt(c.oldTrailer.data(), c.oldTrailer.size(), size - c.oldTrailer.size());
        else
            file.truncate(c.headLength + audio);
    }
    setModified(file, c.before.mtime);
    return io::statOf(file);
}

std::vector<uint8_t> oldRegion(const Change& c, const Action& action, const io::File& actionFile,
                               BlobKeys& keys) {
    std::vector<uint8_t> head;
    head.reserve(static_cast<size_t>(c.headLength));
    for (const Piece& p : c.head) {
        const size_t at = head.size();
        const auto length = static_cast<size_t>(p.length);
        switch (p.type) {
        case Piece::Type::Literal:
            head.insert(head.end(), c.literals.begin() + static_cast<std::ptrdiff_t>(p.at),
                        c.literals.begin() + static_cast<std::ptrdiff_t>(p.at + length));
            break;
        case Piece::Type::Zeros:
            head.resize(at + length, 0);
            break;
        case Piece::Type::Blob:
            head.resize(at + length);
            actionFile.readExactAt(head.data() + at, length, action.blobs.at({p.key, p.length}));
            // Checked when the action was read; a second look costs less than a wrong tag.
            if (keys.key({head.data() + at, length}) != p.key)
                throw Damaged("a blob whose bytes do not match its key");
            break;
        }
    }
    return head;
}

void verifyBlobs(const io::File& file, const Action& action) {
    std::vector<uint8_t> bytes;
    for (const auto& [id, offset] : action.blobs) {
        bytes.resize(static_cast<size_t>(id.second));
        file.readExactAt(bytes.data(), bytes.size(), offset);
        if (hash64(bytes) != id.first) throw Damaged("a blob whose bytes do not match its key");
    }
}

} // namespace journal
