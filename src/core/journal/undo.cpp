// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "journal/undo.h"

#include "io/ioerror.h"
#include "io/replacement.h"
#include "journal/digest.h"
#include "journal/image.h"
#include "renamer/noreplace.h"

#include <cerrno>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>

namespace journal {

namespace {

int64_t now() {
    timespec ts{};
    ::clock_gettime(CLOCK_REALTIME, &ts);
    return int64_t{ts.tv_sec} * 1000000000 + ts.tv_nsec;
}

// The modification time the file had before the action: a file put back is
// the file it was, so an older action's record of it matches again.
void setModified(int fd, int64_t mtime) {
    const timespec times[2] = {{0, UTIME_OMIT}, {mtime / 1000000000, mtime % 1000000000}};
    // Only the owner may set a time; a file the user may write but not own
    // keeps the time of the undo.
    if (::futimens(fd, times) != 0 && errno != EPERM) io::throwErrno();
}

// The name in folder of the file with this identity, "" when there is none.
std::string findByIdentity(const std::string& folder, uint64_t device, uint64_t inode) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return {};
    std::string found;
    while (const dirent* e = ::readdir(dir)) {
        if (e->d_ino != inode) continue;
        try {
            const FileStat s = linkStatOf(folder + e->d_name);
            if (s.device == device && s.inode == inode) {
                found = e->d_name;
                break;
            }
        } catch (const io::IoError&) {
        }
    }
    ::closedir(dir);
    return found;
}

void verifyBlobs(const io::File& file, const Action& action) {
    std::vector<uint8_t> bytes;
    for (const auto& [id, offset] : action.blobs) {
        bytes.resize(static_cast<size_t>(id.second));
        file.readExactAt(bytes.data(), bytes.size(), offset);
        if (hash64(bytes) != id.first) throw Damaged("a blob whose bytes do not match its key");
    }
}

Step leftAlone(std::string path) {
    return {std::move(path), {}, Outcome::ChangedSince, std::string(ChangedSinceMessage)};
}

} // namespace

Undo::Undo(Journal& journal) {
    const auto files = journal.files();
    for (auto it = files.rbegin(); it != files.rend(); ++it) {
        io::File file;
        try {
            file = io::File(it->path, io::File::Mode::ReadWrite);
        } catch (const io::IoError& e) {
            if (e.code() == ENOENT) continue; // dropped meanwhile
            throw;
        }
        if (::flock(file.fd(), LOCK_EX | LOCK_NB) != 0) continue; // being recorded or undone
        try {
            Action action = readAction(file);
            if (action.undone || action.entries.empty()) continue;
            verifyBlobs(file, action);
            action.sequence = it->sequence;
            m_action = std::move(action);
            m_file = std::move(file);
            return;
        } catch (const Damaged&) {
            journal.ignored();
        }
    }
}

Step Undo::next() {
    const Entry& entry = m_action->entries[steps() - 1 - m_next++];
    Step step = std::holds_alternative<Change>(entry) ? undoChange(std::get<Change>(entry))
                                                      : undoRename(std::get<Rename>(entry));
    if (step.outcome == Outcome::Failed) m_failed = true;
    return step;
}

std::vector<uint8_t> Undo::oldHead(const Change& c) const {
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
            m_file.readExactAt(head.data() + at, length, m_action->blobs.at({p.key, p.length}));
            // Checked when the undo began; a second look costs less than a wrong tag.
            if (m_keys.key({head.data() + at, length}) != p.key)
                throw Damaged("a blob whose bytes do not match its key");
            break;
        }
    }
    return head;
}

