// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "journal/recording.h"

#include "io/ioerror.h"
#include "journal/image.h"

#include <cerrno>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace journal {

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto FlushInterval = std::chrono::seconds(1);
constexpr int MaxNameAttempts = 1000;

int64_t now() {
    timespec ts{};
    ::clock_gettime(CLOCK_REALTIME, &ts);
    return int64_t{ts.tv_sec} * 1000000000 + ts.tv_nsec;
}

// An action another process is recording or undoing holds its file's lock.
bool inUse(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool busy = ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd);
    return busy;
}

uint64_t lengthOrZero(const std::string& path) {
    try {
        return io::fileLength(path);
    } catch (const io::IoError&) {
        return 0; // dropped by another program meanwhile
    }
}

} // namespace

Recording::Recording(Journal& journal, Kind kind) : m_journal(journal), m_kind(kind) {
    io::makeFolders(journal.folder());
    m_others = journal.files();
    for (const ActionFile& f : m_others)
        m_otherBytes += lengthOrZero(f.path);
    uint64_t sequence = m_others.empty() ? 1 : m_others.back().sequence + 1;
    dropOldest(true);
    for (int attempt = 1;; ++attempt, ++sequence) {
        std::string path = journal.folder() + actionFileName(sequence);
        try {
            // Tags are the user's data: the journal is for the user's eyes only.
            m_file = io::File(path, io::File::Mode::CreateNew, 0600);
            m_path = std::move(path);
            break;
        } catch (const io::IoError& e) {
            if (e.code() != EEXIST || attempt == MaxNameAttempts) throw;
        }
    }
    // Held until the action ends: no other process drops or undoes it meanwhile.
    ::flock(m_file.fd(), LOCK_EX | LOCK_NB);
    m_buffer = preamble();
    Encoder begin;
    begin.u8(static_cast<uint8_t>(kind));
    begin.i64(now());
    add(RecordType::Begin, begin.bytes());
    try {
        write();
    } catch (const io::IoError&) {
        m_file = io::File();
        ::unlink(m_path.c_str());
        throw;
    }
}

Recording::~Recording() {
    try {
        finish();
    } catch (const std::exception&) {
        // The run's own error, if any, is the one to report.
    }
}

void Recording::add(RecordType type, std::span<const uint8_t> payload) {
    frame(m_buffer, m_offset + m_buffer.size(), type, payload, payload.size());
}

void Recording::addBlob(uint64_t key, std::span<const uint8_t> bytes) {
    frameBlob(m_buffer, m_offset + m_buffer.size(), key, bytes);
}

void Recording::write() {
    try {
        m_file.writeAt(m_buffer.data(), m_buffer.size(), m_offset);
    } catch (const io::IoError&) {
        // A record that did not reach the file (a full disk) is dropped whole,
        // so the next one follows whole records only.
        m_buffer.clear();
        try {
            m_file.truncate(m_offset);
        } catch (const io::IoError&) {
        }
        throw;
    }
    m_offset += m_buffer.size();
    m_buffer.clear();
    if (!m_dirty) {
        m_dirty = true;
        m_unsyncedSince = Clock::now();
    }
    flushIfDue();
    if (m_otherBytes + m_offset > m_journal.limits().bytes) dropOldest(false);
}

void Recording::flushIfDue() {
    if (m_dirty && Clock::now() - m_unsyncedSince >= FlushInterval) sync();
}

void Recording::sync() {
    m_file.sync();
    m_dirty = false;
}

void Recording::dropOldest(bool keepOneSlot) {
    const Limits& limits = m_journal.limits();
    const uint64_t own = m_offset;
    auto over = [&] {
        if (keepOneSlot && m_others.size() + 1 > limits.actions) return true;
        return m_otherBytes + own > limits.bytes || (keepOneSlot && m_otherBytes >= limits.bytes);
    };
    for (size_t i = 0; i < m_others.size() && over();) {
        const ActionFile& f = m_others[i];
        const uint64_t length = lengthOrZero(f.path);
        // One that is in use, or cannot be removed, stays: keeping too much
        // is no reason to refuse a write.
        if (inUse(f.path) || (::unlink(f.path.c_str()) != 0 && errno != ENOENT)) {
            ++i;
            continue;
        }
        m_otherBytes -= std::min(m_otherBytes, length);
        m_others.erase(m_others.begin() + static_cast<std::ptrdiff_t>(i));
    }
}

