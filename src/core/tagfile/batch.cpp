// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "tagfile/batch.h"

#include "id3v1/id3.h"
#include "io/ioerror.h"
#include "tagengine/syncsafe.h"
#include "tagengine/tagheader.h"
#include "tagengine/zurur24.h"
#include "tagfile/mp3check.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <malloc.h>
#include <stdexcept>
#include <sys/resource.h>
#include <unistd.h>

namespace tagfile {

namespace {

// A batch is written once it holds this many bytes of new tag regions (the
// same bytes for many files are held once), or as many files as it may hold
// open. A flush of the journal costs as much as writing a hundred tags in
// place; memory held longer costs its pages again.
constexpr size_t MaxBytes = 8u << 20;
// Nor more than this of the files' old regions read: what a write puts over
// pages still in the processor's cache costs a third of what it costs over
// pages read a batch of many megabytes ago.
constexpr uint64_t MaxRead = 8u << 20;
constexpr size_t MaxFiles = 4096;

// How many files a batch may hold open: half of what the process may open,
// after raising its own limit as far as it may.
size_t openFilesAllowed() {
    static const size_t allowed = [] {
        rlimit limit{};
        if (::getrlimit(RLIMIT_NOFILE, &limit) != 0) return size_t{256};
        const rlim_t want = std::min<rlim_t>(limit.rlim_max, 2 * MaxFiles);
        if (limit.rlim_cur < want) {
            limit.rlim_cur = want;
            ::setrlimit(RLIMIT_NOFILE, &limit);
            ::getrlimit(RLIMIT_NOFILE, &limit);
        }
        const size_t n = std::clamp<size_t>(static_cast<size_t>(limit.rlim_cur / 2), 16, MaxFiles);
        // The process's table of open files grows to hold them at once, not
        // step by step: in a process of several threads each step waits for
        // every thread to see the new table (milliseconds each).
        const int any = ::open("/", O_RDONLY | O_CLOEXEC);
        if (any >= 0) {
            const int high =
                ::fcntl(any, F_DUPFD_CLOEXEC,
                        static_cast<int>(std::min<rlim_t>(n + 64, limit.rlim_cur - 1)));
            if (high >= 0) ::close(high);
            ::close(any);
        }
        return n;
    }();
    return allowed;
}

// The first read of a file takes as much as the last file's tag region
// needed (a library's tags tend to be alike), so that the region, the
// header and the start of the audio come in one read; within these bounds.
constexpr uint64_t MinFirstRead = StartBytes;
constexpr uint64_t MaxFirstRead = 1u << 20;
std::atomic<uint64_t> lastRegion{0};

uint64_t firstRead() {
    const uint64_t want = lastRegion.load(std::memory_order_relaxed) + 4096;
    return std::clamp<uint64_t>(want / 4096 * 4096, MinFirstRead, MaxFirstRead);
}

// Where the file's first bytes leave it: header read, model and component
// state as a header-only read (or, with edit, a full read) leaves them.
// Returns false for a file shorter than an ID3v2 header, which holds no tag.
bool readInto(ID3v24& tag, io::HeldFile& file, bool full) {
    file.head(firstRead());
    if (file.size() < HeaderBytes) {
        if (full) tag = ID3v24();
        tag.FileName = file.path();
        tag.Id3v2present = false;
        return false;
    }
    tag.ReadHeld(file, !full);
    lastRegion.store(tag.RegionLength(), std::memory_order_relaxed);
    return true;
}

// The checks a file must pass before anything may be written into it.
void check(const ID3v24& tag, io::HeldFile& file, bool force) {
    if (!tag.Id3v2present && !force) requireMp3(file.head(StartBytes), file.size(), file.path());
    if (tag.Id3v2present && !tag.Header().readable())
        throw io::TagError(tag::unreadableMessage(tag.Header()));
}

// Whether the last 128 bytes of the file after a write start with "TAG": the
// new start, then the old file's bytes after the old region, whose last 128
// (all the file, when shorter) are at hand as tail.
bool trailerAfter(const writetag::Planned& planned, std::span<const uint8_t> tail, uint64_t size) {
    const uint64_t length = planned.newLength();
    if (length < Id3v1::Size) return false;
    const auto byteAt = [&](uint64_t k) -> uint8_t {
        if (k < planned.size) return planned.buffer[k];
        const uint64_t old = planned.oldRegion + (k - planned.size);
        return tail[static_cast<size_t>(old - (size - tail.size()))];
    };
    const uint64_t at = length - Id3v1::Size;
    return byteAt(at) == 'T' && byteAt(at + 1) == 'A' && byteAt(at + 2) == 'G';
}

} // namespace

struct Batch::Item {
    size_t index;
    io::HeldFile file;
    writetag::Planned planned;
    std::optional<writetag::TrailerWrite> trailer;
    std::optional<journal::Recording::FileChange> change;
};

Batch::Batch(journal::Recording* journal, Outcome outcome, Options options)
    : m_journal(journal), m_outcome(std::move(outcome)), m_options(std::move(options)) {
    // A run reads and plans file after file in buffers of much the same
    // sizes: the heap keeps what it freed for the next file, where giving it
    // back to the system made every file's buffers fault in fresh pages
    // (three times the time of the write itself).
    static const bool heapKept = [] {
        ::mallopt(M_TRIM_THRESHOLD, 256 << 20);
        ::mallopt(M_MMAP_THRESHOLD, 32 << 20);
        return true;
    }();
    (void)heapKept;
}

Batch::~Batch() {
    if (m_journal && !m_sealed.empty()) {
        try {
            m_journal->awaitFlush();
        } catch (const std::exception&) {
        }
    }
    for (auto* items : {&m_sealed, &m_items})
        for (Item& item : *items)
            if (item.change) item.change->withdraw();
}

io::HeldFile Batch::open(const std::string& path, bool force) {
    try {
        io::HeldFile file(path, io::File::Mode::ReadWrite);
        const std::pair<uint64_t, uint64_t> id{file.stat().device, file.stat().inode};
        if (m_held.contains(id) || m_sealedHeld.contains(id)) {
            // Planned already (a file listed twice): written first, then read again.
            file.close();
            flush();
            return io::HeldFile(path, io::File::Mode::ReadWrite);
        }
        return file;
    } catch (const io::IoError& error) {
        const int code = error.code();
        if (code != EACCES && code != EPERM && code != EROFS) throw;
        // A file that may not be written says first what else is wrong with
        // it, as a read of it would.
        io::HeldFile readOnly(path, io::File::Mode::Read);
        ID3v24 tag;
        if (readInto(tag, readOnly, false)) check(tag, readOnly, force);
        throw;
    }
}

tag::HeldBytes Batch::picture(const std::string& path) {
    auto it = m_pictures.find(path);
    if (it != m_pictures.end()) return it->second;
    io::File file(path, io::File::Mode::Read);
    const uint64_t size = file.size();
    if (size >= syncsafe::Limit) throw io::TagError("The picture file " + path + " is too large");
    auto bytes = std::make_shared_for_overwrite<uint8_t[]>(static_cast<size_t>(size));
    file.readExactAt(bytes.get(), static_cast<size_t>(size), 0);
    file.close();
    const tag::HeldBytes held{bytes, bytes.get(), size};
    m_pictures.emplace(path, held);
    return held;
}

void Batch::planWrite(ID3v24& tag, const std::string& path, Id3v1* trailer,
                      const WriteOptions& options, size_t index, const Edit& edit) {
    if (m_declined) throw Declined();
    // Every picture file is read before the MP3 file is touched (once a run).
    std::vector<tag::HeldBytes> pictures;
    if (!edit)
        for (const auto& e : tag.Pictures())
            pictures.push_back(e.held ? e.held : picture(e.pictureFile));
    io::HeldFile file = open(path, options.force);
    const bool hasHeader = readInto(tag, file, static_cast<bool>(edit));
    if (edit) {
        Id3v1 read;
        Id3v1& v1 = trailer ? *trailer : read;
        if (trailer) {
            if (hasHeader)
                v1.ReadBytes(file.tail());
            else
                v1 = Id3v1();
        }
        edit(tag, v1);
        for (const auto& e : tag.Pictures())
            pictures.push_back(e.held ? e.held : picture(e.pictureFile));
    }
    check(tag, file, options.force);

    tag::WriterInput input;
    static_cast<tag::TagData&>(input) = tag.model();
    input.Id3v2present = tag.Id3v2present;
    for (int n = 1; n <= input.pictures.count(); ++n)
        input.pictures.edit(n).held = pictures[static_cast<size_t>(n - 1)];
    const uint64_t region = writetag::blankedRegion(tag.Id3v2present, tag.RegionLength());
    if (region > file.size()) throw io::IoError(io::IoError::ShortRead);
    const auto regionBytes = file.head(region);
    if (regionBytes.size() < region) throw io::IoError(io::IoError::ShortRead);

    Item item{index, std::move(file), {}, {}, {}};
    const bool asking = m_options.approve && !m_approved;
    const writetag::Loss loss = asking       ? writetag::Loss::Allow
                                : m_approved ? *m_approved
                                             : options.loss;
    item.planned = writetag::plan(input, {regionBytes, item.file.size()}, loss);
    if (asking && !item.planned.dropped.empty())
        m_dropped.push_back({index, std::move(item.planned.dropped)});
    share(item.planned);
    if (trailer) {
        trailer->FileName = path;
        item.trailer.emplace();
        item.trailer->bytes = trailer->render();
        item.trailer->over = trailerAfter(item.planned, item.file.tail(), item.file.size());
    }
    if (m_journal) {
        item.change = m_journal->change(item.file, tag.Id3v2present ? tag.RegionLength() : 0,
                                        trailer ? &item.trailer->bytes : nullptr);
        item.change->planned(item.planned.start(), item.planned.buffer);
    }
    add(std::move(item));
}

void Batch::planRemove(ID3v24& tag, const std::string& path, bool force, size_t index) {
    if (m_declined) throw Declined();
    io::HeldFile file = open(path, force);
    const bool hasHeader = readInto(tag, file, false);
    check(tag, file, force);
    // A file too short for a header, or without a tag, holds none to remove.
    if (!hasHeader || !tag.Id3v2present) return;
    const uint64_t region = tag.RegionLength();
    if (region - 10 >= syncsafe::Limit) throw io::TagError("The tag is too large to be rewritten");
    // A damaged header must not make the blanking run into the audio or grow the file.
    if (region > file.size()) throw io::IoError(io::IoError::ShortRead);

    Item item{index, std::move(file), {}, {}, {}};
    writetag::Planned& p = item.planned;
    p.buffer = std::make_unique<uint8_t[]>(static_cast<size_t>(region)); // zeros
    p.size = static_cast<size_t>(region);
    p.inPlace = true;
    p.oldRegion = region;
    p.length = item.file.size();
    const auto header = tag::blankHeader(static_cast<uint32_t>(region - 10));
    std::memcpy(p.buffer.get(), header.data(), header.size());
    share(p);
    if (m_journal) {
        item.change = m_journal->change(item.file, region, nullptr);
        item.change->planned(p.start(), p.buffer);
    }
    add(std::move(item));
}

void Batch::share(writetag::Planned& planned) {
    // One tag written into many files is held once, and the journal works
    // out what it needs of those bytes once.
    if (m_last.buffer && m_last.size == planned.size &&
        std::memcmp(m_last.buffer.get(), planned.buffer.get(), planned.size) == 0) {
        planned.buffer = m_last.buffer;
        return;
    }
    m_last = planned;
    m_bytes += planned.size;
}

void Batch::add(Item item) {
    if (m_stopped) {
        if (item.change) item.change->withdraw();
        return;
    }
    // Only the new bytes are held until the write: the journal holds the old ones.
    item.file.release();
    if (item.change) item.change->release();
    m_read += item.planned.oldRegion;
    m_next = std::max(m_next, item.index + 1);
    m_held.insert({item.file.stat().device, item.file.stat().inode});
    if (m_items.empty()) m_items.reserve(m_journal ? openFilesAllowed() : 1);
    m_items.push_back(std::move(item));
    // Without a journal there is nothing to wait for: each file is written at once.
    // Until the run is approved, what was read is no reason to write: each
    // file planned then is one the question need not read again.
    const bool asking = m_options.approve && !m_approved;
    if (!m_journal) {
        flush();
        return;
    }
    // Two batches hold their files open: the one planned, the one flushed.
    if (m_items.size() >= openFilesAllowed() / 2 || m_bytes >= MaxBytes ||
        (m_read >= MaxRead && !asking)) {
        if (m_declined) throw Declined();
        drain();
        seal();
        return;
    }
    try {
        m_journal->spill();
    } catch (...) {
        // What went out before stays as entries of files never touched.
        std::vector<Item> items = std::move(m_items);
        clear();
        failAll(items, std::current_exception());
    }
}

void Batch::clear() {
    m_items.clear();
    m_held.clear();
    m_bytes = 0;
    m_read = 0;
}

void Batch::failAll(std::vector<Item>& items, std::exception_ptr error) {
    // Not one of these changes is sure to be in the journal: no file is touched.
    for (Item& item : items) {
        if (item.change) item.change->withdraw();
        m_outcome(item.index, error);
    }
    if (!m_options.stopAtError) return;
    stop();
    std::rethrow_exception(error);
}

void Batch::stop() {
    // The files planned after the one that failed stay untouched.
    m_stopped = true;
    for (Item& item : m_items)
        if (item.change) item.change->withdraw();
    clear();
}

void Batch::approve() {
    m_approved = m_options.approve(m_dropped, m_next);
    if (m_approved == writetag::Loss::Refuse && !m_dropped.empty())
        throw std::logic_error("frames dropped without leave");
    m_dropped.clear();
    if (m_approved) return;
    m_declined = true;
    for (Item& item : m_items)
        if (item.change) item.change->withdraw();
    clear();
    throw Declined();
}

void Batch::flush() {
    if (m_declined) throw Declined();
    drain();
    seal();
    drain();
}

void Batch::seal() {
    if (m_stopped) {
        stop();
        return;
    }
    if (m_options.approve && !m_approved && !m_items.empty()) approve();
    if (m_items.empty()) return;
    m_sealed = std::move(m_items);
    m_sealedHeld = std::move(m_held);
    clear();
    if (!m_journal) return;
    try {
        m_journal->aheadInBackground();
    } catch (...) {
        std::vector<Item> items = takeSealed();
        failAll(items, std::current_exception());
    }
}

std::vector<Batch::Item> Batch::takeSealed() {
    std::vector<Item> items = std::move(m_sealed);
    m_sealed.clear();
    m_sealedHeld.clear();
    return items;
}

void Batch::drain() {
    if (m_sealed.empty()) return;
    std::vector<Item> items = takeSealed();
    if (m_journal) {
        try {
            m_journal->awaitFlush();
        } catch (...) {
            failAll(items, std::current_exception());
            return;
        }
    }
    writeAll(items);
}

void Batch::writeAll(std::vector<Item>& items) {
    std::exception_ptr first;
    bool stopped = false;
    for (Item& item : items) {
        stopped = stopped || (m_options.stopRequested && m_options.stopRequested());
        if ((first && m_options.stopAtError) || stopped) {
            if (item.change) item.change->withdraw();
            continue;
        }
        bool put = false;
        try {
            writetag::put(item.planned, item.file.file(), item.file.path(),
                          item.trailer ? &*item.trailer : nullptr);
            put = true;
            // The file's facts for the journal come from the open file; a
            // moving write has put a new file in its place.
            const io::FileStat after = !item.change           ? io::FileStat()
                                       : item.planned.inPlace ? io::statOf(item.file.file())
                                                              : io::statOf(item.file.path());
            item.file.close();
            if (item.change) item.change->done(after);
        } catch (...) {
            // A moving write that failed before its rename never touched the file.
            if (item.change) {
                if (put || item.planned.inPlace)
                    item.change->failed();
                else
                    item.change->withdraw();
            }
            if (!first) first = std::current_exception();
            m_outcome(item.index, std::current_exception());
            continue;
        }
        m_outcome(item.index, nullptr);
    }
    // A stop leaves the rest of the run untouched, the files planned since too.
    if (stopped) stop();
    if (!first || !m_options.stopAtError) return;
    stop();
    std::rethrow_exception(first);
}

} // namespace tagfile
