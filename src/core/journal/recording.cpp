// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "journal/recording.h"

#include "io/filestat.h"
#include "io/ioerror.h"
#include "io/noreplace.h"
#include "journal/region.h"
#include "journal/state.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace journal {

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto FlushInterval = std::chrono::seconds(1);
constexpr int MaxNameAttempts = 1000;

// An action another process is recording or undoing holds its file's lock.
bool inUse(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
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
    const auto all = journal.files();
    // After every name in the folder, whatever it holds: no name is reused.
    m_sequence = all.empty() ? "1" : nextSequence(all.back().sequence);
    for (const ActionFile& f : all) {
        if (!f.regular || f.state == ActionFile::State::Open) continue;
        m_others.push_back({f, lengthOrZero(f.path)});
        m_otherBytes += m_others.back().bytes;
    }
    dropOldest(true);
    for (int attempt = 1;; ++attempt, m_sequence = nextSequence(m_sequence)) {
        std::string path = journal.folder() + actionFileName(m_sequence, ActionFile::State::Open);
        try {
            // Tags are the user's data: the journal is for the user's eyes only.
            m_file = io::File(path, io::File::Mode::CreateNew, 0600);
        } catch (const io::IoError& e) {
            if (e.code() != EEXIST || attempt == MaxNameAttempts) throw;
            continue;
        }
        // Held until the action ends: no other process drops, recovers or
        // undoes it meanwhile. A recovery may take a new file for the remains
        // of a run cut short before its first record, and remove it, before
        // its maker holds the lock: then the maker takes the next name.
        struct stat st {};
        if (::flock(m_file.fd(), LOCK_EX | LOCK_NB) == 0 && ::fstat(m_file.fd(), &st) == 0 &&
            st.st_nlink > 0) {
            m_path = std::move(path);
            break;
        }
        if (attempt == MaxNameAttempts) throw io::IoError(EEXIST);
    }
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
        // so the next one follows whole records only; the changes and blobs
        // it held were never recorded.
        m_buffer.clear();
        m_entries = m_writtenEntries;
        for (const auto& blob : m_blobsPending)
            m_blobs.erase(blob);
        m_blobsPending.clear();
        try {
            m_file.truncate(m_offset);
        } catch (const io::IoError&) {
        }
        throw;
    }
    m_offset += m_buffer.size();
    m_buffer.clear();
    m_writtenEntries = m_entries;
    m_blobsPending.clear();
    if (!m_dirty) {
        m_dirty = true;
        m_unsyncedSince = Clock::now();
    }
    flushIfDue();
    if (m_otherBytes + m_offset > m_journal.limits().bytes) dropOldest(false);
}

void Recording::flushIfDue() {
    // A flush under way puts these records on the disk, or the next one will.
    if (m_flusher.joinable()) return;
    if (m_dirty && Clock::now() - m_unsyncedSince >= FlushInterval) sync();
}

void Recording::sync() {
    m_file.sync();
    m_dirty = false;
    m_renamesUnsynced = false;
}

void Recording::dropOldest(bool keepOneSlot) {
    const Limits& limits = m_journal.limits();
    const uint64_t own = m_offset;
    std::vector<bool> dropped(m_others.size());
    auto closed = [&](size_t i) { return m_others[i].file.state == ActionFile::State::Closed; };
    auto countOver = [&] {
        size_t actions = 0;
        for (size_t i = 0; i < m_others.size(); ++i)
            actions += closed(i) && !dropped[i];
        return keepOneSlot && actions + 1 > limits.actions;
    };
    auto bytesOver = [&] {
        return m_otherBytes + own > limits.bytes || (keepOneSlot && m_otherBytes >= limits.bytes);
    };
    // What can never be undone goes first (damaged actions, and one larger
    // than the whole limit, which no room made would let stay), then the
    // oldest: healthy actions never make way for a damaged one.
    auto rank = [&](size_t i) { return !closed(i) ? 0 : m_others[i].bytes > limits.bytes ? 1 : 2; };
    std::vector<size_t> order(m_others.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return rank(a) < rank(b); });
    for (size_t i : order) {
        const bool count = countOver(), bytes = bytesOver();
        if (!count && !bytes) break;
        if (!bytes && !closed(i)) continue; // a damaged file counts as no action
        // One that is in use, or cannot be removed, stays: keeping too much
        // is no reason to refuse a write.
        const std::string& path = m_others[i].file.path;
        if (inUse(path) || (::unlink(path.c_str()) != 0 && errno != ENOENT)) continue;
        m_otherBytes -= std::min(m_otherBytes, m_others[i].bytes);
        dropped[i] = true;
    }
    std::vector<Other> kept;
    for (size_t i = 0; i < m_others.size(); ++i)
        if (!dropped[i]) kept.push_back(std::move(m_others[i]));
    m_others = std::move(kept);
}

