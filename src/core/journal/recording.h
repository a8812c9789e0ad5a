// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include "io/file.h"
#include "io/heldfile.h"
#include "journal/action.h"
#include "journal/blobkeys.h"
#include "journal/journal.h"

#include <chrono>
#include <exception>
#include <memory>
#include <set>
#include <span>
#include <string>
#include <thread>
#include <utility>
#include <vector>

// Recording one action: each file's entry goes to the journal before the
// file is touched (write-ahead), so a crash anywhere in a run leaves a
// journal that can undo every file the run changed, and a file whose write
// was cut short can be put back as it was. The changes a run plans are put
// on the disk together (one write and one flush for a batch of files)
// before any of them is made; renames reach the file system at once
// and the disk at least once a second and at the end. While it is recorded
// the action is open; it is closed when the run ends.
namespace journal {

class Recording {
public:
    // Starts a new action in the journal's folder (made when missing), after
    // dropping damaged, oversized and old actions beyond the journal's limits.
    Recording(Journal& journal, Kind kind);
    // Ends the action if finish() was not called; errors are swallowed there.
    ~Recording();
    Recording(const Recording&) = delete;
    Recording& operator=(const Recording&) = delete;

    Kind kind() const { return m_kind; }
    const std::string& path() const { return m_path; }
    size_t entries() const { return m_entries; }

    // A write or kill of one file, in the order it happens.
    class FileChange {
    public:
        FileChange() = default;
        // The new tag region (every byte before the audio) and, when the
        // action writes the trailer, the trailer: the entry is made ready,
        // and goes to the journal with the next aheadInBackground() (or the
        // next record written). The file is touched only after its flush.
        // owner, when given, keeps newHead's bytes as they are: the same
        // bytes planned for the next file are worked out once.
        void planned(std::span<const uint8_t> newHead, std::shared_ptr<const void> owner = {});
        // The same for a blanked tag: header, then zero bytes up to length.
        void plannedBlank(std::span<const uint8_t> header, uint64_t length);
        // The file holds what was planned; after: its facts now (read from
        // the file itself, else by its name).
        void done();
        void done(const FileStat& after);
        // The file was never touched: the entry is withdrawn.
        void withdraw();
        // Lets go of the old region once the entry is made: a failure then
        // records nothing, and the file is judged by its images alone.
        void release() {
            m_oldOwner.reset();
            m_oldHead = {};
        }
        // The change failed on the way: records what the file holds, when it
        // is one of the two images (as it was: the entry is withdrawn, and an
        // action of withdrawn entries only is no action); nothing when the
        // entry was never written.
        void failed() noexcept;

    private:
        friend class Recording;
        Recording* m_recording = nullptr;
        Change m_change;
        // The old region as read (shared with the file's bytes as read).
        std::shared_ptr<const uint8_t[]> m_oldOwner;
        std::span<const uint8_t> m_oldHead;
        // A file whose bytes after the tag region are fewer than a trailer
        // takes its trailer partly from the new region: such a file is kept
        // whole (its region is the whole file), and the plan is the whole new
        // file, worked out from the new region, these bytes and the trailer.
        bool m_whole = false;
        uint64_t m_regionLength = 0;
        uint32_t m_entry = 0;
        bool m_written = false;
    };

    // Reads what a write or kill replaces in path through file (open on it):
    // the first headLength bytes (the old tag region, 0 without a tag) and,
    // when newTrailer is given because the action writes the trailer, the
    // trailer it replaces (or its absence).
    FileChange change(const std::string& path, const io::File& file, uint64_t headLength,
                      const Trailer* newTrailer);
    // The same from a file held open, its bytes read once and shared.
    FileChange change(io::HeldFile& file, uint64_t headLength, const Trailer* newTrailer);

    // Puts every change planned so far on the disk: the records not yet
    // written are written now (they reach the kernel before any file is
    // touched), and the flush of the file's data (also of records spill()
    // wrote) runs beside the caller until awaitFlush(), which the caller waits
    // for before it touches any file of those changes. When either fails,
    // none of them is in the journal: none of those files may be touched. One
    // flush at a time.
    void aheadInBackground();
    // Waits for the flush aheadInBackground() started; raises its error.
    void awaitFlush();
    // Writes the records made ready, without a flush, once they are many: a
    // batch's records go out while their bytes are at hand, not held in
    // memory until their flush. When it fails, the changes planned since the
    // last record written are not in the journal.
    void spill();

    // A rename of folder + oldName: recorded before the rename; the returned
    // entry is then given the new name.
    uint32_t renaming(const std::string& folder, const std::string& oldName);
    void renamed(uint32_t entry, const std::string& newName);

    // A file moved to the trash, recorded once it lies there: where it
    // came from and where it is now (the trash itself says where it came
    // from too, so a crash in between loses nothing the desktop cannot undo).
    void trashed(const std::string& oldPath, const std::string& trashPath);

    // Ends the action: an End record, and the action closed; flushed only
    // when it holds renames or moves to the trash, which no file's content
    // can judge, and otherwise left to the system. An action that changed
    // no file is removed.
    void finish();

private:
    // Records go out through m_buffer, framed for where they will lie; one
    // write puts a file's blobs and entry on disk, with the records after
    // the file before it.
    void add(RecordType type, std::span<const uint8_t> payload);
    void addBlob(uint64_t key, std::span<const uint8_t> bytes);
    void write();
    void flushIfDue();
    FileChange changeOf(const std::string& path, const FileStat& before, uint64_t headLength,
                        const Trailer* newTrailer);
    void sync();
    void dropOldest(bool keepOneSlot);

    // An action or a damaged one the limits may drop.
    struct Other {
        ActionFile file;
        uint64_t bytes;
    };

    Journal& m_journal;
    Kind m_kind;
    std::string m_sequence;
    std::string m_path;
    io::File m_file;
    uint64_t m_offset = 0;
    uint32_t m_entries = 0;
    uint32_t m_writtenEntries = 0; // of those, the ones in the file
    uint32_t m_withdrawn = 0;
    std::set<std::pair<uint64_t, uint64_t>> m_blobs;
    std::vector<std::pair<uint64_t, uint64_t>> m_blobsPending; // in m_buffer only
    BlobKeys m_keys;
    std::vector<Other> m_others; // oldest first
    uint64_t m_otherBytes = 0;
    bool m_dirty = false;
    bool m_renamesUnsynced = false; // renames recorded since the last flush
    bool m_finished = false;
    std::chrono::steady_clock::time_point m_unsyncedSince;
    std::vector<uint8_t> m_buffer;
    // The flush aheadInBackground() started, and what it raised.
    std::thread m_flusher;
    std::exception_ptr m_flushError;
    // What the last new region planned gave, by the bytes' owner: its digest
    // and the hashes of its blocks worked out so far (0: not yet).
    struct NewRegion {
        std::shared_ptr<const void> owner;
        std::span<const uint8_t> bytes;
        uint64_t digest = 0;
        std::vector<uint32_t> blocks;
    } m_lastNew;
};

} // namespace journal
