// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include "io/heldfile.h"
#include "journal/recording.h"
#include "tagengine/tagdata.h"
#include "tagengine/writetag.h"

#include <cstddef>
#include <exception>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

class ID3v24;
class Id3v1;

namespace tagfile {

// How a file may be written: also when it is no MP3 file (force), and with
// the loss of frames the write cannot keep.
struct WriteOptions {
    bool force = false;
    writetag::Loss loss = writetag::Loss::Refuse;
};

// The frames the write of the file planned with index would drop.
struct Dropped {
    size_t index;
    std::vector<std::string> frames;
};

// The user would not have the frames dropped: nothing of the batch was written.
struct Declined {};

// A run's writes, made a batch of files at a time. Each file is opened once
// and read once: its header (or its whole tag), the check that it is an MP3
// file, the journal's copy of what the write replaces, the frames the write
// keeps and the trailer all come from the same bytes, and the new ones are
// planned in memory. Then the journal records the batch's changes with one
// write and one flush, and the files are written, each in place or through a
// new file put in its place, in the order they were planned. The flush runs
// while the next batch is read and planned.
class Batch {
public:
    // What became of the file planned with index: error is null when it was
    // written.
    using Outcome = std::function<void(size_t index, std::exception_ptr error)>;

    struct Options {
        // Files after one whose write failed are left untouched (the window
        // ends its run there); otherwise each file stands alone.
        bool stopAtError = false;
        // Asked before each file is written: once true, the rest stay untouched.
        std::function<bool()> stopRequested = {};
        // When given, asked once before the first file is written, with what
        // the writes planned so far would drop (planned as if loss allowed
        // it) and one after the highest index planned (the files from there
        // on are not read yet): the loss the run's writes take from then on,
        // or none to write nothing. Then every write planned is withdrawn,
        // Declined is raised, and the batch plans nothing more. So a run reads
        // each file once where it would read every file for the question first.
        std::function<std::optional<writetag::Loss>(const std::vector<Dropped>&, size_t next)>
            approve = {};
    };

    Batch(journal::Recording* journal, Outcome outcome, Options options);
    Batch(journal::Recording* journal, Outcome outcome) : Batch(journal, std::move(outcome), {}) {}
    // What is planned and not written is withdrawn from the journal, untouched.
    ~Batch();
    Batch(const Batch&) = delete;
    Batch& operator=(const Batch&) = delete;

    // Called with the tag (and trailer) of the file as read, before the
    // write is planned: an edit of that file's own tag.
    using Edit = std::function<void(ID3v24& tag, Id3v1& trailer)>;

    // Plans the write of tag's model into path as its ID3v2 tag, and of
    // trailer's fields (when given) as its ID3v1.1 trailer. Without edit, only
    // the file's header is read into tag (the model is written as it is, as
    // "Write for all" writes it); with edit, the file's whole tag is read into
    // tag (its pictures held in memory) and trailer when given, and edited.
    // Raises, with the file untouched and nothing recorded, what keeps the
    // write from the file: see tagfile::writeTag. May write the files planned
    // before (the batch is full, or holds path already).
    void planWrite(ID3v24& tag, const std::string& path, Id3v1* trailer,
                   const WriteOptions& options, size_t index, const Edit& edit = {});
    // Plans blanking the ID3v2 tag of path (see tagfile::removeTag).
    void planRemove(ID3v24& tag, const std::string& path, bool force, size_t index);

    // Records what is planned in the journal, then writes it, telling each
    // outcome. With stopAtError it raises the first error after telling it.
    void flush();

private:
    struct Item;
    io::HeldFile open(const std::string& path, bool force);
    void share(writetag::Planned& planned);
    void approve();
    void clear();
    void failAll(std::vector<Item>& items, std::exception_ptr error);
    void add(Item item);
    void seal();
    void drain();
    std::vector<Item> takeSealed();
    void writeAll(std::vector<Item>& items);
    void stop();
    tag::HeldBytes picture(const std::string& path);

    journal::Recording* m_journal;
    Outcome m_outcome;
    Options m_options;
    std::vector<Item> m_items;
    // The files m_items holds, by device and inode.
    struct IdHash {
        size_t operator()(const std::pair<uint64_t, uint64_t>& id) const {
            return std::hash<uint64_t>()(id.second * 0x9E3779B97F4A7C15ull ^ id.first);
        }
    };
    std::unordered_set<std::pair<uint64_t, uint64_t>, IdHash> m_held;
    // The batch before, its records on their way to the disk: its files are
    // written once they are there, while the next batch is read and planned.
    std::vector<Item> m_sealed;
    std::unordered_set<std::pair<uint64_t, uint64_t>, IdHash> m_sealedHeld;
    // A write failed with stopAtError: nothing more is written.
    bool m_stopped = false;
    size_t m_bytes = 0;
    uint64_t m_read = 0; // of the old regions planned
    // Until approved: what the writes planned would drop. Then the loss allowed.
    std::vector<Dropped> m_dropped;
    std::optional<writetag::Loss> m_approved;
    size_t m_next = 0;
    bool m_declined = false;
    // The last new region planned, kept to share with the next equal one.
    writetag::Planned m_last;
    // Picture files read once for the run, by path.
    std::map<std::string, tag::HeldBytes> m_pictures;
};

} // namespace tagfile