Recording::FileChange Recording::changeOf(const std::string& path, const FileStat& before,
                                          uint64_t headLength, const Trailer* newTrailer) {
    FileChange fc;
    fc.m_recording = this;
    Change& c = fc.m_change;
    c.path = path;
    c.before = before;
    if (headLength > c.before.size) throw io::IoError(io::IoError::ShortRead);
    fc.m_regionLength = headLength;
    if (newTrailer && c.before.size - headLength < 128) {
        fc.m_whole = true;
        c.headLength = c.before.size;
    } else {
        c.headLength = headLength;
    }
    if (newTrailer) c.newTrailer = *newTrailer; // kept for the plan alone when whole
    c.trailerTouched = newTrailer && !fc.m_whole;
    return fc;
}

// The trailer a change replaces, from the file's last 128 bytes.
void takeOldTrailer(Change& c, std::span<const uint8_t> last) {
    if (!c.trailerTouched) return;
    if (last.size() != c.oldTrailer.size()) throw io::IoError(io::IoError::ShortRead);
    std::copy(last.begin(), last.end(), c.oldTrailer.begin());
    // The trailer write goes over a trailer only where "TAG" marks one.
    c.oldTrailerPresent = std::memcmp(c.oldTrailer.data(), "TAG", 3) == 0;
    if (!c.oldTrailerPresent) c.oldTrailer = {};
}

Recording::FileChange Recording::change(const std::string& path, const io::File& file,
                                        uint64_t headLength, const Trailer* newTrailer) {
    FileChange fc = changeOf(path, io::statOf(file), headLength, newTrailer);
    Change& c = fc.m_change;
    auto head = std::make_shared_for_overwrite<uint8_t[]>(static_cast<size_t>(c.headLength));
    file.readExactAt(head.get(), static_cast<size_t>(c.headLength), 0);
    fc.m_oldHead = {head.get(), static_cast<size_t>(c.headLength)};
    fc.m_oldOwner = std::move(head);
    if (c.trailerTouched) {
        Trailer last;
        file.readExactAt(last.data(), last.size(), c.before.size - 128);
        takeOldTrailer(c, last);
    }
    return fc;
}

Recording::FileChange Recording::change(io::HeldFile& file, uint64_t headLength,
                                        const Trailer* newTrailer) {
    FileChange fc = changeOf(file.path(), file.stat(), headLength, newTrailer);
    Change& c = fc.m_change;
    fc.m_oldHead = file.head(c.headLength);
    if (fc.m_oldHead.size() < c.headLength) throw io::IoError(io::IoError::ShortRead);
    fc.m_oldOwner = file.owner();
    if (c.trailerTouched) takeOldTrailer(c, file.tail());
    return fc;
}

void Recording::aheadInBackground() {
    awaitFlush();
    if (!m_buffer.empty()) write();
    // Records that went out before (spill()) are flushed too, even when none
    // is left to write. The file's data and its length, which is all a new
    // file's flush takes on the file systems Linux journals (its name goes
    // with it).
    if (!m_dirty) return;
    try {
        m_flusher = std::thread([this] {
            try {
                m_file.datasync();
            } catch (...) {
                m_flushError = std::current_exception();
            }
        });
    } catch (const std::system_error&) {
        m_file.datasync(); // no thread to spare: the flush is made here
    }
    // Records written from now on wait for the next flush.
    m_dirty = false;
    m_renamesUnsynced = false;
}

void Recording::awaitFlush() {
    if (!m_flusher.joinable()) return;
    m_flusher.join();
    if (std::exception_ptr error = std::exchange(m_flushError, nullptr)) {
        m_dirty = true;
        m_unsyncedSince = Clock::now();
        std::rethrow_exception(error);
    }
}

void Recording::spill() {
    // A few hundred kibibytes: held in the processor's cache until written.
    constexpr size_t SpillBytes = 256 << 10;
    if (m_buffer.size() >= SpillBytes) write();
}