Step Undo::undoChange(const Change& c) {
    try {
        const io::File file(c.path, io::File::Mode::Read);
        const FileStat now = statOf(file);
        const std::vector<uint8_t> old = oldHead(c);
        const auto state = findState(file, now.size, c, old, m_keys);
        if (!state) return leftAlone(c.path);
        if (*state == State{Image::Old, Image::Old}) {
            // A file put back by an undo that ended before its time: only the
            // time may still be the undo's.
            if (now.mtime != c.before.mtime) {
                io::File again(c.path, io::File::Mode::ReadWrite);
                setModified(again.fd(), c.before.mtime);
                again.close();
            }
            return {c.path, {}, Outcome::AsBefore, {}};
        }
        if (c.after) {
            const State recorded{c.after->headNew ? Image::New : Image::Old,
                                 c.after->trailerNew && c.trailerTouched ? Image::New : Image::Old};
            if (*state == recorded) {
                // Exactly what the action left, untouched since.
                if (now.size != c.after->stat.size || now.mtime != c.after->stat.mtime)
                    return leftAlone(c.path);
            } else if (*state != State{Image::Old, Image::New}) {
                // Only an undo cut short between region and trailer leaves
                // a file in another state than the action left it in.
                return leftAlone(c.path);
            }
        }
        restore(c, file, now.size, state->head == Image::New, state->trailer == Image::New, old);
        return {c.path, {}, Outcome::Restored, {}};
    } catch (const io::IoError& e) {
        if (e.code() == ENOENT) return leftAlone(c.path);
        return {c.path, {}, Outcome::Failed, e.what()};
    } catch (const Damaged& e) {
        return {c.path, {}, Outcome::Failed, e.what()};
    }
}

void Undo::restore(const Change& c, const io::File& current, uint64_t size, bool headBack,
                   bool trailerBack, const std::vector<uint8_t>& old) {
    const uint64_t audio = c.audioLength();
    if (headBack && c.newHeadLength != c.headLength) {
        // The region changes its length: the whole file is written anew beside
        // the old one and put in its place at once, as a moving write does.
        io::ReplacementFile replacement(c.path);
        io::File& out = replacement.file();
        out.writeAt(old.data(), old.size(), 0);
        io::copyRange(current, c.newHeadLength, out, c.headLength, audio);
        if (c.trailerTouched && c.oldTrailerPresent)
            out.writeAt(c.oldTrailer.data(), c.oldTrailer.size(), c.headLength + audio);
        setModified(out.fd(), c.before.mtime);
        replacement.commit();
        return;
    }
    // In place: the region first, then the trailer; an undo cut short between
    // the two leaves a state the next undo recognises and finishes.
    io::File out(c.path, io::File::Mode::ReadWrite);
    if (headBack) out.writeAt(old.data(), old.size(), 0);
    if (trailerBack) {
        if (c.oldTrailerPresent)
            out.writeAt(c.oldTrailer.data(), c.oldTrailer.size(), size - c.oldTrailer.size());
        else
            out.truncate(size - c.newTrailer.size());
    }
    setModified(out.fd(), c.before.mtime);
    out.close();
}

Step Undo::undoRename(const Rename& r) {
    auto holds = [&](const std::string& name) {
        try {
            const FileStat s = linkStatOf(r.folder + name);
            return s.device == r.device && s.inode == r.inode;
        } catch (const io::IoError&) {
            return false;
        }
    };
    // Without its after-record (a crash right after the rename), the file is
    // found by its identity in its folder.
    std::string current;
    if (r.newName)
        current = holds(*r.newName) ? *r.newName : std::string();
    else
        current = findByIdentity(r.folder, r.device, r.inode);
    const std::string path = r.folder + (r.newName ? *r.newName : r.oldName);
    if (current.empty()) {
        if (holds(r.oldName)) return {path, {}, Outcome::AsBefore, {}};
        return leftAlone(path);
    }
    if (current == r.oldName) return {path, {}, Outcome::AsBefore, {}};
    try {
        renamer::renameNoReplace(r.folder + current, r.folder + r.oldName);
    } catch (const io::IoError& e) {
        // The old name taken by another file meanwhile: it is never replaced.
        if (e.code() == EEXIST) return leftAlone(r.folder + current);
        return {r.folder + current, {}, Outcome::Failed, e.what()};
    }
    return {r.folder + current, r.folder + r.oldName, Outcome::Restored, {}};
}

bool Undo::finish() {
    if (!m_action) return false;
    const bool complete = atEnd() && !m_failed;
    if (complete) {
        // A tail cut short by a crash goes first: the new record must follow
        // whole records only.
        if (m_file.size() > m_action->validEnd) m_file.truncate(m_action->validEnd);
        Encoder e;
        e.i64(now());
        std::vector<uint8_t> record;
        frame(record, m_action->validEnd, RecordType::Undone, e.bytes(), e.bytes().size());
        m_file.writeAt(record.data(), record.size(), m_action->validEnd);
        m_file.sync();
        m_action->undone = true;
    }
    m_file.close();
    return complete;
}

} // namespace journal