Recording::FileChange Recording::change(const std::string& path, const io::File& file,
                                        uint64_t headLength, const Trailer* newTrailer) {
    FileChange fc;
    fc.m_recording = this;
    Change& c = fc.m_change;
    c.path = path;
    c.before = statOf(file);
    if (headLength > c.before.size) throw io::IoError(io::IoError::ShortRead);
    fc.m_regionLength = headLength;
    if (newTrailer && c.before.size - headLength < 128) {
        fc.m_whole = true;
        c.headLength = c.before.size;
    } else {
        c.headLength = headLength;
    }
    fc.m_oldHead.resize(static_cast<size_t>(c.headLength));
    file.readExactAt(fc.m_oldHead.data(), fc.m_oldHead.size(), 0);
    if (newTrailer && !fc.m_whole) {
        c.trailerTouched = true;
        c.newTrailer = *newTrailer;
        file.readExactAt(c.oldTrailer.data(), c.oldTrailer.size(), c.before.size - 128);
        // The trailer write goes over a trailer only where "TAG" marks one.
        c.oldTrailerPresent = std::memcmp(c.oldTrailer.data(), "TAG", 3) == 0;
        if (!c.oldTrailerPresent) c.oldTrailer = {};
    } else if (newTrailer) {
        c.newTrailer = *newTrailer; // kept for the plan only
    }
    return fc;
}

void Recording::FileChange::planned(std::span<const uint8_t> newHead) {
    if (!m_whole) return planned(newHead.size(), regionDigest(newHead, m_recording->m_keys));
    // The whole new file: the new region, the bytes after the old region, and
    // the trailer, written over the last 128 bytes where they start with "TAG".
    std::vector<uint8_t> file(newHead.begin(), newHead.end());
    file.insert(file.end(), m_oldHead.begin() + static_cast<std::ptrdiff_t>(m_regionLength),
                m_oldHead.end());
    const Trailer& t = m_change.newTrailer;
    if (file.size() >= t.size() && std::memcmp(file.data() + file.size() - t.size(), "TAG", 3) == 0)
        std::copy(t.begin(), t.end(), file.end() - static_cast<std::ptrdiff_t>(t.size()));
    else
        file.insert(file.end(), t.begin(), t.end());
    planned(file.size(), regionDigest(file, m_recording->m_keys));
}

void Recording::FileChange::planned(uint64_t newHeadLength, uint64_t newHeadHash) {
    Change& c = m_change;
    c.newHeadLength = newHeadLength;
    c.newHeadHash = newHeadHash;
    Recording& r = *m_recording;
    c.head = splitRegion(m_oldHead, r.m_keys);
    for (const Piece& p : c.head) {
        if (p.type != Piece::Type::Blob || !r.m_blobs.insert({p.key, p.length}).second) continue;
        r.addBlob(p.key, std::span(m_oldHead).subspan(p.at, static_cast<size_t>(p.length)));
    }
    r.add(RecordType::Change, encodeChange(c, m_oldHead));
    r.write();
    m_entry = r.m_entries++;
    m_written = true;
}

void Recording::FileChange::done() {
    After a;
    a.stat = statOf(m_change.path);
    a.trailerNew = m_change.trailerTouched;
    a.newHeadHash = m_change.newHeadHash;
    // Goes out with the next record: a crash before that loses only the
    // time check, the file is still judged by its images.
    m_recording->add(RecordType::After, encodeAfter(m_entry, a));
}

void Recording::FileChange::failed() noexcept {
    if (!m_written) return;
    try {
        const io::File file(m_change.path, io::File::Mode::Read);
        const FileStat stat = statOf(file);
        const auto state = findState(file, stat.size, m_change, m_oldHead, m_recording->m_keys);
        // As it was: nothing to undo, and nothing to record.
        if (!state || *state == State{Image::Old, Image::Old}) return;
        After a;
        a.stat = stat;
        a.headNew = state->head == Image::New;
        a.trailerNew = state->trailer == Image::New;
        a.newHeadHash = m_change.newHeadHash;
        m_recording->add(RecordType::After, encodeAfter(m_entry, a));
    } catch (const std::exception&) {
        // Without an after-record the undo judges the file by its images alone.
    }
}

uint32_t Recording::renaming(const std::string& folder, const std::string& oldName) {
    const FileStat s = linkStatOf(folder + oldName);
    Encoder e;
    e.str(folder);
    e.str(oldName);
    e.u64(s.device);
    e.u64(s.inode);
    add(RecordType::Rename, e.bytes());
    write();
    return m_entries++;
}

void Recording::renamed(uint32_t entry, const std::string& newName) {
    Encoder e;
    e.u32(entry);
    e.str(newName);
    // Goes out with the next record; without it the file is found by its identity.
    add(RecordType::Renamed, e.bytes());
}

void Recording::finish() {
    if (m_finished) return;
    m_finished = true;
    if (m_entries == 0) {
        // Nothing was changed: nothing to undo.
        m_file = io::File();
        ::unlink(m_path.c_str());
        return;
    }
    Encoder e;
    e.u32(m_entries);
    add(RecordType::End, e.bytes());
    write();
    sync();
    m_file.close();
}

} // namespace journal