void Recording::FileChange::planned(std::span<const uint8_t> newHead,
                                    std::shared_ptr<const void> owner) {
    Change& c = m_change;
    Recording& r = *m_recording;
    if (!m_whole) {
        NewRegion& last = r.m_lastNew;
        if (!owner || owner != last.owner || newHead.data() != last.bytes.data() ||
            newHead.size() != last.bytes.size())
            last = {std::move(owner), newHead, regionDigest(newHead, r.m_keys), {}};
        c.newHeadLength = newHead.size();
        c.newHeadHash = last.digest;
        if (c.inPlace()) c.newBlocks = newBlocks(m_oldHead, newHead, last.blocks);
    } else {
        // The whole new file: the new region, the bytes after the old region,
        // and the trailer, written over the last 128 bytes where they start
        // with "TAG".
        std::vector<uint8_t> file(newHead.begin(), newHead.end());
        file.insert(file.end(), m_oldHead.begin() + static_cast<std::ptrdiff_t>(m_regionLength),
                    m_oldHead.end());
        const Trailer& t = c.newTrailer;
        if (file.size() >= t.size() &&
            std::memcmp(file.data() + file.size() - t.size(), "TAG", 3) == 0)
            std::copy(t.begin(), t.end(), file.end() - static_cast<std::ptrdiff_t>(t.size()));
        else
            file.insert(file.end(), t.begin(), t.end());
        c.newHeadLength = file.size();
        c.newHeadHash = regionDigest(file, r.m_keys);
    }
    c.head = splitRegion(m_oldHead, r.m_keys);
    for (const Piece& p : c.head) {
        if (p.type != Piece::Type::Blob || !r.m_blobs.insert({p.key, p.length}).second) continue;
        r.m_blobsPending.emplace_back(p.key, p.length);
        r.addBlob(p.key, m_oldHead.subspan(p.at, static_cast<size_t>(p.length)));
    }
    r.add(RecordType::Change, encodeChange(c, m_oldHead));
    m_entry = r.m_entries++;
    m_written = true;
}

void Recording::FileChange::plannedBlank(std::span<const uint8_t> header, uint64_t length) {
    std::vector<uint8_t> region(static_cast<size_t>(length), 0);
    std::copy(header.begin(), header.end(), region.begin());
    planned(region);
}

void Recording::FileChange::done() {
    done(io::statOf(m_change.path));
}

void Recording::FileChange::withdraw() {
    // An entry a failed write dropped is no entry.
    if (!m_written || m_entry >= m_recording->m_entries) return;
    m_recording->add(RecordType::Withdrawn, encodeWithdrawn(m_entry));
    ++m_recording->m_withdrawn;
}

void Recording::FileChange::done(const FileStat& after) {
    After a;
    a.stat = after;
    a.trailerNew = m_change.trailerTouched;
    a.newHeadHash = m_change.newHeadHash;
    // Goes out with the next record: a crash before that loses only the
    // time check, the file is still judged by its images.
    m_recording->add(RecordType::After, encodeAfter(m_entry, a));
}

void Recording::FileChange::failed() noexcept {
    if (!m_written || m_oldHead.size() != m_change.headLength) return;
    try {
        const io::File file(m_change.path, io::File::Mode::Read);
        const FileStat stat = io::statOf(file);
        const auto state = findState(file, stat.size, m_change, m_oldHead, m_recording->m_keys);
        if (!state) return; // changed by someone else meanwhile: judged by the undo
        if (state->old()) {
            // Never touched: nothing to undo.
            m_recording->add(RecordType::Withdrawn, encodeWithdrawn(m_entry));
            ++m_recording->m_withdrawn;
            return;
        }
        // A part cut short has no after-record: the undo judges it by its images.
        if (state->head == Image::Mixed || state->trailer == Image::Mixed) return;
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
    const FileStat s = io::linkStatOf(folder + oldName);
    Encoder e;
    e.str(folder);
    e.str(oldName);
    e.u64(s.device);
    e.u64(s.inode);
    add(RecordType::Rename, e.bytes());
    const uint32_t entry = m_entries++;
    write();
    m_renamesUnsynced = true;
    return entry;
}

void Recording::renamed(uint32_t entry, const std::string& newName) {
    Encoder e;
    e.u32(entry);
    e.str(newName);
    // Goes out with the next record; without it the file is found by its identity.
    add(RecordType::Renamed, e.bytes());
}

void Recording::trashed(const std::string& oldPath, const std::string& trashPath) {
    const FileStat s = io::linkStatOf(trashPath);
    Encoder e;
    e.str({});
    e.str(oldPath);
    e.u64(s.device);
    e.u64(s.inode);
    add(RecordType::Rename, e.bytes());
    renamed(m_entries++, trashPath);
    write();
    m_renamesUnsynced = true;
}

void Recording::finish() {
    if (m_finished) return;
    m_finished = true;
    try {
        awaitFlush();
    } catch (const std::exception&) {
        // Told to the run that waited for it; the end goes out all the same.
    }
    if (m_entries == m_withdrawn) {
        // Nothing was changed: nothing to undo.
        m_file = io::File();
        ::unlink(m_path.c_str());
        return;
    }
    // The changes were flushed before they were made: an action whose end a
    // crash lost is closed by the next start, each file judged by what it
    // holds. A rename is judged by no content: its record goes to the disk.
    add(RecordType::End, encodeEnd(m_entries));
    write();
    if (m_renamesUnsynced) sync();
    io::renameNoReplace(m_path,
                        m_journal.folder() + actionFileName(m_sequence, ActionFile::State::Closed));
    m_file.close();
}

} // namespace journal
